#!/usr/bin/env bash
# Installs the Debian 12 packages Kestrun needs. Run as root.
#   deps.sh          build and run
#   deps.sh test     also what the tests need (the Debian package's test included)
#   deps.sh deb      also what scripts/package-deb.sh needs
#   deps.sh windows  also the Windows cross build and wine (scripts/test-windows.sh)
#   deps.sh bench    also the peer monitors and X side of scripts/bench-peers.sh
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
  packages+=("${deb_packages[@]}")
fi
if [ "${1:-}" = bench ]; then
  packages+=(umockdev libumockdev-dev libglib2.0-dev xvfb xcompmgr trayer gkrellm xsensors conky-std)
fi
if [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-x86-64-posix wine)
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
