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
# Exit status 1 of rivola means warnings only; 2 (errors in the input) and
# 3 (database or file failure) mean the example's results are not all there.
worst=0
for db in "$out"/*.mdb; do
  [ -e "$db" ] || continue
  case "$(basename "$db")" in [Rr][Ii][Vv][Oo][Ll][Aa]_8_*|*_C_*) continue ;; esac
  echo "== rivola $db"
  rc=0
  "$build/rivola" "$db" || rc=$?
  if [ "$rc" -ge 2 ]; then
    echo "rivola ended with status $rc for $db" >&2
    [ "$rc" -gt "$worst" ] && worst=$rc
  fi
done
echo
echo "Results are in $out:"
ls -1 "$out"
exit "$worst"
