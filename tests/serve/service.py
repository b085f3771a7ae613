"""A `geosig serve` process for the service's checks: started on a loopback port of its choosing (--port 0), spoken
to over raw HTTP (http.client, so that any method, target and header can be sent), stopped with SIGTERM."""
import http.client
import json
import os
import re
import signal
import subprocess
import uuid


class Service:
    def __init__(self, geosig, catalog, *options):
        self.process = subprocess.Popen([geosig, "serve", "--db", catalog, "--port", "0", *options],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        found = re.search(r"http://127\.0\.0\.1:(\d+)/", line)
        if not found:
            self.process.kill()
            raise RuntimeError(f"geosig serve did not say where it listens: {line!r} {self.process.stderr.read()}")
        self.port = int(found.group(1))
        self.url = found.group(0)

    def request(self, method, target, body=None, headers=None, timeout=120):
        """(status, headers, body bytes) of one request on a connection of its own."""
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        try:
            connection.request(method, target, body=body, headers=headers or {})
            response = connection.getresponse()
            return response.status, dict(response.getheaders()), response.read()
        finally:
            connection.close()

    def json(self, method, target, body=None, headers=None):
        """(status, JSON answer); fails when the answer is not JSON."""
        status, answer_headers, data = self.request(method, target, body, headers)
        if not answer_headers.get("Content-Type", "").startswith("application/json"):
            raise AssertionError(f"{method} {target}: {status} answered {answer_headers.get('Content-Type')}: {data[:200]}")
        return status, json.loads(data)

    def alive(self):
        return self.process.poll() is None

    def stop(self, timeout=60):
        """SIGTERM, then the exit status."""
        if self.alive():
            self.process.send_signal(signal.SIGTERM)
        try:
            return self.process.wait(timeout=timeout)
        finally:
            if self.alive():
                self.process.kill()
                self.process.wait()
            self.process.stdout.close()
            self.process.stderr.close()


def multipart(field, filename, data):
    """A multipart/form-data body holding one file field: (body, headers)."""
    boundary = uuid.uuid4().hex
    body = (f"--{boundary}\r\nContent-Disposition: form-data; name=\"{field}\"; filename=\"{filename}\"\r\n"
            f"Content-Type: application/octet-stream\r\n\r\n").encode() + data + f"\r\n--{boundary}--\r\n".encode()
    return body, {"Content-Type": f"multipart/form-data; boundary={boundary}"}


def make_catalog(geosig, models, catalog):
    subprocess.run([geosig, "index", models, "--db", catalog], check=True, capture_output=True)


def sample_service(geosig, samples, work, *options):
    """A catalog of the models in samples, made in work, and a service over it."""
    catalog = os.path.join(work, "samples.db")
    make_catalog(geosig, samples, catalog)
    return catalog, Service(geosig, catalog, *options)


def signed_parts(catalog):
    import sqlite3
    with sqlite3.connect(catalog) as database:
        return dict(database.execute("SELECT path, id FROM parts WHERE status = 'ok'").fetchall())


def read(path):
    with open(path, "rb") as file:
        return file.read()


def sphere_stl(bands):
    """A closed sphere of 2 * bands * (bands - 1) triangles as binary STL: a model that takes its reader a while."""
    import math
    import struct
    points = [(math.sin(math.pi * i / bands) * math.cos(2 * math.pi * j / bands),
               math.sin(math.pi * i / bands) * math.sin(2 * math.pi * j / bands), math.cos(math.pi * i / bands))
              for i in range(bands + 1) for j in range(bands)]
    triangles = []
    for i in range(bands):
        for j in range(bands):
            a, b = i * bands + j, i * bands + (j + 1) % bands
            if i > 0:
                triangles.append((a, b, b + bands))
            if i + 1 < bands:
                triangles.append((a, b + bands, a + bands))
    record = struct.Struct("<12fH")
    return bytes(80) + struct.pack("<I", len(triangles)) + b"".join(
        record.pack(0, 0, 0, *points[a], *points[b], *points[c], 0) for a, b, c in triangles)
