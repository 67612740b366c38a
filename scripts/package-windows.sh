#!/usr/bin/env bash
# Builds the Windows installer (NSIS) and the portable zip of a configured Windows cross build:
#   package-windows.sh [build folder] [output folder]
# Defaults: build-win32 and the build folder itself. Either word size: the build's toolchain
# decides (cmake/toolchain-mingw32.cmake or toolchain-mingw64.cmake).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build-win32}")
output=$(realpath -m "${2:-$build}")
if [ ! -f "$build/CPackConfig.cmake" ]; then
  echo "package-windows.sh: $build is not a configured Windows build" >&2
  exit 1
fi
command -v makensis >/dev/null || bash scripts/deps.sh windows32
cmake --build "$build" --target kestrun
mkdir -p "$output"
(cd "$build" && cpack -C Release -B "$output/_cpack")
for package in "$output"/_cpack/kestrun-*.exe "$output"/_cpack/kestrun-*.zip; do
  mv -f "$package" "$output/"
  echo "package-windows.sh: $output/$(basename "$package") ($(stat -c %s "$output/$(basename "$package")") bytes)"
done
rm -rf "$output/_cpack"
