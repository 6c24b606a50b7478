#!/usr/bin/python3
"""Compiles every source of the program with clang for Windows and runs
clang-tidy over it, in one pass: clang-tidy parses each source with clang,
and the build's warning flags (warnings as errors) make clang's own warnings
findings too. The sources and their flags come from the Windows build's
compile_commands.json, so nothing relies on one compiler's leniency.

A source passes once for its inputs: when the source, every header it reads,
its flags, the repository's .clang-tidy and the tools are all as they were at
its last clean pass, it is not checked again.

    tools/clang_check.py BUILD_FOLDER
"""
import glob
import hashlib
import json
import os
import shlex
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

build = os.path.abspath(sys.argv[1])
root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
cxx = sorted(glob.glob("/usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++"))[0]
extra = ["--target=x86_64-w64-mingw32", "-isystem", cxx, "-isystem", cxx + "/x86_64-w64-mingw32"]
tools = subprocess.run(["clang-tidy", "--version"], capture_output=True, text=True).stdout
passed = os.path.join(build, "clang-check")
os.makedirs(passed, exist_ok=True)


def inputs_key(entry):
    """A digest of everything the check of one source depends on."""
    digest = hashlib.sha256((entry["command"] + tools + open(__file__).read()).encode())
    arguments = shlex.split(entry["command"])
    depfile = os.path.join(entry["directory"], arguments[arguments.index("-o") + 1] + ".d")
    with open(depfile) as dependencies:
        files = dependencies.read().replace("\\\n", " ").split()[1:]
    for path in [os.path.join(root, ".clang-tidy")] + files:
        with open(os.path.join(entry["directory"], path), "rb") as content:
            digest.update(content.read())
    return digest.hexdigest()


def check(entry):
    """None when the source is clean, else what clang and clang-tidy said."""
    database = entry["database"]
    key = inputs_key(entry)
    stamp = os.path.join(passed, hashlib.sha256(entry["file"].encode()).hexdigest())
    if os.path.exists(stamp) and open(stamp).read() == key:
        return None, False
    # clang's own warnings count only as checks of their own.
    command = ["clang-tidy", "--quiet", "--checks=clang-diagnostic-*", "-p", database, entry["file"]]
    command += ["--extra-arg-before=" + argument for argument in extra]
    # The exe's own build optimises at link time with g++'s flags, which clang
    # does not know; they change nothing in the compile.
    command += ["--extra-arg=-Wno-ignored-optimization-argument"]
    result = subprocess.run(command, capture_output=True, text=True, cwd=root)
    if result.returncode != 0:
        return result.stdout + result.stderr, True
    with open(stamp, "w") as out:
        out.write(key)
    return None, True


# The test programs' build, and the build of the exe inside it (its own
# compiler): a source that only the exe uses is in the second one alone.
entries, seen = [], set()
for folder in (build, os.path.join(build, "program")):
    if not os.path.exists(os.path.join(folder, "compile_commands.json")):
        continue
    with open(os.path.join(folder, "compile_commands.json")) as database:
        for e in json.load(database):
            if e["file"].startswith(root + "/src/") and e["file"] not in seen:
                seen.add(e["file"])
                entries.append(dict(e, database=folder))
with ThreadPoolExecutor(max_workers=2) as pool:
    results = list(pool.map(check, entries))
failed = [entry["file"] for entry, (output, _) in zip(entries, results) if output]
for output, _ in results:
    if output:
        print(output)
checked = sum(1 for _, ran in results if ran)
print(f"clang and clang-tidy for Windows: {len(entries) - len(failed)} of {len(entries)} sources "
      f"clean ({checked} checked now, the others unchanged since their last clean check)")
sys.exit(1 if failed or not entries else 0)
