#!/usr/bin/env python3
"""Runs the examples of the user guide and checks that the guide shows them.

Every directory docs/examples/<name>/ holds a model (model.dsm), a template
(template.tem) and, under expected/, every file that generating the model
with the template must write. Optional files: `options` (more quillb
arguments on one line) and `expected_stdout` (what quillb prints; by
default it must print nothing). Each run happens in a fresh directory with
a quill.ini that asks for LF line ends and no file names or summary, and
an empty output directory out/.

The model, the template and every expected file must also appear verbatim
in a fenced block of some docs/*.md, so the guide cannot drift from what
the program does.

    QUILLB=/path/to/quillb doc_examples.py <repository-root>
    QUILL_DOCS_UPDATE=1 ...   rewrites expected/ and expected_stdout
"""
import os
import pathlib
import shlex
import shutil
import subprocess
import sys
import tempfile

INI = "[LastCodegenSettings]\nStripReturns=true\nShowFileNames=false\nShowGenSummary=false\n"


def fenced_blocks(root):
    """Every fenced code block of docs/*.md, as text ending in a line end."""
    blocks = []
    for md in sorted((root / "docs").glob("*.md")):
        inside = None
        for line in md.read_text(encoding="utf-8").splitlines(keepends=True):
            if line.startswith("```"):
                if inside is None:
                    inside = []
                else:
                    blocks.append("".join(inside))
                    inside = None
            elif inside is not None:
                inside.append(line)
    return blocks


def files_below(folder):
    return sorted(p.relative_to(folder).as_posix() for p in folder.rglob("*") if p.is_file())


def run_case(quillb, case, work):
    shutil.copy(case / "model.dsm", work / "model.dsm")
    shutil.copy(case / "template.tem", work / "template.tem")
    (work / "quill.ini").write_text(INI)
    (work / "out").mkdir()
    options = (case / "options").read_text().split("\n")[0] if (case / "options").exists() else ""
    args = [quillb, "model.dsm", "template.tem", "out"] + shlex.split(options)
    env = dict(os.environ, QUILLDIR=str(work))
    done = subprocess.run(args, cwd=work, env=env, capture_output=True, text=True)
    return done.stdout.replace(str(work), "<work>"), done.returncode


def check_case(quillb, case, blocks, update):
    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        work = pathlib.Path(tmp)
        stdout, status = run_case(quillb, case, work)
        out = work / "out"
        produced = files_below(out) if out.exists() else []
        expected_dir = case / "expected"
        if update:
            shutil.rmtree(expected_dir, ignore_errors=True)
            for rel in produced:
                (expected_dir / rel).parent.mkdir(parents=True, exist_ok=True)
                shutil.copy(out / rel, expected_dir / rel)
            if stdout:
                (case / "expected_stdout").write_text(stdout)
            elif (case / "expected_stdout").exists():
                (case / "expected_stdout").unlink()
        wanted_stdout = (case / "expected_stdout").read_text() if (case / "expected_stdout").exists() else ""
        if status != 0:
            problems.append(f"quillb exit code {status}")
        if stdout != wanted_stdout:
            problems.append("quillb printed:\n" + stdout)
        wanted = files_below(expected_dir) if expected_dir.exists() else []
        if wanted != produced:
            problems.append(f"files written {produced}, expected {wanted}")
        for rel in wanted:
            if rel in produced and (out / rel).read_bytes() != (expected_dir / rel).read_bytes():
                problems.append(f"{rel} differs:\n" + (out / rel).read_text(errors="replace"))
    shown = [case / "model.dsm", case / "template.tem"] + [expected_dir / rel for rel in wanted]
    for path in shown:
        text = path.read_text(encoding="utf-8")
        if not any(text in block for block in blocks):
            problems.append(f"{path.relative_to(case)} is not shown in docs/*.md")
    return problems


def main():
    if len(sys.argv) != 2 or not os.environ.get("QUILLB"):
        print("usage: QUILLB=<quillb> doc_examples.py <repository-root>", file=sys.stderr)
        return 2
    root = pathlib.Path(sys.argv[1]).resolve()
    quillb = str(pathlib.Path(os.environ["QUILLB"]).resolve())
    update = os.environ.get("QUILL_DOCS_UPDATE") == "1"
    blocks = fenced_blocks(root)
    cases = sorted(p for p in (root / "docs" / "examples").iterdir() if (p / "model.dsm").exists())
    failures = 0
    for case in cases:
        problems = check_case(quillb, case, blocks, update)
        if problems:
            failures += 1
            print(f"FAIL {case.name}")
            for problem in problems:
                print("  " + problem.replace("\n", "\n  "))
        else:
            print(f"ok   {case.name}")
    print(f"{len(cases)} documented examples, {failures} failed")
    return 0 if cases and failures == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
