#!/bin/sh
# Runs the fuzz targets one after the other, each for the given number of
# seconds, at low priority, on one core. The corpora grow below
# <build-dir>/fuzz-corpus (seeded from the golden cases and examples on the
# first run); inputs that crash, leak or hang land in <build-dir>/fuzz-artifacts.
#
#   fuzz/run.sh <build-dir> <seconds> [target...]    (targets: model template
#   pattern sections project ini generate; default all)
#
# With QUILL_FUZZ_BUDGET=cpu the seconds are CPU seconds of the fuzzer
# rather than wall seconds: on a shared machine a low-priority fuzzer gets
# only what the others leave, and a wall-clock budget says little about how
# much fuzzing was done.
set -u
build=$(cd "${1:?usage: run.sh <build-dir> <seconds> [target...]}" && pwd)
seconds=${2:?usage: run.sh <build-dir> <seconds> [target...]}
shift 2
[ $# -gt 0 ] || set -- model template pattern sections project ini generate
here=$(cd "$(dirname "$0")" && pwd)
corpus=$build/fuzz-corpus
budget=${QUILL_FUZZ_BUDGET:-wall}
ticks=$(getconf CLK_TCK)
[ -d "$corpus" ] || "$here/make_seeds.sh" "$corpus"

# CPU seconds (user + system) used so far by the process.
cpu_seconds() {
  awk -v t="$ticks" '{ sub(/^.*\) /, ""); print int(($12 + $13) / t) }' "/proc/$1/stat" 2>/dev/null
}

status=0
for t in "$@"; do
  exe=$build/fuzz/${t}_fuzz
  [ -x "$exe" ] || { echo "missing $exe (build the target ${t}_fuzz)"; status=1; continue; }
  mkdir -p "$build/fuzz-artifacts/$t" "$corpus/$t"
  log=$build/fuzz-artifacts/$t.log
  extra=
  [ -d "$here/regressions/$t" ] && extra="$here/regressions/$t"
  wall_limit=$seconds
  [ "$budget" = cpu ] && wall_limit=$((seconds * 50))
  started=$(date +%s)
  # -timeout: one input running longer than this is a hang.
  nice -n 19 "$exe" "$corpus/$t" $extra \
    -max_total_time="$wall_limit" -timeout=20 -rss_limit_mb=3072 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$t/" >"$log" 2>&1 &
  pid=$!
  used=0
  while kill -0 "$pid" 2>/dev/null; do
    sleep 5
    now=$(cpu_seconds "$pid")
    [ -n "$now" ] && used=$now
    if [ "$budget" = cpu ] && [ "$used" -ge "$seconds" ]; then
      kill -INT "$pid" 2>/dev/null
      break
    fi
  done
  wait "$pid"
  rc=$?
  # libFuzzer ends an interrupted run with its own exit code; the budget
  # running out is the expected end, not a finding.
  if [ "$budget" = cpu ] && [ "$used" -ge "$seconds" ] && ! grep -q 'ERROR: \|SUMMARY: \|deadly signal' "$log"; then
    rc=0
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  echo "$t: exit $rc, ${runs:-?} executions, ${used}s CPU in $(($(date +%s) - started))s wall," \
    "artifacts: $(ls "$build/fuzz-artifacts/$t" | wc -l) (log $log)"
  [ "$rc" -eq 0 ] || status=1
done
exit $status
