"""End-to-end harness: runs the real corvane under Xvfb with its own D-Bus
session, AT-SPI registry and temporary HOME, drives it with xdotool and reads
it back through AT-SPI and the speech capture file."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

CORVANE = os.environ.get("CORVANE_BIN", "")


def wait_until(predicate, timeout=10.0, interval=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            return value
        time.sleep(interval)


class Session:
    """One display, one bus, one home; every process it starts dies with it."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="corvane-e2e-")
        self.procs = []
        self.players = []
        self.env = dict(os.environ)
        self.profiles = 0
        self.new_profile()
        self.env.update({
            "NO_AT_BRIDGE": "0",
            "GTK_A11Y": "atspi",
            "LANG": "C.UTF-8",
            "LANGUAGE": "",
            "LC_ALL": "C.UTF-8",
        })
        self.env.pop("SESSION_MANAGER", None)
        try:
            self._start_display()
            self._start_bus()
            self._start_accessibility()
        except Exception:
            self.close()
            raise

    def new_profile(self):
        """Fresh home, XDG folders and speech log; the display and buses stay.
        (The accessibility client binds to one bus per test process, so a
        test class shares one session and takes a new profile per test.)"""
        self.stop_players()
        self.profiles += 1
        base = os.path.join(self.root, "profile%d" % self.profiles)
        for name in ("home", "config", "state", "cache", "runtime", "media"):
            os.makedirs(os.path.join(base, name), mode=0o700)
        self.home = os.path.join(base, "home")
        self.media = os.path.join(base, "media")
        self.speech_log = os.path.join(base, "speech.log")
        self.env.update({
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(base, "config"),
            "XDG_STATE_HOME": os.path.join(base, "state"),
            "XDG_CACHE_HOME": os.path.join(base, "cache"),
            "XDG_RUNTIME_DIR": os.path.join(base, "runtime"),
            "CORVANE_SPEECH_LOG": self.speech_log,
        })

    def stop_players(self):
        for p in getattr(self, "players", []):
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                p.wait()
        self.players = []

    # -- infrastructure -------------------------------------------------

    def _spawn(self, args, **kw):
        p = subprocess.Popen(args, env=self.env, start_new_session=True, **kw)
        self.procs.append(p)
        return p

    def _start_display(self):
        r, w = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24",
                     "-nolisten", "tcp", "-noreset"], pass_fds=(w,),
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
        os.close(r)
        if not number.strip():
            raise RuntimeError("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def _start_bus(self):
        p = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        address = p.stdout.readline().decode().strip()
        if not address:
            raise RuntimeError("dbus-daemon did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        os.environ["DISPLAY"] = self.env["DISPLAY"]

    def _start_accessibility(self):
        self._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        def enabled():
            r = subprocess.run(
                ["gdbus", "call", "--session", "--dest", "org.a11y.Bus",
                 "--object-path", "/org/a11y/bus", "--method",
                 "org.freedesktop.DBus.Properties.Set", "org.a11y.Status",
                 "IsEnabled", "<true>"],
                env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            return r.returncode == 0
        if not wait_until(enabled, timeout=10):
            raise RuntimeError("AT-SPI bus did not start")

    # -- the program ----------------------------------------------------

    def launch(self, *args, wait_window=True, capture=True):
        path = os.path.join(self.home, "corvane-%d.out" % len(self.players))
        with open(path, "wb") as out:
            p = self._spawn([CORVANE, *args], stdout=out, stderr=subprocess.STDOUT)
        p.output_path = path
        self.players.append(p)
        if wait_window:
            wid = wait_until(lambda: self.find_windows(), timeout=20)
            if not wid:
                raise AssertionError("the main window did not appear; output:\n" + self.output(p))
        return p

    def output(self, p):
        with open(p.output_path, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def xdotool(self, *args):
        r = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True)
        return r.stdout.strip()

    def find_windows(self):
        out = self.xdotool("search", "--onlyvisible", "--name", "^Corvane")
        return [w for w in out.split() if w]

    def window_title(self, wid):
        return self.xdotool("getwindowname", wid)

    def focus(self, wid=None):
        wid = wid or self.find_windows()[0]
        self.xdotool("windowfocus", "--sync", wid)
        return wid

    def key(self, *keys, wid=None):
        self.focus(wid)
        for k in keys:
            self.xdotool("key", "--clearmodifiers", k)

    # -- speech capture ---------------------------------------------------

    def spoken(self):
        try:
            with open(self.speech_log, encoding="utf-8") as f:
                return [line.rstrip("\n") for line in f]
        except FileNotFoundError:
            return []

    def wait_spoken(self, text, timeout=10):
        return wait_until(lambda: any(text in line for line in self.spoken()), timeout=timeout)

    # -- AT-SPI ----------------------------------------------------------

    def accessible_app(self, timeout=10):
        import pyatspi

        live = {p.pid for p in self.players if p.poll() is None}

        def find():
            desktop = pyatspi.Registry.getDesktop(0)
            for app in desktop:
                try:
                    if app is not None and app.name and app.name.lower().startswith("corvane") \
                            and app.get_process_id() in live:
                        return app
                except Exception:
                    continue
            return None
        return wait_until(find, timeout=timeout)

    def accessible_nodes(self, root):
        """All descendants of root as (role name, name, node), depth first."""
        out = []

        def walk(node, depth):
            if node is None or depth > 40:
                return
            try:
                out.append((node.getRoleName(), node.name or "", node))
                for i in range(node.childCount):
                    walk(node.getChildAtIndex(i), depth + 1)
            except Exception:
                pass
        walk(root, 0)
        return out

    def status_bar_texts(self):
        app = self.accessible_app()
        if app is None:
            return None
        for role, _, node in self.accessible_nodes(app):
            if role == "status bar":
                texts = []
                for r, name, child in self.accessible_nodes(node)[1:]:
                    if r == "label":
                        texts.append(name)
                return texts
        return None

    # -- teardown ----------------------------------------------------------

    def close(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        deadline = time.monotonic() + 5
        for p in self.procs:
            try:
                p.wait(timeout=max(0.1, deadline - time.monotonic()))
            except subprocess.TimeoutExpired:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                p.wait()
        shutil.rmtree(self.root, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class PlayerTestCase(__import__("unittest").TestCase):
    """One session per test class, a fresh profile per test."""

    @classmethod
    def setUpClass(cls):
        cls.s = Session()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def setUp(self):
        self.s.new_profile()

    def tearDown(self):
        self.s.stop_players()
