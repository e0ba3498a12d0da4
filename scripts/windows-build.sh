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
# Resources: the registry scripts, the type library and the string table.
resource_types=$(strings -e l "$dll")
for type in REGISTRY TYPELIB; do
  if grep -qx "$type" <<<"$resource_types"; then
    echo "resource ok: $type"
  else
    echo "resource MISSING: $type" >&2
    status=1
  fi
done
if grep -q "TallowickRequestsHandlerIE Class" <<<"$resource_types"; then
  echo "resource ok: string table"
else
  echo "resource MISSING: string table" >&2
  status=1
fi
exit $status
