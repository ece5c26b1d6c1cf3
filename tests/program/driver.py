"""What the drivers that run the built program from outside share.

The waits poll observable state; every process a driver starts leads a session of its own,
so that whatever it starts in turn is stopped with it; each program run gets a settings
folder and, where it is to be found by a second start, a session bus of its own.
"""

import os
import signal
import subprocess
import tempfile
import time


def poll(probe, timeout, ignore=()):
    """What probe returns once it is true, or its last answer after timeout seconds.

    Exceptions of the types in ignore count as a false answer: a bus call may fail while
    what it asks for is still starting."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = probe()
        except ignore:
            value = None
        if value or time.monotonic() > deadline:
            return value
        time.sleep(0.05)


def wait_for(what, probe, timeout=15.0, ignore=()):
    value = poll(probe, timeout, ignore)
    if not value:
        raise AssertionError("timed out waiting for " + what)
    return value


def start(command, env, **kwargs):
    return subprocess.Popen(command, env=env, start_new_session=True, **kwargs)


def stop(process):
    """Ends the process's whole session: TERM, then KILL after ten seconds."""
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGTERM)
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
    for stream in (process.stdout, process.stderr):
        if stream:
            stream.close()


class ConfigFolder(tempfile.TemporaryDirectory):
    """An XDG_CONFIG_HOME of the run's own, its store seeded with the given keys."""

    def __init__(self, seed=None):
        super().__init__()
        self.store = os.path.join(self.name, "VARNETH", "VARNETH.conf")
        if seed:
            os.makedirs(os.path.dirname(self.store))
            with open(self.store, "w") as store:
                store.write("[Settings]\n")
                store.writelines(f"{key}={value}\n" for key, value in seed.items())

    def no_bus(self):
        """A session bus address where none answers: the program then runs alone."""
        return "unix:path=" + os.path.join(self.name, "no-bus")


def session_bus(folder, env=None):
    """A private session bus listening in folder: its process and its address."""
    address = "unix:path=" + os.path.join(folder, "bus")
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1",
                 "--address=" + address], env or os.environ, stdout=subprocess.PIPE,
                stderr=subprocess.DEVNULL, text=True)
    bus.stdout.readline()
    return bus, address
