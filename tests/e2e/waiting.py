"""Waiting for something to appear: polling with a generous time-out, never a fixed
sleep that a slow machine could overrun."""

import time


class Timeout(AssertionError):
    pass


def wait_until(predicate, timeout, what, interval=0.05):
    """Polls `predicate` until it returns something truthy and returns that; no
    result within `timeout` seconds fails with `what` in the message."""
    deadline = time.monotonic() + timeout
    while True:
        result = predicate()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Timeout(f"waited {timeout} s for {what}")
        time.sleep(interval)
