#!/usr/bin/env bash
# Sets up the machine and runs the whole test suite under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev
ctest --preset dev -j2
