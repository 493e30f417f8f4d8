#!/usr/bin/env python3
"""The layering check of the product code.

Every #include "..." of a product folder must point to its own folder or to one that the
table below allows. Given the build's list of library targets (morna_layers.txt, written by
CMake), it also checks that the targets form no cycle, that each links only targets of
allowed folders, that every header a file includes belongs to its own target or to one that
target links (directly or not), that the drawing base and the blit families link none of the
window, font and picture libraries and only targets linking them include their headers, and,
reading the built archives with nm, that no library takes a symbol from a library it does not
link.

    check_layering.py [--layers BUILD/morna_layers.txt] [--list] [ROOT]

--list prints the targets with their direct links and the folder edges the includes use.
"""
import argparse
import os
import re
import subprocess
import sys
from collections import defaultdict

# The product folders, and the folders each may use besides itself (DESIGN.md's layout).
# "blit/*" stands for every blit family. Tests, benchmarks and fuzz targets may use anything.
FOUNDATION = ["foundation/vtl", "foundation/thread", "foundation/timer", "foundation/window",
              "foundation/auxiliary", "foundation/math", "foundation/appframe", "foundation/input"]
ALLOWED = {"platform": []}
for _i, _f in enumerate(FOUNDATION):  # each sub-folder uses only those before it
    ALLOWED[_f] = ["platform"] + FOUNDATION[:_i]
ALLOWED["draw/base"] = ["platform"] + FOUNDATION
ALLOWED["blit/*"] = ["draw/base"] + FOUNDATION
ALLOWED["draw"] = ["platform"] + FOUNDATION + ["draw/base", "blit/*"]
ALLOWED["sound"] = ["platform"] + FOUNDATION
_BELOW_FRAMEWORK = ["platform"] + FOUNDATION + ["draw/base", "blit/*", "draw", "sound"]
ALLOWED["framework"] = _BELOW_FRAMEWORK
# The game's rooms (one target holds them all): the files below everything, the text
# windows on them, the objects and the play state beside each other, the scenes and the
# frame's screen above them, and the app with the entry (game/ itself) on top.
# The game's identities (one header, game/ids.h) sit under every room.
IDS = "game/ids.h"
ALLOWED["game/ids"] = _BELOW_FRAMEWORK + ["framework"]
_BELOW_GAME = _BELOW_FRAMEWORK + ["framework", "game/ids"]
ALLOWED["game/files"] = _BELOW_GAME
ALLOWED["game/widgets"] = _BELOW_GAME + ["game/files"]
ALLOWED["game/objects"] = _BELOW_GAME + ["game/files", "game/widgets", "game/play"]
ALLOWED["game/play"] = _BELOW_GAME + ["game/files", "game/widgets", "game/objects"]
_GAME_MIDDLE = ["game/files", "game/widgets", "game/objects", "game/play"]
ALLOWED["game/scenes"] = _BELOW_GAME + _GAME_MIDDLE
ALLOWED["game/screen"] = _BELOW_GAME + _GAME_MIDDLE
GAME_ROOMS = _GAME_MIDDLE + ["game/scenes", "game/screen"]
ALLOWED["game"] = _BELOW_GAME + GAME_ROOMS
# Libraries that make or check data, for the tests and the data tools.
ALLOWED["tools"] = _BELOW_GAME + ["game"] + GAME_ROOMS

# Folders whose targets must not link the window, font and picture libraries.
LEAN = ["draw/base", "blit/*"]
WINDOW_FONT_PICTURE = {"PkgConfig::SDL2", "PkgConfig::SDL2_IMAGE", "PkgConfig::FREETYPE",
                       "PkgConfig::FONTCONFIG", "PkgConfig::HARFBUZZ"}
# Their headers: only a target that links them includes them.
WINDOW_FONT_PICTURE_HEADER = re.compile(r"(SDL2?/|SDL[_.]|ft2build\.h|freetype/|fontconfig/|hb[.-]|harfbuzz/)")
# Headers of the libraries behind the platform layer: only platform/ includes them.
BACKING_HEADER = re.compile(r"(SDL2?/|SDL[_.]|ft2build\.h|freetype/|fontconfig/|hb[.-]|harfbuzz/|mpg123\.h|"
                            r"fluidsynth|sndfile|curl/|gtk/|X11/)")
SOURCE = re.compile(r"\.(c|cc|cpp|h|hpp)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]', re.M)


def folder_of(path):
    """The table's folder of a tree path (longest match), or None outside the product."""
    if path == IDS:
        return "game/ids"
    parts = path.split("/")
    best = None
    for key in ALLOWED:
        k = key.split("/")
        if len(k) < len(parts) and all(a == b or a == "*" for a, b in zip(k, parts)):
            if best is None or len(k) > len(best.split("/")):
                best = key
    return best


def allowed(src, dst):
    return src == dst or dst in ALLOWED[src]


def read_layers(path):
    targets, files, links, archives = [], {}, defaultdict(list), {}
    with open(path) as f:
        for line in f:
            kind, name, *rest = line.split()
            if kind == "library":
                targets.append(name)
            elif kind == "file":
                files[rest[0]] = name
            elif kind == "link":
                links[name].append(rest[0])
            elif kind == "archive":
                archives[name] = rest[0]
    return targets, files, links, archives


def closure(target, links, targets):
    seen, todo = set(), [target]
    while todo:
        for dep in links.get(todo.pop(), []):
            if dep not in seen:
                seen.add(dep)
                if dep in targets:
                    todo.append(dep)
    return seen


def find_cycle(targets, links):
    state = {}

    def visit(t, path):
        state[t] = 1
        for d in links.get(t, []):
            if d not in targets:
                continue
            if state.get(d) == 1:
                return path[path.index(d):] + [d]
            if d not in state and (c := visit(d, path + [d])):
                return c
        state[t] = 2
        return None

    for t in targets:
        if t not in state and (c := visit(t, [t])):
            return c
    return None


def nm_symbols(archive):
    """(defined, undefined) global symbols of an archive, mangled."""
    out = subprocess.run(["nm", "-g", "-P", archive], capture_output=True, text=True, check=True).stdout
    defined, undefined = set(), set()
    for line in out.splitlines():
        f = line.split()
        if len(f) < 2 or line.endswith(":"):
            continue
        (undefined if f[1] == "U" else defined).add(f[0])
    return defined, undefined - defined


def demangle(symbol):
    r = subprocess.run(["c++filt", symbol], capture_output=True, text=True)
    return r.stdout.strip() or symbol


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("root", nargs="?", default=os.path.join(os.path.dirname(__file__), ".."))
    ap.add_argument("--layers", help="morna_layers.txt of a configured build")
    ap.add_argument("--list", action="store_true")
    args = ap.parse_args()
    root = os.path.abspath(args.root)
    errors = []

    targets, owner, links, archives = read_layers(args.layers) if args.layers else ([], {}, {}, {})
    target_set = set(targets)
    closures = {t: closure(t, links, target_set) for t in targets}

    # Includes.
    edges = defaultdict(int)
    checked = 0
    for top in sorted({k.split("/")[0] for k in ALLOWED}):
        for dirpath, _, names in os.walk(os.path.join(root, top)):
            for name in sorted(names):
                if not SOURCE.search(name):
                    continue
                path = os.path.relpath(os.path.join(dirpath, name), root)
                here = folder_of(path)
                if here is None or (here == "game" and path.count("/") > 1):
                    errors.append(f"{path}: its folder has no row in the layering table")
                    continue
                with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for m in INCLUDE.finditer(text):
                    line = text.count("\n", 0, m.start()) + 1
                    where = f"{path}:{line}: {m.group(2)}"
                    if m.group(1) == "<":
                        if here != "platform" and BACKING_HEADER.match(m.group(2)):
                            errors.append(f"{where}: only platform/ uses the libraries behind it")
                        mine = owner.get(path)
                        if (mine and WINDOW_FONT_PICTURE_HEADER.match(m.group(2))
                                and not closures[mine] & WINDOW_FONT_PICTURE):
                            errors.append(f"{where}: {mine} does not link the window, font and picture libraries")
                        continue
                    inc = m.group(2)
                    if not os.path.isfile(os.path.join(root, inc)):
                        local = os.path.normpath(os.path.join(os.path.dirname(path), inc))
                        if not os.path.isfile(os.path.join(root, local)):
                            errors.append(f"{where}: not a file of the tree")
                            continue
                        inc = local
                    checked += 1
                    there = folder_of(inc)
                    if there is None or not allowed(here, there):
                        errors.append(f"{where}: {here} may not use {there or os.path.dirname(inc)}")
                        continue
                    if here != there:
                        edges[(here, there)] += 1
                    mine, theirs = owner.get(path), owner.get(inc)
                    if mine and theirs and theirs != mine and theirs not in closures[mine]:
                        errors.append(f"{where}: {mine} does not link {theirs}")
    if checked == 0:
        errors.append(f"no include found under {root}")

    # Targets: their folders, links, cycles.
    files_of = defaultdict(list)
    for path, t in owner.items():
        files_of[t].append(path)
    folders = {t: {folder_of(p) for p in files_of[t]} for t in targets}
    for t in targets:
        for dep in links.get(t, []):
            if dep in target_set:
                for a in folders[t]:
                    for b in folders[dep]:
                        if a and b and not allowed(a, b):
                            errors.append(f"{t} links {dep}: {a} may not use {b}")
        if folders[t] & set(LEAN):
            heavy = sorted(closures[t] & WINDOW_FONT_PICTURE)
            if heavy:
                errors.append(f"{t} reaches {', '.join(heavy)}: link the foundation sub-targets it uses, "
                              "not morna_foundation (its window brings them)")
    cycle = find_cycle(targets, links)
    if cycle:
        errors.append("link cycle: " + " -> ".join(cycle))

    # Symbols: what each archive takes from another must come from one it links.
    symbols = {t: nm_symbols(a) for t, a in archives.items() if os.path.isfile(a)}
    defined_in = defaultdict(set)
    for t, (defined, _) in symbols.items():
        for s in defined:
            defined_in[s].add(t)
    for t, (_, needed) in symbols.items():
        for s in sorted(needed):
            homes = defined_in.get(s)
            if homes and not homes & closures[t]:
                errors.append(f"{t} uses {demangle(s)}, defined in {', '.join(sorted(homes))} which it does not link")

    if args.list:
        for t in targets:
            deps = [d for d in links.get(t, []) if d in target_set]
            print(f"{t} -> {', '.join(deps) if deps else '(none)'}")
        print()
        for (a, b), n in sorted(edges.items()):
            print(f"{a} -> {b} ({n})")
    for e in errors:
        print(e, file=sys.stderr)
    print(f"layering: {checked} includes, {len(targets)} targets, {len(symbols)} archives checked; "
          f"{len(errors)} problems", file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
