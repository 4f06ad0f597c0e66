#!/bin/sh
# quillb restarts itself once for a large model so that the allocator can use
# huge pages, and not for a small one. Either way, commands a template runs
# must see the environment quillb was started with.
#
#   restart_environment.sh <quillb> <1 when the build restarts, 0 when not>
set -u
quillb=${1:?usage: restart_environment.sh <quillb> <restarts>}
quillb=$(cd "$(dirname "$quillb")" && pwd)/$(basename "$quillb")
restarts=${2:?usage: restart_environment.sh <quillb> <restarts>}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/ini" "$work/out"
: > "$work/ini/quill.ini"
printf 'object A\nend;\n' > "$work/small.dsm"
cp "$work/small.dsm" "$work/large.dsm"
# 64 KiB and more of comment lines make the model count as large.
awk 'BEGIN { for (i = 0; i < 2000; i++) printf "-- %060d\n", i }' >> "$work/large.dsm"
# Commands run in quillb's current directory. The parent of the command's
# shell is quillb; its /proc environ is the environment its program image was
# started with, so it shows a restart.
cat > "$work/gen.tem" <<'TEM'
.file a.txt
:$$SHELLCMD echo "tunables=[${GLIBC_TUNABLES-unset}] saved=[${QUILL_SAVED_TUNABLES-unset}]" > env.txt; tr '\000' '\n' < /proc/$PPID/environ | grep -c '^QUILL_SAVED_TUNABLES=' >> env.txt
TEM

failures=0
# check <model> <restarted: 0|1> <expected first line> [VAR=value for env]
check() {
  model=$1 restarted=$2 expected=$3
  shift 3
  rm -f "$work/env.txt"
  (cd "$work" && env -u GLIBC_TUNABLES -u QUILL_SAVED_TUNABLES QUILLDIR="$work/ini" "$@" \
      "$quillb" "$model" gen.tem out --showfiles false >/dev/null 2>&1)
  got=$(cat "$work/env.txt" 2>/dev/null)
  want=$(printf '%s\n%s' "$expected" "$restarted")
  if [ "$got" != "$want" ]; then
    echo "FAIL: $model $*: expected"
    echo "$want"
    echo "got"
    echo "$got"
    failures=$((failures + 1))
  fi
}

check small.dsm 0 'tunables=[unset] saved=[unset]'
check large.dsm "$restarts" 'tunables=[unset] saved=[unset]'
check large.dsm "$restarts" 'tunables=[] saved=[unset]' GLIBC_TUNABLES=
check large.dsm "$restarts" 'tunables=[glibc.malloc.check=0] saved=[unset]' GLIBC_TUNABLES=glibc.malloc.check=0
# The user's own huge page choice is kept as it is, without a restart.
check large.dsm 0 'tunables=[glibc.malloc.hugetlb=0] saved=[unset]' GLIBC_TUNABLES=glibc.malloc.hugetlb=0
[ "$failures" -eq 0 ] && echo "restart environment: all cases passed"
exit "$failures"
