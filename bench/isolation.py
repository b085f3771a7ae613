#!/usr/bin/python3
"""The cost of a worker process end to end, for the command line and for the Python module:
`geosig describe` of a small mesh run N times (a process, its worker program and one worker
each), and geosig.describe of it called N times in one interpreter (the first call starts the
worker program; later ones fork a worker each).

    PYTHONPATH=build/release/python bench/isolation.py build/release/host/geosig data/samples/peg.stl
"""

import statistics
import subprocess
import sys
import time

import geosig


def milliseconds(action, runs):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        action()
        times.append((time.perf_counter() - start) * 1000)
    return times


def main():
    tool, model = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 30
    first = milliseconds(lambda: geosig.describe(model), 1)[0]
    calls = milliseconds(lambda: geosig.describe(model), runs)
    commands = milliseconds(lambda: subprocess.run([tool, "describe", "--json", model], check=True,
                                                   stdout=subprocess.DEVNULL), runs)
    print(f"python first describe   {first:7.1f} ms")
    print(f"python describe         {statistics.median(calls):7.1f} ms median of {runs}")
    print(f"geosig describe (CLI)   {statistics.median(commands):7.1f} ms median of {runs}")


if __name__ == "__main__":
    main()
