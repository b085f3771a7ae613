"""Files through the module: the same records as the command line, and its errors as exceptions."""

import errno

import pytest

import geosig
from conftest import SAMPLE_FILES, assert_same_record, run_tool, tool_records


def test_describe_gives_the_command_line_records():
    for path, from_tool in zip(SAMPLE_FILES, tool_records("describe", SAMPLE_FILES)):
        assert_same_record(from_tool, geosig.describe(path), path)


def test_tessellation_keywords_act_as_the_options():
    path = SAMPLE_FILES[-1]
    for keywords, options in (({"deflection": 2.0}, ["--deflection", "2"]),
                              ({"relative_deflection": 0.05, "angular_deflection": 1.0},
                               ["--relative-deflection", "0.05", "--angular-deflection", "1"])):
        (from_tool,) = tool_records("describe", [path], *options)
        assert_same_record(from_tool, geosig.describe(path, **keywords), str(keywords))


@pytest.mark.parametrize("keywords", [{"deflection": 0.0}, {"relative_deflection": -1.0},
                                      {"angular_deflection": float("nan")}, {"deflection": float("inf")},
                                      {"deflection": "1"}, {"deflection": 1.0, "relative_deflection": 0.1}])
def test_invalid_tessellation_is_a_value_error(keywords):
    with pytest.raises(ValueError):
        geosig.describe(SAMPLE_FILES[0], **keywords)


def test_unreachable_files_are_os_errors(bad_files):
    with pytest.raises(FileNotFoundError) as missing:
        geosig.describe(bad_files["missing"])
    assert (missing.value.errno, missing.value.strerror, missing.value.filename) == \
        (errno.ENOENT, "no such file", bad_files["missing"])
    with pytest.raises(IsADirectoryError):
        geosig.describe(bad_files["directory"])
    with pytest.raises(FileNotFoundError):
        geosig.fingerprint(bad_files["missing"])


def test_undescribable_files_are_value_errors_with_the_command_line_reason(bad_files):
    for kind in ("empty", "garbage", "crashing"):
        path = bad_files[kind]
        (from_tool,) = tool_records("describe", [path])
        with pytest.raises(ValueError) as failure:
            geosig.describe(path)
        assert str(failure.value) == f"{path}: {from_tool['error']}"


def test_fingerprint_is_the_command_line_one(tmp_path):
    printed = run_tool("fingerprint", *SAMPLE_FILES[:3]).stdout.splitlines()
    assert [f"{geosig.fingerprint(path)}  {path}" for path in SAMPLE_FILES[:3]] == printed
    one_byte = tmp_path / "one.bin"
    one_byte.write_bytes(b"x")
    with pytest.raises(ValueError, match="fewer than 2 bytes"):
        geosig.fingerprint(one_byte)
