#!/usr/bin/env bash
# Runs clang-tidy 14 with .clang-tidy over the program's own sources (src/, sensorsdk/, tests/,
# bench/) in a build folder's compile database, two files at a time. It builds the folder first:
# the sources include the headers moc and uic generate. Exit code 1 on any finding.
#   lint.sh [build folder] [regex of the files to check]      (defaults: build, all of them)
# A Windows cross build's folder (build-win, made by scripts/test-windows.sh) lints the Windows
# sources, *_win.cpp and tests/windows/, as mingw-w64 compiles them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build}
files=${2:-"^$root/(src|sensorsdk|tests|bench)/"}
tidy=$(command -v clang-tidy-14 || command -v clang-tidy || true)
runner=$(command -v run-clang-tidy-14 || command -v run-clang-tidy || true)
if [ -z "$tidy" ] || [ -z "$runner" ]; then
  echo "lint.sh: no clang-tidy (bash scripts/deps.sh test installs clang-tidy-14)" >&2
  exit 2
fi
if [ ! -f "$build/compile_commands.json" ]; then
  cmake --preset default
fi
cmake --build "$build"

extra=()
triple=$(grep -o -m1 '[a-z0-9_]*-w64-mingw32' "$build/compile_commands.json" || true)
if [ -n "$triple" ]; then
  # clang finds mingw-w64's C headers by the target, but not GCC's C++ library beside them.
  gcc=$(ls -d /usr/lib/gcc/"$triple"/*-posix | head -n1)
  extra=(-extra-arg=--target="$triple" -extra-arg=-isystem"$gcc"/include/c++
         -extra-arg=-isystem"$gcc"/include/c++/"$triple")
  files=${2:-"^$root/(src/.*_win\.cpp|tests/windows/.*)$"}
fi

log=$build/lint.log
"$runner" -clang-tidy-binary "$tidy" -p "$build" -j 2 -quiet "${extra[@]}" "$files" >"$log" 2>&1 || true
# The runner asks clang-tidy for colours: the findings are read without them.
findings=$(sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -E '^/.*: (warning|error): ' | sort -u || true)
if [ -n "$findings" ]; then
  echo "$findings"
  echo "lint.sh: $(echo "$findings" | wc -l) findings (full output: $log)"
  exit 1
fi
echo "lint.sh: no findings"
