#!/usr/bin/env python3
"""Fails when a line breaks the layering the design promises.

- Outside ui/ folders and src/main.cpp nothing includes a QtWidgets header.
- Subsystems include only their own headers and those of lower ones:
  platform <- session <- remote <- workspace, extras <- app <- cli
  (workspace and extras stand side by side and include neither each other).
- An engine file never includes a ui/ header; a ui/ file may include the ui/
  headers of its own or a lower subsystem.
- A ui/ file names command ids (the 3xxxx numbers actions carry in data()):
  the numbers live in the subsystems' *command_ids.h headers only.
- The session's engine knows no feature above it: no file of src/session
  outside ui/ mentions the wizard or a window (a socket's send window aside).

    check_layering.py SOURCE_DIR QT_INCLUDE_DIR
"""
import os
import re
import sys

LEVEL = {"platform": 0, "session": 1, "remote": 2, "workspace": 3, "extras": 3, "app": 4, "cli": 5}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
NUMBER = re.compile(r"(?<![\w.'])3\d{4}(?![\w.'])")
FIRST_ID, LAST_ID = 32769, 39999
ABOVE_SESSION = re.compile(r"wizard|(?<!send )\bwindows?\b", re.IGNORECASE)


def widget_headers(qt_root):
    """Headers only QtWidgets has: it also forwards a few that moved to QtGui (QAction, ...)."""
    widgets = set(os.listdir(os.path.join(qt_root, "QtWidgets")))
    for module in os.listdir(qt_root):
        folder = os.path.join(qt_root, module)
        if module != "QtWidgets" and os.path.isdir(folder):
            widgets.difference_update(os.listdir(folder))
    return widgets | {"QtWidgets"}


def may_include(subsystem, in_ui, target, target_ui):
    if target not in LEVEL:
        return True
    if target_ui and not in_ui:
        return False
    if target == subsystem:
        return True
    return LEVEL[target] < LEVEL[subsystem]


def check(src, widgets):
    faults = []
    for root, _dirs, files in os.walk(src):
        rel_root = os.path.relpath(root, src)
        parts = [] if rel_root == "." else rel_root.split(os.sep)
        if not parts:
            continue  # src/main.cpp is the desktop program: it may use everything
        subsystem = parts[0]
        in_ui = len(parts) > 1 and parts[1] == "ui"
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(root, name)
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    where = f"{os.path.relpath(path, src)}:{number}"
                    if in_ui:
                        for n in NUMBER.findall(line):
                            if FIRST_ID <= int(n) <= LAST_ID:
                                faults.append(f"{where}: bare command id {n} in a ui/ file")
                    elif subsystem == "session":
                        above = ABOVE_SESSION.search(line)
                        if above:
                            faults.append(f'{where}: the session mentions "{above.group(0)}"')
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    bracket, header = m.groups()
                    if bracket == "<":
                        base = header.split("/")[-1]
                        if not in_ui and (header.startswith("QtWidgets/") or base in widgets):
                            faults.append(f"{where}: widgets header <{header}> outside ui/")
                        continue
                    pieces = header.split("/")
                    target = pieces[0]
                    target_ui = len(pieces) > 2 and pieces[1] == "ui"
                    if not may_include(subsystem, in_ui, target, target_ui):
                        faults.append(f'{where}: {"/".join(parts)} may not include "{header}"')
    return faults


def main():
    if len(sys.argv) != 3 or not os.path.isdir(os.path.join(sys.argv[2], "QtWidgets")):
        print("usage: " + __doc__.strip().splitlines()[-1].strip(), file=sys.stderr)
        return 2
    faults = check(os.path.join(sys.argv[1], "src"), widget_headers(sys.argv[2]))
    for fault in faults:
        print(fault)
    print(f"{len(faults)} line(s) against the layering" if faults else "layering kept")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
