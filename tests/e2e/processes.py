"""Stopping what a test started, also when the test has failed half-way."""

import os
import signal

from waiting import wait_until


class DaemonProcess:
    """A daemon that forked away from us, stopped like the rest."""

    def __init__(self, pid):
        self.pid = pid

    def poll(self):
        try:
            return 0 if self.pid is None or os.kill(self.pid, 0) else None
        except ProcessLookupError:
            return 0

    def _signal(self, number):
        if self.pid:
            os.kill(self.pid, number)

    def terminate(self):
        self._signal(signal.SIGTERM)

    def kill(self):
        self._signal(signal.SIGKILL)

    def wait(self, timeout):
        wait_until(lambda: self.poll() is not None, timeout, f"process {self.pid} to end")


def stop_process(proc):
    for stop in (proc.terminate, proc.kill):
        if proc.poll() is not None:
            return
        try:
            stop()
            proc.wait(5)
        except Exception:
            pass
