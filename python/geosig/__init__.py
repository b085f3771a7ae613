"""Geometric shape descriptors of mesh and CAD files, and of meshes held in numpy arrays.

describe(path) reads a file and describe_mesh(vertices, faces) takes arrays; both return the
record that ``geosig describe --json`` writes, as a dict whose points, vectors and matrices are
numpy arrays. voxelize gives the occupied cells of a model's surface, fingerprint a file's
SHA-256 digest. signature, distance and query are the shape search of ``geosig index`` and
``geosig query``; Catalog keeps a catalog in memory for many searches. geosig.dask describes and indexes whole catalogs on a Dask cluster.

Files that cannot be reached raise OSError (FileNotFoundError, IsADirectoryError, ...); files
and arrays that cannot be described raise ValueError, catalogs that cannot be used CatalogError
(a ValueError); the messages give the reasons the command line prints. The functions release
the interpreter lock while they compute.
"""

import os
from typing import Any, Dict, NamedTuple, Optional, Union

import numpy as np
from numpy.typing import ArrayLike

from . import _geosig
from ._failures import CatalogError, file_error
from ._mesh import mesh_arrays
from ._options import Reading
from ._records import parse
from ._search import DEFAULT_SIGNATURE_DEPTH, MAX_SIGNATURE_DEPTH, Catalog, Signature, distance, query, signature
from ._types import Mesh, PathLike

__version__: str = _geosig.__version__
__all__ = ["describe", "describe_mesh", "fingerprint", "voxelize", "Voxels", "signature", "distance", "query",
           "Catalog", "Signature", "CatalogError"]

MAX_VOXEL_DEPTH: int = _geosig.MAX_VOXEL_DEPTH


def describe(path: PathLike, *, relative_deflection: Optional[float] = None, deflection: Optional[float] = None,
             angular_deflection: Optional[float] = None, time_limit: Optional[float] = None,
             memory_limit: Optional[float] = None) -> Dict[str, Any]:
    """The descriptors of a mesh or CAD file.

    Returns {"file", "format", "warnings" (only when the reader left something out),
    "descriptors"}: the entry ``geosig describe --json`` gives for the file, field for field,
    with every point, vector and matrix as a float64 numpy array (a value that is not finite
    is NaN) and "triangles" as an int.

    The keywords tessellate CAD files (STEP, IGES, BREP) as the command line's options do:
    relative_deflection (default 0.001 of the bounding-box diagonal) or deflection (model
    units), and angular_deflection (radians, default 0.5). The file is read in a worker process
    that is stopped, failing the file, after time_limit seconds (default 120) or when it needs
    more than memory_limit GiB (default 4), as the command line's --time-limit and
    --memory-limit.

    Raises OSError for a file that cannot be reached or read and ValueError for a file that
    cannot be described or a keyword that is not a positive number.
    """
    path = os.fspath(path)
    reading = Reading(relative_deflection, deflection, angular_deflection, time_limit, memory_limit)
    record = parse(_geosig.describe_record(path, reading.options(), reading.limits()))
    if "error" in record:
        raise file_error(path, record["error"])
    return record


def describe_mesh(vertices: ArrayLike, faces: ArrayLike) -> Dict[str, Any]:
    """The descriptors of a triangle mesh given as arrays.

    vertices is an (N, 3) array of real numbers (taken as float32, as a mesh file's are),
    faces an (M, 3) array of integers, each triangle's three vertex indices (0 to N - 1).
    Returns {"descriptors": ...}, the members describe gives for the same mesh read from a
    file.

    Raises ValueError for arrays of another shape or type, a coordinate that is not finite, a
    face index out of range, or a mesh without vertex or triangle.
    """
    vertices, faces = mesh_arrays(vertices, faces)
    return parse(_geosig.describe_mesh_record(vertices, faces))


def fingerprint(path: PathLike) -> str:
    """The base64 SHA-256 digest of the file's bytes, as ``openssl dgst -sha256 -binary | base64``.

    Raises OSError for a file that cannot be read and ValueError for one of fewer than 2 bytes
    or of 2 GiB or more, which have no fingerprint.
    """
    path = os.fspath(path)
    try:
        return _geosig.fingerprint(path)
    except _geosig.FileFailure as failure:
        raise file_error(path, str(failure)) from None


class Voxels(NamedTuple):
    """The occupied cells of a surface: cell (i, j, k) spans origin + (i, j, k) * edge to
    origin + (i + 1, j + 1, k + 1) * edge."""

    indices: np.ndarray
    """(N, 3) int64: the x, y, z indices of every occupied cell, 0 to 2**depth - 1, sorted."""
    origin: np.ndarray
    """(3,) float64: the low corner of the grid, the model's bounding cube widened by a millionth
    of its diagonal."""
    edge: float
    """The cells' edge."""


def voxelize(path_or_mesh: Union[PathLike, Mesh], depth: int, *, relative_deflection: Optional[float] = None,
             deflection: Optional[float] = None, angular_deflection: Optional[float] = None,
             time_limit: Optional[float] = None, memory_limit: Optional[float] = None) -> Voxels:
    """The voxels ``geosig voxelize --depth DEPTH`` writes for a file, or for a mesh given as a
    (vertices, faces) pair of arrays as describe_mesh takes them: the model's bounding cube,
    widened by a millionth of its diagonal, split into 2**depth cells a side, and every cell a
    triangle touches.

    depth is 1 to 10. The tessellation keywords and worker limits are those of describe. Raises
    OSError for a file that cannot be reached or read and ValueError for a file or arrays that
    cannot be voxelized or an invalid depth.
    """
    if isinstance(depth, bool) or not isinstance(depth, (int, np.integer)) or not 1 <= depth <= MAX_VOXEL_DEPTH:
        raise ValueError(f"depth must be an integer from 1 to {MAX_VOXEL_DEPTH}, not {depth!r}")
    if isinstance(path_or_mesh, tuple):
        return Voxels(*_geosig.voxelize_mesh(*mesh_arrays(*path_or_mesh), int(depth)))
    path = os.fspath(path_or_mesh)
    reading = Reading(relative_deflection, deflection, angular_deflection, time_limit, memory_limit)
    try:
        return Voxels(*_geosig.voxelize_file(path, int(depth), reading.options(), reading.limits()))
    except _geosig.FileFailure as failure:
        raise file_error(path, str(failure)) from None
