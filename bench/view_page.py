#!/usr/bin/python3
"""Times `geosig view` on a large synthetic model and reports the page it writes: its size and the
triangles it draws. Usage: view_page.py GEOSIG [--triangles N] (default about a million)."""
import argparse
import math
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "serve"))
from service import sphere_stl  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("geosig")
    parser.add_argument("--triangles", type=int, default=1_000_000)
    arguments = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="geosig-view-bench-") as directory:
        model, page = os.path.join(directory, "model.stl"), os.path.join(directory, "model.html")
        stl = sphere_stl(max(2, round(math.sqrt(arguments.triangles / 2))))
        with open(model, "wb") as file:
            file.write(stl)
        triangles = int.from_bytes(stl[80:84], "little")
        start = time.monotonic()
        run = subprocess.run([arguments.geosig, "view", model, "-o", page], capture_output=True, text=True, check=True)
        elapsed = time.monotonic() - start
        drawn = next(line.split()[-1] for line in run.stdout.splitlines() if "drawn triangles" in line)
        print(f"model: {triangles} triangles, {os.path.getsize(model) / 1e6:.1f} MB of STL")
        print(f"page:  {drawn} triangles drawn, {os.path.getsize(page) / 1e6:.2f} MB, written in {elapsed:.1f} s")


if __name__ == "__main__":
    main()
