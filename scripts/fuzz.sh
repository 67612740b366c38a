#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang in build-fuzz/ and runs each for the given
# number of seconds (default 60), starting from the seeds in tests/fuzz/corpus/<target>/.
# New inputs go to build-fuzz/corpus/<target>/, crashing inputs to build-fuzz/artifacts/.
# Fails when a target finds a crash, a sanitizer report or a broken invariant.
#   fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
command -v clang++-14 >/dev/null || bash scripts/deps.sh test

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRUN_FUZZ=ON -DKESTRUN_BUILD_TESTS=OFF -DKESTRUN_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_all -j2

mkdir -p build-fuzz/artifacts
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for seeds in tests/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  mkdir -p "build-fuzz/corpus/$target"
  echo "== $target: ${seconds} s"
  if ! "build-fuzz/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
       -artifact_prefix="build-fuzz/artifacts/$target-" "build-fuzz/corpus/$target" "$seeds" \
       >"build-fuzz/$target.log" 2>&1; then
    tail -n 60 "build-fuzz/$target.log"
    echo "== $target FAILED (log: build-fuzz/$target.log)"
    status=1
  else
    grep -E '^stat::(number_of_executed_units|new_units_added)' "build-fuzz/$target.log" || true
  fi
done
exit $status
