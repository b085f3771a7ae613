"""geosig.describe_mesh on two Python threads at once against one after the other: the module
releases the interpreter lock while it computes, so two threads should take about half the time.

    PYTHONPATH=build/release/python /usr/bin/python3 bench/describe_mesh_threads.py [--triangles N]

The mesh is a torus of about N triangles (default 2 million). Each figure is the best of a few
runs; the load average is printed, since other work on the machine skews them, and so is the
processor time over the wall time of the two threads: above 1, they ran at the same time.
"""

import argparse
import os
import threading
import time

import numpy as np

import geosig


def torus(triangles: int):
    """A torus of radii 10 and 3, as (vertices, faces), with about the number of triangles asked."""
    around = int(np.sqrt(triangles / 2))
    u, v = np.meshgrid(np.linspace(0, 2 * np.pi, around, endpoint=False),
                       np.linspace(0, 2 * np.pi, around, endpoint=False), indexing="ij")
    ring = 10 + 3 * np.cos(v)
    vertices = np.stack([ring * np.cos(u), ring * np.sin(u), 3 * np.sin(v)], axis=-1).reshape(-1, 3)
    i, j = np.meshgrid(np.arange(around), np.arange(around), indexing="ij")
    corner = i * around + j
    right = ((i + 1) % around) * around + j
    up = i * around + (j + 1) % around
    diagonal = ((i + 1) % around) * around + (j + 1) % around
    faces = np.concatenate([np.stack([corner, right, diagonal], axis=-1).reshape(-1, 3),
                            np.stack([corner, diagonal, up], axis=-1).reshape(-1, 3)])
    return vertices.astype(np.float32), faces.astype(np.uint32)


def best_time(run, repeats: int):
    """The best wall time of the runs, and the processor time over the wall time of that run."""
    best, busy = float("inf"), 0.0
    for _ in range(repeats):
        start, processor = time.perf_counter(), time.process_time()
        run()
        elapsed = time.perf_counter() - start
        if elapsed < best:
            best, busy = elapsed, (time.process_time() - processor) / elapsed
    return best, busy


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--triangles", type=int, default=2_000_000)
    parser.add_argument("--repeats", type=int, default=3)
    arguments = parser.parse_args()
    meshes = [torus(arguments.triangles), torus(arguments.triangles)]
    print(f"two meshes of {len(meshes[0][1])} triangles each")

    def one_after_the_other():
        for vertices, faces in meshes:
            geosig.describe_mesh(vertices, faces)

    def side_by_side():
        threads = [threading.Thread(target=geosig.describe_mesh, args=mesh) for mesh in meshes]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()

    sequential, _ = best_time(one_after_the_other, arguments.repeats)
    parallel, busy = best_time(side_by_side, arguments.repeats)
    print(f"one thread: {sequential:.3f} s, two threads: {parallel:.3f} s, speed-up {sequential / parallel:.2f}x, "
          f"processor time over wall time with two threads {busy:.2f} (load average {os.getloadavg()[0]:.2f})")


if __name__ == "__main__":
    main()
