"""Files per second of geosig.dask.describe_catalog (or index_catalog) on a local cluster of 1 and
of 2 process workers.

    build/release/host/geosig_make_samples --step-catalog /tmp/parts --count 200
    PYTHONPATH=build/release/python /usr/bin/python3 bench/dask_catalog.py /tmp/parts [--index]

Each cluster is started and warmed up before it is timed; the run is repeated and the best time
kept, and the load average is printed, since other work on the machine skews the figures.
"""

import argparse
import os
import tempfile
import time

from distributed import Client, LocalCluster

import geosig.dask


def best_rate(client: Client, catalog: str, repeats: int, index: bool) -> float:
    best = float("inf")
    for _ in range(repeats):
        with tempfile.TemporaryDirectory() as scratch:
            start = time.perf_counter()
            if index:
                run = geosig.dask.index_catalog([catalog], os.path.join(scratch, "catalog.db"), client)
                files = run.indexed + run.failed
            else:
                run = geosig.dask.describe_catalog([catalog], os.path.join(scratch, "catalog.jsonl"), client)
                files = run.described + run.failed
            best = min(best, time.perf_counter() - start)
    return files / best


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("catalog", help="a directory of model files")
    parser.add_argument("--repeats", type=int, default=2)
    parser.add_argument("--index", action="store_true", help="index the catalog into a database instead")
    arguments = parser.parse_args()
    rates = {}
    for workers in (1, 2):
        with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
                Client(cluster) as client:
            best_rate(client, arguments.catalog, 1, arguments.index)  # workers import and warm up their readers
            rates[workers] = best_rate(client, arguments.catalog, arguments.repeats, arguments.index)
        print(f"{workers} worker(s): {rates[workers]:.1f} files/s (load average {os.getloadavg()[0]:.2f})")
    print(f"speed-up with 2 workers: {rates[2] / rates[1]:.2f}x")


if __name__ == "__main__":
    main()
