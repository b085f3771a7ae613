"""Catalogs described or indexed on a Dask cluster.

describe_catalog writes the JSON lines of ``geosig batch``, index_catalog brings the SQLite
catalog of ``geosig index`` up to date. The workers read the files; the results come back as
they finish and the caller writes them, so a stopped run loses nothing finished and the next
run resumes. Every worker must import the same version of geosig and see the files at the
paths given.

A script that creates the local cluster (no client given) must call these functions under
``if __name__ == "__main__":``, since the worker processes import the script's module again.
"""

import json
import os
import warnings
from dataclasses import dataclass
from typing import Callable, Iterable, List, Optional, Sequence, Tuple, TypeVar

from distributed import Client, Future, LocalCluster, as_completed
from distributed.scheduler import KilledWorker

from . import _geosig
from ._failures import catalog_error, file_error
from ._options import Reading
from ._types import PathLike

_Result = TypeVar("_Result")


@dataclass(frozen=True)
class CatalogRun:
    """What a describe_catalog call did."""

    described: int
    """Files described on this run."""
    failed: int
    """Files of this run whose record is an error."""
    kept: int
    """Records kept from an earlier run (resume=True)."""


@dataclass(frozen=True)
class IndexRun:
    """What an index_catalog call did."""

    indexed: int
    """Files read and recorded with their signature on this run."""
    failed: int
    """Files of this run recorded with the reason they could not be read."""
    unchanged: int
    """Files already indexed with the same fingerprint and tessellation, not read again."""
    removed: int
    """Indexed files gone from the directories given, dropped from the catalog."""
    untouched: Tuple[Tuple[str, str], ...] = ()
    """(path, reason) of the paths not brought up to date, whose entries were kept: directories that
    could not be walked, paths that do not exist, and directories that hold no model file while
    files are indexed under them (unless prune=True)."""


def describe_catalog(paths: Iterable[PathLike], out: PathLike, client: Optional[Client] = None, *,
                     lists: Iterable[PathLike] = (), resume: bool = False, workers: Optional[int] = None,
                     progress: Optional[bool] = None, relative_deflection: Optional[float] = None,
                     deflection: Optional[float] = None, angular_deflection: Optional[float] = None,
                     time_limit: Optional[float] = None, memory_limit: Optional[float] = None) -> CatalogRun:
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
    keywords and worker limits are those of geosig.describe; each part is tessellated on one
    thread, as ``geosig batch`` does, since every Dask worker keeps a processor busy.

    Raises OSError when out cannot be written or a directory cannot be walked, ValueError when
    the catalog holds no file, out holds a line that is not a record, or a keyword is invalid,
    and RuntimeError when a worker runs another version of geosig.
    """
    reading = _catalog_reading(relative_deflection, deflection, angular_deflection, time_limit, memory_limit)
    out = os.fspath(out)
    files = _model_files(paths, lists).files
    if not files:
        raise ValueError("no model file found")
    try:
        output = _geosig.BatchOutput(out, resume)
    except _geosig.FileFailure as failure:
        raise file_error(out, str(failure)) from None
    kept = output.recorded_files()
    pending = [path for path in files if path not in kept]
    line = _ProgressCount(len(pending), progress)

    def write(position: int, record: Optional[str], reason: Optional[str]) -> None:
        if record is None:
            record = _geosig.error_record(pending[position], reason)
        try:
            output.append(record)
        except _geosig.FileFailure as failure:
            raise OSError(f"the output cannot be written: {failure}") from None
        line.count("error" in json.loads(record))

    if pending:
        _on_cluster(client, workers, lambda cluster: _run_tasks(cluster, _describe_records, pending, reading,
                                                                "describing", write))
    line.finish()
    return CatalogRun(described=line.done - line.failed, failed=line.failed, kept=len(kept))


def index_catalog(paths: Iterable[PathLike], catalog: PathLike, client: Optional[Client] = None, *,
                  lists: Iterable[PathLike] = (), prune: bool = False, workers: Optional[int] = None,
                  progress: Optional[bool] = None, relative_deflection: Optional[float] = None,
                  deflection: Optional[float] = None, angular_deflection: Optional[float] = None,
                  time_limit: Optional[float] = None, memory_limit: Optional[float] = None) -> IndexRun:
    """Brings the catalog database of ``geosig index`` up to date with model files, read on a
    Dask cluster.

    paths and lists name the files as describe_catalog takes them. The catalog (SQLite, created
    when missing) ends as ``geosig index PATHS --db CATALOG`` leaves it: a file indexed before
    with the same fingerprint and tessellation is not read again, a changed one is replaced, an
    indexed file gone from one of the directories among paths is dropped, and a file that
    cannot be read, or whose worker was lost, is recorded with the reason. Nothing else is
    dropped: a directory that cannot be walked, a path that does not exist and a directory that
    holds no model file while files are indexed under it (an unmounted share looks so; prune=True
    drops them) keep their entries, and each is named in IndexRun.untouched and in a
    RuntimeWarning. The workers read
    and sign the files; the caller writes each into the catalog as it comes back, in its own
    transaction, so a stopped run loses nothing finished.

    client, workers and progress are those of describe_catalog, and so are the tessellation
    keywords and worker limits.

    Raises ValueError when neither paths nor lists are given or a keyword is invalid, OSError
    when a directory cannot be walked or the catalog cannot be opened, geosig.CatalogError (a
    ValueError) for a catalog that is no catalog, is damaged or was written by a newer geosig,
    and RuntimeError when a worker runs another version of geosig.
    """
    reading = _catalog_reading(relative_deflection, deflection, angular_deflection, time_limit, memory_limit)
    paths = [os.fspath(path) for path in paths]
    lists = [os.fspath(path) for path in lists]
    if not paths and not lists:
        raise ValueError("give at least one path or list")
    files = _model_files(paths, lists)
    catalog = os.fspath(catalog)
    try:
        update = _geosig.CatalogUpdate(catalog, files, reading.options(), prune)
        for path, reason in update.untouched:
            warnings.warn(f"{path}: {reason}", RuntimeWarning, stacklevel=2)
        line = _ProgressCount(update.pending, progress)
        for _ in update.record_unreadable():
            line.count(True)

        def record(position: int, value: Optional[str], reason: Optional[str]) -> None:
            _, error = update.record(position, value) if reason is None else update.record_failure(position, reason)
            line.count(error is not None)

        to_read = update.to_read
        if to_read:
            _on_cluster(client, workers, lambda cluster: _run_tasks(cluster, _index_records, to_read, reading,
                                                                    "indexing", record))
    except _geosig.CatalogFailure as failure:
        raise catalog_error(catalog, str(failure)) from None
    line.finish(len(update.untouched))
    return IndexRun(indexed=line.done - line.failed, failed=line.failed, unchanged=update.unchanged,
                    removed=update.removed, untouched=tuple(update.untouched))


def _catalog_reading(relative_deflection: Optional[float], deflection: Optional[float],
                     angular_deflection: Optional[float], time_limit: Optional[float],
                     memory_limit: Optional[float]) -> Reading:
    # One tessellation thread per part: each Dask worker is a processor's work, as each of batch's.
    return Reading(relative_deflection, deflection, angular_deflection, time_limit, memory_limit,
                   parallel_tessellation=False)


def _model_files(paths: Iterable[PathLike], lists: Iterable[PathLike]) -> "_geosig.ModelFileSet":
    try:
        return _geosig.model_files([os.fspath(path) for path in paths], [os.fspath(path) for path in lists])
    except _geosig.FileFailure as failure:
        raise OSError(str(failure)) from None


class _ProgressCount:
    """The files done and failed so far, on the commands' progress line."""

    def __init__(self, total: int, shown: Optional[bool]):
        self.done = self.failed = 0
        self._line = _geosig.ProgressLine(total, _geosig.ProgressLine.on_terminal() if shown is None else shown)

    def count(self, failed: bool) -> None:
        self.done += 1
        self.failed += failed
        self._line.show(self.done, self.failed)

    def finish(self, untouched: int = 0) -> None:
        self._line.finish(self.done, self.failed, untouched)


def _on_cluster(client: Optional[Client], workers: Optional[int], run: Callable[[Client], _Result]) -> _Result:
    """run on the client, or on a local cluster of process workers started for it."""
    if client is not None:
        return run(client)
    processes = workers or len(os.sched_getaffinity(0))
    with LocalCluster(n_workers=processes, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as own_client:
        return run(own_client)


def _run_tasks(client: Client, task: Callable[[List, Reading], List[str]], items: Sequence, reading: Reading,
               doing: str, collect: Callable[[int, Optional[str], Optional[str]], None]) -> None:
    """Runs task over the items on the cluster, a few items a task, and hands each outcome to
    collect as it comes: (position, value, None), or (position, None, reason) when the task
    could not run. The items of a task whose worker was lost are tried again one a task, so
    that only the item that kills its worker is lost. What collect raises cancels the tasks left
    and is raised."""
    _check_worker_versions(client)
    size = _items_a_task(len(items), sum(worker["nthreads"] for worker in client.scheduler_info()["workers"].values()))
    positions_of = {}

    def submit(groups: List[List[int]]) -> List[Future]:
        futures = client.map(task, [[items[position] for position in group] for group in groups], reading=reading,
                             pure=False)
        positions_of.update((future.key, group) for future, group in zip(futures, groups))
        return futures

    running = as_completed(submit([list(range(start, min(start + size, len(items))))
                                   for start in range(0, len(items), size)]))
    try:
        for future in running:
            positions = positions_of.pop(future.key)
            try:
                values, reason = future.result(), None
            except KilledWorker:
                if len(positions) > 1:
                    running.update(submit([[position] for position in positions]))
                    continue
                values, reason = None, f"the Dask worker {doing} it was lost"
            except Exception as failure:  # the record says what went wrong; the run goes on
                values, reason = None, " ".join(f"the Dask task failed: {type(failure).__name__}: {failure}".split())
            future.release()
            for offset, position in enumerate(positions):
                collect(position, None if values is None else values[offset], reason)
    except BaseException:
        client.cancel(list(running.futures))
        raise


# A task reads its files in turn in one process of its own, so that the process's start, the
# readers' first-use setup and the scheduler's round trip are paid once for several files.
_MOST_ITEMS_A_TASK = 16


def _items_a_task(items: int, threads: int) -> int:
    """Items a task: as many as _MOST_ITEMS_A_TASK while every worker thread still gets some
    eight tasks, so that the threads end the run close together."""
    return max(1, min(_MOST_ITEMS_A_TASK, items // (8 * max(1, threads))))


def _describe_records(paths: List[str], reading: Reading) -> List[str]:
    """The task the workers run for describe_catalog: the files' record lines."""
    return _geosig.describe_records(paths, reading.options(), reading.limits())


def _index_records(paths: List[bytes], reading: Reading) -> List[str]:
    """The task the workers run for index_catalog: the files' index records."""
    return _geosig.index_records(paths, reading.options(), reading.limits())


def _worker_version() -> str:
    return _geosig.__version__


def _check_worker_versions(client: Client) -> None:
    """Records from another version could differ: every worker must run the caller's geosig."""
    others = {worker: version for worker, version in client.run(_worker_version).items()
              if version != _geosig.__version__}
    if others:
        listed = ", ".join(f"{worker} has {version}" for worker, version in sorted(others.items()))
        raise RuntimeError(f"the workers must run geosig {_geosig.__version__}: {listed}")
