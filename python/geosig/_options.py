"""The CAD tessellation keywords that every reading function takes, checked as the command line checks them."""

import math
import numbers
from typing import Optional

from . import _geosig


def import_options(relative_deflection: Optional[float] = None, deflection: Optional[float] = None,
                   angular_deflection: Optional[float] = None) -> "_geosig.ImportOptions":
    """The host's options; a keyword left at None keeps the host's default.

    Raises ValueError for a value that is not a positive finite number, and for both deflections.
    """
    if relative_deflection is not None and deflection is not None:
        raise ValueError("give deflection or relative_deflection, not both")
    options = _geosig.ImportOptions()
    for name, value in (("relative_deflection", relative_deflection), ("deflection", deflection),
                        ("angular_deflection", angular_deflection)):
        if value is None:
            continue
        if isinstance(value, bool) or not isinstance(value, numbers.Real) or not (math.isfinite(value) and value > 0):
            raise ValueError(f"{name} must be a positive number, not {value!r}")
        setattr(options, name, float(value))
    return options
