#!/usr/bin/python3
"""VARNETH as a screen reader sees it over AT-SPI.

Runs the built program on the X display of scripts/with-x11.sh with a private session
bus and accessibility bus, switched on as a running screen reader switches it on, and
reads it through pyatspi: roles, names, labelled-by relations, the focus moving under
the keyboard and a press action.

Usage: /usr/bin/python3 tst_screen_reader.py PATH_TO_VARNETH
"""

import os
import subprocess
import sys
import unittest

import pyatspi
from gi.repository import Atspi, GLib

from driver import ConfigFolder, session_bus, start, stop, wait_for

CAPTION = "HOLBRECK - VARNETH"
COLUMNS = ["Amount", "Current USD Value", "Total USD Value", "CONVERTED Value", "TOTAL Value"]


def reading(what, probe):
    """Waits on the accessibility bus, whose calls fail while things start."""
    return wait_for(what, probe, timeout=20.0, ignore=GLib.Error)


def session_call(env, *args):
    return subprocess.run(["dbus-send", "--session", "--print-reply", *args], env=env,
                          capture_output=True, text=True).stdout


def has_state(accessible, state):
    return accessible.getState().contains(state)


def targets(accessible, relation_type):
    return [relation.getTarget(i) for relation in accessible.getRelationSet()
            if relation.getRelationType() == relation_type
            for i in range(relation.getNTargets())]


class ScreenReader(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Each cleanup runs, last first, also when a later step here fails.
        cls.config = ConfigFolder()
        cls.addClassCleanup(cls.config.cleanup)
        # The launcher leaves the bus address on the root window; no later program on this
        # display is to find that stale address.
        cls.addClassCleanup(subprocess.run, ["xprop", "-root", "-remove", "AT_SPI_BUS"])
        env = dict(os.environ, XDG_CONFIG_HOME=cls.config.name, QT_QPA_PLATFORM="xcb")
        env.pop("AT_SPI_BUS_ADDRESS", None)
        bus, env["DBUS_SESSION_BUS_ADDRESS"] = session_bus(cls.config.name, env)
        cls.addClassCleanup(stop, bus)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = env["DBUS_SESSION_BUS_ADDRESS"]
        cls.addClassCleanup(stop, start(["/usr/libexec/at-spi-bus-launcher"], env))
        reading("the accessibility bus launcher", lambda: "boolean true" in session_call(
            env, "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
            "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"))
        session_call(env, "--dest=org.a11y.Bus", "/org/a11y/bus",
                     "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status",
                     "string:ScreenReaderEnabled", "variant:boolean:true")
        cls.addClassCleanup(stop, start([sys.argv[1]], env))
        cls.app = reading("VARNETH on the accessibility bus", lambda: next(
            (app for app in pyatspi.Registry.getDesktop(0) if app and app.name == "VARNETH"), None))
        # Read every state afresh: this process runs no main loop to hear of changes.
        cls.app.set_cache_mask(Atspi.Cache.NONE)
        cls.frame = reading("the main window", lambda: cls.window(pyatspi.ROLE_FRAME, CAPTION))

    @classmethod
    def window(cls, role, name):
        return next((w for w in cls.app if w.getRole() == role and w.name == name
                     and has_state(w, pyatspi.STATE_SHOWING)), None)

    def control(self, parent, role, name):
        found = [c for c in parent if c.getRole() == role and c.name == name]
        self.assertEqual(len(found), 1, f"{role} {name!r}")
        return found[0]

    def test_1_captions_label_their_fields(self):
        for name in COLUMNS:
            with self.subTest(field=name):
                caption = self.control(self.frame, pyatspi.ROLE_LABEL, name)
                field = self.control(self.frame, pyatspi.ROLE_TEXT, name)
                self.assertEqual(targets(field, pyatspi.RELATION_LABELLED_BY), [caption])
                self.assertEqual(targets(caption, pyatspi.RELATION_LABEL_FOR), [field])
        # No caption on the layout: the name alone tells what the field holds.
        self.control(self.frame, pyatspi.ROLE_TEXT, "Exchange Rate")

    def test_2_tab_moves_the_focus_to_the_next_field(self):
        rate = self.control(self.frame, pyatspi.ROLE_TEXT, "Exchange Rate")
        amount = self.control(self.frame, pyatspi.ROLE_TEXT, "Amount")
        reading("the main window active", lambda: has_state(self.frame, pyatspi.STATE_ACTIVE))
        reading("focus in the rate", lambda: has_state(rate, pyatspi.STATE_FOCUSED))
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        reading("focus in the amount", lambda: has_state(amount, pyatspi.STATE_FOCUSED))
        self.assertFalse(has_state(rate, pyatspi.STATE_FOCUSED))
        # What a reader announces on arrival: "Amount, edit, 2".
        subprocess.run(["xdotool", "type", "2"], check=True)
        reading("the typed amount", lambda: amount.queryText().getText(0, -1) == "2")

    def test_3_pressing_settings_opens_the_named_settings_window(self):
        action = self.control(self.frame, pyatspi.ROLE_PUSH_BUTTON, "SETTINGS").queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        self.assertIn("Press", names)
        action.doAction(names.index("Press"))
        dialog = reading("the settings window",
                          lambda: self.window(pyatspi.ROLE_DIALOG, "VARNETH settings"))
        self.control(dialog, pyatspi.ROLE_CHECK_BOX, "Always On Top")
        # The creator label's new caption is what a reader says after a double-click. Read
        # where the label is on each try: a window manager may still be placing the window.
        creator = self.control(dialog, pyatspi.ROLE_LABEL, "Created By Trevald")

        def double_click():
            box = creator.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                            str(box.y + box.height // 2), "click", "--repeat", "2", "1"],
                           check=True)

        reading("the address as the label's name",
                lambda: creator.name == "trevald@holbreck.example" or double_click())
        # On screen both windows keep the one caption.
        titles = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{CAPTION}$"],
                                capture_output=True, text=True).stdout.split()
        self.assertEqual(len(titles), 2)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit("usage: tst_screen_reader.py PATH_TO_VARNETH")
    if subprocess.run(["xdpyinfo"], capture_output=True).returncode != 0:
        print("no X display: run it under scripts/with-x11.sh")
        sys.exit(0)
    # Debian 12's pyatspi calls Atspi functions that newer versions deprecate.
    unittest.main(argv=sys.argv[:1], verbosity=2, warnings="ignore")
