#!/usr/bin/env python3
"""Drives the running Corvala window the way a screen reader does, over AT-SPI.

Run inside the session that Corvala was started in (same DISPLAY and session
bus, accessibility on). Exits 0 when every check holds, 1 otherwise.
"""
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

APP_NAME = "Corvala"
WAIT_SECONDS = 30


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)
    print("ok: " + message)


def wait_for(what, probe, seconds=WAIT_SECONDS):
    deadline = time.monotonic() + seconds
    while True:
        found = probe()
        if found:
            return found
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.2)


def find_app():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == APP_NAME:
            return app
    return None


def walk(node):
    yield node
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from walk(child)


def find_all(root, name, role):
    return [n for n in walk(root) if n.get_name() == name and n.get_role() == role]


def find_one(root, name, role):
    hits = find_all(root, name, role)
    if not hits:
        raise Failure("no %s named %r in the accessible tree" % (Atspi.role_get_name(role), name))
    return hits[0]


def text_of(node):
    return Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))


def number_of(node, what):
    text = text_of(node)
    try:
        return float(text)
    except ValueError:
        raise Failure("%s reads %r, not a number" % (what, text))


def is_showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def do_action(node, wanted):
    # get_action_name is the binding's only way to the action names here.
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", DeprecationWarning)
        names = [Atspi.Action.get_action_name(node, i)
                 for i in range(Atspi.Action.get_n_actions(node))]
    if wanted not in names:
        raise Failure("%r offers no %r action (it has %s)" % (node.get_name(), wanted, names))
    return node.do_action(names.index(wanted))


def field_in_panel(window, panel_name, field_name):
    for panel in find_all(window, panel_name, Atspi.Role.PANEL):
        hits = find_all(panel, field_name, Atspi.Role.TEXT)
        if hits:
            return hits[0]
    raise Failure("no text field %r in panel %r" % (field_name, panel_name))


def check_bar_tab(window):
    length = find_one(window, "钢筋单根长度", Atspi.Role.TEXT)
    check(is_showing(length), "the bar-length result is on screen at start-up")
    check(text_of(length) == "0", "钢筋单根长度 reads 0 before any length is entered")

    diameter = number_of(field_in_panel(window, "原始数据", "钢筋直径"), "钢筋直径")
    count = number_of(field_in_panel(window, "原始数据", "钢筋数量"), "钢筋数量")
    area_field = find_one(window, "钢筋截面积", Atspi.Role.TEXT)
    area = number_of(area_field, "钢筋截面积")
    expected_area = 3.14 * diameter * diameter / 4
    check(abs(area - expected_area) < 0.01,
          "钢筋截面积 %s is the section of a %g mm bar (%.2f)" % (text_of(area_field), diameter,
                                                               expected_area))
    total = number_of(find_one(window, "钢筋总截面面积", Atspi.Role.TEXT), "钢筋总截面面积")
    check(abs(total - area * count) < 0.05,
          "钢筋总截面面积 %g is %g bars of %g mm²" % (total, count, area))


def check_calculator(window):
    page = find_one(window, "计算器", Atspi.Role.PAGE_TAB)
    check(do_action(page, "Press"), "the 计算器 page tab takes a Press")
    box = find_one(window, "公式", Atspi.Role.TEXT)
    wait_for("the formula box to show", lambda: is_showing(box))
    history = find_one(window, "计算历史", Atspi.Role.TEXT)
    equals = find_one(window, "＝", Atspi.Role.PUSH_BUTTON)
    check(is_showing(equals), "the ＝ key is on screen once the calculator tab is chosen")

    for a, b in ((1, 2), (12, 30)):
        formula = "%d+%d" % (a, b)
        before = text_of(history)
        check(Atspi.EditableText.set_text_contents(box, formula),
              "the formula box accepts %r through EditableText" % formula)
        check(text_of(box) == formula, "the formula box reads back %r" % formula)
        check(do_action(equals, "Press"), "＝ takes a Press")
        answer = "答案：%d" % (a + b)

        def new_answer():
            added = text_of(history)[len(before):]
            return added if "答案：" in added else None

        added = wait_for("an answer in the history after ＝", new_answer)
        check(("公式：" + formula) in added and answer in added,
              "the history gains %r and %r (got %r)" % ("公式：" + formula, answer, added))
        wait_for("the formula box to empty after ＝", lambda: text_of(box) == "")
        print("ok: the formula box is empty after ＝")


def main():
    Atspi.set_timeout(5000, 15000)
    app = wait_for("the %s application on the accessibility bus" % APP_NAME, find_app)
    print("ok: %s is on the accessibility bus" % APP_NAME)
    window = wait_for("a frame named %s" % APP_NAME,
                      lambda: next(iter(find_all(app, APP_NAME, Atspi.Role.FRAME)), None))
    print("ok: its main window %r is a frame" % window.get_name())
    check_bar_tab(window)
    check_calculator(window)
    print("atspi: all checks passed")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Failure as failure:
        print("atspi: FAILED: %s" % failure, file=sys.stderr)
        sys.exit(1)
    except GLib.Error as error:
        print("atspi: FAILED: AT-SPI call failed: %s" % error.message, file=sys.stderr)
        sys.exit(1)
