#!/usr/bin/env bash
# Fails when a tracked C++ file does not follow the repository's .clang-format;
# with --fix, reformats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=(--dry-run -Werror)
[ "${1:-}" = --fix ] && mode=(-i)
git ls-files -z '*.cpp' '*.h' | xargs -0 -P "$(nproc)" -n 16 clang-format "${mode[@]}"
