#!/usr/bin/env bash
# Sets up the machine, builds the release configuration and runs the main job:
# the kit registered and created by the reference host, as `tallowick kit-info`.
# The registry file is build/release/registry.reg unless TALLOWICK_REGISTRY is set.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
export TALLOWICK_REGISTRY="${TALLOWICK_REGISTRY:-$PWD/build/release/registry.reg}"
bin=build/release/bin
"$bin/tallowick" register libTallowickIE.so >/dev/null
exec "$bin/tallowick" kit-info "$@"
