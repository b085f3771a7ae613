#!/usr/bin/python3
"""Opens pages written by `geosig view` and `geosig query --html` in headless chromium, driven
over the DevTools protocol on a pipe, and checks that each draws its models without a script
error and loads nothing but itself; that a view page draws something new when the voxel layer
is switched on; and that every view of a query page of twenty matches (more than the WebGL
contexts a page may hold) is drawn, one whose file vanished giving the reason instead.

Usage: view_page_check.py --geosig PROGRAM MODEL... [--query] [--depth N] [--screenshots DIR]
Exit status 0 when every check passes; each failure is printed on its own line."""
import argparse
import base64
import fcntl
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zlib

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    # WebGL without a GPU: the software rasteriser behind ANGLE.
    "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
    "--window-size=1000,700", "--remote-debugging-pipe",
]


class Browser:
    """One chromium process and one page in it, spoken to over the DevTools pipe."""

    def __init__(self, chromium):
        self._profile = tempfile.mkdtemp(prefix="geosig-chromium-")
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()
        # The browser reads commands on descriptor 3 and answers on descriptor 4: the child
        # ends are first moved above those numbers so that placing one cannot close the other.
        child_ends = [fcntl.fcntl(end, fcntl.F_DUPFD, 10) for end in (to_browser_read, from_browser_write)]
        for end in (to_browser_read, from_browser_write):
            os.close(end)
        self._process = subprocess.Popen(
            [chromium, *CHROMIUM_FLAGS, "--user-data-dir=" + self._profile, "about:blank"],
            close_fds=False, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=lambda: (os.dup2(child_ends[0], 3), os.dup2(child_ends[1], 4)))
        for end in child_ends:
            os.close(end)
        self._buffer = b""
        self._next_id = 0
        self.events = []
        target = self._call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self._session = self._call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]

    def close(self):
        self._process.kill()
        self._process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)
        shutil.rmtree(self._profile, ignore_errors=True)

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            if time.monotonic() > deadline:
                raise TimeoutError("the browser did not answer")
            chunk = os.read(self._from_browser, 1 << 20)
            if not chunk:
                raise RuntimeError("the browser closed its pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def _call(self, method, params=None, session=None, timeout=60):
        self._next_id += 1
        request = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            request["sessionId"] = session
        os.write(self._to_browser, json.dumps(request).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            message = self._read_message(deadline)
            if message.get("id") == self._next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message["result"]
            if "method" in message:
                self.events.append(message)

    def page(self, method, params=None, timeout=60):
        return self._call(method, params, self._session, timeout)

    def evaluate(self, expression):
        result = self.page("Runtime.evaluate", {"expression": expression, "returnByValue": True})
        return result["result"].get("value")

    def wait_for(self, expression, timeout):
        """Whether the expression came true in time; gives up at the first console error."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and not any(is_error(event) for event in self.events):
            if self.evaluate(expression):
                return True
            time.sleep(0.1)
        return False

    def screenshot(self):
        return base64.b64decode(self.page("Page.captureScreenshot", {"format": "png"})["data"])


def is_error(event):
    method, params = event.get("method"), event.get("params", {})
    return (method == "Runtime.exceptionThrown" or
            (method == "Runtime.consoleAPICalled" and params.get("type") == "error") or
            (method == "Log.entryAdded" and params["entry"].get("level") == "error"))


def png_pixels(png):
    """The rows of an 8-bit RGB or RGBA non-interlaced PNG, as lists of pixel tuples."""
    width = height = channels = 0
    data = b""
    position = 8
    while position < len(png):
        length = int.from_bytes(png[position:position + 4], "big")
        kind = png[position + 4:position + 8]
        body = png[position + 8:position + 8 + length]
        if kind == b"IHDR":
            width, height = int.from_bytes(body[0:4], "big"), int.from_bytes(body[4:8], "big")
            if body[8] != 8 or body[12] != 0 or body[9] not in (2, 6):
                raise ValueError("only 8-bit RGB or RGBA non-interlaced screenshots are read")
            channels = 3 if body[9] == 2 else 4
        elif kind == b"IDAT":
            data += body
        position += 12 + length
    raw = zlib.decompress(data)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        for x in range(stride):
            left = row[x - channels] if x >= channels else 0
            up, corner = previous[x], previous[x - channels] if x >= channels else 0
            if kind == 1:
                row[x] = (row[x] + left) & 255
            elif kind == 2:
                row[x] = (row[x] + up) & 255
            elif kind == 3:
                row[x] = (row[x] + (left + up) // 2) & 255
            elif kind == 4:
                estimate = left + up - corner
                pa, pb, pc = abs(estimate - left), abs(estimate - up), abs(estimate - corner)
                row[x] = (row[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([tuple(row[x:x + 3]) for x in range(0, stride, channels)])
        previous = row
    return rows


def canvas_colours(rows, box):
    """The distinct colours inside box (left, top, width, height) of the screenshot."""
    left, top, width, height = (int(round(value)) for value in box)
    return {pixel for row in rows[top:top + height] for pixel in row[left:left + width]}


def changed_fraction(before, after, box):
    left, top, width, height = (int(round(value)) for value in box)
    changed = total = 0
    for y in range(top, top + height):
        for x in range(left, left + width):
            total += 1
            changed += before[y][x] != after[y][x]
    return changed / max(total, 1)


def open_page(browser, path):
    """Opens the page with the network off; whether its scene was drawn."""
    for domain in ("Runtime", "Log", "Network", "Page"):
        browser.page(domain + ".enable")
    # With the network off, a page that fetches anything would show it as a failed request.
    browser.page("Network.emulateNetworkConditions",
                 {"offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
    browser.page("Page.navigate", {"url": "file://" + os.path.abspath(path)})
    return browser.wait_for("window.geosigViewerReady === true", timeout=120)


def redrawn_screenshot(browser, change):
    """The screenshot once the page has drawn a frame after the change (a script expression)."""
    frames = browser.evaluate("window.geosigViewerFrames")
    browser.evaluate(change)
    browser.wait_for(f"window.geosigViewerFrames > {frames}", timeout=30)
    return browser.screenshot()


def save(screenshots, name, png):
    if screenshots:
        os.makedirs(screenshots, exist_ok=True)
        with open(os.path.join(screenshots, name + ".png"), "wb") as file:
            file.write(png)


def event_failures(browser, is_own):
    """The script errors and console errors the page logged, and the requests for anything that is_own(url)
    does not accept."""
    failures = []
    for event in browser.events:
        method, params = event.get("method"), event.get("params", {})
        if method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            failures.append(f"script error: {details.get('text')} {details.get('exception', {}).get('description', '')}")
        elif method == "Runtime.consoleAPICalled" and params.get("type") == "error":
            failures.append(f"console error: {[arg.get('value') for arg in params.get('args', [])]}")
        elif method == "Log.entryAdded" and params["entry"].get("level") == "error":
            failures.append(f"console error: {params['entry'].get('text')}")
        elif method == "Network.requestWillBeSent" and not is_own(params["request"]["url"]):
            failures.append(f"the page requested {params['request']['url']}")
    return failures


def page_failures(browser, path):
    """The failures of a page written to a file, which may load only itself and what it embeds."""
    return [f"{path}: {failure}"
            for failure in event_failures(browser, lambda url: url.startswith(("file:", "data:", "blob:")))]


# The middle of a view's drawing area: its edges may lie under the panel or the grid's scroll bar.
VIEW_BOX = ("(() => {{ const r = document.querySelectorAll('.view .canvas')[{index}].getBoundingClientRect();"
            " return [r.left + r.width / 10, r.top + r.height / 10, r.width * 0.8, r.height * 0.8]; }})()")


def check_page(browser, path, screenshots):
    if not open_page(browser, path):
        return [f"{path}: the scene was never drawn"]
    failures = []
    canvas = browser.evaluate(VIEW_BOX.format(index=0))
    plain_png = browser.screenshot()
    plain = png_pixels(plain_png)
    if len(canvas_colours(plain, canvas)) < 3:
        failures.append(f"{path}: the view is blank")
    voxels_png = redrawn_screenshot(browser, "document.querySelector('input[data-layer=voxels]').click()")
    voxels = png_pixels(voxels_png)
    if changed_fraction(plain, voxels, canvas) < 0.005:
        failures.append(f"{path}: switching the voxel layer on did not change the view")
    # Every other layer drawn too, for any script error it raises.
    redrawn_screenshot(browser, "document.querySelectorAll('input[data-layer]:not(:checked)')"
                                ".forEach((box) => box.click())")
    browser.evaluate("document.querySelector('button').click()")
    name = os.path.basename(path)[:-len(".html")].replace(".", "-")
    save(screenshots, name, plain_png)
    save(screenshots, name + "-voxels", voxels_png)
    return failures + page_failures(browser, path)


def check_query_page(browser, path, unreadable):
    """Each view, scrolled into sight, is drawn, but for the unreadable ones, which give their reason."""
    if not open_page(browser, path):
        return [f"{path}: the scene was never drawn"]
    failures, said = [], []
    count = browser.evaluate("document.querySelectorAll('.view').length")
    for index in range(count):
        view = f"document.querySelectorAll('.view')[{index}]"
        if browser.evaluate(f"{view}.classList.contains('unreadable')"):
            said.append(browser.evaluate(f"{view}.textContent"))
            continue
        png = redrawn_screenshot(browser, f"{view}.scrollIntoView(); window.dispatchEvent(new Event('resize'))")
        if len(canvas_colours(png_pixels(png), browser.evaluate(VIEW_BOX.format(index=index)))) < 3:
            failures.append(f"{path}: view {index} is blank")
    if count != 21 or len(said) != 1 or not all(part in said[0] for part in (os.path.basename(unreadable),
                                                                              "Could not be read")):
        failures.append(f"{path}: {count} views, not 21 with one saying that {unreadable} could not be read: {said}")
    return failures + page_failures(browser, path)


def query_page(geosig, models, pages):
    """The page of a twenty-match query over copies of the models, one of which is gone after indexing; the
    page and the copy that went."""
    folders = [os.path.join(pages, "parts", str(copy)) for copy in range(max(2, -(-21 // len(models))))]
    for folder in folders:
        os.makedirs(folder)
        for model in models:
            shutil.copy(model, folder)
    catalog, page = os.path.join(pages, "catalog.db"), os.path.join(pages, "query.html")
    subprocess.run([geosig, "index", os.path.join(pages, "parts"), "--db", catalog], capture_output=True, check=True)
    gone = os.path.join(folders[-1], os.path.basename(models[0]))
    os.remove(gone)
    run = subprocess.run([geosig, "query", "--db", catalog, models[0], "-k", "20", "--html", page],
                         capture_output=True, text=True)
    return (page if run.returncode == 0 else run.stderr.strip()), gone


def checked(chromium, check, *arguments):
    """The failures of check(browser, *arguments) in a browser of its own."""
    browser = Browser(chromium)
    try:
        return check(browser, *arguments)
    finally:
        browser.close()


def view_page_failures(arguments, pages):
    failures = []
    # A surface without area: no barycenter, no axes, and the page must still draw what there is.
    flat = os.path.join(pages, "flat.obj")
    with open(flat, "w") as file:
        file.write("v 0 0 0\nv 1 0 0\nv 2 0 0\nf 1 2 3\n")
    for model in arguments.models + [flat]:
        page = os.path.join(pages, os.path.basename(model) + ".html")
        run = subprocess.run([arguments.geosig, "view", model, "-o", page, "--depth", arguments.depth],
                             capture_output=True, text=True)
        if run.returncode != 0:
            failures.append(f"{model}: geosig view failed: {run.stderr.strip()}")
            continue
        failures += checked(arguments.chromium, check_page, page, arguments.screenshots if model != flat else None)
    return failures


def query_page_failures(arguments, pages):
    page, gone = query_page(arguments.geosig, arguments.models, pages)
    if not page.endswith(".html"):
        return [f"geosig query --html failed: {page}"]
    return checked(arguments.chromium, check_query_page, page, gone)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("models", nargs="+")
    parser.add_argument("--geosig", required=True, help="the geosig program")
    parser.add_argument("--query", action="store_true", help="check the query page of the models instead")
    parser.add_argument("--depth", default="5", help="the octree depth of the voxel layer")
    parser.add_argument("--screenshots", help="keep screenshots of each page, with and without voxels, here")
    parser.add_argument("--chromium", default="/usr/bin/chromium")
    arguments = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="geosig-view-") as pages:
        failures = (query_page_failures if arguments.query else view_page_failures)(arguments, pages)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
