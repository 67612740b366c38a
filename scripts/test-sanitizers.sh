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

# The presets asan and tsan of CMakePresets.json: their folders, flags and which tests they run.

if [ "$which" = all ] || [ "$which" = asan ]; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
  cmake --preset asan >/dev/null
  cmake --build --preset asan -j2
  ctest --preset asan -j2
fi

if [ "$which" = all ] || [ "$which" = tsan ]; then
  echo "== ThreadSanitizer"
  cmake --preset tsan >/dev/null
  cmake --build --preset tsan -j2
  ctest --preset tsan -j2
fi
