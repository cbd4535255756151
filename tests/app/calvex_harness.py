"""Drives the real calvex program for the tests: private session buses,
temporary data folders, and the program's windows on the X display."""

import ctypes
import os
import subprocess
import tempfile
import time

import dbus
from Xlib import X, XK
from Xlib import display as xdisplay
from Xlib import protocol

PROGRAM = os.path.realpath(os.environ.get("CALVEX_PROGRAM", "calvex"))
# A bus address where no bus listens: a start that needs a bus fails there.
NO_BUS = "unix:path=/nonexistent/calvex-test-no-bus"
MAIN_CAPTION = "Calvex Version 1.2, www.calvex.example"
PR_SET_CHILD_SUBREAPER = 36


def become_subreaper():
    """The bus's launcher orphans the programs it starts; as the nearest
    subreaper this process inherits them and can read their exit status."""
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)


def wait_until(predicate, timeout=15.0, interval=0.05):
    """Polls predicate until it returns a true value; returns that value,
    or None after timeout seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return None


def registration_files(data_home):
    dbus_dir = os.path.join(data_home, "dbus-1")
    return (os.path.join(dbus_dir, "services", "Calvex.Application.service"),
            os.path.join(dbus_dir, "interfaces", "Calvex.ICalvex.xml"))


def service_exec_line(data_home):
    with open(registration_files(data_home)[0]) as service:
        for line in service:
            if line.startswith("Exec="):
                return line.rstrip("\n")[len("Exec="):]
    return None


class DataHome:
    """A temporary $XDG_DATA_HOME."""

    def __init__(self):
        self._dir = tempfile.TemporaryDirectory(prefix="calvex-data-")
        self.path = self._dir.name

    def cleanup(self):
        self._dir.cleanup()


class PrivateBus:
    """A session bus of the test's own, reading its services from data_home."""

    def __init__(self, data_home):
        env = dict(os.environ, XDG_DATA_HOME=data_home)
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        self._log = tempfile.TemporaryFile()
        self.daemon = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"],
            stdout=subprocess.PIPE, stderr=self._log, env=env)
        self.address = self.daemon.stdout.readline().decode().strip()

    def connect(self):
        return dbus.bus.BusConnection(self.address)

    def close(self):
        self.daemon.terminate()
        self.daemon.wait()
        self.daemon.stdout.close()
        self._log.close()


def bus_daemon(connection):
    return dbus.Interface(connection.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus"),
                          "org.freedesktop.DBus")


def process_of(connection, bus_name):
    return int(bus_daemon(connection).GetConnectionUnixProcessID(bus_name))


class Client:
    """An automation client: creates the class and holds its proxy."""

    def __init__(self, bus):
        self.connection = bus.connect()
        factory = self.connection.get_object("Calvex.Application", "/Calvex/Application")
        self.server = factory.bus_name  # the unique name that answered
        self.proxy_path = factory.CreateInstance(dbus_interface="Calvex.ClassFactory",
                                                 timeout=60)
        self.proxy = self.connection.get_object(self.server, self.proxy_path)
        self.pid = process_of(self.connection, self.server)

    def release(self):
        self.proxy.Release(dbus_interface="Calvex.Lifetime")

    def disconnect(self):
        self.connection.close()


def exit_status(pid, timeout=15.0):
    """Waits for a child (or an inherited orphan) to end; its exit status,
    or None when it is still running after timeout seconds."""
    def ended():
        done, status = os.waitpid(pid, os.WNOHANG)
        return (status,) if done == pid else None
    result = wait_until(ended, timeout)
    return os.waitstatus_to_exitcode(result[0]) if result else None


def is_running(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().split(")")[-1].split()[0] != "Z"
    except FileNotFoundError:
        return False


class Program:
    """The program started directly, as a user or an installer would."""

    def __init__(self, arguments, data_home, bus_address=NO_BUS):
        env = dict(os.environ, XDG_DATA_HOME=data_home, DBUS_SESSION_BUS_ADDRESS=bus_address)
        self.process = subprocess.Popen([PROGRAM, *arguments], env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.pid = self.process.pid

    def wait(self, timeout=15.0):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Screen:
    """The program's top-level windows on the X display, and the user's
    ways to close them: the close box, Escape, Enter."""

    def __init__(self):
        self.display = xdisplay.Display()
        self.root = self.display.screen().root
        self._pid_atom = self.display.intern_atom("_NET_WM_PID")
        self._name_atom = self.display.intern_atom("_NET_WM_NAME")
        self._utf8_atom = self.display.intern_atom("UTF8_STRING")
        self._protocols = self.display.intern_atom("WM_PROTOCOLS")
        self._delete = self.display.intern_atom("WM_DELETE_WINDOW")

    def close(self):
        self.display.close()

    def visible_windows(self, pid):
        windows = []
        for window in self.root.query_tree().children:
            try:
                owner = window.get_full_property(self._pid_atom, X.AnyPropertyType)
                if not owner or owner.value[0] != pid:
                    continue
                if window.get_attributes().map_state == X.IsViewable:
                    windows.append(window)
            except Exception:  # the window went away meanwhile
                continue
        return windows

    def title(self, window):
        name = window.get_full_property(self._name_atom, self._utf8_atom)
        if name:
            value = name.value
            return value.decode() if isinstance(value, bytes) else value
        return window.get_wm_name() or ""

    def window_titled(self, pid, title, timeout=15.0):
        return wait_until(lambda: next((w for w in self.visible_windows(pid)
                                        if self.title(w) == title), None), timeout)

    def press_close_box(self, window):
        """What the window manager sends when the user clicks the close box."""
        event = protocol.event.ClientMessage(
            window=window, client_type=self._protocols,
            data=(32, [self._delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event)
        self.display.sync()

    def press_key(self, window, key_name):
        """Types one key into window. The key events go to that window
        itself rather than to whichever window has the display's focus, so
        that other tests sharing the display cannot take the key away."""
        keycode = self.display.keysym_to_keycode(XK.string_to_keysym(key_name))
        for kind in (protocol.event.KeyPress, protocol.event.KeyRelease):
            event = kind(time=X.CurrentTime, root=self.root, window=window, same_screen=1,
                         child=X.NONE, root_x=0, root_y=0, event_x=0, event_y=0, state=0,
                         detail=keycode)
            window.send_event(event, propagate=True)
        self.display.sync()
