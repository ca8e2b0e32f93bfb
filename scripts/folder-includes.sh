#!/usr/bin/env bash
# Lists, for each source folder, the other folders its files include from, and fails if two
# folders include each other, or if files include each other in a circle (X.h and X.cpp count
# as one file here, so that a circle through either of them is found).
set -euo pipefail
cd "$(dirname "$0")/.."
folders=(base storage words settings sync study exchange framework res ui app)
declare -A uses
for folder in "${folders[@]}"; do
    [ -d "$folder" ] || continue
    used=$(grep -rhoE '^#include "[a-z]+/' "$folder" --include='*.h' --include='*.cpp' |
        sed -E 's/^#include "([a-z]+)\//\1/' | { grep -vx "$folder" || true; } | sort -u | tr '\n' ' ')
    uses[$folder]="$used"
    printf '%-10s -> %s\n' "$folder" "${used:-(nothing)}"
done
status=0
for a in "${!uses[@]}"; do
    for b in ${uses[$a]}; do
        if [[ " ${uses[$b]:-} " == *" $a "* && "$a" < "$b" ]]; then
            echo "cycle: $a and $b include each other" >&2
            status=1
        fi
    done
done
[ "$status" -eq 0 ] && echo "no two folders include each other"

# Every include of one of our headers, as "from to" pairs of names without extension, and
# tsort to find the circles among them.
edges=$(for folder in "${folders[@]}"; do
    [ -d "$folder" ] || continue
    find "$folder" -name '*.h' -o -name '*.cpp'
done | sort | while read -r file; do
    from="${file%.*}"
    { grep -oE '^#include "[a-z]+/[A-Za-z0-9_]+\.h"' "$file" || true; } |
        sed -E 's/^#include "(.*)\.h"$/\1/' | while read -r to; do
        [ "$to" = "$from" ] || echo "$from $to"
    done
done)
circles=$(printf '%s\n' "$edges" | { tsort 2>&1 >/dev/null || true; } |
    sed -E '/input contains a loop/d; s/^tsort: //' | sort -u | tr '\n' ' ')
if [ -n "$circles" ]; then
    echo "circle: these files include each other in a circle: $circles" >&2
    status=1
else
    echo "no files include each other in a circle"
fi
exit "$status"
