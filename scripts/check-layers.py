#!/usr/bin/env python3
"""Checks that every #include of the program points down the layers.

    core/base -> core/lang, core/grid -> core/app -> core/inspection, core/comm
    -> core/structfile, core/instrument -> core/session -> sim, print -> ui -> apps, tools

A folder may include its own headers and those of every lower rank. Tests, benchmarks and
fuzz harnesses are not checked; their CMake targets link only the layers they test. The
program never includes the test support. Usage: check-layers.py [SOURCE_DIR]
"""
import pathlib
import re
import sys

# Rank of each folder of the program; a folder may include folders of lower rank.
RANKS = {
    "core/base": 0,
    "core/lang": 1,
    "core/grid": 1,
    "core/app": 2,
    "core/inspection": 3,
    "core/comm": 3,
    "core/structfile": 4,
    "core/instrument": 4,
    "core/session": 5,
    "sim": 6,
    "print": 6,
    "ui": 7,
    "apps": 8,
    "tools": 8,
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
QT_INCLUDE = re.compile(r"^\s*#\s*include\s+<Q")


def layer_of_header(include):
    """The folder an include such as "core/app/Workspace.h" names, or None for a local one."""
    parts = include.split("/")
    if len(parts) < 2:
        return None
    if parts[0] == "core":
        return "core/" + parts[1] if len(parts) > 2 else "core"
    return parts[0]


def layer_of_source(root, path):
    rel = path.relative_to(root).parts
    if rel[0] in ("apps", "tools"):
        return rel[0]
    if rel[1] == "core":
        return "core/" + rel[2] if len(rel) > 3 else "core"
    return rel[1]


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    problems = []
    sources = [p for base in ("src", "apps", "tools") for p in sorted((root / base).rglob("*"))
               if p.suffix in (".h", ".cpp")]
    for path in sources:
        layer = layer_of_source(root, path)
        rel = path.relative_to(root)
        if layer not in RANKS:
            problems.append(f"{rel}: folder {layer} has no rank; add it to RANKS in "
                            f"scripts/check-layers.py and to docs/architecture.md")
            continue
        qt_free = layer.startswith("core/") or layer == "sim"
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            if qt_free and QT_INCLUDE.match(line):
                problems.append(f"{rel}:{number}: {layer} is plain C++ without Qt: {line.strip()}")
            m = INCLUDE.match(line)
            if not m:
                continue
            target = layer_of_header(m.group(1))
            if target is None or target == layer:
                continue
            if ".." in m.group(1).split("/"):
                problems.append(f"{rel}:{number}: include by relative path: {m.group(1)}")
            elif target not in RANKS:
                problems.append(f"{rel}:{number}: {layer} includes {m.group(1)}, which is not "
                                f"part of the program")
            elif RANKS[target] >= RANKS[layer]:
                problems.append(f"{rel}:{number}: {layer} includes {m.group(1)}: {target} is "
                                f"not below {layer}")
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) against the layers; see docs/architecture.md")
        return 1
    print(f"{len(sources)} files: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
