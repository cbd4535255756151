#!/usr/bin/python3
"""Tests of the real calvex program: its start-up modes, the registration
files, and automation by a real D-Bus client, each under a private session
bus and a temporary $XDG_DATA_HOME, on the X display of $DISPLAY.

Run: CALVEX_PROGRAM=build/app/calvex python3 tests/app/program_test.py [TestCase]"""

import os
import subprocess
import time
import unittest
import xml.etree.ElementTree as ElementTree

import dbus

from calvex_harness import (MAIN_CAPTION, NO_BUS, PROGRAM, Client, DataHome, PrivateBus,
                            Program, Screen, become_subreaper, exit_status, is_running,
                            process_of, registration_files, service_exec_line, wait_until)


class ProgramTestCase(unittest.TestCase):
    def setUp(self):
        self.data_home = DataHome()
        self.addCleanup(self.data_home.cleanup)
        self.screen = Screen()
        self.addCleanup(self.screen.close)

    def start(self, *arguments, bus_address=NO_BUS):
        program = Program(arguments, self.data_home.path, bus_address)
        self.addCleanup(program.kill)
        return program

    def assert_registered(self):
        for path in registration_files(self.data_home.path):
            self.assertTrue(os.path.isfile(path), path)
        self.assertEqual(service_exec_line(self.data_home.path), f"{PROGRAM} /Automation")

    def assert_not_registered(self):
        for path in registration_files(self.data_home.path):
            self.assertFalse(os.path.exists(path), path)

    def assert_ends_without_window(self, program):
        """The program ends with status 0 and never shows a window."""
        def ended_or_shown():
            if self.screen.visible_windows(program.pid):
                return "window"
            return "ended" if program.process.poll() is not None else None
        self.assertEqual(wait_until(ended_or_shown, interval=0.01), "ended")
        self.assertEqual(program.wait(), 0)

    def main_window(self, pid):
        window = self.screen.window_titled(pid, MAIN_CAPTION)
        self.assertIsNotNone(window, "the main window did not appear")
        return window

    def close_window_and_expect_end(self, program, window):
        self.screen.press_close_box(window)
        self.assertEqual(program.wait(), 0)


class StartUpModes(ProgramTestCase):
    def test_plain_start_registers_then_shows_the_window(self):
        program = self.start()
        window = self.main_window(program.pid)
        self.assert_registered()
        self.close_window_and_expect_end(program, window)

    def test_plain_start_needs_no_session_bus(self):
        program = self.start(bus_address=NO_BUS)
        self.main_window(program.pid)
        self.assertIsNone(program.process.poll())

    def test_register_writes_both_files_and_shows_no_window(self):
        for switch in ("/Register", "/Regserver", "-register", "-REGSERVER"):
            with self.subTest(switch=switch):
                self.assert_ends_without_window(self.start(switch))
                self.assert_registered()
                with open(registration_files(self.data_home.path)[1]) as description:
                    self.assertIn("{96D06FBF-9B6F-4551-8565-F497D1772153}", description.read())

    def test_unregister_removes_both_files_and_shows_no_window(self):
        for switch in ("/Unregister", "/Unregserver", "-unregister", "-UNREGSERVER"):
            with self.subTest(switch=switch):
                self.assert_ends_without_window(self.start("/Register"))
                self.assert_registered()
                self.assert_ends_without_window(self.start(switch))
                self.assert_not_registered()

    def test_register_and_unregister_need_no_display(self):
        env = dict(os.environ, XDG_DATA_HOME=self.data_home.path)
        env.pop("DISPLAY", None)
        self.assertEqual(subprocess.run([PROGRAM, "/Register"], env=env, timeout=15).returncode, 0)
        self.assert_registered()
        self.assertEqual(subprocess.run([PROGRAM, "/Unregister"], env=env, timeout=15).returncode, 0)
        self.assert_not_registered()

    def test_unregister_keeps_a_description_of_another_version(self):
        self.assert_ends_without_window(self.start("/Register"))
        service, description = registration_files(self.data_home.path)
        with open(description) as f:
            text = f.read().replace('"Calvex.TypeLibrary.Version" value="1.0"',
                                    '"Calvex.TypeLibrary.Version" value="2.0"')
        with open(description, "w") as f:
            f.write(text)
        self.assert_ends_without_window(self.start("/Unregister"))
        self.assertFalse(os.path.exists(service))
        self.assertTrue(os.path.exists(description))

    def test_unknown_arguments_behave_as_an_empty_command_line(self):
        program = self.start("video.mp4", "--help", "/Automate", "-x", "/P")
        window = self.main_window(program.pid)
        self.assert_registered()
        self.close_window_and_expect_end(program, window)

    def test_automation_with_unregister_runs_the_server_and_unregisters_nothing(self):
        self.assert_ends_without_window(self.start("/Register"))
        bus = PrivateBus(self.data_home.path)
        self.addCleanup(bus.close)
        program = self.start("/Automation", "/Unregister", bus_address=bus.address)
        window = self.main_window(program.pid)
        connection = bus.connect()
        self.assertTrue(wait_until(lambda: connection.name_has_owner("Calvex.Application")))
        self.assertEqual(process_of(connection, "Calvex.Application"), program.pid)
        self.assert_registered()
        # With no client, the window closes as in a plain start.
        self.close_window_and_expect_end(program, window)
        self.assert_registered()

    def test_server_mode_without_a_session_bus_shows_the_message_and_ends(self):
        for switch in ("/Automation", "-Embedding"):
            with self.subTest(switch=switch):
                program = self.start(switch, bus_address=NO_BUS)
                box = self.screen.window_titled(program.pid, "calvex")
                self.assertIsNotNone(box, "no message box")
                self.assertEqual([self.screen.title(w)
                                  for w in self.screen.visible_windows(program.pid)],
                                 ["calvex"])
                self.screen.press_key(box, "Return")
                self.assertEqual(program.wait(), 0)
                self.assert_not_registered()


class Automation(ProgramTestCase):
    """A client creating Calvex.Application on a private bus where only the
    registration that the program wrote itself tells how to start it."""

    def setUp(self):
        super().setUp()
        self.assert_ends_without_window(self.start("/Register"))
        self.bus = PrivateBus(self.data_home.path)
        self.addCleanup(self.bus.close)

    def create(self):
        client = Client(self.bus)
        self.addCleanup(self.kill_if_running, client.pid)
        return client

    @staticmethod
    def kill_if_running(pid):
        if is_running(pid):
            os.kill(pid, 9)
            exit_status(pid)

    def assert_still_serving(self, client):
        time.sleep(1.0)
        self.assertTrue(is_running(client.pid))
        client.proxy.Ping(dbus_interface="org.freedesktop.DBus.Peer")

    def test_creation_starts_the_program_through_the_bus_and_returns_a_proxy(self):
        client = self.create()
        self.assertEqual(os.path.realpath(f"/proc/{client.pid}/exe"), PROGRAM)
        with open(f"/proc/{client.pid}/cmdline", "rb") as cmdline:
            self.assertEqual(cmdline.read().split(b"\0")[1], b"/Automation")
        self.assertTrue(client.proxy_path.startswith("/Calvex/Application/"))
        self.main_window(client.pid)
        client.release()
        self.assertEqual(exit_status(client.pid), 0)

    def test_the_proxy_offers_the_empty_interface_and_only_release(self):
        client = self.create()
        xml = client.proxy.Introspect(dbus_interface="org.freedesktop.DBus.Introspectable")
        interfaces = {i.get("name"): i for i in ElementTree.fromstring(xml).findall("interface")}
        self.assertEqual(set(interfaces), {
            "Calvex.ICalvex", "Calvex.Lifetime", "org.freedesktop.DBus.Properties",
            "org.freedesktop.DBus.Introspectable", "org.freedesktop.DBus.Peer"})
        members = ("method", "property", "signal")
        self.assertEqual([m for kind in members for m in interfaces["Calvex.ICalvex"].findall(kind)],
                         [])
        lifetime = interfaces["Calvex.Lifetime"]
        self.assertEqual([m.get("name") for m in lifetime.findall("method")], ["Release"])
        self.assertEqual(lifetime.find("method").findall("arg"), [])
        self.assertEqual(lifetime.findall("property") + lifetime.findall("signal"), [])
        client.release()
        self.assertEqual(exit_status(client.pid), 0)

    def test_closing_the_window_only_hides_it_until_release(self):
        ways = {
            "close box": lambda window: self.screen.press_close_box(window),
            "Escape": lambda window: self.screen.press_key(window, "Escape"),
            "confirmed Quit": self.quit_and_confirm,
        }
        for way, close in ways.items():
            with self.subTest(way=way):
                client = self.create()
                window = self.main_window(client.pid)
                close(window)
                self.assertTrue(wait_until(lambda: not self.screen.visible_windows(client.pid)),
                                f"{way} left a window visible")
                self.assert_still_serving(client)
                self.assertEqual(self.screen.visible_windows(client.pid), [])
                client.release()
                self.assertEqual(exit_status(client.pid), 0)

    def quit_and_confirm(self, window):
        """Enter reaches Quit, the default button; Enter again answers Yes."""
        self.screen.press_key(window, "Return")
        owner = window.get_full_property(self.screen.display.intern_atom("_NET_WM_PID"), 0)
        confirmation = self.screen.window_titled(owner.value[0], "calvex")
        self.assertIsNotNone(confirmation, "no quit confirmation")
        self.screen.press_key(confirmation, "Return")

    def test_a_client_leaving_the_bus_ends_the_program(self):
        client = self.create()
        self.main_window(client.pid)
        client.disconnect()
        self.assertEqual(exit_status(client.pid), 0)

    def test_a_client_leaving_after_the_window_was_hidden_ends_the_program(self):
        client = self.create()
        self.screen.press_close_box(self.main_window(client.pid))
        self.assertTrue(wait_until(lambda: not self.screen.visible_windows(client.pid)))
        client.disconnect()
        self.assertEqual(exit_status(client.pid), 0)

    def test_two_clients_one_after_the_other_get_two_processes(self):
        first = self.create()
        second = self.create()
        self.assertNotEqual(first.pid, second.pid)
        self.assertNotEqual(first.server, second.server)
        self.main_window(first.pid)
        self.main_window(second.pid)
        first.release()
        self.assertEqual(exit_status(first.pid), 0)
        self.assertTrue(is_running(second.pid))
        second.release()
        self.assertEqual(exit_status(second.pid), 0)

    def test_only_the_creating_client_may_release(self):
        client = self.create()
        stranger = self.bus.connect().get_object(client.server, client.proxy_path)
        with self.assertRaises(dbus.DBusException) as refused:
            stranger.Release(dbus_interface="Calvex.Lifetime")
        self.assertEqual(refused.exception.get_dbus_name(),
                         "org.freedesktop.DBus.Error.AccessDenied")
        self.assert_still_serving(client)
        client.release()
        self.assertEqual(exit_status(client.pid), 0)

    def test_the_instance_serves_one_creation(self):
        client = self.create()
        factory = client.connection.get_object(client.server, "/Calvex/Application")
        with self.assertRaises(dbus.DBusException) as refused:
            factory.CreateInstance(dbus_interface="Calvex.ClassFactory")
        self.assertEqual(refused.exception.get_dbus_name(), "Calvex.Error.SingleUse")
        client.release()
        self.assertEqual(exit_status(client.pid), 0)


if __name__ == "__main__":
    if not os.environ.get("DISPLAY"):
        raise SystemExit("program_test.py needs an X display: run it under xvfb-run -a")
    become_subreaper()
    unittest.main(verbosity=2)
