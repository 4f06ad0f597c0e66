#!/bin/bash
# Checks the bash completion of quillb: each row is a command line (the
# last word is the one being completed) and the completions expected, in a
# directory holding m.dsm, p.qpj, t.tem and the directory gen/.
#
#   completion_test.sh <quillb.bash>
set -u
[ $# -eq 1 ] || { echo "usage: $0 <quillb.bash>" >&2; exit 2; }
# The completion runs without the bash-completion package's helpers.
source "$1"
compopt() { :; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" && touch m.dsm p.qpj t.tem notes.txt && mkdir gen

rows=(
  "quillb |gen/ m.dsm p.qpj"
  "quillb m.dsm |gen/ t.tem"
  "quillb p.qpj |"
  "quillb m.dsm t.tem |gen/"
  "quillb m.dsm t.tem gen --sh|--showfiles --showsummary"
  "quillb -r|-rstrip"
  "quillb /ttr|/ttrace"
  "quillb /lang |ada c++"
  "quillb /rstrip |false true"
  "quillb --check |false true"
  "quillb /dsmpath |gen/"
  "quillb /ver |gen/ m.dsm p.qpj"
  "quillb /rstrip true m.dsm |gen/ t.tem"
  "quillb /depfile out.d m.dsm t.tem |gen/"
)

failures=0
for row in "${rows[@]}"; do
  line=${row%%|*}
  expected=${row#*|}
  read -r -a COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _quillb
  got=$(for word in "${COMPREPLY[@]}"; do [ -d "$word" ] && word=$word/; echo "$word"; done | sort -u | xargs)
  if [ "$got" != "$expected" ]; then
    echo "FAIL: '$line' completes to '$got', expected '$expected'"
    failures=$((failures + 1))
  fi
done
echo "${#rows[@]} rows, $failures failed"
[ "$failures" -eq 0 ]
