#!/bin/sh
# Runs one Windows program of the cross build under wine, headless:
#   wine-run.sh <Qt prefix> <wine prefix> <program.exe> [arguments...]
# The Qt prefix's own wrapper puts its DLLs on WINEPATH and hands QT_* variables through.
# Wine's debugger stays off, so a crashing program exits non-zero instead of 0.
# scripts/test-windows.sh creates the wine prefix and starts its server before the tests.
set -eu
qt_prefix=$1
export WINEPREFIX=$2
shift 2
# The server keeps the registry in memory, so a new prefix shows only its folders at first.
if [ ! -d "$WINEPREFIX/dosdevices" ]; then
    echo "wine-run.sh: no wine prefix at $WINEPREFIX; run scripts/test-windows.sh first" >&2
    exit 2
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe,winemenubuilder.exe=d"
exec "$qt_prefix/bin/wine-run.sh" "$@"
