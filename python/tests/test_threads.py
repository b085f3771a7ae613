"""Files read from many threads at once, while other threads of the interpreter hold locks of
their own, allocate and run numpy: every call answers with the file's record, none waits for a
worker that can never answer."""

import threading
from concurrent.futures import ThreadPoolExecutor

import numpy as np

import geosig
from conftest import SAMPLES, assert_same_record, tool_records

PEG = str(SAMPLES / "peg.stl")
BRICK = str(SAMPLES / "brick.obj")
# Far above what these small meshes take on a loaded machine: only a worker that never answers
# reaches it.
TIME_LIMIT = 60


def keep_busy(stop: threading.Event, lock: threading.Lock) -> None:
    """What an interpreter's other threads do: take a lock of their own, allocate, run numpy."""
    rng = np.random.default_rng(0)
    while not stop.is_set():
        with lock:
            garbage = [bytes(size) for size in range(0, 4096, 64)]
            np.linalg.svd(rng.random((40, 40)))
            del garbage


def test_threads_describing_and_signing_at_once_all_get_their_answers():
    expected_description = tool_records("describe", [PEG])[0]
    expected_signature = geosig.signature(BRICK, time_limit=TIME_LIMIT)
    stop, lock = threading.Event(), threading.Lock()
    busy = [threading.Thread(target=keep_busy, args=(stop, lock)) for _ in range(3)]
    for thread in busy:
        thread.start()
    try:
        def describe(_):
            return geosig.describe(PEG, time_limit=TIME_LIMIT)

        def sign(_):
            return geosig.signature(BRICK, time_limit=TIME_LIMIT)

        with ThreadPoolExecutor(max_workers=6) as pool:
            descriptions = pool.map(describe, range(24))
            signatures = pool.map(sign, range(24))
            descriptions, signatures = list(descriptions), list(signatures)
    finally:
        stop.set()
        for thread in busy:
            thread.join()
    assert len(descriptions) == len(signatures) == 24
    for description in descriptions:
        assert_same_record(expected_description, description)
    assert all(signature == expected_signature for signature in signatures)
