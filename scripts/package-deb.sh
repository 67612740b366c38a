#!/usr/bin/env bash
# Builds the Debian package kestrun_<version>_<arch>.deb.
#   package-deb.sh [build folder] [output folder]
# The build folder (default build-deb) is configured for /usr and built, then CPack makes the
# package, which goes to the output folder (default: the current one). A new build folder gets
# Debian's compiler and linker flags with full hardening; an existing one keeps its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-build-deb}")
output=$(realpath -m "${2:-.}")

if [ ! -f "$build/CMakeCache.txt" ]; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  # CMake takes CFLAGS, CXXFLAGS and LDFLAGS from the environment on a first configure, but
  # not CPPFLAGS (the fortify define): it goes with the other two.
  CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
  export CFLAGS CXXFLAGS LDFLAGS
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKESTRUN_BUILD_TESTS=OFF -DKESTRUN_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr
else
  cmake "$build" -DCMAKE_INSTALL_PREFIX=/usr
fi
cmake --build "$build"
mkdir -p "$output"
(cd "$build" && cpack -G DEB -B "$output")
rm -rf "$output/_CPack_Packages"
ls "$output"/kestrun_*.deb
