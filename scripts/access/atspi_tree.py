"""Walks the editor's accessibility tree over AT-SPI and counts the operable objects that a
screen reader could not tell apart: no name, or the role "filler", "unknown" or "panel". Reads
the main window (its hidden panels too), then opens the New Collage dialog through the "press"
action of the toolbar's New button and reads the dialog. Fails when any such object is found."""
import sys
import time

import pyatspi

from atspi_common import VAGUE_ROLES, describe, find_app, is_operable, walk


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


def main():
    app = find_app()
    time.sleep(2)  # the window lays itself out
    windows = [app.getChildAtIndex(i) for i in range(app.childCount)]
    faults = []
    for w in windows:
        faults += survey(w, f"window {w.name!r}")
    # The New Collage dialog, opened by the press action as a screen reader would.
    new = next((acc for acc, _ in walk(app)
                if acc.getRoleName() == "push button" and acc.name == "New Collage Project"), None)
    if new is None:
        print("FAULT: no New Collage Project button")
        return 1
    new.queryAction().doAction(0)
    time.sleep(2)
    dialogs = [app.getChildAtIndex(i) for i in range(app.childCount)]
    dialogs = [d for d in dialogs if d.getRoleName() == "dialog"]
    if not dialogs:
        print("FAULT: pressing New opened no dialog")
        return 1
    for d in dialogs:
        faults += survey(d, f"dialog {d.name!r}")
    print("RESULT: " + ("every operable object is named with a proper role" if not faults
                        else f"{len(faults)} operable objects unnamed or vague"))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
