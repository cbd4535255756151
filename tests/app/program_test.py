#!/usr/bin/python3
"""The real calvex program with a temporary $XDG_DATA_HOME, on $DISPLAY; for
automation, a private session bus that knows it only by its own registration.
Run: CALVEX_PROGRAM=build/app/calvex xvfb-run -a python3 tests/app/program_test.py"""

import ctypes
import os
import signal
import subprocess
import tempfile
import time
import unittest

import dbus
from Xlib import X, display, protocol

PROGRAM = os.path.realpath(os.environ.get("CALVEX_PROGRAM", "calvex"))
NO_BUS = "unix:path=/nonexistent/calvex-test-no-bus"  # where no bus listens
CAPTION = "Calvex Version 1.2, www.calvex.example"


def wait_until(predicate, timeout=15.0):
    """Polls predicate; its first true value, or None after timeout seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    return None


def exit_status(pid):
    """Waits for a child, or an orphan inherited as subreaper; None while it runs."""
    def ended():
        done, status = os.waitpid(pid, os.WNOHANG)
        return (status,) if done == pid else None
    result = wait_until(ended)
    return os.waitstatus_to_exitcode(result[0]) if result else None


def kill_if_running(pid):
    try:
        os.kill(pid, 9)
        os.waitpid(pid, 0)
    except (ProcessLookupError, ChildProcessError):
        pass


class ProgramTestCase(unittest.TestCase):
    def setUp(self):
        data = tempfile.TemporaryDirectory(prefix="calvex-data-")
        self.addCleanup(data.cleanup)
        # No accessibility bus: it would outlive the test.
        self.env = dict(os.environ, XDG_DATA_HOME=data.name, DBUS_SESSION_BUS_ADDRESS=NO_BUS,
                        NO_AT_BRIDGE="1")
        dbus_dir = os.path.join(data.name, "dbus-1")
        self.service = os.path.join(dbus_dir, "services", "Calvex.Application.service")
        self.description = os.path.join(dbus_dir, "interfaces", "Calvex.ICalvex.xml")
        self.display = display.Display()
        self.addCleanup(self.display.close)

    def assert_registered(self):
        with open(self.service) as service:
            self.assertIn(f"\nExec={PROGRAM} /Automation\n", service.read())
        self.assertTrue(os.path.isfile(self.description))

    def run_without_display(self, switch):
        env = {k: v for k, v in self.env.items() if k != "DISPLAY"}
        self.assertEqual(subprocess.run([PROGRAM, switch], env=env, timeout=15).returncode, 0)

    def windows(self, pid):
        """The visible top-level windows of process pid, with their titles."""
        pid_atom = self.display.intern_atom("_NET_WM_PID")
        name_atom = self.display.intern_atom("_NET_WM_NAME")
        found = {}
        for window in self.display.screen().root.query_tree().children:
            try:
                owner = window.get_full_property(pid_atom, X.AnyPropertyType)
                if owner and owner.value[0] == pid and \
                        window.get_attributes().map_state == X.IsViewable:
                    name = window.get_full_property(name_atom, X.AnyPropertyType)
                    title = name.value if name else b""
                    found[window] = title.decode() if isinstance(title, bytes) else title
            except Exception:  # the window went away meanwhile
                continue
        return found

    def main_window(self, pid):
        window = wait_until(lambda: next((w for w, title in self.windows(pid).items()
                                          if title == CAPTION), None))
        self.assertIsNotNone(window, "the main window did not appear")
        return window

    def press_close_box(self, window):
        """What the window manager sends when the user clicks the close box."""
        protocols = self.display.intern_atom("WM_PROTOCOLS")
        delete = self.display.intern_atom("WM_DELETE_WINDOW")
        window.send_event(protocol.event.ClientMessage(
            window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0])))
        self.display.sync()


class StartUp(ProgramTestCase):
    def test_register_and_unregister_need_no_display(self):
        self.run_without_display("/Register")
        self.assert_registered()
        self.run_without_display("/Unregister")
        self.assertFalse(os.path.exists(self.service) or os.path.exists(self.description))

    def test_a_plain_start_needs_no_bus_registers_and_ends_with_its_window(self):
        program = subprocess.Popen([PROGRAM], env=self.env)
        self.addCleanup(program.kill)
        window = self.main_window(program.pid)
        self.assert_registered()
        self.press_close_box(window)
        self.assertEqual(program.wait(15), 0)


class StopSignals(ProgramTestCase):
    """SIGTERM and SIGHUP end the program in order, with status 0. With a job
    running and a dialog open: stop_signal_job_test.cpp."""

    def start(self, *prefix):
        program = subprocess.Popen([*prefix, PROGRAM], env=self.env, stderr=subprocess.PIPE,
                                   text=True)
        self.addCleanup(kill_if_running, program.pid)
        self.addCleanup(program.stderr.close)
        return program, self.main_window(program.pid)

    def assert_ends_on(self, program, number):
        program.send_signal(number)
        self.assertEqual(program.wait(15), 0)
        said = program.stderr.read()
        self.assertEqual(said, f"calvex: {signal.strsignal(number)}, ending\n")

    def test_sighup_ends_it(self):
        # SIGTERM: the end of the next test.
        program, _ = self.start()
        self.assert_ends_on(program, signal.SIGHUP)

    def test_sighup_ignored_by_nohup_stays_ignored(self):
        program, window = self.start("nohup")
        program.send_signal(signal.SIGHUP)
        time.sleep(1.0)
        self.assertIsNone(program.poll(), "SIGHUP ended it")
        self.assertIn(window, self.windows(program.pid))
        self.assert_ends_on(program, signal.SIGTERM)


class Automation(ProgramTestCase):
    """Clients creating Calvex.Application on a private bus."""

    def setUp(self):
        super().setUp()
        self.run_without_display("/Register")
        env = {k: v for k, v in self.env.items() if k != "DBUS_SESSION_BUS_ADDRESS"}
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)
        self.addCleanup(bus.wait)
        self.addCleanup(bus.terminate)
        self.address = bus.stdout.readline().decode().strip()
        bus.stdout.close()

    def create(self):
        """A client connection, the proxy it created and the process serving it."""
        connection = dbus.bus.BusConnection(self.address)
        factory = connection.get_object("Calvex.Application", "/Calvex/Application")
        path = factory.CreateInstance(dbus_interface="Calvex.ClassFactory", timeout=60)
        bus = dbus.Interface(connection.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus"),
                             "org.freedesktop.DBus")
        pid = int(bus.GetConnectionUnixProcessID(factory.bus_name))
        self.addCleanup(kill_if_running, pid)
        return connection, connection.get_object(factory.bus_name, path), pid

    def release(self, proxy):
        proxy.Release(dbus_interface="Calvex.Lifetime")

    def test_the_bus_starts_the_program_for_one_creation_and_release_ends_it(self):
        connection, proxy, pid = self.create()
        with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
            self.assertEqual(cmdline.read().split(b"\0")[:2], [PROGRAM.encode(), b"/Automation"])
        self.main_window(pid)
        with self.assertRaises(dbus.DBusException) as refused:  # one class object, one creation
            connection.get_object(proxy.bus_name, "/Calvex/Application").CreateInstance(
                dbus_interface="Calvex.ClassFactory")
        self.assertEqual(refused.exception.get_dbus_name(), "Calvex.Error.SingleUse")
        stranger = dbus.bus.BusConnection(self.address).get_object(proxy.bus_name,
                                                                   proxy.object_path)
        with self.assertRaises(dbus.DBusException) as refused:  # only its creator releases it
            self.release(stranger)
        self.assertEqual(refused.exception.get_dbus_name(),
                         "org.freedesktop.DBus.Error.AccessDenied")
        self.release(proxy)
        self.assertEqual(exit_status(pid), 0)

    def test_a_closed_window_hides_until_the_client_leaves(self):
        connection, proxy, pid = self.create()
        self.press_close_box(self.main_window(pid))
        self.assertTrue(wait_until(lambda: not self.windows(pid)), "the window stayed")
        time.sleep(1.0)
        proxy.Ping(dbus_interface="org.freedesktop.DBus.Peer")  # still serving
        self.assertEqual(self.windows(pid), {})
        connection.close()
        self.assertEqual(exit_status(pid), 0)

    def test_a_stop_signal_ends_it_while_a_client_holds_it(self):
        # Closing only hides the window then; a signal ends the program.
        _, _, pid = self.create()
        self.main_window(pid)
        os.kill(pid, signal.SIGTERM)
        self.assertEqual(exit_status(pid), 0)

    def test_two_clients_get_two_processes(self):
        _, first, first_pid = self.create()
        _, second, second_pid = self.create()
        self.assertNotEqual(first_pid, second_pid)
        self.release(first)
        self.assertEqual(exit_status(first_pid), 0)
        second.Ping(dbus_interface="org.freedesktop.DBus.Peer")
        self.release(second)
        self.assertEqual(exit_status(second_pid), 0)


if __name__ == "__main__":
    if not os.environ.get("DISPLAY"):
        raise SystemExit("program_test.py needs an X display: run it under xvfb-run -a")
    # The bus orphans the programs it starts; as the nearest subreaper this
    # process inherits them and can read their exit status.
    ctypes.CDLL(None, use_errno=True).prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER
    unittest.main(verbosity=2)
