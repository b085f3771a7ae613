"""Shape search from Python: the signatures of `geosig index`, the answers of `geosig query`, and
catalogs that cannot be used."""

import json
import math
import pickle
import sqlite3
import struct

import numpy as np
import pytest

import geosig
from conftest import SAMPLE_FILES, SAMPLES, run_tool
from test_mesh import FACES, VERTICES


@pytest.fixture(scope="module")
def catalog(tmp_path_factory):
    path = tmp_path_factory.mktemp("search") / "catalog.db"
    assert run_tool("index", str(SAMPLES), "--db", str(path)).returncode == 0
    return path


def stored_signatures(catalog) -> dict:
    """path: (norm, terms, occupancy as the catalog packs it) of every signed part."""
    with sqlite3.connect(catalog) as database:
        rows = database.execute("SELECT path, norm, terms, cells FROM parts JOIN occupancies ON part = id")
        return {path: (norm, struct.unpack("<17f", terms), cells) for path, norm, terms, cells in rows}


def packed(signature: geosig.Signature) -> bytes:
    """The occupancy as the catalog packs it: cell (x, y, z) is bit x + n (y + n z), little-endian."""
    return np.packbits(signature.occupancy.transpose(2, 1, 0).ravel(), bitorder="little").tobytes()


def test_signatures_are_those_the_catalog_holds(catalog):
    stored = stored_signatures(catalog)
    assert sorted(stored) == sorted(SAMPLE_FILES)
    for path in SAMPLE_FILES:
        signature = geosig.signature(path)
        norm, terms, cells = stored[path]
        assert (signature.norm, tuple(signature.terms.tolist()), packed(signature)) == (np.float32(norm), terms, cells)
        assert signature.terms.dtype == np.float32 and signature.occupancy.shape == (32, 32, 32)
        assert np.array_equal(signature.symmetry, np.array(terms[6:9]) == 1) and signature.area == terms[9]
        assert tuple(signature.mirror_similarity.tolist()) == terms[10:13]
        assert tuple(signature.asymmetry.tolist()) == terms[13:16]
        assert signature.pitch == terms[16] * signature.norm and terms[16] >= 0
        assert pickle.loads(pickle.dumps(signature)) == signature


def test_a_mesh_has_the_signature_of_the_same_mesh_in_a_file(tmp_path):
    path = tmp_path / "mesh.obj"
    path.write_text("".join(f"v {x:g} {y:g} {z:g}\n" for x, y, z in VERTICES) +
                    "".join(f"f {a + 1} {b + 1} {c + 1}\n" for a, b, c in FACES))
    for depth in (2, 5):
        from_file = geosig.signature(path, depth=depth)
        assert from_file == geosig.signature((VERTICES, FACES), depth=depth)
        assert from_file.occupancy.shape == (2 ** depth,) * 3
    assert geosig.signature(path, depth=2) != geosig.signature(path)


def tool_matches(catalog, model, *options):
    answer = json.loads(run_tool("query", "--json", "--db", str(catalog), model, *options).stdout)
    return [(match["file"], dict(match["distance"], mirrored=match["mirrored"]), match["scale"])
            for match in answer["files"][0]["matches"]]


def python_matches(found):
    return [(match["path"], {part: match[key] for part, key in (("combined", "distance"), ("occupancy", "occupancy"),
                                                                 ("views", "views"), ("shape", "shape"),
                                                                 ("size", "size"), ("mirrored", "mirrored"))},
             match["scale"]) for match in found]


def test_query_answers_as_the_command_line(catalog):
    for model, k, any_size, mirrors in ((SAMPLE_FILES[0], 10, False, "flag"), (SAMPLE_FILES[-1], 4, True, "exclude"),
                                        (SAMPLE_FILES[5], 1, False, "flag")):
        options = ["-k", str(k), "--mirrors", mirrors] + (["--any-size"] if any_size else [])
        expected = tool_matches(catalog, model, *options)
        assert len(expected) == min(k, len(SAMPLE_FILES))
        assert python_matches(geosig.query(catalog, model, k, any_size=any_size, mirrors=mirrors)) == expected
        # The same model given as its signature, and each distance as distance() measures it.
        signature = geosig.signature(model)
        assert python_matches(geosig.query(catalog, signature, k, any_size=any_size, mirrors=mirrors)) == expected
        for path, parts, _ in expected:
            assert geosig.distance(signature, geosig.signature(path), any_size=any_size) == parts


def test_resident_catalog_answers_as_the_command_line(catalog, tmp_path):
    resident = geosig.Catalog(catalog)
    assert len(resident) == len(SAMPLE_FILES) and resident.note == ""
    for model, k, any_size in ((SAMPLE_FILES[0], 10, False), (SAMPLE_FILES[-1], 4, True)):
        options = ["-k", str(k)] + (["--any-size"] if any_size else [])
        expected = tool_matches(catalog, model, *options)
        assert python_matches(resident.query(model, k, any_size=any_size)) == expected
        assert python_matches(resident.query(model, k, any_size=any_size, exact=True)) == expected
        assert tool_matches(catalog, "--entry", model, *options) == \
            python_matches(resident.neighbours(model, k, any_size=any_size))
    output = tmp_path / "neighbours.jsonl"
    assert run_tool("neighbours", "--db", str(catalog), "-k", "3", "-o", str(output)).returncode == 0
    for line in output.read_text().splitlines():
        record = json.loads(line)
        expected = [(match["file"], dict(match["distance"], mirrored=match["mirrored"]), match["scale"])
                    for match in record["neighbours"]]
        assert python_matches(resident.neighbours(record["file"], 3)) == expected
    duplicates = json.loads(run_tool("duplicates", "--db", str(catalog), "--json", "--max-distance", "0.3").stdout)
    assert resident.duplicates(0.3) == duplicates["similar"]
    assert not resident.refresh()
    with pytest.raises(KeyError, match="not indexed"):
        resident.neighbours(tmp_path / "nothing.stl")
    with pytest.raises(FileNotFoundError, match="no such catalog"):
        geosig.Catalog(tmp_path / "missing.db")


def test_distance_of_signatures():
    peg, blocks = geosig.signature(SAMPLES / "peg.stl"), geosig.signature(SAMPLES / "blocks.glb")
    assert geosig.distance(peg, peg) == {"combined": 0.0, "occupancy": 0.0, "views": 0.0, "shape": 0.0, "size": 0.0,
                                         "mirrored": False}
    apart = geosig.distance(peg, blocks)
    assert apart == geosig.distance(blocks, peg) and apart["size"] > 0
    same_size = geosig.distance(peg, blocks, any_size=True)["combined"]
    assert apart["combined"] == pytest.approx(math.hypot(same_size, 0.2 * apart["size"]))
    with pytest.raises(ValueError, match="different depths"):
        geosig.distance(peg, geosig.signature(SAMPLES / "peg.stl", depth=4))
    with pytest.raises(TypeError):
        geosig.distance(peg, SAMPLES / "peg.stl")


def test_bad_models_and_arguments(bad_files, catalog):
    with pytest.raises(FileNotFoundError):
        geosig.signature(bad_files["missing"])
    with pytest.raises(ValueError, match=r"the reader crashed \(signal"):
        geosig.query(catalog, bad_files["crashing"])
    with pytest.raises(ValueError, match="the mesh has no triangle"):
        geosig.signature((VERTICES, FACES[:0]))
    for depth in (0, geosig.MAX_SIGNATURE_DEPTH + 1, 2.0):
        with pytest.raises(ValueError, match="depth"):
            geosig.signature(SAMPLE_FILES[0], depth=depth)
    with pytest.raises(ValueError, match="k must be"):
        geosig.query(catalog, SAMPLE_FILES[0], 0)
    with pytest.raises(ValueError, match="mirrors must be"):
        geosig.query(catalog, SAMPLE_FILES[0], mirrors="keep")


def test_catalogs_that_cannot_be_used(tmp_path, catalog):
    query = geosig.signature(SAMPLE_FILES[0])
    with pytest.raises(FileNotFoundError, match="no such catalog"):
        geosig.query(tmp_path / "missing.db", query)
    with pytest.raises(geosig.CatalogError, match="not a catalog"):
        geosig.query(SAMPLE_FILES[0], query)
    newer = tmp_path / "newer.db"
    newer.write_bytes(catalog.read_bytes())
    with sqlite3.connect(newer) as database:
        database.execute("PRAGMA user_version = 99")
    with pytest.raises(geosig.CatalogError, match="written by a newer geosig"):
        geosig.query(newer, query)
    with pytest.raises(ValueError):  # CatalogError is one
        geosig.query(newer, query)


def test_worker_limits_bound_the_reading(tmp_path):
    # A binary STL of 200 000 triangles, longer to read than the worker's first memory sample,
    # read by a copy of the interpreter, larger than a hundredth of a GiB from the start.
    large = tmp_path / "large.stl"
    triangles = np.zeros(200_000, dtype=[("normal", "<f4", 3), ("corners", "<f4", (3, 3)), ("attribute", "<u2")])
    triangles["corners"] = np.random.default_rng(1).random((len(triangles), 3, 3))
    large.write_bytes(bytes(80) + struct.pack("<I", len(triangles)) + triangles.tobytes())
    for read in (geosig.describe, geosig.signature):
        with pytest.raises(ValueError) as failure:
            read(large, memory_limit=0.01)
        assert str(failure.value) == f"{large}: reading needed more than 0.01 GiB"
    for keywords in ({"time_limit": 0}, {"memory_limit": -1.0}, {"time_limit": float("nan")}, {"memory_limit": "1"}):
        with pytest.raises(ValueError, match="must be a positive number"):
            geosig.signature(SAMPLE_FILES[0], **keywords)
