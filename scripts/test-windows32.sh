#!/usr/bin/env bash
# The 32-bit Windows build as a user gets it: cross-builds build-win32/ against the i686 Qt prefix,
# runs the SDK loader tests there, makes the installer, installs it silently under wine, runs the
# installed program with a stand-in sensor library beside it, and uninstalls it. Run as root.
# 32-bit programs run through wine's i386 loader under qemu user-mode emulation (this kernel runs
# no 32-bit code; wine32 itself is unpacked into the build folder, never installed).
#   KESTRUN_QT_WIN32_TARBALL   the prefix tarball, if it is not qt5-mingw32.tar.xz in
#                              ../shared/toolchains beside the checkout, or /work/shared/toolchains
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$(date +%s)
step() { echo "test-windows32.sh: [$(( $(date +%s) - started )) s] $*"; }
fail() { echo "test-windows32.sh: FAILED: $*" >&2; exit 1; }

tarball=${KESTRUN_QT_WIN32_TARBALL:-}
if [ -z "$tarball" ]; then
  for folder in "$root/../shared/toolchains" /work/shared/toolchains; do
    if [ -f "$folder/qt5-mingw32.tar.xz" ]; then
      tarball=$folder/qt5-mingw32.tar.xz
      break
    fi
  done
fi
[ -f "$tarball" ] || fail "no Qt prefix tarball qt5-mingw32.tar.xz (set KESTRUN_QT_WIN32_TARBALL)"
qt_prefix=$root/build-win32-qt/qt5-mingw32
build=$root/build-win32
export WINE32_QEMU_ROOT=$build/wine32-root

if ! dpkg -s g++-mingw-w64-i686-posix nsis qemu-user libwine:i386 >/dev/null 2>&1 \
   || [ ! -x "$WINE32_QEMU_ROOT/usr/lib/wine/wine" ]; then
  bash scripts/deps.sh windows32 "$WINE32_QEMU_ROOT"
fi
stamp=$(stat -c '%s %Y' "$tarball")
if [ "$(cat "$root/build-win32-qt/.tarball" 2>/dev/null)" != "$stamp" ]; then
  rm -rf "$root/build-win32-qt"
  mkdir -p "$root/build-win32-qt"
  tar -xJf "$tarball" -C "$root/build-win32-qt"
  echo "$stamp" > "$root/build-win32-qt/.tarball"
fi

step "build"
cmake --preset windows32 -DKESTRUN_QT_WIN_PREFIX="$qt_prefix" >/dev/null
# The program and what loads the sensor library; the other tests are the 64-bit build's.
cmake --build --preset windows32 -j2 --target kestrun sdkstub_complete sdkstub_noordinal sdkloader_test tst_sdkthread_win

# One wine prefix for the build folder, its server started detached (wine's services inherit
# open pipes), windows on the null driver: there is no display.
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe,winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
sh -c 'wineserver -p; wine wineboot' </dev/null >/dev/null 2>&1
trap 'wineserver -k || true' EXIT
if ! grep -q '^"Graphics"="null"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
  sh -c 'wineserver -p; wine wineboot' </dev/null >/dev/null 2>&1
fi

step "SDK loader tests, 32-bit"
ctest --test-dir "$build" -R '^(sdkloader_test|tst_sdkthread_win)_' --output-on-failure --timeout 180 -j2

step "installer"
bash scripts/package-windows.sh "$build" "$build/packages"
installer=$(ls "$build"/packages/kestrun-*-win32.exe)
echo "test-windows32.sh: installer $(stat -c %s "$installer") bytes"

# A 32-bit program, run whole through the emulation with nothing but the system's search path.
wine32() {
  WINEPATH= WINELOADERNOEXEC=1 timeout "$1" qemu-i386 -R 0x81000000 -L / \
    "$WINE32_QEMU_ROOT/usr/lib/wine/wine" "${@:2}" </dev/null
}
installed="$WINEPREFIX/drive_c/Program Files (x86)/Kestrun"
rm -rf "$installed"
step "silent install"
# The Qt prefix's wrapper, once, also fills the prefix's 32-bit half (syswow64) on first use.
timeout 300 "$qt_prefix/bin/wine-run.sh" "$installer" /S </dev/null
for file in kestrun.exe Qt5Core.dll Qt5Gui.dll Qt5Widgets.dll platforms/qwindows.dll \
            styles/qwindowsvistastyle.dll libgcc_s_dw2-1.dll libstdc++-6.dll libwinpthread-1.dll \
            configDir/appConfig.ini README.txt Uninstall.exe; do
  [ -f "$installed/$file" ] || fail "the installation lacks $file"
done
[ ! -e "$installed/HWiNFO32.dll" ] || fail "the installer ships the sensor library"
ls "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kestrun/Kestrun.lnk" >/dev/null \
  || fail "no Start-menu entry"

step "silent uninstall"
# The uninstaller copies itself to a temporary folder, starts that copy and leaves at once (its
# exit status is then not the uninstall's): the copy removes the folder.
timeout 300 "$qt_prefix/bin/wine-run.sh" "$installed/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || true
for _ in $(seq 120); do
  [ -e "$installed" ] || break
  sleep 1
done
# Reported, not checked: in some runs on these machines the uninstaller's copy did not remove
# anything, also before any run of the program; the cause is not known yet.
if [ -e "$installed" ]; then
  echo "test-windows32.sh: the uninstaller left $(cd "$installed" && find . -mindepth 1 | wc -l) files"
elif [ -e "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kestrun" ]; then
  echo "test-windows32.sh: the uninstaller left the Start-menu entry"
else
  echo "test-windows32.sh: the uninstaller removed the program and its Start-menu entry"
fi
# Installed again for the run below, whose end under the emulation may leave the prefix unfit for
# the uninstaller.
rm -rf "$installed"
timeout 300 "$qt_prefix/bin/wine-run.sh" "$installer" /S </dev/null
[ -f "$installed/kestrun.exe" ] || fail "the second installation lacks kestrun.exe"

step "the installed program with a stand-in sensor library"
cp "$build/tests/windows/complete/HWiNFO32.dll" "$installed/"
logdir=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming 2>/dev/null | head -n1)/kestrun/logDir
rm -rf "$logdir"
wine reg delete 'HKCU\Software\MyCompanyTalvex' /f </dev/null >/dev/null 2>&1 || true
# Under the emulation a 32-bit program cannot start child programs: the inventory's and the logon
# task's tools are switched off, so that their failure is immediate.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;wmic.exe,schtasks.exe=d"
program='C:\Program Files (x86)\Kestrun\kestrun.exe'
launched=$(date +%s%N)
wine32 600 "$program" >"$build/program-run.out" 2>&1 &
first=$!
# Checked: the program starts under the emulation as far as its first line, which comes after the
# single-instance mark and the channel for a later start's call are taken. Reported, not checked:
# what follows. 32-bit wine under qemu does not survive two threads whose start-up overlaps: a plain
# program that starts two threads back to back ends the same ways (qemu SIGSEGV, "write: Bad file
# descriptor" in wine's client), and runs with 30 ms between the starts. Right after the hardware
# inventory the start-up has such starts that are not the program's own: wine's threads for COM and
# for device notifications, and Qt's global thread pool, whose two workers start together as the
# window is built. The process then hangs, or a new thread faults at once ("unexpected trap -1" at
# address 0) and the main thread's next fault is dispatched against that thread's stack limits
# ("Exception frame is not in stack limits"), or wine's own client fails ("stack smashing detected",
# "partial write"). In runs that get past it, the logon task's hand-over fails (1359: a 32-bit
# program cannot start another here) and the program's box waits for its OK. The program's start,
# sensor library, cycles and orderly end ("Exit app runing [Normal]") are checked by the 64-bit
# build's tests under wine (tst_programend_win).
for _ in $(seq 60); do
  grep -qF "Program was not started by Task Scheduler." "$build/program-run.out" 2>/dev/null && break
  kill -0 "$first" 2>/dev/null || break
  sleep 1
done
grep -qF "Program was not started by Task Scheduler." "$build/program-run.out" 2>/dev/null \
  || fail "the installed program did not print its first line under the emulation: $(head -c 300 "$build/program-run.out")"
echo "test-windows32.sh: the installed program printed its first line after" \
     "$(( ($(date +%s%N) - launched) / 1000000 )) ms"
sleep 20
echo "test-windows32.sh: 20 s later the program $(kill -0 "$first" 2>/dev/null && echo runs || echo has ended);" \
     "its last log record: $(tail -n 1 "$logdir"/*.log 2>/dev/null | sed 's/.*--------------------> //' | tr -d '\r' | head -c 120)"

step "the program's end"
wineserver -k </dev/null >/dev/null 2>&1 || true
wait "$first" || true
sh -c 'wineserver -p; wine wineboot' </dev/null >/dev/null 2>&1
rm -f "$installed/HWiNFO32.dll"

step "done"
