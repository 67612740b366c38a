#!/usr/bin/env bash
# Runs the built program for a long while and prints its resident memory, open descriptors and
# threads at each interval, with the reports that reached the display, then a summary line.
# The program runs with its window shown (offscreen), in a home and temporary folder of its own, on
# an emulated desktop with the display plugged in and the real libsensorsdk.so reading its sensors.
#   soak.sh [minutes (15)] [interval-seconds (60)]
# Fails when the program ends early, does not end cleanly, or reports stop arriving.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-15}
interval=${2:-60}
build=${KESTRUN_BUILD_DIR:-build}
cmake --build "$build" -j2 --target kestrun-soak >/dev/null
# The program finds libsensorsdk.so beside itself; LD_LIBRARY_PATH names the same folder.
export KESTRUN_E2E_PROGRAM="$PWD/$build/kestrun" KESTRUN_E2E_SDK_DIR="$PWD/$build" QT_QPA_PLATFORM=offscreen
exec umockdev-wrapper "$build/tests/e2e/kestrun-soak" "$minutes" "$interval"
