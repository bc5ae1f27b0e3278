#!/usr/bin/env python3
"""Numbers the source lines of the game in generated form.

Each line of a game subroutine starts with `__dLn(0, N);`, N being the line's
index in the BASIC source. When editing, write `__dLn(0, @);` for new lines
and run this script on the changed files: it numbers every line of each
subroutine consecutively from the subroutine's first line and checks that
the subroutine ends on its last line. With --check it only verifies.

Usage: tools/number_game_lines.py [--check] game/*.cpp
"""
import re
import sys

RANGES = {
    "__MainGameSub_": (0, 150), "level": (162, 188), "zorvelin": (197, 304),
    "einsammeln": (313, 382), "gegner1": (391, 413), "gegner2": (422, 456),
    "gegner_vom_typ3": (465, 494), "leben": (504, 513), "intro": (523, 554),
    "gefangen": (575, 603), "verloren": (614, 642), "nextlevel": (653, 704),
    "gewonnen": (716, 743), "music": (754, 778), "vogel": (796, 825),
}

LINE = re.compile(r"__dLn\(0, (@|\d+)\);")
FUNCTION = re.compile(r"^void (\w+)\(\)$")


def number(path, check):
    ok = True
    lines = open(path).read().split("\n")
    current, next_line = None, None

    def finish():
        nonlocal ok
        if current is not None and next_line != RANGES[current][1] + 1:
            print(f"{path}: {current} has {next_line - RANGES[current][0]} lines, "
                  f"needs {RANGES[current][1] - RANGES[current][0] + 1}")
            ok = False

    for k, text in enumerate(lines):
        m = FUNCTION.match(text)
        if m and m.group(1) in RANGES:
            finish()
            current, next_line = m.group(1), RANGES[m.group(1)][0]
            continue
        if current is None:
            continue
        for found in LINE.finditer(text):
            if check and found.group(1) != str(next_line):
                print(f"{path}:{k + 1}: expected line {next_line}, found {found.group(1)}")
                ok = False
            next_line += 1
        if check:
            continue
        counter = [next_line - len(LINE.findall(text))]

        def replace(_):
            value = counter[0]
            counter[0] += 1
            return f"__dLn(0, {value});"
        lines[k] = LINE.sub(replace, text)
    finish()
    if not check:
        open(path, "w").write("\n".join(lines))
    return ok


if __name__ == "__main__":
    check = "--check" in sys.argv
    files = [a for a in sys.argv[1:] if a != "--check"]
    sys.exit(0 if all([number(f, check) for f in files]) else 1)
