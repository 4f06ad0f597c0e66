#!/usr/bin/env python3
"""Hostile inputs for quillb: every run must end by itself within its time,
with exit code 0 or 2 and no crash, and write only what it is asked to.

    hostile.py <quillb> [case...]

Each case gives a model, a template, optional files present before the run
and the checks on the files afterwards (relative to the working directory;
the output directory is "out"). Prints one line per case and the totals.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

MEGA = 1 << 20
BIG_LINE = "x" * (2 * MEGA)
ODD_BYTES = "nul\0here \xe9t\xe9 \xff\xfe end"  # written as latin-1: NUL and high bytes


def nested_objects(depth):
    return "".join(f"object N{i}\n" for i in range(depth)) + "end ;\n" * depth


def nested_template(depth):
    return ".file deep.txt\n" + ".each_object\n" * depth + ":x\n" + ".end\n" * depth


def many_attributes(count, per_object=1000):
    out = []
    for o in range(count // per_object):
        out.append(f"object Many{o}")
        out.extend(f"  a{i} : int ;" for i in range(per_object))
        out.append("end ;")
    return "\n".join(out) + "\n"


SIMPLE_MODEL = 'object Shape\n  area() : double [ uid = "Shape.area" ] {{return 0.0;}} ;\nend ;\n'
SECTION_TEMPLATE = (".file gen.h\n.each_object\n.each_function\n"
                    ":// BEGIN-UID.<ftn.uid>\n:<ftn.body_text>\n:// END-UID.<ftn.uid>\n"
                    ".end\n.end\n")


def old_file(body):
    return f"// BEGIN-UID.Shape.area\n{body}\n// END-UID.Shape.area\n"


# name, model, template, files before the run, checks, seconds allowed
CASES = [
    ("model nested 20000 deep", nested_objects(20000), ".file a.txt\n:a\n", {}, [], 60),
    ("template nested 20000 deep", SIMPLE_MODEL, nested_template(20000), {}, [], 60),
    ("references nested 100000 deep", SIMPLE_MODEL,
     ".file r.txt\n:" + "<" * 100000 + "obj.name" + ">" * 100000 + "\n", {}, [], 60),
    ("selects nested 5000 deep", SIMPLE_MODEL,
     ".file s.txt\n" + ".select\n<dsm.has_objects>:a\n" * 5000 + ".end\n" * 5000, {}, [], 60),
    ("2 MB model line", f"literal big {{{{{BIG_LINE}}}}} ;\n" + SIMPLE_MODEL,
     ".file big.txt\n.each_literal\n:<literal.text>\n.end\n",
     {}, [("out/big.txt", "contains", BIG_LINE)], 60),
    ("2 MB template line", SIMPLE_MODEL, ".file t.txt\n:" + BIG_LINE + "\n", {},
     [("out/t.txt", "contains", BIG_LINE)], 60),
    ("2 MB line in a preserved section", SIMPLE_MODEL, SECTION_TEMPLATE,
     {"out/gen.h": old_file(BIG_LINE)}, [("out/gen.h", "contains", BIG_LINE)], 60),
    ("NUL and high bytes in the model", f'literal odd {{{{{ODD_BYTES}}}}} ;\nobject \xe9t\xe9 end ;\n',
     ".file odd.txt\n.each_literal\n:<literal.text>\n.end\n.each_object\n:<obj.name>\n.end\n", {},
     [("out/odd.txt", "contains", ODD_BYTES)], 30),
    ("NUL and high bytes in the template", SIMPLE_MODEL, f".file odd.txt\n:{ODD_BYTES}\n", {},
     [("out/odd.txt", "contains", ODD_BYTES)], 30),
    ("NUL and high bytes in a preserved section", SIMPLE_MODEL, SECTION_TEMPLATE,
     {"out/gen.h": old_file(ODD_BYTES)}, [("out/gen.h", "contains", ODD_BYTES)], 30),
    ("binary garbage as model", "".join(chr(i) for i in range(256)) * 64, ".file a.txt\n:a\n",
     {}, [], 30),
    ("binary garbage as template", SIMPLE_MODEL, "".join(chr(i) for i in range(256)) * 64,
     {}, [], 30),
    ("100000 attribute statements", many_attributes(100000),
     ".file n.txt\n.each_object\n.each_attribute\n:<attr.name>\n.end\n.end\n", {},
     [("out/n.txt", "lines", 100000)], 120),
    ("100000 template lines", SIMPLE_MODEL,
     ".file l.txt\n" + "".join(f":line {i} <obj.name|none>\n" for i in range(100000)), {},
     [("out/l.txt", "lines", 100000)], 120),
    ("module calling itself", SIMPLE_MODEL,
     ".module loop\n:again\n$$EXECMODULE loop\n.end\n.file m.txt\n$$EXECMODULE loop\n", {}, [], 30),
    ("modules calling each other", SIMPLE_MODEL,
     ".module ping\n:ping\n$$EXECMODULE pong\n.end\n.module pong\n:pong\n$$EXECMODULE ping\n.end\n"
     ".file m.txt\n$$EXECMODULE ping\n", {}, [], 30),
    ("module iterating into itself", SIMPLE_MODEL,
     ".module walk\n.each_object\n:<obj.name>\n$$EXECMODULE walk\n.end\n.end\n"
     ".file w.txt\n$$EXECMODULE walk\n", {}, [], 30),
    (".file named ..", SIMPLE_MODEL, ".file ..\n:up\n", {}, [("../up", "absent", None)], 30),
    (".file named .", SIMPLE_MODEL, ".file .\n:dot\n", {}, [], 30),
    (".file with an empty name", SIMPLE_MODEL, ".file \n:empty\n", {}, [], 30),
    (".file naming the output directory", SIMPLE_MODEL, ".file out\n:x\n", {},
     [("out", "directory", None)], 30),
    # A name with a separator is used as written (relative to the working
    # directory): the template decides, the run must not crash on it.
    (".file leaving the output directory", SIMPLE_MODEL,
     ".file ..\\escaped.txt\n:escaped\n.file sub/../../escaped2.txt\n:escaped2\n", {}, [], 30),
    ("$$NEWFILE leaving the output directory", SIMPLE_MODEL,
     ".file a.txt\n:a\n$$NEWFILE ../escaped3.txt\n:b\n", {}, [], 30),
    (".file into a missing directory", SIMPLE_MODEL, ".file no/such/dir/x.txt\n:x\n", {}, [], 30),
    (".file over a directory", SIMPLE_MODEL, ".file d\n:x\n", {"out/d/keep": "kept\n"},
     [("out/d/keep", "contains", "kept")], 30),
]


def check(work, checks):
    problems = []
    for rel, kind, value in checks:
        path = os.path.normpath(os.path.join(work, rel))
        if kind == "absent":
            if os.path.exists(path) and not os.path.isdir(path):
                problems.append(f"{rel} was written")
            continue
        if kind == "directory":
            if not os.path.isdir(path):
                problems.append(f"{rel} is no longer a directory")
            continue
        if not os.path.isfile(path):
            problems.append(f"{rel} is missing")
            continue
        data = open(path, "rb").read()
        if kind == "contains" and value.encode("latin-1") not in data:
            problems.append(f"{rel} does not hold the expected text intact")
        lines = data.count(b"\n")
        if kind == "lines" and lines < value:
            problems.append(f"{rel} has {lines} lines, expected {value}")
    return problems


def run_case(quillb, root, case):
    name, model, template, before, checks, seconds = case
    work = os.path.join(root, "w", "run")
    shutil.rmtree(os.path.join(root, "w"), ignore_errors=True)
    os.makedirs(os.path.join(work, "out"))
    files = dict(before)
    files["model.dsm"] = model
    files["gen.tem"] = template
    for rel, text in files.items():
        path = os.path.join(work, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(text.encode("latin-1"))
    env = dict(os.environ, QUILLDIR=work, LC_ALL="C")
    start = time.monotonic()
    try:
        result = subprocess.run([quillb, "model.dsm", "gen.tem", "out", "/rstrip"], cwd=work,
                                env=env, capture_output=True, timeout=seconds)
    except subprocess.TimeoutExpired:
        return [f"did not end within {seconds} s"], seconds
    elapsed = time.monotonic() - start
    problems = []
    if result.returncode not in (0, 2):
        tail = result.stderr.decode(errors="replace")[-400:]
        problems.append(f"exit code {result.returncode}: {tail}")
    problems += check(work, checks)
    return problems, elapsed


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    quillb = os.path.abspath(sys.argv[1])
    wanted = sys.argv[2:]
    root = tempfile.mkdtemp(prefix="quill-hostile-")
    failed = passed = 0
    try:
        for case in CASES:
            if wanted and case[0] not in wanted:
                continue
            problems, elapsed = run_case(quillb, root, case)
            status = "FAIL" if problems else "ok"
            print(f"{status:4} {case[0]} ({elapsed:.1f} s)")
            for p in problems:
                print(f"     {p}")
            failed += bool(problems)
            passed += not problems
    finally:
        shutil.rmtree(root, ignore_errors=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
