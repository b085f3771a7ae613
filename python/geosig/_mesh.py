"""Vertex and face arrays checked and converted to what the host takes: C-ordered float32
vertices and uint32 faces."""

from typing import Tuple

import numpy as np
from numpy.typing import ArrayLike


def _triples(values: ArrayLike, name: str, rows: str, kinds: str, holding: str) -> np.ndarray:
    array = np.asarray(values)
    if array.ndim != 2 or array.shape[1] != 3:
        raise ValueError(f"{name} must be an ({rows}, 3) array, not one of shape {array.shape}")
    if array.dtype.kind not in kinds:
        raise ValueError(f"{name} must hold {holding}, not {array.dtype}")
    return array


def mesh_arrays(vertices: ArrayLike, faces: ArrayLike) -> Tuple[np.ndarray, np.ndarray]:
    """The arrays as the host takes them. Raises ValueError for an array that is not (N, 3) or
    (M, 3), vertices that are not real numbers, faces that are not integers, and a face index
    that is negative or beyond 32 bits; the host itself refuses meshes without vertex or
    triangle, coordinates that are not finite (in float32) and other indices out of range."""
    vertices = _triples(vertices, "vertices", "N", "iuf", "real numbers")
    faces = _triples(faces, "faces", "M", "iu", "integers")
    # The host checks the indices against the vertices; those that uint32 cannot hold are checked here.
    unrepresentable = np.flatnonzero((faces < 0) | (faces > np.iinfo(np.uint32).max))
    if unrepresentable.size:
        first = unrepresentable[0]
        raise ValueError(f"triangle {first // 3} refers to vertex {faces.flat[first]} of {len(vertices)}")
    # Coordinates beyond float32's range become infinite, which the host reports.
    with np.errstate(over="ignore"):
        return np.ascontiguousarray(vertices, dtype=np.float32), np.ascontiguousarray(faces, dtype=np.uint32)
