#!/usr/bin/env bash
# Runs the tests under the sanitizers; fails on any report.
#   build-asan/  AddressSanitizer + UndefinedBehaviorSanitizer (with LeakSanitizer), every test
#                except those labelled "slow"
#   build-tsan/  ThreadSanitizer, the tests labelled "threaded"
# The sanitizer options and suppression files are set per test by tests/CMakeLists.txt
# (tests/sanitizers/), so ctest run by hand in either folder behaves the same.
#   test-sanitizers.sh [asan|tsan]    (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
which=${1:-all}

# -O1: sanitizer builds compile faster and keep usable stack traces.
configure() {
  cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS=-O1 -DCMAKE_CXX_FLAGS=-O1 \
    -DKESTRUN_SANITIZER="$2" -DKESTRUN_BUILD_BENCH=OFF >/dev/null
}

if [ "$which" = all ] || [ "$which" = asan ]; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
  configure build-asan address,undefined
  # The real-time crash restart test only waits out a minute of the fast one's code: left out.
  cmake --build build-asan -j2 --target kestrun_tests
  ctest --test-dir build-asan -LE slow --output-on-failure --timeout 600 -j2
fi

if [ "$which" = all ] || [ "$which" = tsan ]; then
  echo "== ThreadSanitizer"
  configure build-tsan thread
  cmake --build build-tsan -j2 --target kestrun_tests_threaded
  ctest --test-dir build-tsan -L threaded --output-on-failure --timeout 600 -j2
fi
