#!/usr/bin/env bash
# Kestrun (window shown, and hidden in the tray) next to gkrellm, xsensors and conky, each on an
# Xvfb of its own with a compositor, on the emulated desktop with the display plugged: share of one
# core (with the X server's), wake-ups per second, RSS and PSS; the median of several runs.
# Usage: scripts/bench-peers.sh [seconds] [settle-seconds] [runs] [dpi]   (default 60, 15, 3, 96)
# Needs: bash scripts/deps.sh bench. Builds what it needs in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target bench_peers >/dev/null
exec umockdev-wrapper build/bench/process/bench_peers "${1:-60}" "${2:-15}" "${3:-3}" "${4:-96}"
