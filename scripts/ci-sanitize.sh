#!/bin/sh
# Builds everything but the workbench with AddressSanitizer and
# UndefinedBehaviorSanitizer in a second build directory and runs the whole
# test suite there. Any sanitizer report fails the run.
#
#   scripts/ci-sanitize.sh [build-dir]     (default: build-asan)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build-asan}
jobs=${JOBS:-2}
# Leaks count as failures; reports name their source lines; the first
# report ends the test that made it.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cmake -S . -B "$build" -DQUILL_SANITIZE=ON -DQUILL_BUILD_WORKBENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"
