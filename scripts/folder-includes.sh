#!/usr/bin/env bash
# Lists, for each source folder, the other folders its files include from, and fails if two
# folders include each other.
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
exit "$status"
