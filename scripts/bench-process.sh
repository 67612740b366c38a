#!/usr/bin/env bash
# The whole program in its steady state next to the floor program (bench/floor): CPU per minute,
# share of one core, RSS and peak RSS, and the ratio. Usage: scripts/bench-process.sh [seconds]
# (default 60, measured after 10 s of start-up). Builds what it needs in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target bench_process >/dev/null
exec umockdev-wrapper build/bench/process/bench_process steady "$seconds" 10
