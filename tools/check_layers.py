#!/usr/bin/python3
"""Holds the code of src/ and tools/ to their floors.

    check_layers.py ROOT

ROOT is the project's root (a folder holding src/, and tools/ if there is
one). Every add_library and add_executable in a CMakeLists.txt under src/ and
tools/ is a unit: its files are the sources it names (a file(GLOB) variable
stands for the files it matches), and a header that no unit names belongs to
the unit of the sources beside it. Prints every breach and exits 1 when there
is one. The rules:

- A file includes only headers of its own unit and of the units its unit
  links directly (target_link_libraries); reaching one only through another
  is not enough.
- Every project unit a unit links is included by at least one of its files.
- Links form no circle.
- The folders of src/ stand in one order, from the bottom up: the list that
  src/CMakeLists.txt hands to add_subdirectory (its foreach), which the
  comment after "From the bottom:" names in the same order. A folder's unit
  links only units of folders below it.
- What ships (src/) never uses tools/.
"""

import glob
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
COMMAND = re.compile(r"\b(add_library|add_executable|target_link_libraries|file)\s*\(([^)]*)\)",
                     re.DOTALL)
FOREACH = re.compile(r"foreach\s*\(\s*folder\s+([^)]*)\)")
GENERATOR = re.compile(r"\$<[A-Z_]+:([\w:]+)>")
KEYWORDS = {"STATIC", "SHARED", "MODULE", "OBJECT", "INTERFACE", "PUBLIC", "PRIVATE",
            "EXCLUDE_FROM_ALL", "WIN32", "IMPORTED", "GLOBAL"}
SOURCE_SUFFIXES = (".h", ".cpp")


class Unit:
    def __init__(self, name, folder, tree):
        self.name = name
        self.folder = folder  # relative to ROOT
        self.tree = tree      # "src" or "tools"
        self.files = set()    # relative to ROOT
        self.links = set()    # names as written


def strip_comments(text):
    return "\n".join(line.split("#", 1)[0] for line in text.splitlines())


def read_cmake(root, tree):
    """Yields (folder relative to ROOT, CMakeLists text without comments, raw text)."""
    for folder, _, files in sorted(os.walk(os.path.join(root, tree))):
        if "CMakeLists.txt" in files:
            with open(os.path.join(folder, "CMakeLists.txt"), encoding="utf-8") as f:
                raw = f.read()
            yield os.path.relpath(folder, root), strip_comments(raw), raw


def expand(token, folder, root, globs):
    """The files (relative to ROOT) a source token of a CMakeLists in `folder` names."""
    variable = re.fullmatch(r"\$\{(\w+)\}", token)
    if variable:
        return globs.get(variable.group(1), [])
    path = os.path.normpath(os.path.join(folder, token))
    return [path] if path.endswith(SOURCE_SUFFIXES) else []


def file_globs(args, folder, root):
    """{variable: files} for a file(GLOB VAR ... patterns) call."""
    words = args.split()
    if len(words) < 3 or words[0] not in ("GLOB", "GLOB_RECURSE"):
        return {}
    files = []
    for pattern in words[2:]:
        if pattern == "CONFIGURE_DEPENDS":
            continue
        pattern = pattern.replace("${CMAKE_CURRENT_SOURCE_DIR}", os.path.join(root, folder))
        files += [os.path.relpath(p, root) for p in glob.glob(pattern)
                  if p.endswith(SOURCE_SUFFIXES)]
    return {words[1]: files}


def read_units(root, tree):
    units = {}
    for folder, text, _ in read_cmake(root, tree):
        globs = {}
        for command, args in COMMAND.findall(text):
            if command == "file":
                globs.update(file_globs(args, folder, root))
                continue
            words = GENERATOR.sub(r"\1", args).split()
            if not words:
                continue
            if command == "target_link_libraries":
                if words[0] in units:
                    units[words[0]].links.update(w for w in words[1:] if w not in KEYWORDS)
                continue
            unit = units.setdefault(words[0], Unit(words[0], folder, tree))
            for token in words[1:]:
                if token not in KEYWORDS:
                    unit.files.update(expand(token, folder, root, globs))
    return units


def owners(units):
    """{file relative to ROOT: unit name}, headers beside a unit's sources included."""
    owner = {}
    for unit in units.values():
        for path in unit.files:
            owner.setdefault(path, unit.name)
    by_folder = {}
    for path, name in owner.items():
        by_folder.setdefault(os.path.dirname(path), set()).add(name)
    return owner, by_folder


def owner_of_header(header, root, trees, owner, by_folder):
    for tree in trees:
        path = os.path.normpath(os.path.join(tree, header))
        if path in owner:
            return owner[path]
        source = os.path.splitext(path)[0] + ".cpp"
        if source in owner:
            return owner[source]
        if os.path.exists(os.path.join(root, path)):
            beside = by_folder.get(os.path.dirname(path), set())
            return next(iter(beside)) if len(beside) == 1 else None
    return None


def documented_order(root):
    """(order from the foreach, order from the comment) of src/CMakeLists.txt."""
    with open(os.path.join(root, "src", "CMakeLists.txt"), encoding="utf-8") as f:
        text = f.read()
    found = FOREACH.search(text)
    built = found.group(1).split() if found else []
    commented = []
    lines = text.splitlines()
    for i, line in enumerate(lines):
        if line.strip() == "# From the bottom:":
            for following in lines[i + 1:]:
                match = re.match(r"#   (\S+)", following)
                if not following.startswith("#") or (not match and not following.startswith("#     ")):
                    break
                if match:
                    commented.append(match.group(1))
            break
    return built, commented


def check(root):
    trees = [t for t in ("src", "tools") if os.path.isdir(os.path.join(root, t))]
    units = {}
    for tree in trees:
        units.update(read_units(root, tree))
    owner, by_folder = owners(units)
    breaches = []

    for unit in units.values():
        project_links = {n for n in unit.links if n in units}
        included = set()
        for path in sorted(unit.files):
            with open(os.path.join(root, path), encoding="utf-8") as f:
                text = f.read()
            for header in INCLUDE.findall(text):
                if "/" not in header:
                    continue
                used = owner_of_header(header, root, trees, owner, by_folder)
                if used is None or used == unit.name:
                    continue
                included.add(used)
                if used not in project_links:
                    breaches.append(f"{path}: includes {header}, but {unit.name} "
                                    f"({unit.folder}/CMakeLists.txt) does not link {used}")
        if unit.files:
            for name in sorted(project_links - included):
                breaches.append(f"{unit.name} ({unit.folder}/CMakeLists.txt) links {name}, "
                                f"but none of its files includes a header of it")
        for name in sorted(project_links):
            if unit.tree == "src" and units[name].tree == "tools":
                breaches.append(f"{unit.name} ships from src/ but links {name} of tools/")

    breaches += order_breaches(root, units)
    breaches += circles(units)
    return breaches


def order_breaches(root, units):
    built, commented = documented_order(root)
    breaches = []
    if built != commented:
        breaches.append("src/CMakeLists.txt: the floors' comment names "
                        f"{' '.join(commented) or 'nothing'}, the foreach builds "
                        f"{' '.join(built) or 'nothing'}")
    floor = {f: i for i, f in enumerate(built)}
    for unit in units.values():
        top = unit.folder.split(os.sep)[1] if unit.folder.count(os.sep) else None
        if unit.tree != "src" or top not in floor or unit.folder != os.path.join("src", top):
            continue
        for name in sorted(unit.links):
            used = units.get(name)
            if used is None or used.tree != "src":
                continue
            used_top = used.folder.split(os.sep)[1] if used.folder.count(os.sep) else None
            if used_top in floor and floor[used_top] >= floor[top] and used_top != top:
                breaches.append(f"{unit.folder} links {name} of {used.folder}, "
                                f"which stands above it in src/CMakeLists.txt's order")
    return breaches


def circles(units):
    breaches = []
    state = {}

    def visit(name, trail):
        if state.get(name) == "done":
            return
        if state.get(name) == "open":
            breaches.append("a circle of links: " + " -> ".join(trail + [name]))
            return
        state[name] = "open"
        for used in sorted(n for n in units[name].links if n in units):
            visit(used, trail + [name])
        state[name] = "done"

    for name in sorted(units):
        visit(name, [])
    return breaches


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    breaches = check(root)
    for breach in breaches:
        print("check-layers: " + breach)
    if breaches:
        return 1
    print(f"check-layers: the units of {root} stand in their floors")
    return 0


if __name__ == "__main__":
    sys.exit(main())
