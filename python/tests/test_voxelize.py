"""Voxels from Python: the grid `geosig voxelize` fills, as indices one can place in space."""

import numpy as np
import pytest

import geosig
from conftest import SAMPLES, tool_records


def tool_voxels(path, depth, tmp_path):
    (record,) = tool_records("voxelize", [str(path)], "--depth", str(depth), "-o", str(tmp_path / "cubes.obj"))
    return record


@pytest.mark.parametrize("name", ["blocks.glb", "brick.obj"])
def test_the_grid_is_the_command_line_one(name, tmp_path):
    path = SAMPLES / name
    record = tool_voxels(path, 5, tmp_path)
    voxels = geosig.voxelize(path, 5)
    assert voxels.indices.dtype == np.int64 and voxels.indices.shape == (record["voxels"], 3)
    assert len(np.unique(voxels.indices, axis=0)) == len(voxels.indices)
    assert np.array_equal(voxels.origin, record["octreeBox"]["min"]) and voxels.edge == record["voxelEdge"]
    # The cubes written span the lowest to the highest occupied cell along each axis (the
    # blocks' box is 100 x 60 x 40, so an axis mixed up shows here).
    low = voxels.origin + voxels.indices.min(axis=0) * voxels.edge
    high = voxels.origin + (voxels.indices.max(axis=0) + 1) * voxels.edge
    assert np.allclose(low, record["cubesBox"]["min"], rtol=0, atol=1e-4)
    assert np.allclose(high, record["cubesBox"]["max"], rtol=0, atol=1e-4)


def test_every_cell_holds_some_of_the_surface():
    # The peg: the cylinder of radius 5 about z from z = 0 to 20, caps included.
    voxels = geosig.voxelize(SAMPLES / "peg.stl", 6)
    low = voxels.origin + voxels.indices * voxels.edge
    high = low + voxels.edge
    nearest_xy = np.hypot(np.clip(0.0, low[:, 0], high[:, 0]), np.clip(0.0, low[:, 1], high[:, 1]))
    farthest_xy = np.hypot(np.maximum(abs(low[:, 0]), abs(high[:, 0])), np.maximum(abs(low[:, 1]), abs(high[:, 1])))
    slack = 1e-3
    on_side = (nearest_xy <= 5 + slack) & (farthest_xy >= 5 * np.cos(np.pi / 64) - slack) & \
        (low[:, 2] <= 20 + slack) & (high[:, 2] >= -slack)
    on_cap = (nearest_xy <= 5 + slack) & (((low[:, 2] <= slack) & (high[:, 2] >= -slack)) |
                                          ((low[:, 2] <= 20 + slack) & (high[:, 2] >= 20 - slack)))
    assert np.all(on_side | on_cap)


@pytest.mark.parametrize("depth", [0, geosig.MAX_VOXEL_DEPTH + 1, 2.0, True, "3"])
def test_a_depth_out_of_range_is_a_value_error(depth):
    with pytest.raises(ValueError, match="depth"):
        geosig.voxelize(SAMPLES / "peg.stl", depth)


def test_a_file_that_cannot_be_voxelized_raises(bad_files):
    with pytest.raises(FileNotFoundError):
        geosig.voxelize(bad_files["missing"], 3)
    with pytest.raises(ValueError, match="empty file"):
        geosig.voxelize(bad_files["empty"], 3)
    with pytest.raises(ValueError, match=r"the reader crashed \(signal"):
        geosig.voxelize(bad_files["crashing"], 3)
