#!/usr/bin/env python3
"""Opens the search page of `geosig serve` in headless chromium, driven over the DevTools pipe as
view_page_check.py does: a model given to the page's file input is searched and its matches are drawn (no view
blank, none unreadable), a match's link searches by that part, the duplicate groups are listed, and nothing is
logged as an error nor requested from anywhere but the service.

Usage: serve_page_check.py --geosig PROGRAM --samples DIR [--chromium PATH] [--screenshot PNG]"""
import argparse
import os
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "serve"))
from service import sample_service, signed_parts  # noqa: E402
from view_page_check import VIEW_BOX, Browser, canvas_colours, event_failures, png_pixels  # noqa: E402

SETTLED = ("document.querySelectorAll('.view').length === {count} && window.geosigPending === 0 && "
           "window.geosigViewerFrames > 0 && {extra}")


def drawn_views(browser, count, extra="true"):
    """Failures of the views on the page: each drawn, none unreadable."""
    if not browser.wait_for(SETTLED.format(count=count, extra=extra), timeout=300):
        shown = browser.evaluate("document.querySelectorAll('.view').length")
        status = browser.evaluate("document.getElementById('status').textContent")
        return [f"the page did not show {count} views: {shown} views, status {status!r}"]
    failures = []
    for index in range(count):
        view = f"document.querySelectorAll('.view')[{index}]"
        if browser.evaluate(f"{view}.classList.contains('unreadable')"):
            failures.append(f"view {index} could not be shown: {browser.evaluate(view + '.textContent')}")
            continue
        frames = browser.evaluate("window.geosigViewerFrames")
        browser.evaluate(f"{view}.scrollIntoView(); window.dispatchEvent(new Event('resize'))")
        browser.wait_for(f"window.geosigViewerFrames > {frames}", timeout=30)
        if len(canvas_colours(png_pixels(browser.screenshot()), browser.evaluate(VIEW_BOX.format(index=index)))) < 3:
            failures.append(f"view {index} is blank")
    browser.evaluate("document.getElementById('views').scrollTop = 0; window.dispatchEvent(new Event('resize'))")
    return failures


def check_page(browser, service, model, parts, screenshot):
    for domain in ("Runtime", "Log", "Network", "Page", "DOM"):
        browser.page(domain + ".enable")
    # The size of the README's screenshots.
    browser.page("Emulation.setDeviceMetricsOverride", {"width": 1280, "height": 800, "deviceScaleFactor": 1,
                                                        "mobile": False})
    browser.page("Page.navigate", {"url": service.url})
    if not browser.wait_for("window.geosigSearchReady === true && "
                            "document.getElementById('catalog').textContent.includes('parts')", timeout=120):
        return ["the page never became ready"] + event_failures(browser, lambda url: url.startswith(service.url))
    root = browser.page("DOM.getDocument")["root"]["nodeId"]
    node = browser.page("DOM.querySelector", {"nodeId": root, "selector": "#file"})["nodeId"]
    browser.page("DOM.setFileInputFiles", {"nodeId": node, "files": [os.path.abspath(model)]})
    count = min(10, parts)
    failures = drawn_views(browser, count, "document.getElementById('status').textContent.includes('nearest')")
    if screenshot:
        os.makedirs(os.path.dirname(os.path.abspath(screenshot)), exist_ok=True)
        with open(screenshot, "wb") as file:
            file.write(browser.screenshot())
    # A match's link: the part's own neighbours, with the part itself shown first.
    browser.evaluate("document.querySelector('.view figcaption a').click()")
    failures += drawn_views(browser, min(10, parts - 1) + 1, "document.querySelector('.view.query') !== null")
    browser.evaluate("document.getElementById('max-distance').value = '0.5';"
                     "document.getElementById('find-duplicates').click()")
    if not browser.wait_for("document.querySelectorAll('#groups li a').length > 0", timeout=120):
        failures.append("no duplicate group was listed")
    return failures + event_failures(browser, lambda url: url.startswith(service.url))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--geosig", required=True)
    parser.add_argument("--samples", required=True)
    parser.add_argument("--chromium", default="/usr/bin/chromium")
    parser.add_argument("--screenshot", help="keep a screenshot of the page's search here (a PNG)")
    arguments = parser.parse_args()
    work = tempfile.mkdtemp(prefix="geosig-serve-page-")
    failures = []
    try:
        catalog, service = sample_service(arguments.geosig, arguments.samples, work)
        browser = Browser(arguments.chromium)
        try:
            failures = check_page(browser, service, os.path.join(arguments.samples, "peg.step"),
                                  len(signed_parts(catalog)), arguments.screenshot)
        finally:
            browser.close()
            if service.stop() != 0:
                failures.append("the service did not end with status 0")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAIL", failure)
    print("ok" if not failures else f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
