"""Stopping what a test started, also when the test has failed half-way."""

import os
import signal

from waiting import wait_until


class DaemonProcess:
    """Stands for a daemon that forked away from us, so it can be stopped like the rest."""

    def __init__(self, pid):
        self.pid = pid

    def poll(self):
        if self.pid is None:
            return 0
        try:
            os.kill(self.pid, 0)
            return None
        except ProcessLookupError:
            return 0

    def terminate(self):
        if self.pid:
            os.kill(self.pid, signal.SIGTERM)

    def kill(self):
        if self.pid:
            os.kill(self.pid, signal.SIGKILL)

    def wait(self, timeout):
        wait_until(lambda: self.poll() is not None, timeout, f"process {self.pid} to end")


def stop_process(proc):
    if proc.poll() is not None:
        return
    try:
        proc.terminate()
        proc.wait(5)
    except Exception:
        try:
            proc.kill()
            proc.wait(5)
        except Exception:
            pass
