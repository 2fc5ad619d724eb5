#!/usr/bin/python3
"""Holds the folders of src/ to their floors.

    check_layers.py SRC_FOLDER

Each folder with a CMakeLists.txt is a unit: one library (or program) whose
target_link_libraries name the units it uses. A file may include headers of
its own unit and of the units its CMakeLists.txt links directly; reaching a
unit only through another is not enough. The units' links must not form a
circle. Prints every breach and exits 1 when there is one.
"""

import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
LINKS = re.compile(r"target_link_libraries\s*\(([^)]*)\)", re.DOTALL)
LIBRARY = re.compile(r"add_library\s*\(\s*(meslek_\w+)")
NAMED = re.compile(r"\bmeslek_\w+\b")


def units_of(src):
    """{unit folder relative to src ('' for src itself): CMakeLists text}."""
    units = {}
    for folder, _, files in os.walk(src):
        if "CMakeLists.txt" in files:
            with open(os.path.join(folder, "CMakeLists.txt"), encoding="utf-8") as f:
                units[os.path.relpath(folder, src).replace(os.sep, "/").strip(".")] = f.read()
    return units


def unit_of_path(path, units):
    """The deepest unit whose folder holds `path` (relative to src)."""
    best = ""
    for unit in units:
        if unit and (path == unit or path.startswith(unit + "/")) and len(unit) > len(best):
            best = unit
    return best


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else "src"
    units = units_of(src)
    library_unit = {}
    for unit, text in units.items():
        for name in LIBRARY.findall(text):
            library_unit[name] = unit
    links = {}
    for unit, text in units.items():
        named = set()
        for block in LINKS.findall(text):
            named.update(NAMED.findall(block))
        links[unit] = {library_unit[n] for n in named if n in library_unit} - {unit}

    breaches = []
    for unit in units:
        folder = os.path.join(src, unit)
        for name in sorted(os.listdir(folder)):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            for header in INCLUDE.findall(text):
                if "/" not in header:
                    continue
                target = unit_of_path(header, units)
                if not target or target == unit or target in links[unit]:
                    continue
                breaches.append(
                    f"{os.path.relpath(path, src)}: includes {header}, but "
                    f"{unit or 'src'}/CMakeLists.txt does not link {target}/"
                )

    # The links themselves must stand in floors.
    state = {}

    def visit(unit, trail):
        if state.get(unit) == "done":
            return
        if state.get(unit) == "open":
            breaches.append("a circle of links: " + " -> ".join(u or "src" for u in trail + [unit]))
            return
        state[unit] = "open"
        for used in sorted(links[unit]):
            visit(used, trail + [unit])
        state[unit] = "done"

    for unit in sorted(links):
        visit(unit, [])

    for breach in breaches:
        print("check-layers: " + breach)
    if breaches:
        return 1
    print(f"check-layers: {len(units)} units of {src} stand in floors")
    return 0


if __name__ == "__main__":
    sys.exit(main())
