#!/usr/bin/env bash
# Formats the C and C++ sources of the repository with clang-format 14 and .clang-format.
#   format.sh           rewrites the files that differ
#   format.sh --check   rewrites nothing: lists the files that differ, exit code 1 if any do
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-apply}
if [ "$mode" != apply ] && [ "$mode" != --check ]; then
  echo "usage: format.sh [--check]" >&2
  exit 2
fi
formatter=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$formatter" ]; then
  echo "format.sh: no clang-format (bash scripts/deps.sh test installs clang-format-14)" >&2
  exit 2
fi

mapfile -t files < <(git ls-files -- '*.c' '*.cpp' '*.h')
if [ "$mode" = apply ]; then
  printf '%s\0' "${files[@]}" | xargs -0 -n 50 "$formatter" -i --style=file
  exit 0
fi

status=0
for file in "${files[@]}"; do
  if ! "$formatter" --style=file "$file" | cmp -s - "$file"; then
    echo "$file"
    status=1
  fi
done
exit $status
