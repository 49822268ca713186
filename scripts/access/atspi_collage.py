"""Makes a collage with the keyboard alone, as a user who cannot use a pointer does: New Collage,
two photos from the photo browser, a text, Arrange, every object selected with Tab, one nudged,
the project saved; then checks the saved project with mosaiq-cli dump. It presses keys only
(xdotool) and reads what a screen reader would read (the focused object over AT-SPI) to know where
it is; it prints what it heard."""
import json
import os
import subprocess
import sys
import time

import pyatspi

from atspi_common import describe, find_app, focus_window, focused, key, type_text, walk

scratch, build = sys.argv[1], sys.argv[2]
heard = []


def hear(app):
    acc = focused(app)
    text = describe(acc) if acc else "(nothing focused)"
    heard.append(text)
    return acc


def tab_to(app, role, name=None, limit=80):
    for _ in range(limit):
        acc = hear(app)
        if acc and acc.getRoleName() == role and (name is None or acc.name == name):
            return acc
        key("Tab")
    sys.exit(f"Tab never reached {role} {name!r}; heard: {heard[-5:]}")


def dump(path):
    out = subprocess.run([f"{build}/bin/mosaiq-cli", "dump", path], check=True,
                         capture_output=True, text=True).stdout
    return json.loads(out)


def main():
    app = find_app()
    time.sleep(2)
    focus_window()
    hear(app)

    # New Collage: the toolbar's New button, then OK (Enter).
    tab_to(app, "push button", "New Collage Project")
    key("space")
    time.sleep(1.5)
    hear(app)
    key("Return")
    time.sleep(1)

    # Two photos from the browser: arrows move, Enter adds.
    tab_to(app, "list", "Photo library")
    key("Right", "Return")
    time.sleep(1)
    tab_to(app, "list", "Photo library")
    key("Right", "Return")
    time.sleep(1)

    # A text: the Text tab, its text box, then its Add button.
    tab_to(app, "page tab", "Text")
    key("space")
    time.sleep(0.5)
    tab_to(app, "text", "Text")
    type_text("Hello")
    tab_to(app, "push button", "Add")
    key("space")
    time.sleep(1.5)

    # Arrange the photos with the dialog's defaults.
    tab_to(app, "push button", "Arrange Photos")
    key("space")
    time.sleep(1.5)
    hear(app)
    key("Return")
    time.sleep(1.5)

    # Every object by Tab on the canvas, as a screen reader announces them. The canvas is entered
    # by Tab (F6 leaves it first when it has the focus), so the walk starts at the first object.
    acc = hear(app)
    if acc and acc.getRoleName() == "canvas":
        key("F6")
    canvas = tab_to(app, "canvas")
    objects = []
    for _ in range(3):
        key("Tab")
        selected = [canvas.getChildAtIndex(i) for i in range(canvas.childCount)]
        selected = [c for c in selected
                    if c is not None and c.getState().contains(pyatspi.STATE_SELECTED)]
        objects.append(selected[0].name if selected else "(none)")
    heard.append("selected in turn: " + " | ".join(objects))

    path = os.path.join(scratch, "keyboard.dcf")
    key("ctrl+s")
    time.sleep(1.5)
    hear(app)
    type_text(path)
    key("Return")
    time.sleep(2)
    if not os.path.exists(path):
        sys.exit(f"the project was not saved; heard: {heard[-6:]}")
    before = dump(path)

    # Back on the canvas the last object is still selected: nudge it 15 pixels right.
    tab_to(app, "canvas")
    key("Right", "Right", "Right", "Right", "Right", "shift+Right")
    time.sleep(1)
    key("ctrl+s")
    time.sleep(2)
    after = dump(path)

    for line in heard:
        print("heard: " + line)
    kinds = [str(o.get("kind")).lower() for o in after["objects"]]
    print("saved objects:", kinds)
    moved = [(i, a.get("x"), a.get("y"), b.get("x"), b.get("y"))
             for i, (a, b) in enumerate(zip(before["objects"], after["objects"])) if a != b]
    print("moved:", moved)
    ok = (len(after["objects"]) == 3 and kinds.count("photo") == 2 and
          len(moved) == 1 and moved[0][3] - moved[0][1] == 15 and moved[0][4] == moved[0][2])
    print("RESULT: " + ("the keyboard made the collage" if ok else "the collage is not as made"))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
