#!/usr/bin/env python3
"""Checks `geosig serve` over HTTP on loopback: every route against the commands' own answers on a catalog of the
samples made at run time, every refusal (bad paths, methods, numbers, tokens, bodies) as a JSON error with its
status while the service goes on, catalog changes seen without a restart, and SIGTERM ending it with status 0.

Usage: serve_api_check.py --geosig PROGRAM --samples DIR --contained DIR"""
import argparse
import http.client
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from service import Service, make_catalog, multipart, read, sample_service, signed_parts, sphere_stl  # noqa: E402

CHECKS = []


def check(function):
    CHECKS.append(function)
    return function


def command_json(geosig, *arguments):
    return json.loads(subprocess.run([geosig, *arguments], check=True, capture_output=True, text=True).stdout)


def same_matches(answer, expected, ids):
    """The service's matches are the command's, each with its part's id."""
    assert len(answer) == len(expected), (answer, expected)
    for got, want in zip(answer, expected):
        assert got["id"] == ids[got["file"]], got
        assert {key: got[key] for key in want} == want, (got, want)


@check
def health_page_assets_and_description(context):
    service, catalog = context["service"], context["catalog"]
    status, health = service.json("GET", "/api/v1/health")
    assert status == 200 and health["parts"] == len(signed_parts(catalog)) and health["version"], health
    status, headers, page = service.request("GET", "/")
    assert status == 200 and headers["Content-Type"].startswith("text/html"), (status, headers)
    assert "default-src 'self'" in headers["Content-Security-Policy"], headers
    for asset in ("three.min.js", "OrbitControls.js", "viewer.js", "viewer.css", "search.js", "search.css"):
        assert f"/assets/{asset}".encode() in page, asset
        status, _, text = service.request("GET", f"/assets/{asset}")
        assert status == 200 and len(text) > 100, asset
    status, description = service.json("GET", "/api/v1/openapi.json")
    assert status == 200 and description["openapi"].startswith("3."), description.get("openapi")
    assert set(description["paths"]) == {"/health", "/search", "/parts/{id}", "/parts/{id}/neighbours",
                                         "/parts/{id}/model", "/duplicates", "/openapi.json"}


@check
def part_neighbours_and_model_by_id(context):
    service, geosig, catalog, ids = context["service"], context["geosig"], context["catalog"], context["ids"]
    path = sorted(ids)[0]
    status, part = service.json("GET", f"/api/v1/parts/{ids[path]}")
    assert status == 200 and part["id"] == ids[path] and part["file"] == path, part
    described = command_json(geosig, "describe", "--json", path)["files"][0]["descriptors"]
    assert part["descriptors"] == described, "the part's descriptors are not describe's"
    assert part["signature"]["depth"] > 0 and part["signature"]["occupiedCells"] > 0, part["signature"]
    for any_size in ("false", "true"):
        status, answer = service.json("GET", f"/api/v1/parts/{ids[path]}/neighbours?k=4&anySize={any_size}")
        flags = ["--any-size"] if any_size == "true" else []
        expected = command_json(geosig, "query", "--db", catalog, "--entry", path, "-k", "4", "--json", *flags)
        assert status == 200 and answer["anySize"] == (any_size == "true"), answer
        assert answer["weights"] == expected["files"][0]["weights"]
        same_matches(answer["matches"], expected["files"][0]["matches"], ids)
    for part in ids.values():
        first = service.request("GET", f"/api/v1/parts/{part}/model")
        again = service.request("GET", f"/api/v1/parts/{part}/model")
        assert first[0] == 200 and first[1]["Content-Type"] == "model/gltf-binary", (part, first)
        assert first[2][:4] == b"glTF" and again[2] == first[2], part


@check
def search_by_upload_raw_and_multipart(context):
    service, geosig, catalog, ids, samples = (context[key] for key in ("service", "geosig", "catalog", "ids",
                                                                        "samples"))
    model = os.path.join(samples, "peg.stl")
    expected = command_json(geosig, "query", "--db", catalog, model, "-k", "5", "--json")["files"][0]["matches"]
    status, answer = service.json("POST", "/api/v1/search?k=5&filename=C:%5Cwhere%5Cpeg.stl", read(model))
    assert status == 200 and answer["query"]["format"], answer
    same_matches(answer["matches"], expected, ids)
    body, headers = multipart("file", "../../peg.stl", read(model))
    status, answer = service.json("POST", "/api/v1/search?k=5", body, headers)
    assert status == 200, answer
    same_matches(answer["matches"], expected, ids)
    # The same bytes under another extension are another model, for another reader (which finds none in them).
    status, answer = service.json("POST", "/api/v1/search?k=5&filename=peg.obj", read(model))
    assert status == 422, (status, answer)


@check
def duplicates_as_the_command_groups_them(context):
    service, geosig, catalog, ids = context["service"], context["geosig"], context["catalog"], context["ids"]
    for distance in ("0.05", "0.5"):
        status, answer = service.json("GET", f"/api/v1/duplicates?maxDistance={distance}")
        expected = command_json(geosig, "duplicates", "--db", catalog, "--max-distance", distance, "--json")
        assert status == 200, answer
        for kind in ("identical", "similar"):
            assert [[member["file"] for member in group] for group in answer[kind]] == expected[kind], kind
            assert all(member["id"] == ids[member["file"]] for group in answer[kind] for member in group
                       if member["file"] in ids)


@check
def refusals_are_json_errors(context):
    service = context["service"]
    part = min(context["ids"].values())
    cases = [
        ("GET", "/nowhere", 404), ("GET", "/api/v1/nowhere", 404), ("GET", "/api/v2/health", 404),
        ("GET", "/assets/nothing.js", 404), ("GET", "/api/v1/parts/99999999", 404),
        ("GET", "/api/v1/parts/99999999/neighbours", 404), ("GET", "/api/v1/parts/99999999/model", 404),
        ("POST", "/api/v1/health", 405), ("GET", "/api/v1/search", 405), ("DELETE", f"/api/v1/parts/{part}", 405),
        ("PUT", "/api/v1/duplicates", 405), ("OPTIONS", "/", 405),
        ("GET", "/api/v1/parts/abc", 400), ("GET", "/api/v1/parts/-1", 400), ("GET", "/api/v1/parts/0", 400),
        ("GET", "/api/v1/parts/99999999999999999999", 400),
        ("GET", f"/api/v1/parts/{part}/neighbours?k=0", 400), ("GET", f"/api/v1/parts/{part}/neighbours?k=x", 400),
        ("GET", f"/api/v1/parts/{part}/neighbours?k=1001", 400),
        ("GET", f"/api/v1/parts/{part}/neighbours?anySize=maybe", 400),
        ("GET", "/api/v1/duplicates?maxDistance=-1", 400), ("GET", "/api/v1/duplicates?maxDistance=nan", 400),
        ("GET", "/api/v1/duplicates?maxDistance=1e999", 400),
        ("POST", "/api/v1/search?k=0&filename=a.stl", 400), ("POST", "/api/v1/search", 400),
        ("POST", "/api/v1/search?filename=noextension", 400), ("POST", "/api/v1/search?filename=a.st%2Fl", 400),
    ]
    # The service opens no path a client names, however it is spelt.
    traversals = ["/../../etc/passwd", "/api/v1/parts/../health", "/%2e%2e/%2e%2e/etc/passwd",
                  "/assets/..%2f..%2fetc%2fpasswd", "/assets/%2E%2E/viewer.js", "/assets/../viewer.js",
                  "//etc/passwd", "/api/v1/parts/1/model/..", "/assets/%5c..%5cviewer.js", "/api/v1//health",
                  "/assets/viewer.js%00.png", "/./api/v1/health"]
    cases += [("GET", target, (400, 404)) for target in traversals]
    for method, target, expected in cases:
        body = b"solid x\nendsolid x\n" if method == "POST" and "filename" in target else None
        status, answer = service.json(method, target, body)
        wanted = expected if isinstance(expected, tuple) else (expected,)
        assert status in wanted and answer["error"], (method, target, status, answer)
        assert b"root:" not in json.dumps(answer).encode(), target
    status, headers, _ = service.request("POST", "/api/v1/health")
    assert headers.get("Allow") == "GET, HEAD", headers
    status, answer = service.json("POST", "/api/v1/search?filename=empty.stl", b"")
    assert status == 400, answer
    body, headers = multipart("other", "peg.stl", b"solid\n")
    status, answer = service.json("POST", "/api/v1/search", body, headers)
    assert status == 400 and "file" in answer["error"], answer


@check
def refused_bodies_do_not_spill_into_the_next_request(context):
    connection = http.client.HTTPConnection("127.0.0.1", context["service"].port, timeout=120)
    refused = [("POST", "/api/v1/search", *multipart("file", "noextension", b"x" * 200000)),
               ("POST", "/api/v1/health", b"y" * 200000, {}),
               ("POST", "/api/v1/search?k=0&filename=a.stl", b"z" * 200000, {})]
    try:
        for method, target, body, headers in refused:
            connection.request(method, target, body=body, headers=headers)
            response = connection.getresponse()
            assert response.status in (400, 405), (target, response.status, response.read())
            response.read()
            connection.request("GET", "/api/v1/health")
            response = connection.getresponse()
            assert response.status == 200, (target, response.status, response.read())
            response.read()
    finally:
        connection.close()


@check
def unreadable_models_and_big_bodies(context):
    service, contained = context["service"], context["contained"]
    for name in sorted(os.listdir(contained)):
        extension = os.path.splitext(name)[1]
        status, answer = service.json("POST", f"/api/v1/search?filename=x{extension}",
                                      read(os.path.join(contained, name)))
        assert status == 422 and answer["error"].startswith("the model cannot be read"), (name, status, answer)
    status, answer = service.json("POST", "/api/v1/search?filename=x.stl", b"not a model at all")
    assert status == 422, answer
    # --max-upload-mib 1 on this service.
    status, answer = service.json("POST", "/api/v1/search?filename=big.stl", b"x" * (3 << 20))
    assert status == 413, (status, answer)
    # A declared length over the limit is refused before the body is sent, not after reading it.
    with socket.create_connection(("127.0.0.1", service.port), timeout=60) as connection:
        connection.sendall(b"POST /api/v1/search?filename=big.stl HTTP/1.1\r\nHost: x\r\n"
                           b"Content-Length: 209715200\r\n\r\n" + b"x" * 65536)
        answer = b""
        while b"}" not in answer:
            chunk = connection.recv(65536)
            if not chunk:
                break
            answer += chunk
        assert answer.startswith(b"HTTP/1.1 413") and b'"error"' in answer, answer[:300]
    status, _ = service.json("GET", "/api/v1/health")
    assert status == 200 and service.alive()


@check
def hanging_reader_and_busy_readers(context):
    geosig, catalog = context["geosig"], context["catalog"]
    model = sphere_stl(300)
    slow = Service(geosig, catalog, "--time-limit", "0.001")
    try:
        status, answer = slow.json("POST", "/api/v1/search?filename=sphere.stl", model)
        assert status == 422 and "longer than" in answer["error"], answer
        assert slow.json("GET", "/api/v1/health")[0] == 200
    finally:
        assert slow.stop() == 0
    single = Service(geosig, catalog, "--readers", "1", "--reader-wait", "0")

    def statuses_of(models):
        statuses = []
        threads = [threading.Thread(target=lambda body=body: statuses.append(
            single.json("POST", "/api/v1/search?filename=sphere.stl", body)[0])) for body in models]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        return statuses
    try:
        # Different models at once: one reader, the others are told to come back.
        statuses = statuses_of([sphere_stl(300 + k) for k in range(4)])
        assert 503 in statuses and set(statuses) <= {200, 503}, statuses
        # Copies of one model at once share its read.
        assert statuses_of([sphere_stl(320)] * 4) == [200] * 4
    finally:
        assert single.stop() == 0


@check
def token_guards_the_api_only(context):
    secret = "s3cret-token"
    guarded = Service(context["geosig"], context["catalog"], "--token", secret)
    try:
        for headers in ({}, {"Authorization": "Bearer wrong"}, {"Authorization": secret},
                        {"Authorization": "Bearer " + secret + "x"}, {"Authorization": "bearer " + secret}):
            status, answer = guarded.json("GET", "/api/v1/health", headers=headers)
            assert status == 401 and answer["error"], (headers, status)
        status, answer = guarded.json("POST", "/api/v1/search?filename=a.stl", b"solid\n")
        assert status == 401, answer
        assert guarded.json("GET", "/api/v1/health", headers={"Authorization": "Bearer " + secret})[0] == 200
        assert guarded.request("GET", "/")[0] == 200
    finally:
        assert guarded.stop() == 0


@check
def a_taken_port_is_refused(context):
    service = context["service"]
    run = subprocess.run([context["geosig"], "serve", "--db", context["catalog"], "--port", str(service.port)],
                         capture_output=True, text=True, timeout=60)
    assert run.returncode == 1 and "cannot listen" in run.stderr and "http://" not in run.stdout, run
    run = subprocess.run([context["geosig"], "serve", "--db", os.path.join(context["work"], "none.db")],
                         capture_output=True, text=True, timeout=60)
    assert run.returncode == 4 and run.stderr.count("\n") == 1, run


@check
def catalog_changes_seen_without_restart(context):
    geosig, samples, work = context["geosig"], context["samples"], context["work"]
    models = os.path.join(work, "growing")
    os.makedirs(models)
    shutil.copy(os.path.join(samples, "peg.stl"), models)
    catalog = os.path.join(work, "growing.db")
    make_catalog(geosig, models, catalog)
    service = Service(geosig, catalog)
    try:
        assert service.json("GET", "/api/v1/health")[1]["parts"] == 1
        shutil.copy(os.path.join(samples, "brick.obj"), models)
        make_catalog(geosig, models, catalog)
        status, health = service.json("GET", "/api/v1/health")
        assert status == 200 and health["parts"] == 2, health
        status, answer = service.json("GET", f"/api/v1/parts/{min(signed_parts(catalog).values())}/neighbours")
        assert status == 200 and len(answer["matches"]) == 1, answer
    finally:
        assert service.stop() == 0


@check
def sigterm_lets_the_request_in_flight_finish(context):
    service = Service(context["geosig"], context["catalog"])
    answers = []
    model = read(os.path.join(context["samples"], "blocks.step"))
    thread = threading.Thread(target=lambda: answers.append(
        service.json("POST", "/api/v1/search?filename=blocks.step", model)[0]))
    thread.start()
    time.sleep(0.2)
    assert service.stop() == 0
    thread.join()
    assert answers == [200], answers


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--geosig", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--contained", required=True, help="models that crash or exhaust their reader")
    arguments = parser.parse_args()
    work = tempfile.mkdtemp(prefix="geosig-serve-check-")
    failures = []
    try:
        catalog, service = sample_service(arguments.geosig, arguments.samples, work, "--max-upload-mib", "1")
        context = {"geosig": arguments.geosig, "samples": os.path.abspath(arguments.samples), "catalog": catalog,
                   "contained": arguments.contained, "work": work, "service": service, "ids": signed_parts(catalog)}
        try:
            for function in CHECKS:
                try:
                    function(context)
                    print(f"ok    {function.__name__}")
                except Exception as failure:  # noqa: BLE001 -- every check runs; each failure is reported
                    failures.append(f"{function.__name__}: {type(failure).__name__}: {failure}")
                    print(f"FAIL  {failures[-1]}")
        finally:
            status = service.stop()
            if status != 0:
                failures.append(f"the service ended with status {status} on SIGTERM")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"{len(CHECKS) - len(failures)} of {len(CHECKS)} checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
