#!/usr/bin/env python3
"""Drives the running Corvala window the way a screen reader does, over AT-SPI.

Run inside the session that Corvala was started in (same DISPLAY and session
bus, accessibility on). Exits 0 when every check holds, 1 otherwise.
"""
import sys
import time
import warnings
from collections import defaultdict

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

APP_NAME = "Corvala"
WAIT_SECONDS = 30

# What a listener operates or reads: fields, keys, options, toggles, lists.
# Labels, frames and drawn lines only give them context.
CONTROL_ROLES = {
    Atspi.Role.TEXT, Atspi.Role.ENTRY, Atspi.Role.PASSWORD_TEXT, Atspi.Role.SPIN_BUTTON,
    Atspi.Role.PUSH_BUTTON, Atspi.Role.TOGGLE_BUTTON, Atspi.Role.CHECK_BOX,
    Atspi.Role.RADIO_BUTTON, Atspi.Role.COMBO_BOX, Atspi.Role.SLIDER, Atspi.Role.LIST,
    Atspi.Role.LIST_BOX, Atspi.Role.TABLE, Atspi.Role.TREE, Atspi.Role.TREE_TABLE,
}
# Their rows and cells are read by their place, not by a name.
NOT_ENTERED = {Atspi.Role.LIST, Atspi.Role.LIST_BOX, Atspi.Role.TABLE, Atspi.Role.TREE,
               Atspi.Role.TREE_TABLE, Atspi.Role.COMBO_BOX}
# Toggles: a name that tells their state, a new name for a new state.
TOGGLE_ROLES = {Atspi.Role.CHECK_BOX, Atspi.Role.TOGGLE_BUTTON}

# Windows of their own that menu-bar commands open, by the command's caption
# (the window's object name beside it). Each is in the menu bar today: a
# caption not found there is a failure, so that a renamed command is noticed.
WINDOW_COMMANDS = (
    ("下料单(&L)", "cuttinglist"),
    ("锚固搭接(&M)", "anchorage"),
    ("关于(&A)", "Form2"),
)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)
    print("ok: " + message)


def pump():
    """Delivers the accessibility events that have arrived."""
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def wait_for(what, probe, seconds=WAIT_SECONDS):
    deadline = time.monotonic() + seconds
    while True:
        pump()
        found = probe()
        if found:
            return found
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.1)


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


def controls(root):
    """The controls under root, not counting the rows and cells of lists."""
    found = []

    def visit(node):
        role = node.get_role()
        if role in CONTROL_ROLES:
            found.append(node)
        if role in NOT_ENTERED:
            return
        for i in range(node.get_child_count()):
            child = node.get_child_at_index(i)
            if child is not None:
                visit(child)

    visit(root)
    return found


def check_names_apart(root, where):
    """No control under root is nameless, and no two share a name."""
    by_name = defaultdict(list)
    found = controls(root)
    for node in found:
        by_name[node.get_name()].append(node.get_role_name())
    nameless = by_name.pop("", [])
    shared = {name: roles for name, roles in by_name.items() if len(roles) > 1}
    if nameless:
        raise Failure("%s: %d controls have no name (%s)" % (where, len(nameless),
                                                            ", ".join(nameless)))
    if shared:
        raise Failure("%s: controls share names: %s" % (where, "; ".join(
            "%r for %d (%s)" % (name, len(roles), ", ".join(roles))
            for name, roles in sorted(shared.items()))))
    check(len(found) > 0, "%s: %d controls, no two share a name" % (where, len(found)))
    return found


def is_checked(node):
    return node.get_state_set().contains(Atspi.StateType.CHECKED)


def check_toggle(node, renamed, where):
    """Each change of state gives the toggle a new name and announces it."""
    first = node.get_name()
    was_checked = is_checked(node)
    for step in (1, 2):
        before = node.get_name()
        renamed.clear()
        check(do_action(node, "Toggle"), "%s: %r takes a Toggle" % (where, before))
        after = wait_for("%r to change its name" % before, lambda: node.get_name() != before
                         and node.get_name())
        check(is_checked(node) == (was_checked if step == 2 else not was_checked),
              "%s: %r is %s" % (where, after, "checked" if is_checked(node) else "not checked"))
        wait_for("the bus to announce %r" % after, lambda: node in renamed, seconds=5)
        print("ok: %s: %r became %r, announced on the bus" % (where, before, after))
    check(node.get_name() == first, "%s: toggled twice, it is %r again" % (where, first))


def check_tabs(window, renamed):
    """On each tab, names tell the controls apart and toggles say their state."""
    tab_list = next(n for n in walk(window) if n.get_role() == Atspi.Role.PAGE_TAB_LIST)
    captions = [n.get_name() for n in walk(tab_list) if n.get_role() == Atspi.Role.PAGE_TAB]
    pages_node = next(n for n in walk(window) if n.get_role() == Atspi.Role.LAYERED_PANE)
    pages = [pages_node.get_child_at_index(i) for i in range(pages_node.get_child_count())]
    check(len(pages) == len(captions) == 4,
          "the tab control has four pages: %s" % ", ".join(captions))
    for caption, page in zip(captions, pages):
        where = "tab %s" % caption
        for node in check_names_apart(page, where):
            if node.get_role() in TOGGLE_ROLES:
                check_toggle(node, renamed, where)


def check_windows(app, window):
    """Each window a menu command opens: names tell its controls apart."""
    items = {n.get_name(): n for n in walk(window) if n.get_role() == Atspi.Role.MENU_ITEM}
    for caption, object_name in WINDOW_COMMANDS:
        item = items.get(caption.replace("&", ""))
        check(item is not None,
              "the menu bar has the command %s for the window %s (it has: %s)"
              % (caption, object_name, ", ".join(sorted(n for n in items if n))))
        def shown_windows():
            children = (app.get_child_at_index(i) for i in range(app.get_child_count()))
            return [child for child in children if child is not None and is_showing(child)]

        before = shown_windows()
        check(do_action(item, "Press"), "the menu command %s takes a Press" % caption)

        def opened():
            return next((child for child in shown_windows() if child not in before), None)

        new_window = wait_for("a window opened by %s" % caption, opened)
        check_names_apart(new_window, "window %s (%s, %r)" % (caption, object_name,
                                                               new_window.get_name()))


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

    diameter = number_of(field_in_panel(window, "原始数据", "钢筋直径（输入）"), "钢筋直径")
    count = number_of(field_in_panel(window, "原始数据", "钢筋数量（输入）"), "钢筋数量")
    # The tab takes π as 3.14, as the program it replaces did, and prints the
    # section in full: 14 mm gives 153.86 mm² (π would give 153.94), ten
    # bars 1538.6 mm².
    check(diameter == 14 and count == 10,
          "the tab starts at 10 bars of 14 mm (reads %g of %g mm)" % (count, diameter))
    area_field = find_one(window, "钢筋截面积", Atspi.Role.TEXT)
    check(text_of(area_field) == "153.86",
          "钢筋截面积 reads 153.86 for a 14 mm bar (reads %r)" % text_of(area_field))
    total_field = find_one(window, "钢筋总截面面积", Atspi.Role.TEXT)
    check(text_of(total_field) == "1538.6",
          "钢筋总截面面积 reads 1538.6 for ten of them (reads %r)" % text_of(total_field))


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
    # The program sends name changes only while somebody listens for them; it
    # learns of a listener that registers once it is on the bus.
    renamed = set()

    def on_renamed(event):
        renamed.add(event.source)

    listener = Atspi.EventListener.new(on_renamed)
    listener.register("object:property-change:accessible-name")
    window = wait_for("a frame named %s" % APP_NAME,
                      lambda: next(iter(find_all(app, APP_NAME, Atspi.Role.FRAME)), None))
    print("ok: its main window %r is a frame" % window.get_name())
    check_bar_tab(window)
    check_tabs(window, renamed)
    check_calculator(window)
    check_windows(app, window)
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
