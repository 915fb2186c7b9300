#!/usr/bin/env bash
# Sets up, builds and runs every test through CTest; arguments go to the
# configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh "$@"
ctest --preset default -j "$(nproc)"
