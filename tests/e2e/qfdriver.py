"""A small driver for the end-to-end tests: runs the real program on a private X server and
finds its windows and widgets through the accessibility tree (AT-SPI) by role and name.

Nothing here sleeps for a fixed time to let the program catch up: every check polls for its
condition until a deadline and then fails with a sentence saying what did not happen."""

import ctypes
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# Debian's pyatspi lives beside the system Python; a Python from elsewhere on PATH cannot see it.
DIST_PACKAGES = "/usr/lib/python3/dist-packages"
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
SCREEN = "1280x800x24"

# Generous: a loaded two-core machine takes seconds where an idle one takes milliseconds.
START_TIMEOUT = 40
TIMEOUT = 20

pyatspi = None  # imported once the accessibility bus is up


class Failure(AssertionError):
    """A check that did not hold; the message says what was expected and what was seen."""


def missing_prerequisites():
    """What this machine lacks to run the tests at all (empty when nothing)."""
    missing = []
    for tool in ("Xvfb", "dbus-run-session", "dbus-send", "dbus-update-activation-environment"):
        if not shutil.which(tool):
            missing.append(tool)
    if not os.access(BUS_LAUNCHER, os.X_OK):
        missing.append(BUS_LAUNCHER + " (at-spi2-core)")
    sys.path.insert(0, DIST_PACKAGES)
    try:
        import pyatspi as _  # noqa: F401
    except Exception as e:  # ImportError, or a broken GObject introspection
        missing.append(f"pyatspi for {sys.executable} ({e})")
    try:
        ctypes.cdll.LoadLibrary("libX11.so.6")
    except OSError:
        missing.append("libX11.so.6")
    return missing


def poll(condition, timeout, what):
    """condition() until it returns something true; raises Failure naming `what` (a string,
    or a function giving one, to describe what was seen at the deadline). Exceptions from
    condition() count as "not yet": widgets come and go."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = condition()
            if value:
                return value
        except Failure:
            raise
        except Exception as e:
            last_error = e
        if time.monotonic() > deadline:
            if callable(what):
                try:
                    what = what()
                except Exception as e:
                    what = f"? ({e})"
            extra = f" (last error: {last_error})" if last_error else ""
            raise Failure(f"timed out after {timeout} s waiting for {what}{extra}")
        time.sleep(0.1)


# --- the tree --------------------------------------------------------------------------------


def name_of(node):
    """The accessible name as a user reads it: menu items carry "\\tShortcut", captions of
    group boxes and panel headers carry padding spaces."""
    return (node.name or "").split("\t")[0].strip()


def role_of(node):
    return node.getRoleName()


def is_showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def _matches(node, role, name):
    if role is not None and role_of(node) != role:
        return False
    if name is None:
        return True
    if isinstance(name, re.Pattern):
        return bool(name.search(name_of(node)))
    return name_of(node) == name


def find_all(root, role=None, name=None, showing=None):
    """Every node under root (root included) with this role and name, depth first. With
    showing=True the walk skips hidden subtrees: each node costs a round trip on the bus."""
    out, stack = [], [root]
    while stack:
        node = stack.pop()
        try:
            if node is None:
                continue
            shown = is_showing(node) if showing is not None else None
            if showing and not shown:
                continue
            if _matches(node, role, name) and (showing is None or shown == showing):
                out.append(node)
            stack.extend(reversed([c for c in node]))
        except Exception:
            continue  # a widget destroyed while we walk
    return out


def find(root, role=None, name=None, showing=True, timeout=TIMEOUT, what=None):
    """The first node with this role and name, waiting until it is there."""
    label = what or f"{role or 'widget'} {name!r}"
    return poll(lambda: (find_all(root, role, name, showing) or [None])[0], timeout, label)


def ancestors(node):
    node = node.parent
    while node is not None:
        yield node
        node = node.parent


def dump(node, out=sys.stderr, depth=0, max_depth=16, showing_only=False):
    """The tree under node, one line per widget: what to read when a name has changed."""
    if node is None or depth > max_depth:
        return
    try:
        showing = is_showing(node)
        if showing_only and not showing:
            return
        flag = " (showing)" if showing and not showing_only else ""
        out.write(f"{'  ' * depth}[{role_of(node)}] {node.name!r}{flag}\n")
        for child in node:
            dump(child, out, depth + 1, max_depth, showing_only)
    except Exception as e:
        out.write(f"{'  ' * depth}! {e}\n")


# --- acting on widgets -----------------------------------------------------------------------


def do_action(node, *names):
    """Performs the first of the named actions the widget offers (Press, Toggle, ...)."""
    action = node.queryAction()
    offered = [action.getName(i) for i in range(action.nActions)]
    for wanted in names:
        if wanted in offered:
            action.doAction(offered.index(wanted))
            return
    raise Failure(f"{role_of(node)} {name_of(node)!r} offers {offered}, not any of {list(names)}")


def press(node):
    do_action(node, "Press", "Toggle", "Click")


def click_check_box(node):
    """Flips a check box with the space bar, as a user does. Its accessible Toggle action
    would flip the box without the click that the program listens for."""
    before = is_checked(node)
    focus(node)
    key("space")
    poll(lambda: is_checked(node) != before, TIMEOUT,
         f"check box {name_of(node)!r} to {'clear' if before else 'tick'}")


def is_checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


def focus(node):
    node.queryComponent().grabFocus()
    poll(lambda: node.getState().contains(pyatspi.STATE_FOCUSED), TIMEOUT,
         f"keyboard focus on {role_of(node)} {name_of(node)!r}")


def is_selected(node):
    return node.getState().contains(pyatspi.STATE_SELECTED)


def choose(combo, item):
    """Picks an entry of a drop-down list as a keyboard user does: open the list, arrow down
    to the entry, Return."""
    if name_of(combo) == item:
        return
    do_action(combo, "ShowMenu", "Press")
    popup = find(combo, "list", what=f"the open list of combo box {name_of(combo)!r}")
    names = poll(lambda: [name_of(i) for i in popup], TIMEOUT, "the entries of the list")
    if item not in names:
        key("Escape")
        raise Failure(f"combo box {name_of(combo)!r} offers {names}, not {item!r}")

    def current():
        return next((name_of(i) for i in popup if is_selected(i)), None)
    for _ in names:
        now = poll(current, TIMEOUT, "a highlighted entry in the list")
        if now == item:
            break
        key("Down")
        poll(lambda: current() != now, TIMEOUT, f"the highlight to move on from {now!r}")
    key("Return")
    poll(lambda: name_of(combo) == item, TIMEOUT,
         lambda: f"the combo box to show {item!r} (it shows {name_of(combo)!r})")


def text_of(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


def selection_of(node):
    """(start, end) of the first selection, or None."""
    t = node.queryText()
    if t.getNSelections() < 1:
        return None
    start, end = t.getSelection(0)
    return (start, end)


def caret_of(node):
    return node.queryText().caretOffset


def set_caret(node, offset):
    node.queryText().setCaretOffset(offset)
    poll(lambda: caret_of(node) == offset, TIMEOUT, f"the caret at {offset}")


# --- keyboard --------------------------------------------------------------------------------

_KEYSYMS = {
    "Return": 0xFF0D, "Escape": 0xFF1B, "Tab": 0xFF09, "Down": 0xFF54, "Up": 0xFF52,
    "Home": 0xFF50, "End": 0xFF57, "space": 0x20,
    **{f"F{i}": 0xFFBD + i for i in range(1, 13)},
}
_MODIFIERS = {"ctrl": 0xFFE3, "shift": 0xFFE1, "alt": 0xFFE9}


def type_text(text):
    """Types text as key strokes into whatever has the keyboard focus (newlines as Return)."""
    for i, line in enumerate(text.split("\n")):
        if i:
            key("Return")
        if line:
            pyatspi.Registry.generateKeyboardEvent(0, line, pyatspi.KEY_STRING)


def key(combo):
    """One key with modifiers, written like "ctrl+s", "F9" or "Return"."""
    *mods, last = combo.split("+")
    codes = [_x11().keycode(_MODIFIERS[m.lower()]) for m in mods]
    keysym = _KEYSYMS.get(last, ord(last) if len(last) == 1 else None)
    if keysym is None:
        raise ValueError(f"unknown key {last!r}")
    for c in codes:
        pyatspi.Registry.generateKeyboardEvent(c, None, pyatspi.KEY_PRESS)
    try:
        pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)
    finally:
        for c in reversed(codes):
            pyatspi.Registry.generateKeyboardEvent(c, None, pyatspi.KEY_RELEASE)


# --- the X server: only what a window manager would do ---------------------------------------


class _X11:
    """Xlib through ctypes, for the single job a window manager does for a user: giving a
    newly shown main window the keyboard focus. Without one, Qt never activates it and
    its shortcuts stay dead."""

    def __init__(self):
        x = ctypes.cdll.LoadLibrary("libX11.so.6")
        vp, ul, c_int = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int
        x.XOpenDisplay.restype = vp
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ul
        x.XDefaultRootWindow.argtypes = [vp]
        x.XInternAtom.restype = ul
        x.XInternAtom.argtypes = [vp, ctypes.c_char_p, c_int]
        x.XQueryTree.argtypes = [vp, ul, ctypes.POINTER(ul), ctypes.POINTER(ul),
                                 ctypes.POINTER(ctypes.POINTER(ul)), ctypes.POINTER(ctypes.c_uint)]
        x.XGetWindowProperty.argtypes = [vp, ul, ul, ctypes.c_long, ctypes.c_long, c_int, ul,
                                         ctypes.POINTER(ul), ctypes.POINTER(c_int),
                                         ctypes.POINTER(ul), ctypes.POINTER(ul),
                                         ctypes.POINTER(ctypes.c_void_p)]
        x.XFree.argtypes = [vp]
        x.XSetInputFocus.argtypes = [vp, ul, c_int, ul]
        x.XSync.argtypes = [vp, c_int]
        x.XKeysymToKeycode.restype = ctypes.c_ubyte
        x.XKeysymToKeycode.argtypes = [vp, ul]
        self.x = x
        self.dpy = x.XOpenDisplay(None)
        if not self.dpy:
            raise Failure(f"cannot open the X display {os.environ.get('DISPLAY')!r}")
        self.net_wm_name = x.XInternAtom(self.dpy, b"_NET_WM_NAME", 0)
        self.utf8 = x.XInternAtom(self.dpy, b"UTF8_STRING", 0)

    def keycode(self, keysym):
        return int(self.x.XKeysymToKeycode(self.dpy, keysym))

    def _title(self, window):
        x, ul = self.x, ctypes.c_ulong
        kind, fmt, n, after = ul(), ctypes.c_int(), ul(), ul()
        data = ctypes.c_void_p()
        if x.XGetWindowProperty(self.dpy, window, self.net_wm_name, 0, 1024, 0, self.utf8,
                                ctypes.byref(kind), ctypes.byref(fmt), ctypes.byref(n),
                                ctypes.byref(after), ctypes.byref(data)) != 0 or not data:
            return None
        try:
            return ctypes.string_at(data, n.value).decode("utf-8", "replace")
        finally:
            x.XFree(data)

    def top_levels(self):
        x, ul = self.x, ctypes.c_ulong
        root, parent = ul(), ul()
        children, count = ctypes.POINTER(ul)(), ctypes.c_uint()
        if not x.XQueryTree(self.dpy, x.XDefaultRootWindow(self.dpy), ctypes.byref(root),
                            ctypes.byref(parent), ctypes.byref(children), ctypes.byref(count)):
            return []
        try:
            return [children[i] for i in range(count.value)]
        finally:
            if children:
                x.XFree(children)

    def focus(self, title):
        """Gives the top-level window with this title the keyboard focus; False if none."""
        for w in self.top_levels():
            if self._title(w) == title:
                self.x.XSetInputFocus(self.dpy, w, 1, 0)  # RevertToPointerRoot, CurrentTime
                self.x.XSync(self.dpy, 0)
                return True
        return False


_x11_instance = None


def _x11():
    global _x11_instance
    if _x11_instance is None:
        _x11_instance = _X11()
    return _x11_instance


# --- the session: X server and accessibility bus ---------------------------------------------


class Session:
    """A private X server and accessibility bus for one test case, inside the D-Bus session
    that dbus-run-session gives the process. The bus ends with that session."""

    current = None

    def __init__(self):
        Session.current = self
        read_fd, write_fd = os.pipe()
        self.xvfb_log = tempfile.NamedTemporaryFile(prefix="qf-e2e-xvfb-", suffix=".log",
                                                    delete=False)
        # -noreset: by default the server starts over whenever its last client leaves, as the
        # accessibility bus does right after it starts, and drops whoever connects meanwhile.
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", SCREEN,
                                 "-nolisten", "tcp", "-noreset"], pass_fds=(write_fd,),
                                stdout=self.xvfb_log, stderr=subprocess.STDOUT,
                                start_new_session=True)
        self.xvfb = xvfb
        os.close(write_fd)
        # Xvfb writes its display number once it accepts clients; it picks a free one itself,
        # so parallel test cases never race for a display.
        number = b""
        with os.fdopen(read_fd, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise Failure(f"Xvfb ended before it gave a display (exit {xvfb.poll()})")
                number += chunk
        os.environ["DISPLAY"] = ":" + number.decode().strip()
        # The first question for its address starts the accessibility bus (D-Bus activation).
        # Its registry synthesizes our key strokes, so it must know the display; and it keeps
        # its socket under HOME or XDG_RUNTIME_DIR, which must not be shared with the
        # previous case's bus, perhaps still on its way out.
        subprocess.run(["dbus-update-activation-environment", "DISPLAY", "HOME",
                        "XDG_RUNTIME_DIR"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        poll(self._bus_answers, START_TIMEOUT, "the accessibility bus to answer")
        global pyatspi
        if DIST_PACKAGES not in sys.path:
            sys.path.insert(0, DIST_PACKAGES)
        import pyatspi as module
        pyatspi = module

    @staticmethod
    def x_server_state():
        """A note for a failure message when our X server is no longer there."""
        session = Session.current
        if session is None or session.xvfb.poll() is None:
            return ""
        session.xvfb_log.seek(0)
        said = session.xvfb_log.read().decode(errors="replace")[-500:]
        return (f" (the X server on {os.environ.get('DISPLAY')} had ended with exit code "
                f"{session.xvfb.returncode}: {said!r})")

    @staticmethod
    def _bus_answers():
        return subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                               "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=10).returncode == 0

    def close(self):
        _end(self.xvfb)
        self.xvfb_log.close()
        os.unlink(self.xvfb_log.name)


def _end(proc, grace=5):
    if proc.poll() is not None:
        return
    try:
        os.killpg(proc.pid, signal.SIGTERM)
    except (ProcessLookupError, PermissionError):
        proc.terminate()
    try:
        proc.wait(grace)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        proc.wait()


# --- the program -----------------------------------------------------------------------------


class Program:
    """One run of the binary with --home HOME and the scripts named on its command line."""

    MAIN_TITLE = "Ostravine Quillforge"

    def __init__(self, binary, home, *scripts):
        self.log_path = os.path.join(home, f"program-{int(time.time() * 1000)}.log")
        env = dict(os.environ)
        env.update({
            "QT_QPA_PLATFORM": "xcb",
            "QT_ACCESSIBILITY": "1",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            # The HTML view's engine refuses to start as root inside its sandbox.
            "QTWEBENGINE_CHROMIUM_FLAGS": "--no-sandbox --disable-gpu",
            "LC_ALL": "C.UTF-8",
        })
        env.pop("QUILLFORGE_HOME", None)
        with open(self.log_path, "wb") as log:
            self.proc = subprocess.Popen([binary, "--home", home, *scripts], env=env,
                                         stdout=log, stderr=subprocess.STDOUT,
                                         start_new_session=True)
        self._app = None

    def log_tail(self, lines=15):
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                return "".join(f.readlines()[-lines:])
        except OSError:
            return ""

    def _check_alive(self):
        if self.proc.poll() is not None:
            raise Failure(f"the program ended with exit code {self.proc.returncode}"
                          f"{Session.x_server_state()}")

    @property
    def app(self):
        """The program's application node on the accessibility bus, found by process id."""
        if self._app is None:
            def look():
                self._check_alive()
                for a in pyatspi.Registry.getDesktop(0):
                    if a is not None and a.get_process_id() == self.proc.pid:
                        return a
            self._app = poll(look, START_TIMEOUT,
                             "the program to appear on the accessibility bus")
        return self._app

    def windows(self, showing=True):
        self._check_alive()
        out = []
        for w in self.app:
            try:
                if w is not None and (showing is None or is_showing(w) == showing):
                    out.append(w)
            except Exception:
                continue
        return out

    def window(self, title, role=None, timeout=TIMEOUT):
        """A showing top-level window (frame, dialog, alert) with this title."""
        def look():
            for w in self.windows():
                if _matches(w, role, title):
                    return w
        return poll(look, timeout,
                    lambda: f"a window titled {title!r} (showing now: {self._titles()})")

    def window_gone(self, title, timeout=TIMEOUT):
        poll(lambda: not any(_matches(w, None, title) for w in self.windows()), timeout,
             lambda: f"the window {title!r} to close (showing now: {self._titles()})")

    def _titles(self):
        try:
            return [f"{role_of(w)} {w.name!r}" for w in self.windows()]
        except Exception as e:
            return f"? ({e})"

    def main_window(self, timeout=START_TIMEOUT):
        return self.window(self.MAIN_TITLE, role="frame", timeout=timeout)

    def activate(self, title):
        """Acts as the window manager: the window with this title gets the keyboard."""
        frame = self.window(title)
        poll(lambda: _x11().focus(title), TIMEOUT, f"an X window titled {title!r}")
        poll(lambda: frame.getState().contains(pyatspi.STATE_ACTIVE), TIMEOUT,
             f"the window {title!r} to become active")
        return frame

    def menu(self, *path):
        """Runs a menu command, e.g. menu("File", "Save"): its item's own action, which is
        what a click on the item does."""
        frame = self.main_window()
        bar = find(frame, "menu bar", what="the menu bar")
        # The bar's own items only: a menu may hold an item of the same name ("Help" in View).
        poll(lambda: any(_matches(c, "menu item", path[0]) for c in bar), TIMEOUT,
             f"menu {path[0]!r} on the menu bar")
        node = next(c for c in bar if _matches(c, "menu item", path[0]))
        for label in path[1:]:
            node = find(node, "menu item", label, showing=None,
                        what=f"menu item {label!r} under {' > '.join(path[:-1])}")
        if not node.getState().contains(pyatspi.STATE_ENABLED):
            raise Failure(f"menu command {' > '.join(path)} is disabled")
        press(node)

    def wait_exit(self, timeout=TIMEOUT):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program did not end within {timeout} s") from None

    def close(self):
        _end(self.proc)

    def __enter__(self):
        return self

    def __exit__(self, kind, error, trace):
        if kind is not None and self.proc.poll() is None:
            # What the program showed when the check failed: the names to compare with.
            print("--- showing windows when it failed ---")
            try:
                for w in self.windows():
                    dump(w, sys.stdout, showing_only=True)
            except Exception as e:
                print(f"(no tree: {e})")
        if kind is not None:
            print(f"--- the program's output ---\n{self.log_tail()}")
        self.close()


def read_file(path):
    with open(path, "rb") as f:
        return f.read()


def settings(home):
    """etc/quillforge.cfg as {section: {key: value}}; empty when it does not exist yet."""
    path = os.path.join(home, "etc", "quillforge.cfg")
    out, section = {}, None
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                line = line.rstrip("\r\n")
                if line.startswith("[") and line.endswith("]"):
                    section = out.setdefault(line[1:-1], {})
                elif "=" in line and section is not None:
                    k, v = line.split("=", 1)
                    section[k] = v
    except FileNotFoundError:
        pass
    return out


def make_home():
    return tempfile.mkdtemp(prefix="qf-e2e-")
