#!/usr/bin/env bash
# Sets up, builds and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
ctest --preset default -j "$(nproc)"
