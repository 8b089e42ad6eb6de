#!/usr/bin/env python3
"""Finds circles among the sources' files: a file and its header are one
unit, and a unit that includes another depends on it. Prints each circle and
fails when there is one."""
import os
import re
import sys

FOLDERS = ["base", "engine", "players", "display", "app", "tools"]
INCLUDE = re.compile(r'#include "([^"]+)\.h"')


def unit_of(name):
    # The window's class is split over several files; they are one unit.
    return "main_window" if name.startswith("main_window") else name


def dependencies(root):
    units = {}
    for folder in FOLDERS:
        for where, _, files in os.walk(os.path.join(root, folder)):
            for file in files:
                stem, ext = os.path.splitext(file)
                if ext not in (".h", ".cpp"):
                    continue
                unit = unit_of(stem)
                uses = units.setdefault(unit, set())
                with open(os.path.join(where, file), errors="replace") as text:
                    for used in INCLUDE.findall(text.read()):
                        used = unit_of(os.path.basename(used))
                        if used != unit:
                            uses.add(used)
    return {unit: {u for u in uses if u in units} for unit, uses in units.items()}


def circles(graph):
    """Strongly connected components of more than one unit (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(unit):
        index[unit] = low[unit] = len(index)
        stack.append(unit)
        on_stack.add(unit)
        for used in graph[unit]:
            if used not in index:
                visit(used)
                low[unit] = min(low[unit], low[used])
            elif used in on_stack:
                low[unit] = min(low[unit], index[used])
        if low[unit] == index[unit]:
            component = []
            while True:
                top = stack.pop()
                on_stack.discard(top)
                component.append(top)
                if top == unit:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(10000)
    for unit in sorted(graph):
        if unit not in index:
            visit(unit)
    return found


def main():
    found = circles(dependencies(sys.argv[1]))
    for circle in found:
        print("circle: " + " -> ".join(circle))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
