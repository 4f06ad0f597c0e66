#!/bin/sh
# Runs the fuzz targets one after the other, each for the given number of
# seconds, at low priority, on one core. The corpora grow below
# <build-dir>/fuzz-corpus (seeded from the golden cases and examples on the
# first run); inputs that crash, leak or hang land in <build-dir>/fuzz-artifacts.
#
#   fuzz/run.sh <build-dir> <seconds> [target...]    (targets: model template
#   pattern sections project ini generate; default all)
set -u
build=$(cd "${1:?usage: run.sh <build-dir> <seconds> [target...]}" && pwd)
seconds=${2:?usage: run.sh <build-dir> <seconds> [target...]}
shift 2
[ $# -gt 0 ] || set -- model template pattern sections project ini generate
here=$(cd "$(dirname "$0")" && pwd)
corpus=$build/fuzz-corpus
[ -d "$corpus" ] || "$here/make_seeds.sh" "$corpus"
status=0
for t in "$@"; do
  exe=$build/fuzz/${t}_fuzz
  [ -x "$exe" ] || { echo "missing $exe (build the target ${t}_fuzz)"; status=1; continue; }
  mkdir -p "$build/fuzz-artifacts/$t" "$corpus/$t"
  log=$build/fuzz-artifacts/$t.log
  extra=
  [ -d "$here/regressions/$t" ] && extra="$here/regressions/$t"
  # -timeout: one input running longer than this is a hang.
  /usr/bin/time -f 'cpu %U user %S sys' -o "$log.time" \
    nice -n 19 "$exe" "$corpus/$t" $extra \
    -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$t/" >"$log" 2>&1
  rc=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  echo "$t: exit $rc, ${runs:-?} executions in ${seconds}s wall, $(tail -n 1 "$log.time"), artifacts: $(ls "$build/fuzz-artifacts/$t" | wc -l) (log $log)"
  [ "$rc" -eq 0 ] || status=1
done
exit $status
