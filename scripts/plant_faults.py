#!/usr/bin/env python3
"""Plants one small fault at a time in the sources and checks that the suite
notices it.

    scripts/plant_faults.py [--seed S --count N | --all] [--files PATTERN...]
                            [--lines FILE:LINE...]

Each fault flips one operator or constant on one line (== and !=, < and <=,
> and >=, && and ||, true and false, + 1 and + 0, - 1 and - 0) in the .cpp
files of platform/, engine/ and patcher/. For each fault the script rebuilds,
runs the test program of the file's own layer first (a failure there is
confirmed by running the failing tests through ctest) and, if that passes,
the whole suite. A fault that does not compile is not counted. The source is
restored after every fault, also when the script is interrupted.

The build goes to build/faults (Release, gold linker: a fault costs seconds).
Output: one line per fault, "caught", "MISSED" or "nocompile", the place and
the line before and after; then the share caught.
"""
import argparse
import fnmatch
import os
import random
import re
import signal
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LAYERS = ["platform", "engine", "patcher"]
OPERATORS = [
    (r"==", "!="), (r"!=", "=="), (r"<=", "<"), (r">=", ">"),
    (r"&&", "||"), (r"\|\|", "&&"), (r"\btrue\b", "false"),
    (r"\bfalse\b", "true"), (r"\+ 1\b", "+ 0"), (r"- 1\b", "- 0"),
]


def sources(patterns):
    found = []
    for layer in LAYERS:
        for name in sorted(os.listdir(os.path.join(ROOT, layer))):
            path = f"{layer}/{name}"
            if not name.endswith(".cpp") or "win32" in name:
                continue
            if patterns and not any(fnmatch.fnmatch(path, p) for p in patterns):
                continue
            found.append(path)
    return found


def candidates(paths):
    """Every place a fault can go: (file, line index, start, end, replacement)."""
    result = []
    for path in paths:
        with open(os.path.join(ROOT, path)) as f:
            lines = f.read().split("\n")
        for i, line in enumerate(lines):
            stripped = line.strip()
            if not stripped or stripped.startswith("//") or stripped.startswith("#"):
                continue
            for pattern, replacement in OPERATORS:
                for m in re.finditer(pattern, line):
                    before = line[: m.start()]
                    # Inside a string literal or a trailing comment: not code.
                    if before.count('"') % 2 == 1 or "//" in before:
                        continue
                    result.append((path, i, m.start(), m.end(), replacement))
    return result


def run(cmd, cwd=ROOT, timeout=None):
    try:
        return subprocess.run(cmd, cwd=cwd, capture_output=True, text=True, errors="replace",
                              timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


def configure(build):
    if os.path.exists(os.path.join(build, "build.ninja")):
        return
    r = run(["cmake", "-S", ROOT, "-B", build, "-G", "Ninja",
             "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold"])
    if r is None or r.returncode != 0:
        sys.exit("configure failed:\n" + (r.stderr if r else ""))


def failing_tests(output):
    return re.findall(r"^\[  FAILED  \] (\S+\.\S+)", output, re.M)


def verdict(build, layer, timeout):
    """'caught', 'MISSED' or 'nocompile' for the tree as it stands."""
    program = f"tests/{layer}/tests_{layer}"
    r = run(["cmake", "--build", build, "--target", program.split("/")[-1]])
    if r is None or r.returncode != 0:
        return "nocompile"
    quick = run([os.path.join(build, program)],
                cwd=os.path.join(build, "tests", layer), timeout=timeout)
    if quick is None:
        return "caught"  # a hang: the suite's timeout ends it as a failure
    if quick.returncode != 0:
        names = failing_tests(quick.stdout)
        if names:
            pattern = "|".join("^" + re.escape(n) + "$" for n in names[:20])
            confirm = run(["ctest", "--timeout", str(timeout), "-R", pattern],
                          cwd=build, timeout=timeout * 4)
            if confirm is None or confirm.returncode != 0:
                return "caught"
        else:
            return "caught"  # crashed before naming a test
    r = run(["cmake", "--build", build])
    if r is None or r.returncode != 0:
        return "nocompile"
    whole = run(["ctest", "-j2", "--timeout", str(timeout)], cwd=build,
                timeout=timeout * 20)
    return "caught" if whole is None or whole.returncode != 0 else "MISSED"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seed", type=int, default=16)
    parser.add_argument("--count", type=int, default=60)
    parser.add_argument("--all", action="store_true", help="every place, in order")
    parser.add_argument("--files", nargs="*", default=[], help="glob patterns")
    parser.add_argument("--lines", nargs="*", default=[],
                        help="only these lines, as layer/file.cpp:LINE (implies --all)")
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "faults"))
    parser.add_argument("--timeout", type=int, default=60)
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)

    places = candidates(sources(args.files))
    if args.lines:
        wanted = set(args.lines)
        places = [p for p in places if f"{p[0]}:{p[1] + 1}" in wanted]
    elif not args.all:
        random.Random(args.seed).shuffle(places)
        places = places[: args.count]
    print(f"{len(places)} faults to plant", flush=True)
    configure(args.build)
    if run(["cmake", "--build", args.build]).returncode != 0:
        sys.exit("the unchanged tree does not build")

    counts = {"caught": 0, "MISSED": 0, "nocompile": 0}
    current = {}

    def restore(*_):
        for path, text in current.items():
            with open(os.path.join(ROOT, path), "w") as f:
                f.write(text)
        current.clear()

    def interrupted(*_):
        restore()
        sys.exit(130)

    signal.signal(signal.SIGINT, interrupted)
    signal.signal(signal.SIGTERM, interrupted)
    for path, i, start, end, replacement in places:
        full = os.path.join(ROOT, path)
        with open(full) as f:
            text = f.read()
        lines = text.split("\n")
        original = lines[i]
        lines[i] = original[:start] + replacement + original[end:]
        current[path] = text
        try:
            with open(full, "w") as f:
                f.write("\n".join(lines))
            status = verdict(args.build, path.split("/")[0], args.timeout)
        finally:
            restore()
        counts[status] += 1
        print(status, f"{path}:{i + 1}", repr(original.strip()), "->",
              repr(lines[i].strip()), flush=True)
    run(["cmake", "--build", args.build])
    planted = counts["caught"] + counts["MISSED"]
    share = 100.0 * counts["caught"] / planted if planted else 100.0
    print(f"caught {counts['caught']} of {planted} ({share:.1f} %), "
          f"{counts['nocompile']} did not compile", flush=True)


if __name__ == "__main__":
    main()
