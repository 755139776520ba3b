#!/usr/bin/env python3
# Fails when a source file includes what tools/layers.txt does not let its layer use: denies by default.
"""Checks every C and C++ file of the tree against the layer table.

Each file belongs to the first layer one of whose patterns matches its path; a file of no layer is an
error. A quoted include is looked up beside the including file, then from the top of the tree (and, for
layers that list include folders, in those); it must resolve to a file of the tree, and that file's layer
must be the file's own or one its layer uses. An angle include with neither a slash nor ".h" is the C++
standard library and always allowed; any other angle include must match one of the layer's system
patterns.

Usage: check_layers.py [ROOT [TABLE]]  (ROOT defaults to the tree holding this script)
"""
import os
import re
import subprocess
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
SOURCE = re.compile(r'\.(h|hpp|c|cc|cpp)$')


def glob(pattern):
    """A path pattern: "*" stands for any characters but "/", "**" for any at all."""
    out = ""
    for part in re.split(r"(\*\*|\*|\?)", pattern):
        out += {"**": ".*", "*": "[^/]*", "?": "[^/]"}.get(part, re.escape(part))
    return re.compile(out + "$")


def matches(text, pattern):
    return glob(pattern).match(text) is not None


class Layer:
    def __init__(self, name, patterns, uses, system, search):
        self.name, self.patterns, self.uses, self.system, self.search = name, patterns, uses, system, search

    def owns(self, path):
        return any(matches(path, p) for p in self.patterns)


def read_table(path):
    layers = []
    with open(path, encoding="utf-8") as table:
        for raw in table:
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            columns = [c.split() for c in line.split("|")]
            while len(columns) < 4:
                columns.append([])
            head, uses, system, search = columns[:4]
            layers.append(Layer(head[0], head[1:], set(uses), system, search))
    return layers


def tree_files(root):
    try:
        out = subprocess.run(["git", "-C", root, "ls-files", "--cached", "--others", "--exclude-standard"],
                             check=True, capture_output=True, text=True).stdout.split("\n")
        # Files deleted in the work tree but still in the index are gone for the check.
        files = [f for f in out if f and os.path.isfile(os.path.join(root, f))]
    except (OSError, subprocess.CalledProcessError):
        files = []
        for folder, dirs, names in os.walk(root):
            dirs[:] = [d for d in dirs if not d.startswith(".") and d != "build" and d != "node_modules"]
            files += [os.path.relpath(os.path.join(folder, n), root) for n in names]
    return sorted(f for f in files if SOURCE.search(f))


def layer_of(layers, path):
    for layer in layers:
        if layer.owns(path):
            return layer
    return None


def resolve(root, files, source, target, search):
    """The tree path a quoted include names, or None."""
    candidates = [os.path.normpath(os.path.join(os.path.dirname(source), target)), os.path.normpath(target)]
    candidates += [os.path.normpath(os.path.join(folder, target)) for folder in search]
    for c in candidates:
        if c in files:
            return c
    return None


def check(root, table):
    layers = read_table(table)
    by_name = {layer.name: layer for layer in layers}
    files = set(tree_files(root))
    problems = []
    for path in sorted(files):
        own = layer_of(layers, path)
        if own is None:
            problems.append(f"{path}: belongs to no layer of the table")
            continue
        allowed = {own.name} | own.uses
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for kind, target in INCLUDE.findall(text):
            if kind == "<":
                if "/" not in target and not target.endswith(".h"):
                    continue  # the C++ standard library
                if not any(matches(target, p) for p in own.system):
                    problems.append(f"{path}: includes <{target}>, which layer {own.name} may not use")
                continue
            found = resolve(root, files, path, target, own.search)
            if found is None:
                if any(matches(target, p) for p in own.system):
                    continue  # generated at build time
                problems.append(f"{path}: includes \"{target}\", which is no file of the tree")
                continue
            to = layer_of(layers, found)
            if to is None:
                continue  # reported for the file itself
            if "*" not in allowed and to.name not in allowed:
                problems.append(f"{path}: includes {found} ({own.name} may not use {to.name})")
    for layer in layers:
        for used in layer.uses - {"*"}:
            if used not in by_name:
                problems.append(f"{table}: layer {layer.name} uses {used}, which is no layer")
    return problems


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.dirname(here)
    table = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "tools", "layers.txt")
    problems = check(root, table)
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} includes break the layers of {os.path.relpath(table, root)}.")
        return 1
    print("Every include keeps to the layers of tools/layers.txt.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
