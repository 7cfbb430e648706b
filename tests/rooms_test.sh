#!/usr/bin/env bash
# The rooms of src/ in the order they build on each other: no file includes a
# room that comes after its own. A room is the first folder under src/ (both
# windows are the room ui).
#
#   rooms_test.sh <path to src>
set -euo pipefail
src=${1:?path to src}
rooms=(catalogue format io press mission layout start ui)

rank() {
    local n
    for n in "${!rooms[@]}"; do
        if [[ ${rooms[$n]} == "$1" ]]; then
            echo "$n"
            return
        fi
    done
    echo -1
}

failed=0
checked=0
while IFS= read -r -d '' file; do
    relative=${file#"$src"/}
    room=${relative%%/*}
    own=$(rank "$room")
    if ((own < 0)); then
        echo "$relative: in no room (${rooms[*]})"
        failed=1
        continue
    fi
    while read -r included; do
        [[ $included == */* ]] || continue
        other=$(rank "${included%%/*}")
        ((other < 0)) && continue
        checked=$((checked + 1))
        if ((other > own)); then
            echo "$relative includes $included: ${included%%/*} comes after $room"
            failed=1
        fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" -mindepth 2 \( -name '*.h' -o -name '*.cpp' \) -print0)
echo "$checked includes checked against the room order: ${rooms[*]}"
exit "$failed"
