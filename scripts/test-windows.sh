#!/usr/bin/env bash
# Cross-builds Kestrun for Windows (mingw-w64 against the Qt 5 / hidapi prefix in
# ../shared/toolchains) into build-win/ and runs its tests under wine. Run as root.
#   KESTRUN_QT_WIN_TARBALL   the prefix tarball, if it is not qt5-mingw64.tar.xz in
#                            ../shared/toolchains beside the checkout, or /work/shared/toolchains
#                            (where a clone elsewhere, such as CI's, finds it)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tarball=${KESTRUN_QT_WIN_TARBALL:-}
if [ -z "$tarball" ]; then
  for folder in "$root/../shared/toolchains" /work/shared/toolchains; do
    if [ -f "$folder/qt5-mingw64.tar.xz" ]; then
      tarball=$folder/qt5-mingw64.tar.xz
      break
    fi
  done
fi
qt_prefix=$root/build-win-qt/qt5-mingw64
build=$root/build-win

if ! dpkg -s g++-mingw-w64-x86-64-posix wine >/dev/null 2>&1; then
  bash scripts/deps.sh windows
fi

# Unpack the prefix once; again only when the tarball changes.
if [ ! -f "$tarball" ]; then
  echo "test-windows.sh: no Qt prefix tarball qt5-mingw64.tar.xz (set KESTRUN_QT_WIN_TARBALL)" >&2
  exit 1
fi
stamp=$(stat -c '%s %Y' "$tarball")
if [ "$(cat "$root/build-win-qt/.tarball" 2>/dev/null)" != "$stamp" ]; then
  rm -rf "$root/build-win-qt"
  mkdir -p "$root/build-win-qt"
  tar -xJf "$tarball" -C "$root/build-win-qt"
  echo "$stamp" > "$root/build-win-qt/.tarball"
fi

cmake --preset windows -DKESTRUN_QT_WIN_PREFIX="$qt_prefix"
cmake --build --preset windows -j2

# One wine prefix per build folder and one persistent server for all tests. Its output is
# detached: wine's services inherit open pipes, and CTest would wait on them for ever.
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe,winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
sh -c 'wineserver -p; wine wineboot' </dev/null >/dev/null 2>&1
trap 'wineserver -k || true' EXIT
if ! grep -q '^"Graphics"="null"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
  # Wine's desktop process of a new prefix started with the default (X11) driver, which has no
  # display here, so windows could not be created: restart the prefix on the null driver.
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
  sh -c 'wineserver -p; wine wineboot' </dev/null >/dev/null 2>&1
fi

# Each run starts from a clean user: the test programs' application data and settings go.
rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/tst_* "$WINEPREFIX"/drive_c/users/*/AppData/Local/tst_*
wine reg delete 'HKCU\Software\MyCompanyTalvex' /f </dev/null >/dev/null 2>&1 || true

ctest --preset windows -j2
