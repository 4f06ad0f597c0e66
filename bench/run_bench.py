#!/usr/bin/env python3
"""Times quillb against a plain write program (and Jinja2 when installed).

    bench/run_bench.py [--build DIR] [--work DIR] [--runs N] [--sizes 200,2000,20000]
                       [--no-build] [--seed S]

Builds Release, generates the synthetic models, checks that every program
writes the same bytes as quillb, then times each one N times (a fresh,
empty output directory per run; "quillb again" runs over quillb's own
output instead) and prints the medians: wall time, CPU time, peak memory,
lines per second and the ratio to the write floor.

The programs: quillb; the write floor, which only writes the bytes (taken
from a pack file made beforehand, not timed) into the same files; a
hand-written C++ generator that builds the same model in memory and formats
the same text from it; Jinja2 rendering the model as JSON.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BENCH = os.path.join(ROOT, "bench")
MODEL_NAME = "model"
ONE_FILE = "all.txt"


def build(build_dir):
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DQUILL_BUILD_WORKBENCH=OFF", "-DQUILL_BUILD_TESTS=OFF"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "--target", "quillb", "gen_model", "write_floor", "measure_run",
                    "-j2"], check=True, stdout=subprocess.DEVNULL)


def one_file_template(path, out_path):
    """The benchmark template with every .file statement replaced by one at the top."""
    with open(path, encoding="utf-8") as f:
        lines = [line for line in f if not line.startswith(".file ")]
    with open(out_path, "w", encoding="utf-8") as f:
        f.write(".file " + ONE_FILE + "\n")
        f.writelines(lines)


def measure(measurer, argv, out_dir, env=None, fresh=True):
    """Runs argv once into a fresh out_dir (or over what it holds when not
    fresh): (wall s, cpu s, peak KiB).

    The program is started by the small measure_run process, not by this
    one: a program started directly would be charged this script's own peak
    memory (which holds the outputs being compared)."""
    if fresh:
        shutil.rmtree(out_dir, ignore_errors=True)
        os.makedirs(out_dir)
    proc = subprocess.run([measurer] + argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
    err = proc.stderr.decode(errors="replace")
    if proc.returncode != 0:
        raise SystemExit("failed (%d): %s\n%s" % (proc.returncode, " ".join(argv), err))
    wall, cpu, peak = err.rstrip("\n").rsplit("\n", 1)[-1].split()[1:]
    return float(wall), float(cpu), int(peak)


def tree_contents(out_dir):
    """Relative path -> bytes of every file below out_dir."""
    result = {}
    for base, _, files in os.walk(out_dir):
        for name in files:
            path = os.path.join(base, name)
            with open(path, "rb") as f:
                result[os.path.relpath(path, out_dir)] = f.read()
    return result


def count(contents):
    return len(contents), sum(b.count(b"\n") for b in contents.values()), sum(len(b) for b in contents.values())


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", default=os.path.join(ROOT, "build-bench"))
    ap.add_argument("--work", default="/dev/shm/quill-bench" if os.path.isdir("/dev/shm") else None)
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--sizes", default="200,2000,20000")
    ap.add_argument("--seed", default="1")
    ap.add_argument("--no-build", action="store_true")
    args = ap.parse_args()
    work = args.work or os.path.join(args.build, "bench-work")
    if not args.no_build:
        build(args.build)
    quillb = os.path.join(args.build, "batch", "quillb")
    gen_model = os.path.join(args.build, "bench", "gen_model")
    write_floor = os.path.join(args.build, "bench", "write_floor")
    measurer = os.path.join(args.build, "bench", "measure_run")
    try:
        import jinja2  # noqa: F401
        have_jinja = True
    except ImportError:
        have_jinja = False
        print("Jinja2 is not installed: its rows are skipped")

    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    # A quill.ini with an empty settings section: built-in defaults, and the
    # file is read as a user's would be (a missing one is reported per setting).
    ini_dir = os.path.join(work, "ini")
    os.makedirs(ini_dir)
    with open(os.path.join(ini_dir, "quill.ini"), "w") as ini:
        ini.write("[LastCodegenSettings]\n")
    env = dict(os.environ, QUILLDIR=ini_dir)
    one_tem = os.path.join(work, "one_file.tem")
    one_file_template(os.path.join(BENCH, "classes.tem"), one_tem)
    options = ["/showfiles", "false", "/rstrip", "true", "/makebak", "false"]
    load = os.getloadavg()
    print("load average before: %.2f %.2f %.2f on %d cores" % (load + (os.cpu_count(),)))

    rows = []
    failed = False
    for size in [int(s) for s in args.sizes.split(",")]:
        model_dir = os.path.join(work, "n%d" % size)
        os.makedirs(model_dir)
        dsm = os.path.join(model_dir, MODEL_NAME + ".dsm")
        json_path = os.path.join(model_dir, MODEL_NAME + ".json")
        subprocess.run([gen_model, str(size), args.seed, dsm, json_path], check=True)
        out = os.path.join(work, "out")
        for mode, tem, extra in (("files", os.path.join(BENCH, "classes.tem"), []),
                                 ("one file", one_tem, [ONE_FILE])):
            pack = os.path.join(model_dir, "floor.pack")
            subprocess.run([write_floor, "--pack", pack, str(size), args.seed, MODEL_NAME] + extra,
                           check=True)
            # "quillb again" regenerates over its own previous output, as a
            # user's build does: every old file is read for its preserved
            # sections first.
            programs = [("quillb", [quillb, dsm, tem, out] + options, env),
                        ("quillb again", [quillb, dsm, tem, out] + options, env),
                        ("write floor", [write_floor, "--unpack", pack, out], None),
                        ("hand-written", [write_floor, str(size), args.seed, MODEL_NAME, out] + extra, None)]
            if have_jinja:
                programs.append(("jinja2", [sys.executable, os.path.join(BENCH, "jinja_render.py"),
                                            json_path, MODEL_NAME, out] + extra, None))
            reference = None
            results = {}
            for name, argv, program_env in programs:
                print("  %d objects, %s: %s" % (size, mode, name), file=sys.stderr, flush=True)
                again = name == "quillb again"
                measure(measurer, argv, out, program_env)
                if again:
                    measure(measurer, argv, out, program_env, fresh=False)
                contents = tree_contents(out)
                if reference is None:
                    reference = contents
                    files, lines, size_bytes = count(contents)
                elif contents != reference:
                    print("MISMATCH: %s writes other bytes than quillb (%s, %d objects)" % (name, mode, size))
                    failed = True
                samples = [measure(measurer, argv, out, program_env, fresh=not again) for _ in range(args.runs)]
                results[name] = tuple(statistics.median(s[i] for s in samples) for i in range(3))
            floor = results["write floor"][0]
            for name, (wall, cpu, peak) in results.items():
                rows.append((size, mode, name, files, lines, size_bytes, wall, cpu, peak, wall / floor))
        shutil.rmtree(model_dir)
    shutil.rmtree(work, ignore_errors=True)

    print("%7s %-9s %-12s %6s %9s %7s %9s %9s %9s %12s %7s" % (
        "objects", "output", "program", "files", "lines", "MB", "wall s", "CPU s", "peak MiB", "lines/s", "x floor"))
    for size, mode, name, files, lines, nbytes, wall, cpu, peak, ratio in rows:
        print("%7d %-9s %-12s %6d %9d %7.1f %9.3f %9.3f %9.1f %12.0f %7.2f" % (
            size, mode, name, files, lines, nbytes / 1e6, wall, cpu, peak / 1024, lines / wall, ratio))
    load = os.getloadavg()
    print("load average after: %.2f %.2f %.2f" % load)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
