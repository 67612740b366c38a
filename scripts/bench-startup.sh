#!/usr/bin/env bash
# Start-up times of the program over several launches: launch -> main window shown and
# launch -> first report at the display (plugged before launch); min, median and max.
# Usage: scripts/bench-startup.sh [runs] (default 10). Builds what it needs in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target bench_process >/dev/null
exec umockdev-wrapper build/bench/process/bench_process startup "$runs"
