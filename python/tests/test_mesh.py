"""Meshes from numpy: described and voxelized as the same mesh read from a file, and bad arrays
refused with a ValueError that says what is wrong."""

import threading

import numpy as np
import pytest

import geosig
from conftest import assert_same_record

# A slab with a tetrahedron on top, at coordinates that a file holds exactly: no symmetry, so
# that every descriptor has something to say.
VERTICES = np.array([[0, 0, 0], [4, 0, 0], [4, 2.5, 0], [0, 2.5, 0],
                     [0, 0, 0.5], [4, 0, 0.5], [4, 2.5, 0.5], [0, 2.5, 0.5],
                     [1, 0.5, 0.5], [3.5, 0.75, 0.5], [1.25, 2, 0.5], [1.5, 1, 3]])
FACES = np.array([[0, 2, 1], [0, 3, 2], [4, 5, 6], [4, 6, 7], [0, 1, 5], [0, 5, 4], [1, 2, 6], [1, 6, 5],
                  [2, 3, 7], [2, 7, 6], [3, 0, 4], [3, 4, 7], [8, 9, 11], [9, 10, 11], [10, 8, 11]])


@pytest.fixture
def mesh_file(tmp_path):
    path = tmp_path / "mesh.obj"
    path.write_text("".join(f"v {x:g} {y:g} {z:g}\n" for x, y, z in VERTICES) +
                    "".join(f"f {a + 1} {b + 1} {c + 1}\n" for a, b, c in FACES))
    return path


def test_arrays_are_described_as_the_same_mesh_in_a_file(mesh_file):
    from_file = geosig.describe(mesh_file)
    for vertices, faces in ((VERTICES, FACES), (VERTICES.astype(np.float32), FACES.astype(np.uint32)),
                            (np.asfortranarray(VERTICES), np.repeat(FACES, 2, axis=0)[::2]), (VERTICES.tolist(), FACES.tolist())):
        described = geosig.describe_mesh(vertices, faces)
        assert list(described) == ["descriptors"]
        assert_same_record(_as_json(from_file["descriptors"]), described["descriptors"])


def test_arrays_are_voxelized_as_the_same_mesh_in_a_file(mesh_file):
    from_file = geosig.voxelize(mesh_file, 4)
    from_arrays = geosig.voxelize((VERTICES, FACES), 4)
    assert np.array_equal(from_arrays.indices, from_file.indices)
    assert np.array_equal(from_arrays.origin, from_file.origin) and from_arrays.edge == from_file.edge


def test_threads_describe_side_by_side_as_one_after_the_other():
    turned = VERTICES @ np.array([[0.6, 0.8, 0], [-0.8, 0.6, 0], [0, 0, 1]])
    meshes = [(VERTICES * scale, FACES) for scale in (1, 2, 3)] + [(turned, FACES)]
    expected = [geosig.describe_mesh(*mesh) for mesh in meshes]
    results = [None] * len(meshes)

    def describe(k):
        for _ in range(20):
            results[k] = geosig.describe_mesh(*meshes[k])

    threads = [threading.Thread(target=describe, args=(k,)) for k in range(len(meshes))]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    for before, after in zip(expected, results):
        assert_same_record(_as_json(before), after)


NAN_VERTICES = VERTICES.copy()
NAN_VERTICES[3, 1] = np.nan
INFINITE_VERTICES = VERTICES.copy()
INFINITE_VERTICES[0, 2] = -np.inf


@pytest.mark.parametrize("vertices, faces, message", [
    (VERTICES[:, :2], FACES, r"vertices must be an \(N, 3\) array"),
    (VERTICES.ravel(), FACES, r"vertices must be an \(N, 3\) array"),
    (VERTICES, FACES.ravel(), r"faces must be an \(M, 3\) array"),
    (VERTICES, np.hstack([FACES, FACES[:, :1]]), r"faces must be an \(M, 3\) array"),
    (VERTICES.astype(np.complex128), FACES, "vertices must hold real numbers"),
    (VERTICES.astype(object), FACES, "vertices must hold real numbers"),
    (VERTICES.astype(str), FACES, "vertices must hold real numbers"),
    (VERTICES, FACES.astype(np.float64), "faces must hold integers"),
    (VERTICES, FACES.astype(bool), "faces must hold integers"),
    (NAN_VERTICES, FACES, "vertex [0-9]+ has a non-finite coordinate"),
    (INFINITE_VERTICES, FACES, "vertex [0-9]+ has a non-finite coordinate"),
    (VERTICES * 1e39, FACES, "vertex [0-9]+ has a non-finite coordinate"),
    (VERTICES, np.where(FACES == 11, 12, FACES), "triangle 12 refers to vertex 12 of 12"),
    (VERTICES, np.where(FACES == 11, -1, FACES), "triangle 12 refers to vertex -1 of 12"),
    (VERTICES, np.where(FACES == 11, 2 ** 40, FACES), f"triangle 12 refers to vertex {2 ** 40} of 12"),
    (VERTICES[:0], FACES, "the mesh has no vertex"),
    (VERTICES, FACES[:0], "the mesh has no triangle"),
])
def test_bad_arrays_are_value_errors(vertices, faces, message):
    with pytest.raises(ValueError, match=message):
        geosig.describe_mesh(vertices, faces)
    with pytest.raises(ValueError, match=message):
        geosig.voxelize((vertices, faces), 3)


def _as_json(value):
    """A record as JSON holds it, numpy arrays as lists and NaN as null."""
    if isinstance(value, dict):
        return {key: _as_json(item) for key, item in value.items()}
    if isinstance(value, np.ndarray):
        return np.where(np.isnan(value), None, value).tolist()
    return value
