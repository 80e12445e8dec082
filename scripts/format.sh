#!/usr/bin/env bash
# Applies the house style (.clang-format) to every C++ source of the tree;
# with --check, changes nothing and fails when a file strays from it.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=(-i)
if [ "${1:-}" = "--check" ]; then mode=(--dry-run --Werror); fi

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t sources < <(git ls-files '*.cpp' '*.hpp')
else
  mapfile -t sources < <(find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.hpp' \) -print)
fi
clang-format "${mode[@]}" "${sources[@]}"
