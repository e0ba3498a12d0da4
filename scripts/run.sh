#!/usr/bin/env bash
# Sets up the machine, builds the release configuration and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
exec build/release/bin/tallowick status "$@"
