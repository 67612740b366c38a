#!/usr/bin/env bash
# Installs what Kestrun needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUN_BUILD_TESTS=OFF -DKESTRUN_BUILD_BENCH=OFF
cmake --build build
exec ./build/kestrun "$@"
