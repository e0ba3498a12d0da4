#!/usr/bin/env bash
# Sets up the machine, builds the release configuration and runs the main job:
# the kit registered and created by the reference host (`tallowick kit-info`),
# then `tallowick inspect` on a saved Web Forms page holding every control the
# kit recognises. Arguments go to inspect (e.g. --json, --svg FILE); --json
# makes kit-info print JSON too.
# The registry file is build/release/registry.reg unless TALLOWICK_REGISTRY is set.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
export TALLOWICK_REGISTRY="${TALLOWICK_REGISTRY:-$PWD/build/release/registry.reg}"
bin=build/release/bin
"$bin/tallowick" register libTallowickIE.so >/dev/null
json=()
for arg in "$@"; do [ "$arg" = --json ] && json=(--json); done
"$bin/tallowick" kit-info "${json[@]}"
exec "$bin/tallowick" inspect examples/pages/Controls.aspx.html "$@"
