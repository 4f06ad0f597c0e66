#!/bin/sh
# Runs quillb over every golden case and compares what it prints, its exit
# code and the files it writes with the expected ones, byte for byte.
#
#   QUILLB=/path/to/quillb run_golden.sh <golden-dir> [case...]
#
# A case is a directory holding:
#   cmd              the quillb arguments on one line, quoted as for the shell
#   expected_stdout  what quillb prints; the run's directories read <work> and <ini>
#   expected_exit    the exit code
#   expected/        optional: every file the run creates or changes, by relative path
# Every other file of the case is an input, copied into a fresh working
# directory in which quillb runs. QUILLDIR is that directory when the case
# has a quill.ini, else an empty directory.
#
# QUILL_GOLDEN_UPDATE=1 rewrites the expected files from the actual run.
set -u
LC_ALL=C
export LC_ALL

if [ $# -lt 1 ] || [ -z "${QUILLB:-}" ]; then
  echo "usage: QUILLB=<quillb> $0 <golden-dir> [case...]" >&2
  exit 2
fi
root=$1
shift
[ $# -gt 0 ] || set -- $(cd "$root" && ls)
tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT

failures=0
cases=0

# Lists the regular files below a directory as relative paths, sorted.
list_files() {
  (cd "$1" && find . -type f | sed 's|^\./||' | sort)
}

# Prints the relative paths of the files the run created or changed.
produced_files() {
  list_files "$work" | while IFS= read -r f; do
    if [ ! -f "$case_dir/$f" ] || ! cmp -s "$case_dir/$f" "$work/$f"; then
      echo "$f"
    fi
  done
}

is_input() {
  case $1 in
    cmd | expected_stdout | expected_exit | expected) return 1 ;;
  esac
  return 0
}

fail() {
  echo "FAIL $name: $1"
  ok=no
}

update_case() {
  cp "$tmp/stdout" "$case_dir/expected_stdout"
  echo "$status" >"$case_dir/expected_exit"
  rm -rf "$case_dir/expected"
  produced_files >"$tmp/produced"
  while IFS= read -r f; do
    mkdir -p "$case_dir/expected/$(dirname "$f")"
    cp "$work/$f" "$case_dir/expected/$f"
  done <"$tmp/produced"
  echo "updated $name"
}

check_case() {
  if ! cmp -s "$case_dir/expected_stdout" "$tmp/stdout"; then
    fail "standard output differs"
    diff -u "$case_dir/expected_stdout" "$tmp/stdout"
  fi
  expected_exit=$(cat "$case_dir/expected_exit")
  [ "$status" = "$expected_exit" ] || fail "exit code $status, expected $expected_exit"
  produced_files >"$tmp/produced"
  if [ -d "$case_dir/expected" ]; then
    list_files "$case_dir/expected" >"$tmp/wanted"
  else
    : >"$tmp/wanted"
  fi
  if ! cmp -s "$tmp/wanted" "$tmp/produced"; then
    fail "the set of written files differs"
    diff -u "$tmp/wanted" "$tmp/produced"
  fi
  while IFS= read -r f; do
    if [ -f "$work/$f" ] && ! cmp -s "$case_dir/expected/$f" "$work/$f"; then
      fail "$f differs"
      diff -u "$case_dir/expected/$f" "$work/$f"
    fi
  done <"$tmp/wanted"
}

for name in "$@"; do
  case_dir=$root/$name
  [ -f "$case_dir/cmd" ] || continue
  cases=$((cases + 1))
  ok=yes
  work=$tmp/$name/work
  ini=$tmp/$name/ini
  mkdir -p "$work" "$ini"
  for f in "$case_dir"/* "$case_dir"/.[!.]*; do
    [ -e "$f" ] || continue
    if is_input "$(basename "$f")"; then cp -R "$f" "$work/"; fi
  done
  [ -f "$case_dir/quill.ini" ] && ini=$work
  eval "set -- $(cat "$case_dir/cmd")"
  (cd "$work" && QUILLDIR=$ini exec "$QUILLB" "$@") >"$tmp/raw_stdout" 2>"$tmp/stderr"
  status=$?
  sed -e "s|$work|<work>|g" -e "s|$ini|<ini>|g" "$tmp/raw_stdout" >"$tmp/stdout"
  if [ "${QUILL_GOLDEN_UPDATE:-}" = 1 ]; then
    update_case
    continue
  fi
  check_case
  if [ -s "$tmp/stderr" ]; then
    fail "quillb wrote to standard error"
    cat "$tmp/stderr"
  fi
  if [ $ok = yes ]; then echo "ok   $name"; else failures=$((failures + 1)); fi
done

echo "$cases golden cases, $failures failed"
[ $cases -gt 0 ] && [ $failures -eq 0 ]
