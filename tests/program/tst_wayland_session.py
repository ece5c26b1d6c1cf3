#!/usr/bin/python3
"""VARNETH on a real Wayland compositor: shown, typed into, closed, its inputs stored.

Runs under scripts/with-wayland.sh, which starts sway, weston or mutter headless and says
which one in VARNETH_COMPOSITOR. Each compositor is one row: how its window is seen there,
how keys reach it and how its window is closed. The built program runs both ways it runs
on such a desktop: as a Wayland client, where it must leave the stored window position
alone and end without hanging, and as an X11 client of the compositor's XWayland. Started
a second time on a session bus of its own, it must leave the running one alone as the
only process.

Usage: /usr/bin/python3 tst_wayland_session.py PATH_TO_VARNETH
"""

import configparser
import ctypes
import functools
import json
import os
import re
import subprocess
import sys
import threading
import unittest
import warnings

from driver import ConfigFolder, poll, session_bus, stop, wait_for

TITLE = "HOLBRECK - VARNETH"
APP_ID = "org.holbreck.varneth"
# Where an earlier X11 session left the window; nothing on Wayland may overwrite it.
SEEDED_POSITION = {"MainLeft": "2000", "MainTop": "3000"}
SELECT_ALL, TAB = object(), object()
SHIFT_KEYCODE = 42  # evdev; X keycodes are 8 higher


def output(*command):
    return subprocess.run(command, capture_output=True, text=True, timeout=10).stdout


def x_window():
    found = output("xdotool", "search", "--onlyvisible", "--name", f"^{TITLE}$").split()
    return int(found[0]) if len(found) == 1 else None


def x_key_down(keycode):
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    display = ctypes.c_void_p(xlib.XOpenDisplay(None))
    keys = (ctypes.c_ubyte * 32)()
    xlib.XQueryKeymap(display, keys)
    xlib.XCloseDisplay(display)
    return bool(keys[keycode // 8] & (1 << keycode % 8))


@functools.cache
def mutter_keyboard():
    """A keyboard from mutter's remote-desktop interface, one for the whole run."""
    warnings.filterwarnings("ignore", category=ImportWarning)  # Debian 12's gi
    from gi.repository import Gio, GLib
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    desktop = "org.gnome.Mutter.RemoteDesktop"

    def call(path, interface, method, args=None):
        return bus.call_sync(desktop, path, interface, method, args, None, 0, 10000, None)
    session = call("/org/gnome/Mutter/RemoteDesktop", desktop, "CreateSession").unpack()[0]
    call(session, desktop + ".Session", "Start")
    return lambda keysym, down: call(session, desktop + ".Session", "NotifyKeyboardKeysym",
                                     GLib.Variant("(ub)", (keysym, down)))


class Program:
    """The built program on a store of its own, seeded with a window position; the end of
    its with block stops it and removes what it was given."""

    def __init__(self, platform, own_bus=False):
        self.wayland = platform == "wayland"
        self.config = ConfigFolder(SEEDED_POSITION)
        # A session bus of the run's own, or none: no other run can be found running.
        self.bus, address = (session_bus(self.config.name) if own_bus
                             else (None, self.config.no_bus()))
        self.env = dict(os.environ, XDG_CONFIG_HOME=self.config.name, QT_QPA_PLATFORM=platform,
                        DBUS_SESSION_BUS_ADDRESS=address)
        # The protocol traffic is what every compositor lets a test see of a Wayland window:
        # what the program asked for, and when the compositor gave it the keyboard.
        debug = {"WAYLAND_DEBUG": "client"} if self.wayland else {}
        self.process = subprocess.Popen([BINARY], env=dict(self.env, **debug),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                        text=True, errors="replace")
        self.traffic = []
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        for line in self.process.stderr:
            self.traffic.append(line)

    def count(self, pattern):
        return sum(1 for line in list(self.traffic) if re.search(pattern, line))

    def has_keyboard(self):
        if self.wayland:
            return self.count(r"wl_keyboard@\d+\.enter\(") > 0
        return output("xdotool", "getwindowfocus").strip() == str(self.window)

    def finish(self, test):
        """Waits for the end after a close; a process still there is the exit hang."""
        try:
            test.assertEqual(self.process.wait(timeout=10), 0)
        except subprocess.TimeoutExpired:
            test.fail("still running 10 s after its window was closed")

    def stored(self):
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read(self.config.store)
        return dict(parser["Settings"])

    def __enter__(self):
        return self

    def __exit__(self, *raised):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.reader.join()
        self.process.stderr.close()
        if self.bus:
            stop(self.bus)
        self.config.cleanup()


def find_window(program, keyboard=True):
    """Waits for the window as the program itself sees it, with the keyboard on it."""
    if program.wayland:
        wait_for("its toplevel configured",
                 lambda: program.count(r"xdg_toplevel@\d+\.configure\("))
        for request in (f'set_app_id("{APP_ID}")', f'set_title("{TITLE}")'):
            if not program.count(re.escape(request)):
                raise AssertionError("the program never sent " + request)
    else:
        program.window = wait_for("its X window on " + os.environ["DISPLAY"], x_window)
    if keyboard:
        wait_for("the keyboard on its window", program.has_keyboard)


class Sway:
    # About one close in ten after typing used to hang in Qt's teardown.
    wayland_runs = 30

    def node(self, program):
        def walk(node):
            if node.get("pid") == program.process.pid:
                return node
            return next(filter(None, map(walk, node["nodes"] + node["floating_nodes"])), None)
        return walk(json.loads(output("swaymsg", "-t", "get_tree", "--raw")))

    def show(self, test, program):
        node = wait_for("sway to list the window", lambda: self.node(program))
        test.assertEqual(node["name"], TITLE)
        if program.wayland:
            test.assertEqual((node["shell"], node["app_id"]), ("xdg_shell", APP_ID))
        else:
            test.assertEqual(node["shell"], "xwayland")
        find_window(program)
        return node["id"]

    def type(self, program, window, keys):
        words = {SELECT_ALL: ["-M", "ctrl", "a", "-m", "ctrl"], TAB: ["-k", "Tab"]}
        args = [word for key in keys for word in words.get(key, [key])]
        subprocess.run(["wtype", *args], check=True, timeout=10)

    def close(self, program, window):
        subprocess.run(["swaymsg", f"[con_id={window}]", "kill"], check=True,
                       capture_output=True, timeout=10)


class Weston:
    wayland_runs = 5
    host = {"DISPLAY": os.environ.get("VARNETH_WESTON_HOST_DISPLAY", "")}

    def view(self):
        scene = output("weston-debug", "scene-graph")
        view = re.search(rf"top-level window '{re.escape(TITLE)}'(?: of ([^,]+))?,.*\n"
                         r"\s+position: .*\n\s+\[opaque: \((\d+), (\d+)\) -> \((\d+), (\d+)\)\]\n"
                         r"\s+outputs: \d", scene)
        return view and (view[1], *map(int, view.groups()[1:]))

    def show(self, test, program):
        # Weston's XWayland window manager lists a window it manages as a top-level one;
        # one it leaves unmanaged is drawn without a frame and never takes the keyboard.
        app_id, *client = wait_for("weston to show the window as a top-level one on an output",
                                   self.view)
        if program.wayland:
            test.assertEqual(app_id, APP_ID)
        find_window(program)
        return client

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=dict(os.environ, **self.host), check=True,
                       timeout=20)

    def type(self, program, window, keys):
        words = {SELECT_ALL: ["key", "ctrl+a"], TAB: ["key", "Tab"]}
        for key in keys:
            self.xdotool(*words.get(key, ["type", key]))

    def close(self, program, window):
        # The close box, 14 px from the right and 15 px above the client area in Qt's
        # own title bar; 15 and 12 px in the frame weston draws for X11 windows.
        _, top, right, _ = window
        x, y = (right - 14, top - 15) if program.wayland else (right - 15, top - 12)
        # Weston's X11 backend moves its pointer by how far the host's pointer moved, so a
        # sweep across the whole host screen first puts it in weston's top-left corner.
        self.xdotool("mousemove", "1279", "799", "mousemove", "0", "0",
                     "mousemove", str(x), str(y), "click", "1")


class Mutter:
    wayland_runs = 5
    keysyms = {SELECT_ALL: [("Control_L", 0xffe3), 0x61], TAB: [0xff09]}

    def show(self, test, program):
        mutter_keyboard()
        # Mutter gives a Wayland client its keyboard only with the first key; press()
        # waits for that one to arrive.
        find_window(program, keyboard=not program.wayland)

    def press(self, program, chords):
        """Presses each key in turn; a (name, keysym) pair is held down around the next."""
        key = mutter_keyboard()
        # Keys sent while mutter still sets its keyboard up are lost, and a Wayland client
        # gets a keyboard there only with the first key: hold Shift until the program has
        # seen it.
        pressed = rf"wl_keyboard@\d+\.key\(\d+, \d+, {SHIFT_KEYCODE}, 1\)"
        before = program.count(pressed)

        def shift_seen():
            if program.wayland:
                return program.count(pressed) > before
            return x_key_down(SHIFT_KEYCODE + 8)
        for _ in range(40):
            key(0xffe1, True)
            reached = poll(shift_seen, 0.25)
            key(0xffe1, False)
            if reached:
                break
        else:
            raise AssertionError("mutter's keyboard never reached the program")
        held = []
        for keysym in chords:
            if isinstance(keysym, tuple):
                held.append(keysym[1])
                key(keysym[1], True)
                continue
            key(keysym, True)
            key(keysym, False)
            while held:
                key(held.pop(), False)

    def type(self, program, window, keys):
        self.press(program, [sym for key in keys for sym in self.keysyms.get(key) or map(ord, key)])

    def close(self, program, window):
        # Alt+F4, mutter's own binding for closing the focused window.
        self.press(program, [("Alt_L", 0xffe9), 0xffc1])


ROWS = {"sway": Sway, "weston": Weston, "mutter": Mutter}


class WaylandSession(unittest.TestCase):
    def setUp(self):
        self.row = ROWS[os.environ["VARNETH_COMPOSITOR"]]()

    def session(self, platform, run):
        rate, amount = f"{run + 1}2.5", f"{run + 3}000"
        with Program(platform) as program:
            window = self.row.show(self, program)
            self.row.type(program, window, [SELECT_ALL, rate, TAB, SELECT_ALL, amount])
            self.row.close(program, window)
            program.finish(self)
            stored = program.stored()
        self.assertEqual((stored.get("EXCHANGE_RATE_TEXTBOX"), stored.get("AMOUNT_IN_WALLET_1")),
                         (rate, amount))
        if program.wayland:
            self.assertEqual({k: stored.get(k) for k in SEEDED_POSITION}, SEEDED_POSITION)

    def test_wayland_client(self):
        for run in range(self.row.wayland_runs):
            with self.subTest(run=run):
                self.session("wayland", run)

    def test_xwayland_client(self):
        self.session("xcb", 0)

    def test_second_start(self):
        """Started again, it leaves the running Wayland client alone as the one process."""
        with Program("wayland", own_bus=True) as program:
            window = self.row.show(self, program)
            again = subprocess.run([BINARY], capture_output=True, text=True, timeout=10,
                                   env=dict(program.env, XDG_ACTIVATION_TOKEN="from-the-launcher"))
            self.assertEqual(again.returncode, 0, again.stderr)
            self.assertIsNone(program.process.poll())
            self.row.type(program, window, [SELECT_ALL, "7.5"])
            self.row.close(program, window)
            program.finish(self)
            stored = program.stored()
        self.assertEqual(stored.get("EXCHANGE_RATE_TEXTBOX"), "7.5")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit("usage: tst_wayland_session.py PATH_TO_VARNETH")
    if os.environ.get("VARNETH_COMPOSITOR") not in ROWS:
        print("no Wayland compositor: run it under scripts/with-wayland.sh sway|weston|mutter")
        sys.exit(0)
    BINARY = sys.argv[1]
    unittest.main(argv=sys.argv[:1], verbosity=2)
