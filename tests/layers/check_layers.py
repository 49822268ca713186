#!/usr/bin/env python3
"""Keeps the floors of src/: a file includes only its own top folder and folders on floors below
it (a top folder and all its subfolders are one floor), every source file stays within 800 lines
and every file of the main window's folder within 500, and no folder holds more than 30 source
files directly (a larger folder is split into rooms by concern). The floors come from MOSAIQ_FLOORS in src/CMakeLists.txt, given on the command line as one
argument per floor ("core" "platform ui" ...), bottom first.

Usage: check_layers.py SRC_DIR SHELL_FOLDER FLOOR...
Exit 0 when every rule holds, 1 with one line per broken rule otherwise."""
import pathlib
import re
import sys

SOURCE_LIMIT = 800
SHELL_LIMIT = 500
FOLDER_LIMIT = 30
SOURCE_SUFFIXES = (".cpp", ".h", ".in")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z0-9_]+)/')


def floor_table(floors):
    table = {}
    for level, names in enumerate(floors):
        for name in names.split():
            if name in table:
                raise SystemExit(f"check_layers: {name} stands on two floors")
            table[name] = level
    return table


def check(src, shell, floors):
    table = floor_table(floors)
    faults = []
    for folder in sorted(p for p in src.iterdir() if p.is_dir()):
        if folder.name not in table:
            faults.append(f"{folder.name}/: a folder of src/ on no floor (add it to MOSAIQ_FLOORS)")
    for folder in sorted([src, *(p for p in src.rglob("*") if p.is_dir())]):
        count = sum(1 for p in folder.iterdir() if p.is_file() and p.suffix in SOURCE_SUFFIXES)
        if count > FOLDER_LIMIT:
            rel = folder.relative_to(src).as_posix()
            faults.append(f"{rel}/: {count} source files, more than {FOLDER_LIMIT}: split it into rooms")
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".cpp", ".h") or not path.is_file():
            continue
        rel = path.relative_to(src)
        own = rel.parts[0]
        lines = path.read_text(encoding="utf-8", errors="replace").splitlines()
        limit = SHELL_LIMIT if own == shell else SOURCE_LIMIT
        if len(lines) > limit:
            faults.append(f"{rel}: {len(lines)} lines, more than {limit}")
        if own not in table:
            continue
        for number, line in enumerate(lines, 1):
            match = INCLUDE.match(line)
            if not match or match.group(1) not in table:
                continue  # a system header or generated content outside src/
            target = match.group(1)
            if target != own and table[target] >= table[own]:
                faults.append(f"{rel}:{number}: includes {target}/, which is not below {own}/")
    return faults


def self_test():
    """The check itself must catch each kind of fault; a tree made here holds one of each."""
    import tempfile
    with tempfile.TemporaryDirectory() as tmp:
        src = pathlib.Path(tmp)
        for folder in ("core", "imaging", "shell"):
            (src / folder / "widgets").mkdir(parents=True)
        (src / "core" / "Up.h").write_text('#include "imaging/Picture.h"\n')
        (src / "imaging" / "widgets" / "Ok.cpp").write_text('#include "core/A.h"\n#include <QWidget>\n')
        (src / "imaging" / "Long.cpp").write_text("//\n" * (SOURCE_LIMIT + 1))
        (src / "shell" / "widgets" / "Window.cpp").write_text("//\n" * (SHELL_LIMIT + 1))
        (src / "stray").mkdir()
        # A room may include its own top folder and the floors below; one folder past the file limit.
        (src / "imaging" / "decode").mkdir()
        (src / "imaging" / "decode" / "Room.cpp").write_text('#include "imaging/Picture.h"\n#include "core/A.h"\n')
        (src / "core" / "files").mkdir()
        (src / "core" / "files" / "RoomUp.h").write_text('#include "imaging/decode/Room.h"\n')
        for n in range(FOLDER_LIMIT + 1):
            (src / "imaging" / "widgets" / f"Crowd{n}.h").write_text("#pragma once\n")
        for n in range(FOLDER_LIMIT - 1):  # with Room.cpp exactly at the limit
            (src / "imaging" / "decode" / f"Full{n}.h").write_text("#pragma once\n")
        faults = check(src, "shell", ["core", "imaging", "shell"])
        expected = ["stray/", "imaging/widgets/:", "core/Up.h:1", "core/files/RoomUp.h:1",
                    "imaging/Long.cpp", "shell/widgets/Window.cpp"]
        missing = [e for e in expected if not any(f.startswith(e) for f in faults)]
        wrong = [f for f in faults if "Ok.cpp" in f or "Room.cpp" in f or "decode/:" in f]
        if missing or wrong or len(faults) != len(expected):
            print(f"self-test: missed {missing}, wrongly named {wrong}, got {faults}")
            return 1
    return 0


def main(argv):
    if len(argv) == 2 and argv[1] == "--self-test":
        return self_test()
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    faults = check(pathlib.Path(argv[1]), argv[2], argv[3:])
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
