"""Journeys: the built reader driven in a real X display as a reader drives it.

Each journey gets a virtual screen (Xvfb, 1280x800) with a small window
manager (openbox), a private copy of the package directory (so the settings
the reader writes stay in the journey's own directory) and its own
XDG_CONFIG_HOME, XDG_RUNTIME_DIR and HOME. Keys and pointer moves are real
X input (xdotool). What the reader sees is read from the window probe the
program writes when LECTERN_PROBE names a file: the captions and label
texts of every window, the open message boxes, and the reading box's top
line. Nothing waits blindly: every wait is for a condition, with a deadline.
"""

import configparser
import json
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

PACKAGE = os.environ.get("LECTERN_PACKAGE", "")
CORPUS = os.environ.get("LECTERN_CORPUS", "")
DEADLINE = float(os.environ.get("LECTERN_JOURNEY_DEADLINE", "40"))


class JourneyError(AssertionError):
    pass


def corpus_book(name):
    """The path of a book of the shared corpus, or None when it is absent."""
    path = os.path.join(CORPUS, "books", name)
    return path if CORPUS and os.path.isfile(path) else None


def numbered_book(path, lines=3000, width=60):
    """A plain-text book whose lines say where they are: paragraphs of
    hard-wrapped lines, each paragraph starting with its number, separated
    by empty lines, so the top line shown tells the place."""
    words = ("the reader turns the page and the story goes on through the "
             "quiet evening while the lamp burns low beside the window").split()
    out = []
    n = 0
    paragraph = 0
    while len(out) < lines:
        paragraph += 1
        text = "Paragraph %04d." % paragraph
        for i in range(40):
            text += " " + words[(paragraph + i) % len(words)]
        line = ""
        for word in text.split():
            if len(line) + len(word) + 1 > width:
                out.append(line)
                line = word
            else:
                line = (line + " " + word).strip()
        out.append(line)
        out.append("")
        n += 1
    with open(path, "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(out) + "\n")
    return path


class Desktop:
    """Xvfb with openbox on a display of its own."""

    platform = "xcb"

    def __init__(self, width=1280, height=800):
        self._start_xvfb(width, height)
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: self._wm_running(), "the window manager to run", 20)

    def _start_xvfb(self, width, height):
        """Starts Xvfb on a free display and sets self.xvfb and self.display."""
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             "%dx%dx24" % (width, height), "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            self.xvfb.kill()
            raise JourneyError("Xvfb did not start")
        self.display = ":" + number.decode().strip()

    def _wm_running(self):
        r = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                           capture_output=True, text=True)
        return r.returncode == 0 and "window id" in r.stdout

    def xdotool(self, *args):
        r = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                           capture_output=True, text=True, timeout=20)
        if r.returncode != 0:
            raise JourneyError("xdotool %s failed: %s" % (" ".join(map(str, args)), r.stderr))
        return r.stdout

    def activate(self, reader):
        """Gives the reader's window the keyboard, as a click on it would."""
        wid = reader.window_id()
        self.xdotool("windowactivate", "--sync", wid)

    def close(self):
        for p in (self.wm, self.xvfb):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()


def wait_for(condition, what, timeout=DEADLINE, interval=0.05):
    """Returns the first true value of condition(), or fails after timeout."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = condition()
            if value:
                return value
        except (OSError, ValueError, KeyError, IndexError) as e:
            last_error = e
        if time.monotonic() > deadline:
            raise JourneyError("timed out after %.0f s waiting for %s%s" % (
                timeout, what, " (%s)" % last_error if last_error else ""))
        time.sleep(interval)


class WaylandDesktop(Desktop):
    """A Wayland session: weston with its kiosk shell (every window full
    screen), shown as a window of an Xvfb display, so that X input from
    xdotool reaches weston, which hands it to its clients as Wayland input.
    The reader runs as a native Wayland client."""

    platform = "wayland"

    def __init__(self, width=1280, height=800):
        self._start_xvfb(width, height)
        self.runtime = tempfile.mkdtemp(prefix="lectern-weston-")
        os.chmod(self.runtime, 0o700)
        self.socket = os.path.join(self.runtime, "wayland-journey")
        x_env = dict(os.environ, DISPLAY=self.display, XDG_RUNTIME_DIR=self.runtime)
        self.wm = subprocess.Popen(
            ["weston", "--backend=x11-backend.so", "--width=%d" % width, "--height=%d" % height,
             "--shell=kiosk-shell.so", "--socket=wayland-journey", "--idle-time=0"],
            env=x_env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: os.path.exists(self.socket), "weston to listen", 20)
        # The clients are Wayland clients; xdotool speaks to the X display.
        self.env = dict(os.environ, DISPLAY=self.display, WAYLAND_DISPLAY=self.socket)

    def activate(self, reader):
        """Weston's kiosk shell gives the keyboard to the window clicked:
        a click on the clock, which does nothing else."""
        s = reader.state()
        x, y = reader.widget_centre("ClockLabel", s)
        self.xdotool("mousemove", x, y)
        self.xdotool("click", 1)

    def close(self):
        super().close()
        shutil.rmtree(self.runtime, ignore_errors=True)


class State:
    """One snapshot of the probe."""

    def __init__(self, data):
        self.data = data
        self.serial = data.get("serial", 0)
        self.values = data.get("values", {})
        self.windows = data.get("windows", [])

    def main(self):
        for w in self.windows:
            if w.get("class") == "TLecternForm":
                return w
        return None

    def widget(self, name, window=None):
        w = window or self.main()
        return (w or {}).get("widgets", {}).get(name)

    def text(self, name):
        widget = self.widget(name)
        return widget.get("text", "") if widget else None

    def menus(self):
        """The open menus: (name, items)."""
        return [(w.get("name", ""), w.get("items", [])) for w in self.windows if "items" in w]

    def boxes(self):
        """The open message boxes: (caption, text, buttons)."""
        return [(w.get("title", ""), w.get("text", ""), w.get("buttons", []))
                for w in self.windows if w.get("class") == "QMessageBox"]

    @property
    def info(self):
        return self.text("CurrentFileInfoLabel") or ""

    @property
    def top_line(self):
        return int(self.values.get("topLine", "0"))

    @property
    def top_text(self):
        return self.values.get("topText", "")

    @property
    def loading(self):
        return self.values.get("loading") == "1"


class Reader:
    """The reader's executable from a private copy of the package, with its
    settings, runtime and home directories inside the journey's directory."""

    def __init__(self, test, desktop, work=None):
        if not PACKAGE or not os.access(os.path.join(PACKAGE, "Lectern"), os.X_OK):
            test.skipTest("the reader executable is not built")
        self.desktop = desktop
        self.work = work or tempfile.mkdtemp(prefix="lectern-journey-")
        self.program = os.path.join(self.work, "program")
        if not os.path.isdir(self.program):
            shutil.copytree(PACKAGE, self.program, symlinks=True)
            for name in ("Lectern.ini", "LecternProfile.lcp", "Errors.log", "Lectern.ini.bad"):
                path = os.path.join(self.program, name)
                if os.path.exists(path):
                    os.remove(path)
        self.config = os.path.join(self.work, "config")
        self.runtime = os.path.join(self.work, "run")
        self.home = os.path.join(self.work, "home")
        for d in (self.config, self.runtime, self.home):
            os.makedirs(d, exist_ok=True)
        os.chmod(self.runtime, 0o700)
        self.probe = os.path.join(self.work, "probe.json")
        # The executable started: the private copy's, unless a journey
        # starts the reader another way (an installed package's command).
        self.command = os.path.join(self.program, "Lectern")
        self.process = None
        self.log = None

    # ---- the process ------------------------------------------------------

    def start(self, *args, env=None, wait=True, prefix=(), probe=None):
        if probe:
            self.probe = probe
        if os.path.exists(self.probe):
            os.remove(self.probe)
        e = dict(self.desktop.env, QT_QPA_PLATFORM=self.desktop.platform, XDG_CONFIG_HOME=self.config,
                 XDG_RUNTIME_DIR=self.runtime, HOME=self.home, LECTERN_PROBE=self.probe)
        e.pop("SESSION_MANAGER", None)
        if env:
            e.update(env)
        if self.log:
            self.log.close()
        self.log = open(os.path.join(self.work, "reader.log"), "ab")
        self.process = subprocess.Popen(list(prefix) + [self.command] + list(args),
                                        env=e, stdout=self.log, stderr=self.log)
        if wait:
            self.wait_ready()
        return self

    def start_again(self, *args, timeout=DEADLINE, prefix=()):
        """A second start of the program while this one runs, as a file
        manager's "Open with" makes it; returns its exit code."""
        e = dict(self.desktop.env, QT_QPA_PLATFORM=self.desktop.platform, XDG_CONFIG_HOME=self.config,
                 XDG_RUNTIME_DIR=self.runtime, HOME=self.home)
        r = subprocess.run(list(prefix) + [self.command] + list(args), env=e,
                           capture_output=True, timeout=timeout)
        return r.returncode

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout=DEADLINE):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise JourneyError("the reader did not quit within %.0f s; it shows: %s" % (
                timeout, self.describe()))

    def kill(self):
        if self.running():
            self.process.kill()
            self.process.wait()

    def terminate(self):
        self.process.send_signal(signal.SIGTERM)

    def stop(self):
        self.kill()
        if self.log:
            self.log.close()
            self.log = None

    # ---- what the reader sees --------------------------------------------

    def state(self):
        with open(self.probe, encoding="utf-8") as f:
            return State(json.load(f))

    def describe(self):
        try:
            s = self.state()
        except (OSError, ValueError):
            return "(no probe)"
        return "info=%r boxes=%r top=%r loading=%r" % (s.info, s.boxes(), s.top_text[:60], s.loading)

    def wait(self, condition, what, timeout=DEADLINE):
        """Waits until condition(state) holds; returns that state."""
        def check():
            if not self.running():
                raise JourneyError("the reader quit (exit code %s) while waiting for %s" % (
                    self.process.returncode, what))
            s = self.state()
            return s if condition(s) else None
        try:
            return wait_for(check, what, timeout)
        except JourneyError as e:
            raise JourneyError("%s; it shows: %s" % (e, self.describe())) from None

    def wait_ready(self, timeout=DEADLINE):
        """The window is up, a book is shown and the load has ended."""
        return self.wait(lambda s: s.main() is not None and s.values.get("book") and not s.loading
                         and "Top line" in s.info and not s.boxes(),
                         "a book to be shown", timeout)

    def wait_settled(self, timeout=DEADLINE):
        """Two probe writes in a row show the same top line and info line."""
        previous = {}

        def steady(s):
            key = (s.top_line, s.info, s.values.get("piece"))
            same = previous.get("key") == key and previous.get("serial") != s.serial
            if previous.get("key") != key:
                previous["key"] = key
                previous["serial"] = s.serial
                previous["since"] = time.monotonic()
            return same or (previous.get("key") == key and time.monotonic() - previous["since"] > 1.2)
        return self.wait(steady, "the view to settle", timeout)

    def wait_box(self, text_part, timeout=DEADLINE):
        return self.wait(lambda s: any(text_part in t for _, t, _ in s.boxes()),
                         "a box saying %r" % text_part, timeout)

    # ---- input ------------------------------------------------------------

    def window_id(self):
        def find():
            out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid)],
                                 env=self.desktop.env, capture_output=True, text=True).stdout.split()
            return out
        ids = wait_for(find, "the reader's window")
        return ids[0]

    def focus(self):
        """Gives the main window the keyboard, as a click on it would."""
        s = self.state()
        main = s.main()
        if main and main.get("active") and not s.boxes():
            return
        self.desktop.activate(self)
        self.wait(lambda st: (st.main() or {}).get("active") or st.boxes(), "the window to be active")

    def key(self, *keys, delay_ms=60):
        for k in keys:
            self.desktop.xdotool("key", "--delay", delay_ms, k)

    def type(self, text):
        self.desktop.xdotool("type", "--delay", 40, text)

    def move(self, x, y):
        self.desktop.xdotool("mousemove", x, y)

    def click(self, x, y, button=1):
        self.desktop.xdotool("mousemove", x, y)
        self.desktop.xdotool("click", button)

    def widget_centre(self, name, state=None):
        s = state or self.state()
        widget = s.widget(name)
        if not widget or "rect" not in widget:
            raise JourneyError("%s is not on the screen" % name)
        x, y, w, h = widget["rect"]
        return x + w // 2, y + h // 2

    def show_sidebar(self):
        """The pointer over the text, then at its left edge: the sidebar
        opens."""
        rich = self.wait(lambda s: s.widget("RichEdit") and "rect" in s.widget("RichEdit"),
                         "the reading box").widget("RichEdit")["rect"]
        self.move(rich[0] + rich[2] // 2, rich[1] + rich[3] // 2)
        self.move(4, rich[1] + rich[3] // 2)
        return self.wait(lambda s: (s.widget("Container_MainPanel") or {}).get("visible"), "the sidebar")

    def click_widget(self, name, button=1):
        """Clicks a named control, opening the sidebar first when it lives
        there."""
        s = self.state()
        widget = s.widget(name)
        if not widget or not widget.get("visible"):
            self.show_sidebar()
            s = self.wait(lambda st: (st.widget(name) or {}).get("visible"), "%s to be shown" % name)
        x, y = self.widget_centre(name, s)
        if "checked" in s.widget(name):
            # A check box answers on its box and caption, not across its width.
            x = s.widget(name)["rect"][0] + 8
        self.move(x, y)
        self.desktop.xdotool("click", button)

    def answer_box(self, button_text):
        """Answers the open message box as a reader does with the keyboard:
        "Yes" (Alt+Y), "No" (Alt+N), "OK" (Enter) or "Esc"."""
        self.wait(lambda st: st.boxes(), "a message box")
        self.key({"Yes": "alt+y", "No": "alt+n", "OK": "Return", "Esc": "Escape"}[button_text])

    def click_tab(self, tabs, caption):
        """Clicks the tab of a page control by its caption."""
        s = self.state()
        widget = s.widget(tabs)
        if not widget or not widget.get("visible"):
            self.show_sidebar()
            s = self.wait(lambda st: (st.widget(tabs) or {}).get("visible"), "%s to be shown" % tabs)
            widget = s.widget(tabs)
        x, y, w, h = widget["tabs"][caption]
        self.move(x + w // 2, y + h // 2)
        self.desktop.xdotool("click", 1)
        self.wait(lambda st: (st.widget(tabs) or {}).get("text") == caption, "the %s page" % caption)

    def shown_dialog(self, cls):
        return self.wait(lambda st: any(w.get("class") == cls for w in st.windows), "a %s" % cls)

    # ---- files ------------------------------------------------------------

    def settings_path(self):
        for d in (self.program, os.path.join(self.config, "Lectern")):
            path = os.path.join(d, "Lectern.ini")
            if os.path.exists(path):
                return path
        return os.path.join(self.program, "Lectern.ini")

    def settings(self):
        ini = configparser.ConfigParser(interpolation=None, strict=False)
        ini.optionxform = str
        with open(self.settings_path(), encoding="utf-8", errors="replace") as f:
            ini.read_string(f.read())
        return ini

    def shelf(self):
        """The books of the shelf, oldest first, with their auto-bookmarks."""
        ini = self.settings()
        if not ini.has_section("Lectern_Bookshelf_Main"):
            return []
        main = ini["Lectern_Bookshelf_Main"]
        books = []
        for n in range(30):
            book = main.get(str(n))
            if book is None:
                continue
            position = ini.get("Lectern_Bookshelf_CaretPos", str(n), fallback="0")
            piece = ini.get("Lectern_Bookshelf_Pieces", str(n), fallback="1")
            books.append((book, int(piece), int(position)))
        return books


class JourneyCase(unittest.TestCase):
    """A test case with a desktop of its own and a reader on it."""

    desktop_kind = Desktop
    tools = ("Xvfb", "openbox", "xdotool", "xprop")

    def setUp(self):
        for tool in self.tools:
            if shutil.which(tool) is None:
                self.skipTest("%s is not installed" % tool)
        self.desktop = self.desktop_kind()
        self.addCleanup(self.desktop.close)
        self.reader = Reader(self, self.desktop)
        self.addCleanup(self.reader.stop)
        self.addCleanup(self._keep_work_on_failure)
        self.books = os.path.join(self.reader.work, "books")
        os.makedirs(self.books, exist_ok=True)

    def _keep_work_on_failure(self):
        outcome = getattr(self, "_outcome", None)
        failed = False
        if outcome is not None:
            result = getattr(outcome, "result", None)
            errors = getattr(result, "errors", []) + getattr(result, "failures", []) if result else []
            failed = any(test is self for test, _ in errors)
        if failed or os.environ.get("LECTERN_JOURNEY_KEEP"):
            print("journey files kept in", self.reader.work)
        else:
            shutil.rmtree(self.reader.work, ignore_errors=True)

    def book(self, name, source=None, lines=3000):
        """A book in the journey's own directory: a copy of `source`, or a
        numbered book of `lines` lines."""
        path = os.path.join(self.books, name)
        if source:
            shutil.copyfile(source, path)
        else:
            numbered_book(path, lines)
        return path

    def find(self, text):
        """Types the text into the find box (Alt+F) and presses Enter."""
        r = self.reader
        r.focus()
        r.key("alt+f")
        r.wait(lambda s: s.data.get("focus") == "FindTextEdit", "the find box")
        r.key("ctrl+a")
        r.type(text)
        r.key("Return")

    def open_with_f5(self, path):
        """Opens a book with F5's dialog: the file name typed into it."""
        r = self.reader
        r.focus()
        r.key("F5")
        r.shown_dialog("QFileDialog")
        r.key("ctrl+a")
        r.type(path)
        r.key("Return")
        r.wait(lambda st: not any(w.get("class") == "QFileDialog" for w in st.windows), "the open dialog to close")
