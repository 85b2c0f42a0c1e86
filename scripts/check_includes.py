#!/usr/bin/env python3
"""Fails when a file includes from a higher layer than its own folder's.

The layer order stands in src/layers.txt. A file's folder is its first
folder under src/, tests/ or bench/ (platform/<name> under platform/);
tests/ and bench/ mirror src/. Only quoted includes with a folder are
read: a bare name is the file's own folder. Test helpers outside any
mirrored folder (tests/support/) and includes of them are not layers and
are not checked.
"""

import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
TREES = ("src", "tests", "bench")
SUFFIXES = {".h", ".hpp", ".c", ".cc", ".cpp"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
ENTRY = "the program entry"


def read_layers(path):
    layers = []
    for line in path.read_text().splitlines():
        line = line.strip()
        if line and not line.startswith("#"):
            layers.append(line)
    return layers


def folder_of(parts):
    """The layer folder named by leading path parts, or None."""
    if len(parts) >= 2 and parts[0] == "platform":
        return "platform/" + parts[1]
    return parts[0]


def main(argv):
    root = pathlib.Path(argv[1]).resolve() if len(argv) > 1 else ROOT
    layers = read_layers(root / "src" / "layers.txt")
    rank = {name: i for i, name in enumerate(layers)}
    rank[ENTRY] = len(layers)
    src_folders = {folder_of(p.relative_to(root / "src").parts)
                   for p in (root / "src").rglob("*/*")
                   if p.is_file() and p.suffix in SUFFIXES}

    problems = []
    edges = {}  # (from folder, to folder) -> the first file and include seen
    for tree in TREES:
        base = root / tree
        for path in sorted(base.rglob("*")):
            if not path.is_file() or path.suffix not in SUFFIXES:
                continue
            rel = path.relative_to(base).parts
            name = path.relative_to(root).as_posix()
            if len(rel) == 1:
                if tree != "src":
                    continue
                own = ENTRY
            else:
                own = folder_of(rel)
                if own not in rank:
                    if tree == "src":
                        problems.append(f"{name}: folder {own} is not in src/layers.txt")
                    continue
            for line in path.read_text(errors="replace").splitlines():
                m = INCLUDE.match(line)
                if not m or "/" not in m.group(1):
                    continue
                include = m.group(1)
                target = folder_of(include.split("/"))
                if target not in rank:
                    if target in src_folders:
                        problems.append(f'{name}: includes "{include}": folder {target} '
                                        "is not in src/layers.txt")
                    continue
                if target == own:
                    continue
                edges.setdefault((own, target), f'{name} -> "{include}"')
                if rank[target] > rank[own]:
                    problems.append(f'{name}: includes "{include}": {own} must not include '
                                    f"from {target}, a higher layer")

    for (a, b), seen in sorted(edges.items()):
        if a < b and (b, a) in edges:
            problems.append(f"{a} and {b} include each other: {seen}; {edges[(b, a)]}")

    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f"Include check failed: {len(problems)} problem(s); the order is in "
              "src/layers.txt.", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
