#!/usr/bin/python3
"""VARNETH as a screen reader sees it over AT-SPI.

Runs the built program on the X display of scripts/with-x11.sh with a private session
bus and accessibility bus, switched on as a running screen reader switches it on, and
reads the program through pyatspi: roles, names, labelled-by relations, a press action
and the focus moving under the keyboard.

Usage: /usr/bin/python3 tst_screen_reader.py PATH_TO_VARNETH
"""

import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

CAPTION = "HOLBRECK - VARNETH"
COLUMNS = ["Amount", "Current USD Value", "Total USD Value", "CONVERTED Value", "TOTAL Value"]


def wait_for(what, probe, timeout=20.0):
    """Polls probe until it returns something true; bus calls may fail while things start."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = probe()
        except GLib.Error:
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


def start(command, env, **kwargs):
    # A session of its own, so that whatever it starts in turn ends with it.
    return subprocess.Popen(command, env=env, start_new_session=True, **kwargs)


def stop(process):
    if process.stdout:
        process.stdout.close()
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGTERM)
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


def has_state(accessible, state):
    return accessible.get_state_set().contains(state)


def children(accessible):
    return [accessible.get_child_at_index(i) for i in range(accessible.get_child_count())]


def targets(accessible, relation_type):
    return [
        relation.get_target(i)
        for relation in accessible.get_relation_set()
        if relation.get_relation_type() == relation_type
        for i in range(relation.get_n_targets())
    ]


class ScreenReader(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.processes = []
        cls.config = tempfile.TemporaryDirectory()
        env = dict(os.environ, XDG_CONFIG_HOME=cls.config.name, QT_QPA_PLATFORM="xcb")
        env.pop("AT_SPI_BUS_ADDRESS", None)
        try:
            session = start(
                ["dbus-daemon", "--session", "--nofork", "--print-address"],
                env,
                stdout=subprocess.PIPE,
                text=True,
            )
            cls.processes.append(session)
            env["DBUS_SESSION_BUS_ADDRESS"] = session.stdout.readline().strip()
            os.environ["DBUS_SESSION_BUS_ADDRESS"] = env["DBUS_SESSION_BUS_ADDRESS"]
            cls.processes.append(start(["/usr/libexec/at-spi-bus-launcher"], env))
            cls.enable_screen_reader(env["DBUS_SESSION_BUS_ADDRESS"])
            cls.processes.append(start([sys.argv[1]], env))
            cls.app = wait_for("VARNETH on the accessibility bus", cls.find_application)
            # Read every state afresh: this process runs no main loop to hear of changes.
            cls.app.set_cache_mask(Atspi.Cache.NONE)
            cls.frame = wait_for("the main window", lambda: cls.window(Atspi.Role.FRAME, CAPTION))
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        for process in reversed(cls.processes):
            stop(process)
        # The launcher leaves the bus address on the root window; no later program on this
        # display is to find that stale address.
        subprocess.run(["xprop", "-root", "-remove", "AT_SPI_BUS"], check=False)
        cls.config.cleanup()

    @staticmethod
    def enable_screen_reader(address):
        bus = Gio.DBusConnection.new_for_address_sync(
            address,
            Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
            | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
            None,
            None,
        )

        def owned():
            reply = bus.call_sync(
                "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                "NameHasOwner", GLib.Variant("(s)", ("org.a11y.Bus",)),
                None, Gio.DBusCallFlags.NONE, 5000, None,
            )
            return reply.unpack()[0]

        wait_for("the accessibility bus launcher", owned)
        bus.call_sync(
            "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
            GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled",
                                   GLib.Variant("b", True))),
            None, Gio.DBusCallFlags.NONE, 5000, None,
        )

    @staticmethod
    def find_application():
        desktop = Atspi.get_desktop(0)
        return next((app for app in children(desktop) if app and app.get_name() == "VARNETH"),
                    None)

    @classmethod
    def window(cls, role, name):
        return next((w for w in children(cls.app)
                     if w.get_role() == role and w.get_name() == name
                     and has_state(w, Atspi.StateType.SHOWING)), None)

    def control(self, parent, role, name):
        found = [c for c in children(parent) if c.get_role() == role and c.get_name() == name]
        self.assertEqual(len(found), 1, f"{role.value_nick} {name!r}")
        return found[0]

    def field(self, name):
        return self.control(self.frame, Atspi.Role.TEXT, name)

    def test_1_captions_label_their_fields(self):
        for name in COLUMNS:
            with self.subTest(field=name):
                caption = self.control(self.frame, Atspi.Role.LABEL, name)
                field = self.field(name)
                self.assertEqual(targets(field, Atspi.RelationType.LABELLED_BY), [caption])
                self.assertEqual(targets(caption, Atspi.RelationType.LABEL_FOR), [field])
        # No caption on the layout: the name alone tells what the field holds.
        self.assertTrue(has_state(self.field("Exchange Rate"), Atspi.StateType.EDITABLE))

    def test_2_tab_moves_the_focus_to_the_next_field(self):
        rate = self.field("Exchange Rate")
        amount = self.field("Amount")
        wait_for("the main window active", lambda: has_state(self.frame, Atspi.StateType.ACTIVE))
        wait_for("focus in the rate", lambda: has_state(rate, Atspi.StateType.FOCUSED))
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        wait_for("focus in the amount", lambda: has_state(amount, Atspi.StateType.FOCUSED))
        self.assertFalse(has_state(rate, Atspi.StateType.FOCUSED))
        # What a reader announces on arrival: "Amount, edit, 2".
        subprocess.run(["xdotool", "type", "2"], check=True)
        wait_for("the typed amount", lambda: Atspi.Text.get_text(amount, 0, -1) == "2")
        self.assertEqual(amount.get_role_name(), "text")

    def test_3_pressing_settings_opens_the_named_settings_window(self):
        settings = self.control(self.frame, Atspi.Role.PUSH_BUTTON, "SETTINGS")
        with warnings.catch_warnings():  # its successor get_name is not in Debian 12's Atspi
            warnings.simplefilter("ignore", DeprecationWarning)
            actions = [Atspi.Action.get_action_name(settings, i)
                       for i in range(Atspi.Action.get_n_actions(settings))]
        self.assertIn("Press", actions)
        Atspi.Action.do_action(settings, actions.index("Press"))
        dialog = wait_for("the settings window",
                          lambda: self.window(Atspi.Role.DIALOG, "VARNETH settings"))
        self.control(dialog, Atspi.Role.PUSH_BUTTON, "OK")
        self.control(dialog, Atspi.Role.CHECK_BOX, "Always On Top")
        # On screen both windows keep the one caption.
        titles = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{CAPTION}$"],
                                capture_output=True, text=True).stdout.split()
        self.assertEqual(len(titles), 2)


if __name__ == "__main__":
    if len(sys.argv) < 2 or not os.environ.get("DISPLAY"):
        sys.exit("usage: tst_screen_reader.py PATH_TO_VARNETH, on an X display")
    unittest.main(argv=sys.argv[:1], verbosity=2)
