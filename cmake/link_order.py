#!/usr/bin/env python3
"""Orders the shared libraries a program loads so that the dynamic loader finds symbols sooner.

The loader resolves every symbol by walking the libraries in load order until one defines it.
libmpv brings some two hundred libraries, so a program linked the usual way spends tens of
milliseconds of its start walking that list. Listing the libraries that are bound to most often
first cuts the walk, without changing which library any symbol binds to: two libraries that
define a symbol in common keep their order.

  link_order.py order PROGRAM OUTPUT   write linker arguments for PROGRAM's libraries to OUTPUT
  link_order.py compare NATURAL ORDERED  exit 1 if any symbol binds elsewhere in ORDERED

Anything this script cannot work out leaves OUTPUT empty: the program is then linked as usual.
"""
import collections
import os
import re
import subprocess
import sys

BINDING = re.compile(
    r"binding file (\S+) \[\d+\] to (\S+) \[\d+\]: \w+ symbol `([^']+)'(?: \[(\S+)\])?")
LOADED = re.compile(r"^\s*(\S+) => (\S+) \(0x[0-9a-f]+\)$")


def loader_env(**extra):
    env = {k: v for k, v in os.environ.items() if not k.startswith("LD_")}
    env.update(LD_TRACE_LOADED_OBJECTS="1", **extra)
    return env


def load_order(program):
    """The libraries in the order the loader searches them (ldd's order), as resolved paths."""
    out = subprocess.run([program], env=loader_env(), capture_output=True, text=True, check=True)
    return [m.group(2) for m in map(LOADED.match, out.stdout.splitlines()) if m]


def bindings(program):
    """(referring object, symbol, version, defining object) for every symbol the loader binds."""
    out = subprocess.run([program], env=loader_env(LD_WARN="yes", LD_BIND_NOW="yes",
                                                    LD_DEBUG="bindings"),
                         capture_output=True, text=True, check=True)
    program = os.path.realpath(program)

    def name(path):
        real = os.path.realpath(path)
        return "PROGRAM" if real == program else real if "/" in path else path

    found = set()
    for m in map(BINDING.search, out.stderr.splitlines()):
        if not m:
            continue
        referrer, target = (name(p) for p in (m.group(1), m.group(2)))
        found.add((referrer, m.group(3), m.group(4) or "", target))
    return found


def defined_symbols(library):
    out = subprocess.run(["nm", "-D", "--defined-only", library], capture_output=True, text=True,
                         check=True)
    names = set()
    for line in out.stdout.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[1] != "A":
            names.add(parts[2].split("@")[0])
    return names


def cached_libraries():
    """Paths the loader finds by name alone; only those may be named on the link line."""
    out = subprocess.run(["ldconfig", "-p"], capture_output=True, text=True, check=True)
    return {os.path.realpath(line.rsplit("=> ", 1)[1].strip())
            for line in out.stdout.splitlines() if "=> " in line}


def ordered(natural, counts, symbols, listable):
    """Most-bound first, each after the libraries it shares a symbol with that load before it
    now; a library that cannot be listed keeps its place, and so does whatever must follow it."""
    before = {lib: set() for lib in natural}
    for i, later in enumerate(natural):
        for earlier in natural[:i]:
            if symbols[earlier] & symbols[later]:
                before[later].add(earlier)
    stuck = set()
    for lib in natural:
        if lib not in listable or before[lib] & stuck:
            stuck.add(lib)
    result = []

    def place(lib):
        if lib in result:
            return
        for earlier in sorted(before[lib], key=natural.index):
            place(earlier)
        result.append(lib)

    for lib in sorted((lib for lib in natural if lib not in stuck), key=lambda lib: -counts[lib]):
        place(lib)
    return result


def order(program, output):
    arguments = ""
    try:
        natural = [os.path.realpath(p) for p in load_order(program)]
        natural = [p for p in natural if "ld-linux" not in os.path.basename(p)]
        counts = collections.Counter(target for *_, target in bindings(program))
        symbols = {lib: defined_symbols(lib) for lib in natural}
        libs = ordered(natural, counts, symbols, cached_libraries())
        if libs:
            listed = "\n".join(libs)
            arguments = f"-Wl,--push-state,--no-as-needed\n{listed}\n-Wl,--pop-state\n"
    except (OSError, subprocess.CalledProcessError, ValueError) as error:
        print(f"link_order.py: linking {program} as usual: {error}", file=sys.stderr)
    with open(output, "w") as f:
        f.write(arguments)


def compare(natural, reordered):
    moved = bindings(natural) ^ bindings(reordered)
    for referrer, symbol, version, target in sorted(moved)[:20]:
        print(f"{referrer}: {symbol} {version} -> {target}")
    return 1 if moved else 0


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "order":
        order(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "compare":
        sys.exit(compare(sys.argv[2], sys.argv[3]))
    else:
        sys.exit(__doc__)
