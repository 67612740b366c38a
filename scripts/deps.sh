#!/usr/bin/env bash
# Installs the Debian 12 packages Kestrun needs. Run as root.
#   deps.sh          build and run
#   deps.sh test     also what the tests need (the Debian package's test included)
#   deps.sh deb      also what scripts/package-deb.sh needs
#   deps.sh windows  also the Windows cross build and wine (scripts/test-windows.sh)
#   deps.sh bench    also the peer monitors and X side of scripts/bench-peers.sh
#   deps.sh windows32  the 32-bit Windows cross build, the installer tools and wine's i386 half
#                    run through qemu (scripts/test-windows32.sh): wine32 itself is only
#                    downloaded and unpacked into DIR (second argument), never installed, because
#                    on a kernel without 32-bit code it takes over 64-bit wine too
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qtbase5-dev qtbase5-dev-tools
          libhidapi-dev libudev-dev libsensors-dev)
# The Debian package: CPack computes its Depends with dpkg-shlibdeps (which needs `file`),
# lintian checks it, and its test validates the menu entry.
deb_packages=(dpkg-dev file lintian desktop-file-utils)
if [ "${1:-}" = deb ]; then
  packages+=("${deb_packages[@]}")
fi
if [ "${1:-}" = test ]; then
  packages+=(umockdev libumockdev-dev libglib2.0-dev libbenchmark-dev)
  # The sensor corpus round trip prints each rebuilt machine with lm-sensors' `sensors`.
  packages+=(lm-sensors)
  # The widget tests draw text and the LED dot glyph with DejaVu Sans (and Sans Mono).
  packages+=(fonts-dejavu-core)
  # The tray test: a virtual X server (xvfb-run needs xauth) and a system tray host.
  packages+=(xvfb xauth trayer)
  # Fuzzing (scripts/fuzz.sh): clang with libFuzzer and its sanitizer runtimes.
  packages+=(clang-14 libclang-rt-14-dev)
  # The source's format and lint (scripts/format.sh, scripts/lint.sh).
  packages+=(clang-format-14 clang-tidy-14)
  packages+=("${deb_packages[@]}")
fi
if [ "${1:-}" = bench ]; then
  packages+=(umockdev libumockdev-dev libglib2.0-dev xvfb xcompmgr trayer gkrellm xsensors conky-std)
fi
if [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-x86-64-posix wine)
fi
if [ "${1:-}" = windows32 ]; then
  packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine nsis qemu-user libwine:i386)
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get -o DPkg::Lock::Timeout=600 update -qq
apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
if [ "${1:-}" = windows32 ] && [ -n "${2:-}" ] && [ ! -x "$2/usr/lib/wine/wine" ]; then
  rm -rf "$2.download"
  mkdir -p "$2.download"
  (cd "$2.download" && apt-get download -qq wine32:i386)
  dpkg-deb -x "$2.download"/wine32_*_i386.deb "$2"
  rm -rf "$2.download"
fi
