#!/usr/bin/env bash
# Runs the example plants and generated benchmark plants with two builds of
# RIVOLA and compares every result file byte for byte (listings, CSV, input
# echo, plot data, drawing). For changes that must leave the results as they
# are. Both runs must be made on the same day (the listings carry the date).
#
#   bash scripts/compare_outputs.sh OLD_BUILD_DIR NEW_BUILD_DIR [SIZES]
#
# SIZES: element counts of generated plants, default "1000 5000 25000".
set -euo pipefail
old=$(cd "$1" && pwd); new=$(cd "$2" && pwd)
sizes=${3:-"1000 5000 25000"}
src=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# prepare DIR NAME SCRIPT...: a results database and the variant NAME from its scripts
prepare() {
    local dir=$1 name=$2; shift 2
    mkdir -p "$dir"
    (cd "$dir" && "$new/rivola-db" new-results . >/dev/null)
    for s in "$@"; do
        local target=$name
        case $(basename "$s" .sql) in *_C_*) target=$(basename "$s" .sql) ;; esac
        [ -f "$dir/$target.mdb" ] || (cd "$dir" && "$new/rivola-db" new-variant "$target.mdb" >/dev/null)
        (cd "$dir" && "$new/rivola-db" load "$target.mdb" "$s" >/dev/null)
    done
}

status=0
run_both() {  # NAME SCRIPT...
    local name=$1; shift
    for b in old new; do
        prepare "$work/$b/$name" "$name" "$@"
        local bin=$old; [ $b = new ] && bin=$new
        (cd "$work/$b/$name" && "$bin/rivola" "$name.mdb" >/dev/null 2>&1) || true
    done
    local files=0
    for f in "$work/old/$name"/*; do
        local n; n=$(basename "$f")
        case $n in *.mdb|*.sql) continue ;; esac
        files=$((files + 1))
        if ! cmp -s "$f" "$work/new/$name/$n"; then
            echo "DIFFERENT: $name/$n"; status=1
        fi
    done
    for f in "$work/new/$name"/*; do
        [ -e "$work/old/$name/$(basename "$f")" ] || { echo "ONLY NEW: $name/$(basename "$f")"; status=1; }
    done
    echo "$name: $files result files compared"
}

run_both kleine_anlage "$src/examples/kleine_anlage.sql"
run_both klaeranlage "$src/examples/klaeranlage_C_SANDFANG.sql" "$src/examples/klaeranlage.sql"
for n in $sizes; do
    "$new/rivola-gen" --elements "$n" -o "$work/gen$n.sql" >/dev/null 2>&1
    run_both "gen$n" "$work/gen$n.sql"
done
[ $status = 0 ] && echo "all result files identical" || echo "results differ"
exit $status
