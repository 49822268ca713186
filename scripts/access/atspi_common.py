"""What the AT-SPI checks share: finding the editor on the bus, walking a tree, keys by xdotool."""
import subprocess
import sys
import time

import pyatspi

# Roles that say nothing about what an operable object is.
VAGUE_ROLES = {"filler", "unknown", "panel", "invalid"}


def find_app(name="mosaiq", timeout=30.0):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name and app.childCount > 0:
                return app
        time.sleep(0.5)
    sys.exit(f"no application named {name!r} on the accessibility bus")


def focus_window(title="Mosaiq Photo Editor"):
    """Gives the editor's window the keyboard (no window manager runs under Xvfb)."""
    found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", title],
                           capture_output=True, text=True, check=True).stdout.split()
    for window in found:
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=False)
    time.sleep(0.5)


def actions(acc):
    try:
        action = acc.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def is_operable(acc):
    states = acc.getState()
    if states.contains(pyatspi.STATE_FOCUSABLE):
        return True
    return any(a.lower() not in ("setfocus", "") for a in actions(acc))


def walk(acc, depth=0):
    """Every object under acc (acc first), depth first."""
    yield acc, depth
    if depth > 60:
        return
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def key(*keys):
    """Presses keys on the keyboard (xdotool names: 'Tab', 'shift+Tab', 'ctrl+s', 'Return')."""
    for k in keys:
        subprocess.run(["xdotool", "key", "--clearmodifiers", k], check=True)
        time.sleep(0.25)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "40", text], check=True)
    time.sleep(0.3)


def focused(app):
    """The object that has the keyboard focus now, or None."""
    for acc, _ in walk(app):
        try:
            if acc.getState().contains(pyatspi.STATE_FOCUSED) and acc.getRoleName() != "frame":
                return acc
        except Exception:  # an object gone while walking
            continue
    return None


def describe(acc):
    return f"{acc.getRoleName()} {acc.name!r}"
