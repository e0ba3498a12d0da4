#!/usr/bin/env bash
# Cross-compiles TallowickIE.dll with mingw-w64 and checks its exports.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows
cmake --build --preset windows
dll=build/windows/kit/TallowickIE.dll
exports=$(x86_64-w64-mingw32-objdump -p "$dll" | awk '/Ordinal\/Name Pointer/{t=1;next} t && /^[ \t]*\[/{print $NF; next} t{t=0}')
status=0
for name in DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer; do
  if grep -qx "$name" <<<"$exports"; then
    echo "export ok: $name"
  else
    echo "export MISSING: $name" >&2
    status=1
  fi
done
exit $status
