"""Walks the editor's accessibility tree over AT-SPI and counts the operable objects that a
screen reader could not tell apart: no name, or the role "filler", "unknown" or "panel". Reads
the main window (its hidden panels too), then opens the New Collage dialog through the "press"
action of the toolbar's New button and reads the dialog. Fails when any such object is found."""
import sys
import time

import pyatspi

from atspi_common import VAGUE_ROLES, describe, find_app, focus_window, is_operable, key, walk


def survey(root, title):
    total = operable = 0
    faults = []
    roles = {}
    for acc, depth in walk(root):
        total += 1
        try:
            if not is_operable(acc):
                continue
            role = acc.getRoleName()
        except Exception:
            continue
        operable += 1
        roles[role] = roles.get(role, 0) + 1
        if not acc.name.strip() or role in VAGUE_ROLES:
            faults.append("  " * depth + describe(acc))
    print(f"{title}: {total} objects, {operable} operable, {len(faults)} unnamed or vague")
    print("  roles of operable objects: " +
          ", ".join(f"{r} {n}" for r, n in sorted(roles.items(), key=lambda x: -x[1])))
    for f in faults[:40]:
        print("  FAULT " + f)
    return faults


def zoom_value(combo):
    try:
        return combo.queryText().getText(0, -1)
    except NotImplementedError:
        pass
    try:
        return combo.queryValue().currentValue
    except NotImplementedError:
        return combo.name


def main():
    app = find_app()
    time.sleep(2)  # the window lays itself out
    focus_window()
    windows = [app.getChildAtIndex(i) for i in range(app.childCount)]
    faults = []
    for w in windows:
        faults += survey(w, f"window {w.name!r}")
    # "Press" over AT-SPI does what a click does: the Mask tab becomes the checked one.
    tab = next((acc for acc, _ in walk(app)
                if acc.getRoleName() == "page tab" and acc.name == "Mask"), None)
    if tab is None:
        print("FAULT: no Mask tab")
        return 1
    checked = lambda: tab.getState().contains(pyatspi.STATE_CHECKED)
    print(f"Mask tab checked before press: {checked()}")
    tab.queryAction().doAction(0)
    time.sleep(1)
    print(f"Mask tab checked after press over AT-SPI: {checked()}")
    if not checked():
        faults.append("press on the Mask tab did not show the mask panel")
    # The New Collage dialog, opened from the File menu with the keyboard (a modal dialog would
    # hold the reply of a press over the bus until it closed).
    key("alt+f", "Down", "Return")
    time.sleep(2)
    dialogs = [app.getChildAtIndex(i) for i in range(app.childCount)]
    dialogs = [d for d in dialogs if d.getRoleName() == "dialog"]
    if not dialogs:
        print("FAULT: pressing New opened no dialog")
        return 1
    for d in dialogs:
        faults += survey(d, f"dialog {d.name!r}")
    key("Escape")
    print("RESULT: " + ("every operable object is named with a proper role" if not faults
                        else f"{len(faults)} operable objects unnamed or vague"))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
