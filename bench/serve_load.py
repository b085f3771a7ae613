#!/usr/bin/python3
"""Load on `geosig serve` over loopback: concurrent clients (32 by default), each a process of its own on a keep-alive
connection, searching by part id (neighbours) and by uploading a model; reports p50, p95 and errors of each kind.
Clients are processes, not threads: threads of one interpreter take turns at its lock, and a client that waited for
its turn would count the wait as the service's.

Usage: serve_load.py --geosig PROGRAM (--models DIR | --catalog DB) [--upload MODEL] [--clients 32]
                     [--requests 20] [--uploads 2] [--grow N] [--same-upload] [--pause SECONDS]
Each upload's bytes differ (a STEP comment, an STL header), so that every one is read, unless --same-upload, which
measures a model sent again (the search page does that when k or the size mode changes).
--pause makes each client wait between its requests, drawn at random up to twice the given mean, as people do: by
default clients never pause, and the service is measured saturated.
--grow N serves a copy of the catalog grown to N parts by repeating its signed parts under new paths: the search
times of a large catalog, without indexing one (the answers are then full of ties, which changes no timing)."""
import argparse
import http.client
import multiprocessing
import os
import random
import shutil
import sqlite3
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "serve"))
from service import Service, make_catalog, read  # noqa: E402


def grown_copy(catalog, parts, work):
    """A copy of the catalog whose signed parts are repeated, occupancies and all, up to about `parts`."""
    copy = os.path.join(work, "grown.db")
    shutil.copy(catalog, copy)
    with sqlite3.connect(copy) as database:
        columns = [row[1] for row in database.execute("PRAGMA table_info(parts)") if row[1] not in ("id", "path")]
        signed = [row[0] for row in database.execute("SELECT id FROM parts WHERE status = 'ok'")]
        copies = 0
        while len(signed) * (copies + 1) < parts:
            copies += 1
            for part in signed:
                cursor = database.execute(
                    f"INSERT INTO parts(path, {', '.join(columns)}) SELECT path || '#copy{copies}', "
                    f"{', '.join(columns)} FROM parts WHERE id = ?", (part,))
                database.execute("INSERT INTO occupancies(part, depth, cells) SELECT ?, depth, cells "
                                 "FROM occupancies WHERE part = ?", (cursor.lastrowid, part))
    return copy


def distinct_copy(model, name, number):
    """The model's bytes made unlike any other upload's without changing its shape, where its format allows."""
    mark = f"upload {number}".encode()
    if name.lower().endswith((".step", ".stp")):
        end = model.index(b";") + 1
        return model[:end] + b"\n/* " + mark + b" */" + model[end:]
    if name.lower().endswith(".stl") and not model.startswith(b"solid"):
        return mark.ljust(80, b" ") + model[80:]
    sys.exit(f"{name}: cannot make distinct uploads of this format; use --same-upload")


def client(port, work, pause, start, results):
    """Runs its plan once `start` is set, then puts ({kind: latencies}, {kind: failures}) on `results`."""
    latencies, errors = {}, {}
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=300)
    pauses = random.Random(os.getpid())
    start.wait()
    for kind, target, body in work:
        time.sleep(pauses.uniform(0, 2 * pause))
        started = time.perf_counter()
        try:
            connection.request("POST" if body is not None else "GET", target, body=body)
            response = connection.getresponse()
            response.read()
            failed = response.status != 200
        except (OSError, http.client.HTTPException):
            failed = True
            connection.close()
            connection = http.client.HTTPConnection("127.0.0.1", port, timeout=300)
        (errors if failed else latencies).setdefault(kind, []).append(time.perf_counter() - started)
    connection.close()
    results.put((latencies, errors))


def processor_seconds(pid):
    """User and system time of a process so far (its own threads, not the readers the fork server starts)."""
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(fraction * (len(ordered) - 1))))]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--geosig", required=True)
    parser.add_argument("--models", help="index these models into a catalog first")
    parser.add_argument("--catalog", help="serve this catalog")
    parser.add_argument("--upload", help="the model uploaded (default: the largest file of --models)")
    parser.add_argument("--clients", type=int, default=32)
    parser.add_argument("--requests", type=int, default=20, help="searches by id per client")
    parser.add_argument("--uploads", type=int, default=2, help="searches by upload per client")
    parser.add_argument("--grow", type=int, default=0)
    parser.add_argument("--same-upload", action="store_true", help="send the same bytes in every upload")
    parser.add_argument("--pause", type=float, default=0.0, help="mean seconds a client waits before each request")
    parser.add_argument("--serve-option", action="append", default=[], help="passed on to geosig serve")
    arguments = parser.parse_args()
    work = tempfile.mkdtemp(prefix="geosig-serve-load-")
    try:
        catalog = arguments.catalog
        if arguments.models:
            catalog = os.path.join(work, "catalog.db")
            make_catalog(arguments.geosig, arguments.models, catalog)
        if arguments.grow:
            catalog = grown_copy(catalog, arguments.grow, work)
        with sqlite3.connect(catalog) as database:
            ids = [row[0] for row in database.execute("SELECT id FROM parts WHERE status = 'ok'")]
            paths = [row[0] for row in database.execute("SELECT path FROM parts WHERE status = 'ok'")]
        upload = arguments.upload or max((p for p in paths if os.path.exists(p)), key=os.path.getsize)
        model = read(upload)
        name = os.path.basename(upload)
        service = Service(arguments.geosig, catalog, *arguments.serve_option)
        try:
            rng = random.Random(1)
            plans = []
            for _ in range(arguments.clients):
                plan = [("id", f"/api/v1/parts/{rng.choice(ids)}/neighbours?k=10", None)
                        for _ in range(arguments.requests)]
                plan += [("upload", f"/api/v1/search?k=10&filename={name}",
                          model if arguments.same_upload else distinct_copy(model, name, len(plans) * 1000 + n))
                         for n in range(arguments.uploads)]
                rng.shuffle(plan)
                plans.append(plan)
            processes = multiprocessing.get_context("fork")
            start, results = processes.Event(), processes.Queue()
            clients = [processes.Process(target=client, args=(service.port, plan, arguments.pause, start, results)) for plan in plans]
            for each in clients:
                each.start()
            started, service_before = time.perf_counter(), processor_seconds(service.process.pid)
            start.set()
            latencies, errors = {}, {}
            for _ in clients:
                for kinds, merged in zip(results.get(), (latencies, errors)):
                    for kind, values in kinds.items():
                        merged.setdefault(kind, []).extend(values)
            wall = time.perf_counter() - started
            service_seconds = processor_seconds(service.process.pid) - service_before
            for each in clients:
                each.join()
        finally:
            service.stop()
        answered = sum(len(values) for values in latencies.values())
        print(f"catalog: {len(ids)} signed parts; upload: {name} ({len(model) / 1e6:.2f} MB); "
              f"{'the same bytes' if arguments.same_upload else 'distinct bytes'} in each; "
              f"{arguments.clients} clients pausing {arguments.pause:g} s on average; {wall:.1f} s, "
              f"{answered / wall:.0f} answers a second; {os.cpu_count()} cores")
        print(f"service: {service_seconds:.1f} s of processor time, {1000 * service_seconds / max(answered, 1):.2f} ms "
              f"a request answered (readers of uploads not counted)")
        for kind in ("id", "upload"):
            done = latencies.get(kind, [])
            failed = len(errors.get(kind, []))
            if done:
                print(f"{kind:7s} {len(done):5d} ok  {failed:3d} errors  p50 {1000 * statistics.median(done):8.1f} ms  "
                      f"p95 {1000 * percentile(done, 0.95):8.1f} ms")
            else:
                print(f"{kind:7s}     0 ok  {failed:3d} errors")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
