"""What the module's tests share: the samples, the geosig program, and comparisons of records."""

import json
import os
import subprocess
from pathlib import Path
from typing import Any, List

import numpy as np
import pytest

SAMPLES = Path(os.environ["GEOSIG_SAMPLES_DIR"])
TOOL = os.environ["GEOSIG_TOOL"]
# Every format the samples come in: meshes, a mesh with a node matrix, CAD parts and an assembly.
SAMPLE_FILES = [str(SAMPLES / name) for name in
                ("peg.stl", "peg.obj", "peg.glb", "brick.obj", "blocks.glb", "peg.step", "peg.igs", "peg.brep",
                 "blocks.step")]


def run_tool(*arguments: str) -> subprocess.CompletedProcess:
    return subprocess.run([TOOL, *arguments], capture_output=True, text=True, check=False)


def tool_records(command: str, paths: List[str], *options: str) -> List[dict]:
    """The entries of ``geosig COMMAND --json`` for the paths, whatever the exit status."""
    return json.loads(run_tool(command, "--json", *options, *paths).stdout)["files"]


def assert_same_record(from_tool: Any, from_python: Any, where: str = "record") -> None:
    """The Python value holds the JSON record field for field: the same keys in the same order,
    numbers arrays exactly equal (null as NaN), everything else equal and of JSON's type."""
    if isinstance(from_tool, dict):
        assert isinstance(from_python, dict), where
        assert list(from_python) == list(from_tool), where
        for key, value in from_tool.items():
            assert_same_record(value, from_python[key], f"{where}.{key}")
    elif isinstance(from_python, np.ndarray):
        expected = np.array(from_tool, dtype=np.float64)
        assert from_python.dtype == np.float64 and from_python.shape == expected.shape, where
        assert np.array_equal(from_python, expected, equal_nan=True), where
    else:
        assert type(from_python) is type(from_tool) and from_python == from_tool, where


@pytest.fixture
def bad_files(tmp_path: Path) -> dict:
    """Files that cannot be described, by what is wrong with them."""
    empty = tmp_path / "empty.stl"
    empty.write_bytes(b"")
    garbage = tmp_path / "garbage.stl"
    garbage.write_bytes(b"solid nothing\nfacet normal oops\n")
    # A face's loop of edges gone: the CAD reader follows a reference to nothing and crashes.
    step = (SAMPLES / "peg.step").read_text().splitlines(keepends=True)
    loop = next(k for k, line in enumerate(step) if line.startswith("#") and "EDGE_LOOP" in line)
    crashing = tmp_path / "no-loop.step"
    crashing.write_text("".join(step[:loop] + step[loop + 1:]))
    return {"missing": str(tmp_path / "missing.stl"), "directory": str(tmp_path), "empty": str(empty),
            "garbage": str(garbage), "crashing": str(crashing)}
