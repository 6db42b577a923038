#!/usr/bin/python3
# Prints what a screen reader sees of a running program: its AT-SPI tree with
# each object's role, name, states and shortcut. Needs python3-pyatspi and a
# program started with the accessibility bridge on
# (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1) on the same session bus.
#
#   scripts/atspi-dump.py [--app NAME] [--menus] [--depth N] [--rows N]
#
# --menus prints only the menus that are showing, with their items: what a
# screen reader can read of an open context menu.
import argparse
import sys

import pyatspi


def states_of(acc):
    s = acc.getState()
    names = []
    for state, text in ((pyatspi.STATE_ENABLED, "enabled"),
                        (pyatspi.STATE_SHOWING, "showing"),
                        (pyatspi.STATE_FOCUSED, "focused"),
                        (pyatspi.STATE_SELECTED, "selected"),
                        (pyatspi.STATE_CHECKED, "checked")):
        if s.contains(state):
            names.append(text)
    return ",".join(names)


def shortcut_of(acc):
    try:
        action = acc.queryAction()
    except NotImplementedError:
        return ""
    for i in range(action.nActions):
        binding = action.getKeyBinding(i)
        if binding:
            return binding
    return ""


def line(acc, depth):
    text = "%s%s %r [%s]" % ("  " * depth, acc.getRoleName(), acc.name, states_of(acc))
    shortcut = shortcut_of(acc)
    if shortcut:
        text += " keys=%r" % shortcut
    return text


def dump(acc, depth, max_depth, max_rows, out):
    out.append(line(acc, depth))
    if depth >= max_depth:
        return
    count = acc.childCount
    for i in range(min(count, max_rows)):
        child = acc.getChildAtIndex(i)
        if child is not None:
            dump(child, depth + 1, max_depth, max_rows, out)
    if count > max_rows:
        out.append("%s... %d more" % ("  " * (depth + 1), count - max_rows))


def showing_menus(acc, depth, found):
    if depth > 40:
        return
    role = acc.getRole()
    if role == pyatspi.ROLE_MENU or role == pyatspi.ROLE_POPUP_MENU:
        if acc.getState().contains(pyatspi.STATE_SHOWING):
            found.append(acc)
    if role in (pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE,
                pyatspi.ROLE_LIST):
        return  # rows hold no menus
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            showing_menus(child, depth + 1, found)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app", default="velmora")
    parser.add_argument("--menus", action="store_true")
    parser.add_argument("--depth", type=int, default=12)
    parser.add_argument("--rows", type=int, default=8)
    args = parser.parse_args()

    desktop = pyatspi.Registry.getDesktop(0)
    apps = [desktop.getChildAtIndex(i) for i in range(desktop.childCount)]
    apps = [a for a in apps if a is not None and a.name.lower() == args.app.lower()]
    if not apps:
        print("no application named %r on the accessibility bus" % args.app, file=sys.stderr)
        return 1
    out = []
    for app in apps:
        if args.menus:
            menus = []
            showing_menus(app, 0, menus)
            out.append("%s: %d menu(s) showing" % (line(app, 0), len(menus)))
            for menu in menus:
                dump(menu, 1, 3, 200, out)
        else:
            dump(app, 0, args.depth, args.rows, out)
    print("\n".join(out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
