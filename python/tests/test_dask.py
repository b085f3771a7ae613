"""Catalogs on local Dask clusters of process workers: the lines of ``geosig batch``, resumed
runs, and workers lost on the way."""

import json
import os
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


class KillTheWorker(WorkerPlugin):
    """Makes a worker die, as on a lost machine, when it is given a file named as marked."""

    def __init__(self, marker: str):
        self.marker = marker

    def setup(self, worker):
        describe = geosig._geosig.describe_record

        def dying(path, options):
            if self.marker in path:
                os._exit(1)
            return describe(path, options)

        geosig._geosig.describe_record = dying


def test_a_lost_worker_costs_its_file_an_error_record(tmp_path, client):
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
