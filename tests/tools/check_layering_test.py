#!/usr/bin/env python3
"""The layering check against small planted trees of the game's rooms: each row is one
include in an otherwise clean tree and whether the check must refuse it."""
import os
import subprocess
import sys
import tempfile

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "check_layering.py")
HEADERS = ["game/ids.h", "game/app.h", "game/files/a.h", "game/widgets/w.h", "game/objects/o.h", "game/play/p.h",
           "game/scenes/s.h", "game/screen/d.h"]
ROWS = [  # (file, the header it includes, refused)
    ("game/play/x.cpp", "game/files/a.h", False),
    ("game/files/x.cpp", "game/ids.h", False),
    ("game/objects/x.cpp", "game/play/p.h", False),
    ("game/play/x.cpp", "game/objects/o.h", False),
    ("game/screen/x.cpp", "game/play/p.h", False),
    ("game/main.cpp", "game/app.h", False),
    ("game/files/x.cpp", "game/play/p.h", True),
    ("game/files/x.cpp", "game/widgets/w.h", True),
    ("game/widgets/x.cpp", "game/objects/o.h", True),
    ("game/play/x.cpp", "game/scenes/s.h", True),
    ("game/objects/x.cpp", "game/screen/d.h", True),
    ("game/scenes/x.cpp", "game/app.h", True),
    ("game/attic/x.cpp", "game/files/a.h", True),  # a room the table does not know
]


def refused(path, include):
    with tempfile.TemporaryDirectory() as root:
        for name, text in [(h, "#pragma once\n") for h in HEADERS] + [(path, f'#include "{include}"\n')]:
            os.makedirs(os.path.join(root, os.path.dirname(name)), exist_ok=True)
            with open(os.path.join(root, name), "w") as f:
                f.write(text)
        return subprocess.run([sys.executable, CHECK, root], capture_output=True).returncode != 0


def main():
    wrong = [(p, i, r) for p, i, r in ROWS if refused(p, i) != r]
    for p, i, r in wrong:
        print(f"{p} including {i}: {'passed' if r else 'refused'}", file=sys.stderr)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
