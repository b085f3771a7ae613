"""Catalogs on local Dask clusters of process workers: the lines of ``geosig batch`` and the
database of ``geosig index``, resumed runs, and workers lost on the way."""

import json
import os
import shutil
import sqlite3
from pathlib import Path

import dask
import pytest
from distributed import Client, LocalCluster
from distributed.diagnostics.plugin import WorkerPlugin

import geosig.dask
from conftest import SAMPLES, run_tool, tool_records


def lines(path: Path) -> list:
    return sorted(path.read_text().splitlines())


@pytest.fixture(scope="module")
def client():
    """Two process workers of one thread; a task whose worker dies fails at once, and a worker
    holds no more tasks than it runs, so that a death takes only its own file with it."""
    with dask.config.set({"distributed.scheduler.allowed-failures": 0, "distributed.scheduler.worker-saturation": 1.0}):
        with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
                Client(cluster) as dask_client:
            yield dask_client


def test_records_are_those_of_batch_and_describe(tmp_path, bad_files):
    catalog = [str(SAMPLES), bad_files["missing"], bad_files["empty"]]
    out = tmp_path / "catalog.jsonl"
    run = geosig.dask.describe_catalog(catalog, out, workers=2)
    assert (run.described, run.failed, run.kept) == (9, 2, 0)
    assert run_tool("batch", *catalog, "-o", str(tmp_path / "tool.jsonl")).returncode == 1
    assert lines(out) == lines(tmp_path / "tool.jsonl")
    from_dask = {record["file"]: record for record in map(json.loads, lines(out))}
    for from_tool in tool_records("describe", sorted(from_dask)):
        assert from_dask[from_tool["file"]] == from_tool


def test_a_resumed_run_keeps_what_was_done_and_repeats_nothing(tmp_path, client):
    catalog = [str(SAMPLES / name) for name in ("peg.stl", "brick.obj", "blocks.glb", "peg.obj")]
    out = tmp_path / "catalog.jsonl"
    geosig.dask.describe_catalog(catalog, out, client)
    complete = out.read_text().splitlines(keepends=True)
    # A run stopped while writing its third record.
    out.write_text("".join(complete[:2]) + complete[2][:20])
    run = geosig.dask.describe_catalog(catalog, out, client, resume=True)
    assert (run.described, run.failed, run.kept) == (2, 0, 2)
    assert lines(out) == sorted(line.rstrip("\n") for line in complete)

    out.write_text("not a record\n")
    with pytest.raises(ValueError, match="line 1 is not a batch record"):
        geosig.dask.describe_catalog(catalog, out, client, resume=True)
    # An output that is one of the models is refused before anything is written, as batch refuses it.
    model = tmp_path / "peg.stl"
    shutil.copy(SAMPLES / "peg.stl", model)
    with pytest.raises(ValueError, match="is one of the models or lists: it would be overwritten"):
        geosig.dask.describe_catalog([model], model, client)
    assert model.read_bytes() == (SAMPLES / "peg.stl").read_bytes()
    with pytest.raises(FileNotFoundError):
        geosig.dask.describe_catalog(catalog, tmp_path / "no" / "out.jsonl", client)


class KillTheWorker(WorkerPlugin):
    """Makes a worker die, as on a lost machine, when it is given a file named as marked."""

    def __init__(self, marker: str):
        self.marker = marker

    def setup(self, worker):
        for name in ("describe_records", "index_records"):
            setattr(geosig._geosig, name, self.dying(getattr(geosig._geosig, name)))

    def dying(self, read):
        def read_unless_marked(paths, *arguments):
            if any(self.marker in os.fsdecode(path) for path in paths):
                os._exit(1)
            return read(paths, *arguments)
        return read_unless_marked


def test_a_lost_worker_costs_its_file_an_error_record(tmp_path, client, monkeypatch):
    # The files of a lost task are tried again one a task: only the doomed one is lost.
    monkeypatch.setattr(geosig.dask, "_items_a_task", lambda items, threads: 4)
    doomed = tmp_path / "doomed.stl"
    doomed.write_bytes((SAMPLES / "peg.stl").read_bytes())
    catalog = [str(SAMPLES), str(doomed)]
    client.register_worker_plugin(KillTheWorker("doomed"))
    out = tmp_path / "catalog.jsonl"
    run = geosig.dask.describe_catalog(catalog, out, client)
    assert (run.described, run.failed) == (9, 1)
    records = {record["file"]: record for record in map(json.loads, lines(out))}
    assert records.pop(str(doomed)) == {"file": str(doomed), "error": "the Dask worker describing it was lost"}
    assert all("descriptors" in record for record in records.values())

    run = geosig.dask.index_catalog(catalog, tmp_path / "catalog.db", client)
    assert (run.indexed, run.failed) == (9, 1)
    assert [part for part in catalog_content(tmp_path / "catalog.db") if part[6] is not None] == \
        [(str(doomed), geosig.fingerprint(doomed), doomed.stat().st_size, None, OPTIONS, "failed",
          "the Dask worker indexing it was lost") + (None,) * 6]


def by_distance(matches: list) -> list:
    return sorted(matches, key=lambda match: (match["distance"], match["path"]))


OPTIONS = "relative-deflection=0.001 deflection=0 angular-deflection=0.5"


def catalog_content(database: Path) -> list:
    """Every part with its signature and occupancy, by path; the ids left out."""
    with sqlite3.connect(database) as connection:
        return connection.execute(
            "SELECT path, fingerprint, size, format, options, status, error, descriptors, norm, terms, coarse, depth, "
            "cells FROM parts LEFT JOIN occupancies ON part = id ORDER BY path").fetchall()


def test_an_index_is_that_of_geosig_index(tmp_path, client, bad_files):
    parts = tmp_path / "parts"
    shutil.copytree(SAMPLES, parts)
    for kind in ("empty", "garbage"):
        shutil.copy(bad_files[kind], parts)
    ours, theirs = tmp_path / "ours.db", tmp_path / "theirs.db"

    def index_both():
        run = geosig.dask.index_catalog([parts], ours, client)
        assert run_tool("index", str(parts), "--db", str(theirs)).returncode == 1
        assert catalog_content(ours) == catalog_content(theirs)
        peg = str(SAMPLES / "peg.step")
        # Exact ties (the peg in three mesh formats) rank by id, that is by the order the files
        # were recorded in, which the workers' finishing order decides.
        assert by_distance(geosig.query(ours, peg)) == by_distance(geosig.query(theirs, peg))
        return run

    assert index_both() == geosig.dask.IndexRun(indexed=9, failed=2, unchanged=0, removed=0)
    # Duplicates shared among the workers are those of one process.
    resident = geosig.Catalog(ours)
    assert resident.duplicates() and geosig.dask.duplicates(ours, client) == resident.duplicates()
    assert geosig.dask.duplicates(ours, client, max_distance=0.3, any_size=True) == \
        resident.duplicates(0.3, any_size=True)
    # Again, once a file changed and another is gone: the empty file, which has no fingerprint,
    # is recorded again; the garbage, unchanged, is not read again.
    shutil.copy(parts / "peg.obj", parts / "brick.obj")
    (parts / "peg.stl").unlink()
    assert index_both() == geosig.dask.IndexRun(indexed=1, failed=1, unchanged=8, removed=1)

    with pytest.raises(geosig.CatalogError, match="not a catalog"):
        geosig.dask.index_catalog([parts], SAMPLES / "peg.stl", client)
    with pytest.raises(ValueError, match="at least one path"):
        geosig.dask.index_catalog([], ours, client)


def test_an_index_keeps_the_entries_of_a_root_missing_or_found_empty(tmp_path, client):
    share = tmp_path / "share"
    shutil.copytree(SAMPLES, share)
    catalog = tmp_path / "catalog.db"
    with pytest.raises(geosig.CatalogError, match="is one of the models or lists: it would be overwritten"):
        geosig.dask.index_catalog([share], share / "peg.stl", client)
    geosig.dask.index_catalog([share], catalog, client)
    indexed = catalog_content(catalog)
    assert indexed

    # The share is not mounted: its mount point is missing, then empty. Nothing is read or dropped.
    shutil.move(share, tmp_path / "elsewhere")
    with pytest.warns(RuntimeWarning, match="share: no such file or directory"):
        run = geosig.dask.index_catalog([share], catalog, client)
    assert run == geosig.dask.IndexRun(indexed=0, failed=0, unchanged=0, removed=0,
                                       untouched=((str(share), "no such file or directory"),))
    share.mkdir()
    with pytest.warns(RuntimeWarning, match=f"holds no model file, yet {len(indexed)} files are indexed under it"):
        assert geosig.dask.index_catalog([share], catalog, client).removed == 0
    assert catalog_content(catalog) == indexed

    run = geosig.dask.index_catalog([share], catalog, client, prune=True)
    assert (run.removed, run.untouched) == (len(indexed), ())
    assert catalog_content(catalog) == []


def too_deep(parent: Path) -> None:
    """Directories nested in parent until their path is longer than the system takes: a walk
    cannot open the deepest, whoever runs the test."""
    level = os.open(parent, os.O_RDONLY | os.O_DIRECTORY)
    length = len(str(parent))
    while length <= os.pathconf(parent, "PC_PATH_MAX"):
        os.mkdir("d" * 200, dir_fd=level)
        deeper = os.open("d" * 200, os.O_RDONLY | os.O_DIRECTORY, dir_fd=level)
        os.close(level)
        level, length = deeper, length + 201
    os.close(level)


def test_a_directory_that_cannot_be_walked_gets_the_record_batch_gives_it(tmp_path, client):
    catalog = tmp_path / "catalog"
    (catalog / "deep").mkdir(parents=True)
    shutil.copy(SAMPLES / "peg.stl", catalog)
    too_deep(catalog / "deep")
    out, theirs = tmp_path / "ours.jsonl", tmp_path / "theirs.jsonl"
    with pytest.warns(RuntimeWarning, match="cannot be walked: File name too long"):
        run = geosig.dask.describe_catalog([catalog], out, client)
    assert (run.described, run.failed, run.kept) == (1, 0, 0)
    [(directory, reason)] = run.unwalked
    assert directory.startswith(str(catalog / "deep")) and reason == "cannot be walked: File name too long"
    assert run_tool("batch", str(catalog), "-o", str(theirs)).returncode == 1
    assert lines(out) == lines(theirs)
    # Resumed, the directory keeps its one record.
    with pytest.warns(RuntimeWarning):
        run = geosig.dask.describe_catalog([catalog], out, client, resume=True)
    assert (run.described, run.kept) == (0, 2)
    assert lines(out) == lines(theirs)
