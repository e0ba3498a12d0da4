#!/usr/bin/env bash
# The second example of the README: starts the bundled ASP.NET site on a free
# port of 127.0.0.1, records a Calendar and a DataGrid session against it with
# `tallowick record`, replays the steps on fresh loads with `tallowick replay`
# and shows the controls where the replay ends; stops the server at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
export TALLOWICK_REGISTRY="${TALLOWICK_REGISTRY:-$PWD/build/release/registry.reg}"
bin=build/release/bin
"$bin/tallowick" register libTallowickIE.so >/dev/null

work=$(mktemp -d)
coproc SERVER { exec "$bin/aspnet-host" examples/aspnet 0; }
trap 'exec {SERVER[1]}>&-; wait "$SERVER_PID" 2>/dev/null; rm -rf "$work"' EXIT
read -r -t 120 url <&"${SERVER[0]}"
echo "ASP.NET site: $url"

echo "== record on ${url}Calendar.aspx: the next month, then a day of it"
"$bin/tallowick" record "${url}Calendar.aspx" click Calendar1/a:1 click Calendar1/a:17 |
  tee "$work/calendar.steps"
echo "== replay on a fresh load"
"$bin/tallowick" replay "${url}Calendar.aspx" "$work/calendar.steps" --inspect

echo "== record on ${url}DataGrid.aspx: a name typed, a check box cleared"
"$bin/tallowick" record "${url}DataGrid.aspx" type Grid1_ctl03_NameBox "Big bellows" \
  uncheck Grid1_ctl03_StockBox | tee "$work/grid.steps"
echo "== replay on a fresh load"
"$bin/tallowick" replay "${url}DataGrid.aspx" "$work/grid.steps" --inspect \
  --eval "document.getElementById('Grid1_ctl03_NameBox').value"
