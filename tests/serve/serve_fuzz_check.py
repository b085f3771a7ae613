#!/usr/bin/env python3
"""A bounded fuzz of `geosig serve` on loopback: random methods, targets, headers and bodies, some sent as raw bytes
that no HTTP client would send. Every answer the service gives must be JSON (or a page or asset it serves), and the
service must outlive them all and end with status 0 on SIGTERM. Bounded by a count of requests and a time budget;
the seed is printed so that a failure can be replayed.

Usage: serve_fuzz_check.py --geosig PROGRAM --samples DIR [--requests 400] [--seconds 120] [--seed N]"""
import argparse
import os
import random
import shutil
import socket
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from service import Service, make_catalog, read, signed_parts  # noqa: E402

METHODS = ["GET", "POST", "PUT", "DELETE", "PATCH", "HEAD", "OPTIONS", "TRACE", "CONNECT", "BREW", "get", ""]
SEGMENTS = ["api", "v1", "parts", "health", "search", "duplicates", "neighbours", "model", "openapi.json", "assets",
            "viewer.js", "..", ".", "", "%2e%2e", "%2f", "%00", "%ff", "%", "%zz", "\u00e9", "1", "0", "-1",
            "99999999999999999999999", "9" * 300, "a" * 2000, "etc", "passwd", "?", "#", ";", "\\"]
PARAMETERS = ["k", "anySize", "maxDistance", "filename"]
VALUES = ["", "0", "1", "10", "-5", "1e308", "nan", "inf", "true", "false", "x.step", "x.stl", "../../x.stl",
          "%00", "a" * 500, "1000", "1001", "0.05"]
HEADERS = [("Content-Length", "-1"), ("Content-Length", "abc"), ("Content-Length", "99999999999999999999"),
           ("Transfer-Encoding", "chunked"), ("Authorization", "Bearer " + "x" * 1000), ("Content-Type",
           "multipart/form-data; boundary="), ("Content-Type", "multipart/form-data; boundary=zz"),
           ("Expect", "100-continue"), ("Range", "bytes=5-1"), ("Host", ""), ("Connection", "close"),
           ("X-" + "y" * 100, "z" * 5000)]


def random_target(rng):
    target = "/" + "/".join(rng.choice(SEGMENTS) for _ in range(rng.randint(0, 6)))
    if rng.random() < 0.6:
        target = "/api/v1/" + "/".join(rng.choice(SEGMENTS) for _ in range(rng.randint(0, 3)))
    if rng.random() < 0.5:
        target += "?" + "&".join(f"{rng.choice(PARAMETERS)}={rng.choice(VALUES)}" for _ in range(rng.randint(1, 4)))
    return target


def random_body(rng, models):
    kind = rng.random()
    if kind < 0.3:
        return b""
    if kind < 0.5:
        return rng.choice(models)
    if kind < 0.7:
        model = bytearray(rng.choice(models))
        for _ in range(rng.randint(1, 20)):
            model[rng.randrange(len(model))] = rng.randrange(256)
        return bytes(model)
    return bytes(rng.randrange(256) for _ in range(rng.randint(1, 5000)))


def near_valid_request(rng, models, ids):
    """A request to a real route, with values near their ranges and, for a search, a model or a damaged one."""
    part = rng.choice(ids + [0, 10 ** 12])
    extension = rng.choice([".stl", ".obj", ".step", ".glb", ".igs", ".ply", ".xyz"])
    targets = [f"/api/v1/parts/{part}", f"/api/v1/parts/{part}/neighbours?k={rng.choice(VALUES)}",
               f"/api/v1/parts/{part}/model", f"/api/v1/duplicates?maxDistance={rng.choice(VALUES)}",
               "/api/v1/health", "/", "/assets/search.js"]
    if rng.random() < 0.5:
        return "POST", f"/api/v1/search?k={rng.choice(['1', '5', '0'])}&filename=m{extension}", random_body(rng, models)
    return "GET", rng.choice(targets), b""


def raw_request(rng, models, ids):
    """Bytes of one request: well-formed to a real route, or anything."""
    if rng.random() < 0.3:
        method, target, body = near_valid_request(rng, models, ids)
        head = (f"{method} {target} HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                f"Content-Length: {len(body)}\r\n\r\n")
        return head.encode() + body, True
    method, target, body = rng.choice(METHODS), random_target(rng), random_body(rng, models)
    headers = [("Host", "127.0.0.1"), ("Connection", "close")]
    if body or rng.random() < 0.3:
        headers.append(("Content-Length", str(len(body) + rng.choice([0, 0, 0, -1, 1, 100]))))
    headers += rng.sample(HEADERS, rng.randint(0, 3))
    version = rng.choice(["HTTP/1.1", "HTTP/1.1", "HTTP/1.0", "HTTP/2", "HTTP/9.9", ""])
    head = f"{method} {target} {version}\r\n" + "".join(f"{name}: {value}\r\n" for name, value in headers) + "\r\n"
    data = head.encode("utf-8", "surrogateescape") + body
    if rng.random() < 0.1:
        data = data[:rng.randrange(len(data))]
    if rng.random() < 0.05:
        data = bytes(rng.randrange(256) for _ in range(rng.randint(1, 3000)))
    # Its declared length or headers may promise more than is sent: the client ends its side.
    return data, False


def send(port, data, complete, timeout):
    """The service's answer (possibly empty) to the bytes, read until it closes the connection. After a request
    that may be incomplete the client ends its side, so that the service does not wait for the rest (it may then
    drop its answer)."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as connection:
        try:
            connection.sendall(data)
            if not complete:
                connection.shutdown(socket.SHUT_WR)
        except OSError:
            pass  # the service may close a connection it refused
        answer = b""
        try:
            while True:
                chunk = connection.recv(65536)
                if not chunk:
                    break
                answer += chunk
        except (socket.timeout, ConnectionResetError):
            pass
        return answer


def answer_failure(answer):
    """Why an answer is wrong, if it is: every error the service gives is JSON."""
    if not answer:
        return None
    head, _, body = answer.partition(b"\r\n\r\n")
    status_line = head.split(b"\r\n", 1)[0].split()
    if len(status_line) < 2 or not status_line[0].startswith(b"HTTP/1."):
        return f"not an HTTP answer: {answer[:80]!r}"
    status = int(status_line[1])
    if status >= 400 and b"application/json" not in head and body:
        return f"error {status} without JSON: {answer[:200]!r}"
    if status >= 500 and status != 503:
        return f"server error {status}: {body[:200]!r}"
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--geosig", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--requests", type=int, default=400)
    parser.add_argument("--seconds", type=float, default=120)
    parser.add_argument("--seed", type=int, default=None)
    arguments = parser.parse_args()
    seed = arguments.seed if arguments.seed is not None else random.randrange(1 << 32)
    print(f"seed {seed}")
    rng = random.Random(seed)
    samples = arguments.samples
    models = [read(os.path.join(samples, name)) for name in ("peg.stl", "brick.obj", "peg.step")]
    work = tempfile.mkdtemp(prefix="geosig-serve-fuzz-")
    failures = []
    try:
        catalog = os.path.join(work, "samples.db")
        make_catalog(arguments.geosig, samples, catalog)
        ids = sorted(signed_parts(catalog).values())
        SEGMENTS.extend(str(part) for part in ids)
        service = Service(arguments.geosig, catalog, "--max-upload-mib", "1", "--time-limit", "20")
        deadline = time.monotonic() + arguments.seconds
        sent, statuses = 0, {}
        try:
            while sent < arguments.requests and time.monotonic() < deadline and service.alive():
                data, complete = raw_request(rng, models, ids)
                answer = send(service.port, data, complete, timeout=60)
                status = answer.split(b" ", 2)[1].decode(errors="replace") if answer.count(b" ") > 1 else "none"
                statuses[status] = statuses.get(status, 0) + 1
                failure = answer_failure(answer)
                sent += 1
                if failure:
                    failures.append(f"request {sent} {data[:120]!r}: {failure}")
                if sent % 50 == 0 and service.json("GET", "/api/v1/health")[0] != 200:
                    failures.append(f"health failed after {sent} requests")
            if not service.alive():
                failures.append(f"the service died after {sent} requests: {service.process.stderr.read()[-2000:]}")
            elif service.json("GET", "/api/v1/health")[0] != 200:
                failures.append("the service no longer answers")
        finally:
            status = service.stop()
            if status != 0:
                failures.append(f"the service ended with status {status} on SIGTERM")
        print(f"{sent} requests sent; answers by status: {dict(sorted(statuses.items()))}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures[:20]:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
