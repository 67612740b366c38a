#!/usr/bin/env bash
# Installs what the tests need, builds Kestrun with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
# The sources as clang-format writes them (scripts/format.sh rewrites them).
bash scripts/format.sh --check
cmake --preset default -DKESTRUN_WERROR=ON
cmake --build --preset default
ctest --preset default -j2
bash scripts/test-deb.sh build
bash scripts/test-sanitizers.sh
bash scripts/fuzz.sh 20
bash scripts/test-windows.sh
bash scripts/test-windows32.sh
