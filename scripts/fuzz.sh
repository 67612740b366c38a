#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang in build-fuzz/ and runs each for the given
# number of seconds (default 60), starting from its seeds: tests/fuzz/corpus/<target>/ and the
# recorded inputs the tests read too (tests/fixtures/, the sample branding), gathered in
# build-fuzz/seeds/<target>/. New inputs go to build-fuzz/corpus/<target>/, crashing inputs to
# build-fuzz/artifacts/.
# Fails when a target finds a crash, a sanitizer report or a broken invariant.
#   fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
command -v clang++-14 >/dev/null || bash scripts/deps.sh test

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

mkdir -p build-fuzz/artifacts
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The files of the repository that a target starts from besides its own seeds.
recorded_inputs() {
  case "$1" in
    fuzz_appconfig) echo configDir/appConfig.ini ;;
    fuzz_wmicparsers) echo tests/fixtures/wmic/* ;;
    fuzz_sensorsdkparse) echo tests/fixtures/cpuinfo/* ;;
  esac
}

status=0
for source in tests/fuzz/fuzz_*.cpp; do
  target=$(basename "$source" .cpp)
  seeds="build-fuzz/seeds/$target"
  rm -rf "$seeds"
  mkdir -p "$seeds" "build-fuzz/corpus/$target"
  if [ -d "tests/fuzz/corpus/$target" ]; then
    cp tests/fuzz/corpus/"$target"/* "$seeds"/
  fi
  for file in $(recorded_inputs "$target"); do
    cp "$file" "$seeds"/
  done
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
