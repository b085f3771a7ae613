#!/usr/bin/python3
"""Times `geosig view` on a large synthetic model and reports the page it writes: its size and the
triangles it draws. Usage: view_page.py GEOSIG [--triangles N] (default about a million)."""
import argparse
import math
import os
import struct
import subprocess
import tempfile
import time


def write_bumpy_ellipsoid(path, bands):
    """A closed bumpy ellipsoid of 2 * bands * (bands - 1) triangles, as binary STL."""
    vertices = []
    for i in range(bands + 1):
        polar = math.pi * i / bands
        for j in range(bands):
            azimuth = 2 * math.pi * j / bands
            radius = 1 + 0.05 * math.sin(8 * azimuth) * math.sin(6 * polar)
            vertices.append((2 * radius * math.sin(polar) * math.cos(azimuth),
                             radius * math.sin(polar) * math.sin(azimuth), radius * math.cos(polar)))
    triangles = []
    for i in range(bands):
        for j in range(bands):
            a, b = i * bands + j, i * bands + (j + 1) % bands
            if i > 0:
                triangles.append((a, b, b + bands))
            if i + 1 < bands:
                triangles.append((a, b + bands, a + bands))
    with open(path, "wb") as file:
        file.write(bytes(80) + struct.pack("<I", len(triangles)))
        for triangle in triangles:
            file.write(struct.pack("<12fH", 0, 0, 0, *(c for k in triangle for c in vertices[k]), 0))
    return len(triangles)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("geosig")
    parser.add_argument("--triangles", type=int, default=1_000_000)
    arguments = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="geosig-view-bench-") as directory:
        model, page = os.path.join(directory, "model.stl"), os.path.join(directory, "model.html")
        triangles = write_bumpy_ellipsoid(model, max(2, round(math.sqrt(arguments.triangles / 2))))
        start = time.monotonic()
        run = subprocess.run([arguments.geosig, "view", model, "-o", page], capture_output=True, text=True, check=True)
        elapsed = time.monotonic() - start
        drawn = next(line.split()[-1] for line in run.stdout.splitlines() if "drawn triangles" in line)
        print(f"model: {triangles} triangles, {os.path.getsize(model) / 1e6:.1f} MB of STL")
        print(f"page:  {drawn} triangles drawn, {os.path.getsize(page) / 1e6:.2f} MB, written in {elapsed:.1f} s")


if __name__ == "__main__":
    main()
