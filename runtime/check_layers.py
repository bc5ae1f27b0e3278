#!/usr/bin/env python3
"""Checks that the runtime's folders depend on each other in one direction.

runtime/layers.txt lists the folders from the bottom up; a folder may
include and call only the folders listed before it.

  check_layers.py includes <runtime folder> <stamp>
      every #include "<folder>/..." in runtime/<folder>/ (and below it)
  check_layers.py symbols <nm> <stamp> --layer <folder> <object>... ...
  check_layers.py symbols <nm> <stamp> @<file with those words, one a line>
      every symbol an object needs that another folder's object defines

Either prints each upward edge with the rule it breaks and exits 1, or
touches the stamp file.
"""
import os
import re
import subprocess
import sys

RUNTIME = os.path.dirname(os.path.abspath(__file__))
INCLUDE = re.compile(r'^\s*#\s*include\s*"([a-z0-9_]+)/[^"]+"')


def read_layers():
    with open(os.path.join(RUNTIME, "layers.txt"), encoding="utf-8") as listing:
        return [line.strip() for line in listing if line.strip() and not line.startswith("#")]


def rule(layers):
    return ("each runtime folder uses only the folders below it "
            "(runtime/layers.txt, bottom first: " + " < ".join(layers) + ")")


def upward_includes(runtime, layers):
    rank = {name: index for index, name in enumerate(layers)}
    found = []
    for folder in layers:
        for directory, _, files in os.walk(os.path.join(runtime, folder)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp", ".inc", ".def")):
                    continue
                path = os.path.join(directory, name)
                with open(path, encoding="latin-1") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if match and match.group(1) in rank and rank[match.group(1)] > rank[folder]:
                            found.append("%s:%d: %s/ may not include %s/ (%s)" % (
                                os.path.relpath(path, os.path.dirname(runtime)), number, folder,
                                match.group(1), line.strip()))
    return found


def symbols_of(nm, objects):
    """(strong definitions, undefined symbols) of each object."""
    result = {}
    for path in objects:
        output = subprocess.run([nm, path], check=True, capture_output=True, text=True).stdout
        defined, needed = set(), set()
        for line in output.splitlines():
            # "<address> <type> <name>", or "U <name>" for what it needs
            fields = line.split()
            if len(fields) < 2:
                continue
            kind, name = fields[-2], fields[-1]
            if kind == "U":
                needed.add(name)
            elif kind in "TDBRGS":
                defined.add(name)
        result[path] = (defined, needed)
    return result


def demangle(names):
    try:
        output = subprocess.run(["c++filt"], input="\n".join(names), check=True,
                                capture_output=True, text=True).stdout
        return output.splitlines()
    except (OSError, subprocess.CalledProcessError):
        return names


def upward_symbols(nm, layer_objects, layers):
    rank = {name: index for index, name in enumerate(layers)}
    objects = [path for paths in layer_objects.values() for path in paths]
    table = symbols_of(nm, objects)
    owner = {}
    for folder, paths in layer_objects.items():
        for path in paths:
            for name in table.get(path, (set(), set()))[0]:
                owner.setdefault(name, (folder, path))
    found = []
    for folder, paths in layer_objects.items():
        for path in paths:
            upward = sorted(name for name in table.get(path, (set(), set()))[1]
                            if name in owner and rank[owner[name][0]] > rank[folder])
            for name, readable in zip(upward, demangle(upward)):
                found.append("%s (%s/) needs %s, defined in %s (%s/)" % (
                    os.path.basename(path), folder, readable, os.path.basename(owner[name][1]),
                    owner[name][0]))
    return found


def main(arguments):
    layers = read_layers()
    if len(arguments) >= 3 and arguments[0] == "includes":
        found, stamp = upward_includes(arguments[1], layers), arguments[2]
    elif len(arguments) >= 3 and arguments[0] == "symbols":
        nm, stamp = arguments[1], arguments[2]
        listed = arguments[3:]
        if len(listed) == 1 and listed[0].startswith("@"):
            with open(listed[0][1:], encoding="utf-8") as listing:
                listed = [line.strip() for line in listing if line.strip()]
        layer_objects, current = {}, None
        for argument in listed:
            if argument == "--layer":
                current = None
            elif current is None:
                if argument not in layers:
                    print("check_layers.py: %s is not in runtime/layers.txt" % argument)
                    return 2
                current = argument
                layer_objects.setdefault(current, [])
            else:
                layer_objects[current].append(argument)
        found = upward_symbols(nm, layer_objects, layers)
    else:
        print(__doc__)
        return 2
    if found:
        print("A runtime folder points up: " + rule(layers) + ".")
        for line in found:
            print("  " + line)
        print("Move the code to the folder it belongs to, or let the upper folder register a hook.")
        return 1
    with open(stamp, "w", encoding="utf-8"):
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
