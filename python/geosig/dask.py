"""Catalogs described or indexed on a Dask cluster.

describe_catalog writes the JSON lines of ``geosig batch``, index_catalog brings the SQLite
catalog of ``geosig index`` up to date, duplicates finds a catalog's near-identical parts. The
first two are the commands' own run over the files (the
extension's ModelFileRun) with the cluster as its executor: the workers read the files; the
results come back as they finish and the caller writes them, so a stopped run loses nothing
finished and the next run resumes. Every worker must import the same version of geosig and see the files at the
paths given.

A script that creates the local cluster (no client given) must call these functions under
``if __name__ == "__main__":``, since the worker processes import the script's module again.
"""

import os
import threading
import warnings
from dataclasses import dataclass
from typing import Callable, Dict, Iterable, List, Optional, Sequence, Tuple, TypeVar

from distributed import Client, Future, LocalCluster, as_completed
from distributed.scheduler import KilledWorker

from . import _geosig
from ._failures import catalog_error
from ._options import Reading
from ._search import Catalog
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
    unwalked: Tuple[Tuple[str, str], ...] = ()
    """(directory, reason) of the directories that could not be walked; each has its error record."""


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
    allows), and a directory that could not be walked (named in CatalogRun.unwalked and in a
    RuntimeWarning); the run goes on. With resume=True the records already in out are kept and only the
    other files are described, as ``geosig batch --resume`` does.

    client is the cluster to run on; without one, a local cluster of ``workers`` processes (by
    default one per processor), one thread each, is started and stopped. progress shows a
    progress line on standard error (by default when it is a terminal). The tessellation
    keywords and worker limits are those of geosig.describe; each part is tessellated on one
    thread, as ``geosig batch`` does, since every Dask worker keeps a processor busy.

    Raises OSError when out or a list cannot be opened or written, ValueError when nothing is
    found, out is one of the files or lists or holds a line that is not a record, or a keyword
    is invalid, and RuntimeError when a worker runs another version of geosig.
    """
    reading = _catalog_reading(relative_deflection, deflection, angular_deflection, time_limit, memory_limit)
    files = _model_files(paths, lists)
    if files.empty:
        raise ValueError("no model file found")
    records = _geosig.BatchRecords(os.fspath(out), resume, files)
    for directory, reason in records.unwalked:
        warnings.warn(f"{directory}: {reason}", RuntimeWarning, stacklevel=2)
    run = _geosig.ModelFileRun(records, _shown(progress))
    _run_on_cluster(run, client, workers, _describe_records, reading, "describing")
    return CatalogRun(described=run.done - run.failed, failed=run.failed, kept=records.kept,
                      unwalked=tuple(records.unwalked))


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
        run = _geosig.ModelFileRun(update, _shown(progress))
        _run_on_cluster(run, client, workers, _index_records, reading, "indexing", len(update.untouched))
    except _geosig.CatalogFailure as failure:
        raise catalog_error(catalog, str(failure)) from None
    return IndexRun(indexed=run.done - run.failed, failed=run.failed, unchanged=update.unchanged,
                    removed=update.removed, untouched=tuple(update.untouched))


def duplicates(catalog: PathLike, client: Optional[Client] = None, *, max_distance: float = 0.05,
               any_size: bool = False, exact: bool = False, workers: Optional[int] = None) -> List[List[str]]:
    """The groups of near-identical parts of ``geosig.Catalog(catalog).duplicates``, their search
    shared among the cluster's workers.

    Each task links a share of the parts to their near-identical ones in a resident copy of the
    catalog that its worker process keeps open between tasks; the caller joins the links into
    groups. Every worker must see the catalog at the path given. client and workers are those of
    describe_catalog."""
    if not max_distance >= 0:
        raise ValueError(f"max_distance must not be negative, not {max_distance!r}")
    resident = Catalog(catalog)
    ids = resident._native.ids()

    def links_on(cluster: Client) -> List[Tuple[int, int]]:
        _check_worker_versions(cluster)
        threads = sum(worker["nthreads"] for worker in cluster.scheduler_info()["workers"].values())
        size = max(1, len(ids) // (4 * max(1, threads)))
        futures = cluster.map(_duplicate_links, [ids[start:start + size] for start in range(0, len(ids), size)],
                              catalog=os.fsdecode(resident._path), max_distance=float(max_distance),
                              any_size=bool(any_size), exact=bool(exact), pure=False)
        try:
            return [link for future in as_completed(futures) for link in future.result()]
        except BaseException:
            cluster.cancel(futures)
            raise

    links = _on_cluster(client, workers, links_on) if ids else []
    groups = resident._call(resident._native.duplicate_groups, links)
    return [[os.fsdecode(path) for path in group] for group in groups]


# The catalogs a worker process keeps open between duplicates tasks, by path.
_resident_catalogs: Dict[str, Catalog] = {}
_resident_lock = threading.Lock()


def _duplicate_links(ids: List[int], catalog: str, max_distance: float, any_size: bool,
                     exact: bool) -> List[Tuple[int, int]]:
    """The task the workers run for duplicates: links from the parts ids to their near-identical parts."""
    with _resident_lock:
        resident = _resident_catalogs.get(catalog)
        if resident is None:
            resident = _resident_catalogs[catalog] = Catalog(catalog)
        else:
            resident.refresh()
    return resident._call(resident._native.duplicate_links, ids, max_distance, any_size, exact)


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


def _shown(progress: Optional[bool]) -> bool:
    """Whether the progress line is shown: by default when standard error is a terminal."""
    return os.isatty(2) if progress is None else progress


def _run_on_cluster(run: "_geosig.ModelFileRun", client: Optional[Client], workers: Optional[int],
                    task: Callable[[List, Reading], List[Tuple[bool, str]]], reading: Reading, doing: str,
                    untouched: int = 0) -> None:
    """The run over its files, as ModelFileRun.Run makes it, with the cluster as the executor."""
    run.start()
    files = run.files
    if files:
        _on_cluster(client, workers, lambda cluster: _run_tasks(cluster, task, files, reading, doing, run.collect))
    run.finish(untouched)


def _on_cluster(client: Optional[Client], workers: Optional[int], run: Callable[[Client], _Result]) -> _Result:
    """run on the client, or on a local cluster of process workers started for it."""
    if client is not None:
        return run(client)
    processes = workers or len(os.sched_getaffinity(0))
    with LocalCluster(n_workers=processes, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as own_client:
        return run(own_client)


def _run_tasks(client: Client, task: Callable[[List, Reading], List[Tuple[bool, str]]], items: Sequence,
               reading: Reading, doing: str, collect: Callable[[int, bool, str], None]) -> None:
    """Runs task over the items on the cluster, a few items a task, and hands each outcome to
    collect as it comes: (position, succeeded, payload or reason), the reason the task's own or
    why it could not run. The items of a task whose worker was lost are tried again one a task, so
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
                outcomes = future.result()
            except KilledWorker:
                if len(positions) > 1:
                    running.update(submit([[position] for position in positions]))
                    continue
                outcomes = [(False, f"the Dask worker {doing} it was lost")] * len(positions)
            except Exception as failure:  # the record says what went wrong; the run goes on
                reason = " ".join(f"the Dask task failed: {type(failure).__name__}: {failure}".split())
                outcomes = [(False, reason)] * len(positions)
            future.release()
            for position, (succeeded, value) in zip(positions, outcomes):
                collect(position, succeeded, value)
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


def _describe_records(paths: List[bytes], reading: Reading) -> List[Tuple[bool, str]]:
    """The task the workers run for describe_catalog: each file's record line, or why it has none."""
    return _geosig.describe_records(paths, reading.options(), reading.limits())


def _index_records(paths: List[bytes], reading: Reading) -> List[Tuple[bool, str]]:
    """The task the workers run for index_catalog: each file's index record, or why it has none."""
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
