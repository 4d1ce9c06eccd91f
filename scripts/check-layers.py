#!/usr/bin/env python3
"""Keeps the source tree's layers as its folders say.

    check-layers.py SRC_DIR QT_HEADERS_DIR

Fails (exit 1, one line per fault) when
  - a file includes a file of a higher layer, or of a sibling layer it may not
    see (a window from the command line, say);
  - a file includes a Qt header of a module its layer may not use: core/ and
    cli/ QtCore only, drawing/ and output/ QtCore and QtGui;
  - a library's CMakeLists.txt links a Qt module its layer may not use;
  - files include each other, directly or round a longer circle (a file and
    its header count as one);
  - a quoted include names no file under SRC_DIR.
"""

import os
import re
import sys

# What each layer may include, itself among them.
ALLOWED = {
    "core": {"core"},
    "drawing": {"core", "drawing"},
    "output": {"core", "drawing", "output"},
    "ui": {"core", "drawing", "output", "ui"},
    "cli": {"core", "cli"},
    "app": {"core", "drawing", "output", "ui", "cli", "app"},
    "list_module": {"core", "drawing", "output", "ui", "cli", "app", "list_module"},
    "main": {"core", "drawing", "output", "ui", "cli", "app", "list_module", "main"},
}
# The Qt modules whose headers and libraries a layer may use.
QT_MODULES = {
    "core": {"QtCore"},
    "cli": {"QtCore"},
    "drawing": {"QtCore", "QtGui"},
    "output": {"QtCore", "QtGui"},
}
KNOWN_QT_MODULES = ["QtCore", "QtGui", "QtWidgets", "QtPrintSupport", "QtTest"]

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def layer_of(path):
    parts = path.split("/")
    if len(parts) == 1:
        return "main"
    return parts[0]


def qt_module(header, qt_headers):
    for module in KNOWN_QT_MODULES:
        if os.path.exists(os.path.join(qt_headers, module, header)):
            return module
    return None


def strongly_connected(nodes, edges):
    """Tarjan's algorithm; returns the components of more than one node."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in edges.get(v, ()):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(10000)
    for v in sorted(nodes):
        if v not in index:
            visit(v)
    return found


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    src, qt_headers = sys.argv[1], sys.argv[2]
    faults = []
    files = []
    for root, _, names in os.walk(src):
        for name in names:
            if name.endswith((".cpp", ".h")):
                files.append(os.path.relpath(os.path.join(root, name), src).replace(os.sep, "/"))
    edges = {}
    for path in sorted(files):
        layer = layer_of(path)
        if layer not in ALLOWED:
            faults.append(f"{path}: in no known layer (folders: {', '.join(ALLOWED)})")
            continue
        component = os.path.splitext(path)[0]
        with open(os.path.join(src, path), encoding="utf-8") as f:
            text = f.read()
        for kind, target in INCLUDE.findall(text):
            if kind == '"':
                if not os.path.exists(os.path.join(src, target)):
                    if not target.startswith("moc_") and not target.endswith(".moc"):
                        faults.append(f"{path}: includes \"{target}\", which is not under src/")
                    continue
                target_layer = layer_of(target)
                if target_layer not in ALLOWED[layer]:
                    faults.append(f"{path}: {layer}/ may not include {target_layer}/ ({target})")
                target_component = os.path.splitext(target)[0]
                if target_component != component:
                    edges.setdefault(component, set()).add(target_component)
            elif layer in QT_MODULES and target.startswith("Q"):
                module = qt_module(target, qt_headers)
                if module is None:
                    faults.append(f"{path}: <{target}> is in no Qt module known here")
                elif module not in QT_MODULES[layer]:
                    faults.append(f"{path}: {layer}/ may not use {module} (<{target}>)")
    for cycle in strongly_connected({os.path.splitext(p)[0] for p in files}, edges):
        faults.append("include circle: " + " -> ".join(cycle))

    link = re.compile(r"Qt6::(\w+)")
    for root, _, names in os.walk(src):
        if "CMakeLists.txt" not in names:
            continue
        rel = os.path.relpath(root, src).replace(os.sep, "/")
        layer = layer_of(rel + "/x") if rel != "." else "main"
        if layer not in QT_MODULES:
            continue
        with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as f:
            for module in link.findall(f.read()):
                if "Qt" + module not in QT_MODULES[layer]:
                    faults.append(f"{rel}/CMakeLists.txt: {layer}/ may not link Qt6::{module}")

    for fault in faults:
        print(fault)
    print(f"layers: {len(files)} files read, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
