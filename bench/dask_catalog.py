"""Files per second of geosig.dask.describe_catalog on a local cluster of 1 and of 2 process workers.

    build/release/host/geosig_make_samples --step-catalog /tmp/parts --count 200
    PYTHONPATH=build/release/python /usr/bin/python3 bench/dask_catalog.py /tmp/parts

Each cluster is started and warmed up before it is timed; the run is repeated and the best time
kept, and the load average is printed, since other work on the machine skews the figures.
"""

import argparse
import os
import tempfile
import time

from distributed import Client, LocalCluster

import geosig.dask


def best_rate(client: Client, catalog: str, repeats: int) -> float:
    best = float("inf")
    with tempfile.TemporaryDirectory() as scratch:
        for _ in range(repeats):
            start = time.perf_counter()
            run = geosig.dask.describe_catalog([catalog], os.path.join(scratch, "catalog.jsonl"), client)
            best = min(best, time.perf_counter() - start)
    return (run.described + run.failed) / best


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("catalog", help="a directory of model files")
    parser.add_argument("--repeats", type=int, default=2)
    arguments = parser.parse_args()
    rates = {}
    for workers in (1, 2):
        with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
                Client(cluster) as client:
            best_rate(client, arguments.catalog, 1)  # workers import and warm up their readers
            rates[workers] = best_rate(client, arguments.catalog, arguments.repeats)
        print(f"{workers} worker(s): {rates[workers]:.1f} files/s (load average {os.getloadavg()[0]:.2f})")
    print(f"speed-up with 2 workers: {rates[2] / rates[1]:.2f}x")


if __name__ == "__main__":
    main()
