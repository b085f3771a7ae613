"""The types of the arguments that name a model."""

import os
from typing import Tuple, Union

from numpy.typing import ArrayLike

PathLike = Union[str, "os.PathLike[str]"]
Mesh = Tuple[ArrayLike, ArrayLike]
"""A triangle mesh as (vertices, faces) arrays, as describe_mesh takes them."""
