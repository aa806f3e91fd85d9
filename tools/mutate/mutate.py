#!/usr/bin/env python3
"""Mutation check: plants one listed fault at a time in a copy of the tree,
rebuilds Release, runs CTest and reports which faults the tests notice.

The copy and its build folder (build-mutate/ by default) persist between
runs, so every rebuild is incremental. Mutants are listed in mutants.txt.
Exit status 1 when a selected mutant survives, is stale or does not build.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
LIST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "mutants.txt")
FOLDERS = ["position", "movegen", "search", "frontend", "platform"]
COPIED = ["CMakeLists.txt", "cmake", "src", "tests", "tools", "data"]
BENCH = "^bench_signature"


def unescape(text):
    """\\n is a newline, \\\\ a backslash (so C's "\\n" is written "\\\\n")."""
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), text)


def read_mutants(path):
    """Blocks of `key: value` lines separated by blank lines; '#' comments."""
    mutants, cur = [], {}
    with open(path, newline="") as f:
        lines = f.read().split("\n")
    for n, line in enumerate(lines + [""], 1):
        if line.startswith("#"):
            continue
        if not line.strip():
            if cur:
                mutants.append(cur)
                cur = {}
            continue
        key, sep, value = line.partition(": ")
        if not sep:
            sys.exit(f"{path}:{n}: expected 'key: value'")
        cur[key] = value
        cur.setdefault("line", n)
    for m in mutants:
        for key in ("id", "file", "find", "replace", "reason"):
            if key not in m:
                sys.exit(f"{path}:{m['line']}: mutant without {key}")
        m["find"], m["replace"] = unescape(m["find"]), unescape(m["replace"])
        m["replace"] = "" if m["replace"] == "<nothing>" else m["replace"]
    ids = [m["id"] for m in mutants]
    dupes = {i for i in ids if ids.count(i) > 1}
    if dupes:
        sys.exit(f"duplicate mutant ids: {', '.join(sorted(dupes))}")
    return mutants


def sync(src, dst):
    """Copies files whose content differs, so unchanged ones keep their times,
    and removes the copies of files the tree no longer has (a removed source
    left in the copy would still be globbed into the build)."""
    for top in COPIED:
        s = os.path.join(src, top)
        if os.path.isfile(s):
            pairs = [(s, os.path.join(dst, top))]
        else:
            pairs = []
            for d, _, files in os.walk(s):
                for name in files:
                    p = os.path.join(d, name)
                    pairs.append((p, os.path.join(dst, os.path.relpath(p, src))))
            kept = {b for _, b in pairs}
            for d, _, files in os.walk(os.path.join(dst, top)):
                for name in files:
                    if os.path.join(d, name) not in kept:
                        os.remove(os.path.join(d, name))
        for a, b in pairs:
            with open(a, "rb") as fa:
                data = fa.read()
            if os.path.exists(b):
                with open(b, "rb") as fb:
                    if fb.read() == data:
                        continue
            os.makedirs(os.path.dirname(b), exist_ok=True)
            with open(b, "wb") as fb:
                fb.write(data)


def run(cmd, timeout):
    """Runs cmd in its own process group; returns (status, output), status None on timeout."""
    p = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         start_new_session=True)
    try:
        out, _ = p.communicate(timeout=timeout)
        return p.returncode, out
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, 9)
        out, _ = p.communicate()
        return None, out


def failed_tests(output):
    return re.findall(r"^\s*\d+ - (\S+).*\((?:Failed|Timeout|SEGFAULT|Subprocess aborted|Not Run|Exception)",
                      output, re.M)


def ctest(build, jobs, timeout, select):
    # A mutant that stops a search from ending hangs an in-process unit test:
    # those have no timeout of their own, so give them one far above their
    # normal few seconds.
    status, out = run(["nice", "-n", "19", "ctest", "--test-dir", build, "--stop-on-failure",
                       "--timeout", "60", "-j", str(jobs)] + select, timeout)
    if status is None:
        return ["(ctest timeout)"]
    if status != 0:
        return failed_tests(out) or ["(ctest failed)"]
    return []


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--quick", action="store_true", help="only the mutants tagged quick")
    ap.add_argument("--only", help="comma-separated mutant ids")
    ap.add_argument("--list", default=LIST, help="mutant list (default: %(default)s)")
    ap.add_argument("--work", default=os.path.join(ROOT, "build-mutate"), help="copy and build folder")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--timeout", type=int, default=600, help="seconds for one CTest run")
    args = ap.parse_args()

    mutants = read_mutants(args.list)
    if args.quick:
        mutants = [m for m in mutants if "quick" in m.get("tags", "").split()]
    if args.only:
        wanted = set(args.only.split(","))
        mutants = [m for m in mutants if m["id"] in wanted]
    tree, build = os.path.join(args.work, "tree"), os.path.join(args.work, "build")
    os.makedirs(tree, exist_ok=True)
    sync(ROOT, tree)
    status, out = run(["cmake", "-S", tree, "-B", build, "-DCMAKE_BUILD_TYPE=Release", "-DMAVO_WERROR=OFF", "-DMAVO_PGO=OFF"], 600)
    if status != 0:
        sys.exit("cmake failed:\n" + out)

    def build_all():
        return run(["nice", "-n", "19", "cmake", "--build", build, "-j", str(args.jobs)], 1800)

    status, out = build_all()
    if status != 0:
        sys.exit("the unmutated tree does not build:\n" + out[-3000:])

    results = []
    for i, m in enumerate(mutants, 1):
        start = time.time()
        path = os.path.join(tree, m["file"])
        original = open(path, newline="").read() if os.path.exists(path) else ""
        found = original.count(m["find"])
        if found != 1:
            m["result"], m["detail"] = "STALE", f"text found {found} times in {m['file']}"
        else:
            with open(path, "w", newline="") as f:
                f.write(original.replace(m["find"], m["replace"]))
            status, out = build_all()
            if status != 0:
                m["result"], m["detail"] = "NOBUILD", "the mutated tree does not build"
            else:
                failed = ctest(build, args.jobs, args.timeout, ["-E", BENCH])
                bench_only = False
                if not failed:
                    failed = ctest(build, args.jobs, args.timeout, ["-R", BENCH])
                    bench_only = bool(failed)
                # The bench signature alone counts only for search-order mutants:
                # any other fault has a rule a test can name.
                order = "order" in m.get("tags", "").split()
                m["result"] = "killed" if failed and (order or not bench_only) else "SURVIVED"
                m["detail"] = ("bench only: " if bench_only else "") + ", ".join(failed[:3])
                if bench_only and not order:
                    m["detail"] += " (not a search-order mutant: needs a test)"
                m["bench_only"] = bench_only and order
            with open(path, "w", newline="") as f:
                f.write(original)
        folder = m["file"].split("/")[1] if m["file"].startswith("src/") else "other"
        m["folder"] = folder
        results.append(m)
        print(f"[{i}/{len(mutants)}] {m['id']}: {m['result']} {m['detail']} ({time.time() - start:.0f} s)",
              flush=True)
    build_all()  # leave the copy built unmutated

    print("\nkill table (killed/total; equivalent mutants not counted)")
    for folder in FOLDERS + ["other"]:
        ms = [m for m in results if m["folder"] == folder and "equivalent" not in m]
        if ms or folder != "other":
            killed = sum(m["result"] == "killed" for m in ms)
            bench = sum(m.get("bench_only", False) for m in ms)
            print(f"  {folder:10} {killed}/{len(ms)}" + (f"  ({bench} by the bench signature only)" if bench else ""))
    bad = False
    for title, pick in [("survivors", lambda m: m["result"] == "SURVIVED" and "equivalent" not in m),
                        ("stale", lambda m: m["result"] == "STALE"),
                        ("not building", lambda m: m["result"] == "NOBUILD"),
                        ("killed by the bench signature only", lambda m: m.get("bench_only")),
                        ("equivalent", lambda m: "equivalent" in m)]:
        ms = [m for m in results if pick(m)]
        if not ms:
            continue
        print(f"\n{title}:")
        for m in ms:
            note = m["equivalent"] + f" [{m['result']}]" if title == "equivalent" else m["reason"]
            print(f"  {m['id']} ({m['file']}): {note}")
        bad |= title in ("survivors", "stale", "not building")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
