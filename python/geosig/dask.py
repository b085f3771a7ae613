"""Catalogs described on a Dask cluster, written as the JSON lines of ``geosig batch``.

The workers read and describe the files; the records come back as they finish and the caller
writes them, one line each, to a file that a later run resumes. Every worker must import the
same version of geosig and see the files at the paths given.

A script that creates the local cluster (no client given) must call describe_catalog under
``if __name__ == "__main__":``, since the worker processes import the script's module again.
"""

import json
import os
from dataclasses import dataclass
from typing import Dict, Iterable, Optional

from distributed import Client, Future, LocalCluster, as_completed
from distributed.scheduler import KilledWorker

from . import _geosig
from ._failures import file_error
from ._options import import_options
from . import PathLike


@dataclass(frozen=True)
class CatalogRun:
    """What a describe_catalog call did."""

    described: int
    """Files described on this run."""
    failed: int
    """Files of this run whose record is an error."""
    kept: int
    """Records kept from an earlier run (resume=True)."""


def describe_catalog(paths: Iterable[PathLike], out: PathLike, client: Optional[Client] = None, *,
                     lists: Iterable[PathLike] = (), resume: bool = False, workers: Optional[int] = None,
                     progress: Optional[bool] = None, relative_deflection: Optional[float] = None,
                     deflection: Optional[float] = None, angular_deflection: Optional[float] = None) -> CatalogRun:
    """Describes a catalog of model files on a Dask cluster into the JSON-lines file out.

    paths and lists name the catalog as ``geosig batch`` takes it: files, directories walked
    recursively for the files a reader knows, and list files of such paths (one a line,
    relative to the list). out receives one record per file, exactly the line ``geosig batch``
    writes for it, in the order the files finish. A file that cannot be described gets its
    error record, and so does a file whose worker was lost (after the retries the scheduler
    allows); the run goes on. With resume=True the records already in out are kept and only the
    other files are described, as ``geosig batch --resume`` does.

    client is the cluster to run on; without one, a local cluster of ``workers`` processes (by
    default one per processor), one thread each, is started and stopped. progress shows a
    progress line on standard error (by default when it is a terminal). The tessellation
    keywords are those of geosig.describe.

    Raises OSError when out cannot be written or a directory cannot be walked, ValueError when
    the catalog holds no file, out holds a line that is not a record, or a keyword is invalid,
    and RuntimeError when a worker runs another version of geosig.
    """
    tessellation = {name: value for name, value in (("relative_deflection", relative_deflection),
                                                     ("deflection", deflection),
                                                     ("angular_deflection", angular_deflection)) if value is not None}
    import_options(**tessellation)
    out = os.fspath(out)
    try:
        files = _geosig.catalog_files([os.fspath(path) for path in paths], [os.fspath(path) for path in lists])
    except _geosig.FileFailure as failure:
        raise OSError(str(failure)) from None
    if not files:
        raise ValueError("no model file found")
    try:
        output = _geosig.BatchOutput(out, resume)
    except _geosig.FileFailure as failure:
        raise file_error(out, str(failure)) from None
    kept = output.recorded_files()
    pending = [path for path in files if path not in kept]
    shown = _geosig.ProgressLine.on_terminal() if progress is None else progress
    if client is not None:
        return _describe_on(client, pending, tessellation, output, shown, len(kept))
    processes = workers or len(os.sched_getaffinity(0))
    with LocalCluster(n_workers=processes, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as own_client:
        return _describe_on(own_client, pending, tessellation, output, shown, len(kept))


def _describe_on(client: Client, files: list, tessellation: Dict[str, float], output: "_geosig.BatchOutput",
                 shown: bool, kept: int) -> CatalogRun:
    _check_worker_versions(client)
    progress = _geosig.ProgressLine(len(files), shown)
    futures = client.map(_describe_record, files, tessellation=tessellation, pure=False)
    file_of = {future.key: path for future, path in zip(futures, files)}
    done = failed = 0
    for future in as_completed(futures):
        record = _record_of(future, file_of[future.key])
        future.release()
        try:
            output.append(record)
        except _geosig.FileFailure as failure:
            client.cancel(futures)
            raise OSError(f"the output cannot be written: {failure}") from None
        done += 1
        failed += "error" in json.loads(record)
        progress.show(done, failed)
    progress.finish(done, failed)
    return CatalogRun(described=done - failed, failed=failed, kept=kept)


def _describe_record(path: str, tessellation: Dict[str, float]) -> str:
    """The task each worker runs: the file's record line."""
    return _geosig.describe_record(path, import_options(**tessellation))


def _record_of(future: Future, path: str) -> str:
    """The record the task returned, or an error record when the task could not run."""
    try:
        return future.result()
    except KilledWorker:
        return _geosig.error_record(path, "the Dask worker describing it was lost")
    except Exception as failure:  # the record says what went wrong; the run goes on
        reason = " ".join(f"the Dask task failed: {type(failure).__name__}: {failure}".split())
        return _geosig.error_record(path, reason)


def _worker_version() -> str:
    return _geosig.__version__


def _check_worker_versions(client: Client) -> None:
    """Records from another version could differ: every worker must run the caller's geosig."""
    others = {worker: version for worker, version in client.run(_worker_version).items()
              if version != _geosig.__version__}
    if others:
        listed = ", ".join(f"{worker} has {version}" for worker, version in sorted(others.items()))
        raise RuntimeError(f"the workers must run geosig {_geosig.__version__}: {listed}")
