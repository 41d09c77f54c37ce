#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds RIVOLA and computes the bundled
# example plant; says where its results are.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${RIVOLA_BUILD_DIR:-$here/build}
bash "$here/scripts/setup.sh"
out=$build/example
mkdir -p "$out"
cd "$out"
if [ -x "$build/rivola-db" ] && [ -d "$here/examples" ]; then
  for sql in "$here"/examples/*.sql; do
    [ -e "$sql" ] || continue
    "$build/rivola-db" load "$out/$(basename "${sql%.sql}").mdb" "$sql"
  done
  "$build/rivola-db" new-results "$out"
fi
status=0
for db in "$out"/*.mdb; do
  [ -e "$db" ] || continue
  case "$(basename "$db")" in [Rr][Ii][Vv][Oo][Ll][Aa]_8_*|*_C_*) continue ;; esac
  echo "== rivola $db"
  "$build/rivola" "$db" || status=$?
done
echo
echo "Results are in $out:"
ls -1 "$out"
exit 0
