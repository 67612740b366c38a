#!/usr/bin/env bash
# The sensor corpus table: for each figure, on how many of the 123 real machines of
# tests/sensorsdk/corpus/layouts/ the program shows the figure a person names, shows nothing,
# shows another reading, is rightly empty, or is unjudged (tests/sensorsdk/corpus/expected.tsv).
#   scripts/sensor-corpus.sh [build folder] [-v]     (default build; -v lists every layout)
# Needs a build of tst_sensorcorpus; fails like the test does (a wrong reading, a named CPU
# temperature not shown).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
verbose=0
for argument in "$@"; do
  case "$argument" in
    -v) verbose=1 ;;
    *) build="$argument" ;;
  esac
done
test_program="$build/tests/sensorsdk/corpus/tst_sensorcorpus"
if [ ! -x "$test_program" ]; then
  echo "no $test_program: cmake --build $build --target tst_sensorcorpus" >&2
  exit 2
fi
KESTRUN_CORPUS_VERBOSE=$verbose QT_QPA_PLATFORM=offscreen exec umockdev-wrapper "$test_program" -silent
