#!/usr/bin/env bash
# Sets up, builds and starts Scrivlane.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
exec ./build/src/app/scrivlane "$@"
