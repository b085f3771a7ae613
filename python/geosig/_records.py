"""The host's JSON records as Python values: numbers stay numbers, arrays of numbers become numpy."""

import json
from typing import Any

import numpy as np


def _is_number(value: Any) -> bool:
    # JSON writes a value that is not finite as null; bool is an int to Python but not a number here.
    return value is None or (isinstance(value, (int, float)) and not isinstance(value, bool))


def _is_numeric_array(value: Any) -> bool:
    """A non-empty list of numbers, or of such lists all of one length (a matrix)."""
    if not isinstance(value, list) or not value:
        return False
    if all(_is_number(item) for item in value):
        return True
    return all(_is_numeric_array(item) and len(item) == len(value[0]) for item in value)


def to_python(value: Any) -> Any:
    """Objects become dicts in the record's order; points, vectors and matrices float64 arrays
    (null as NaN); everything else stays as JSON gave it."""
    if isinstance(value, dict):
        return {key: to_python(item) for key, item in value.items()}
    if _is_numeric_array(value):
        return np.array(value, dtype=np.float64)
    if isinstance(value, list):
        return [to_python(item) for item in value]
    return value


def parse(record: str) -> Any:
    """A record line as the Python value of to_python."""
    return to_python(json.loads(record))
