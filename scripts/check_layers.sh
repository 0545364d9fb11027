#!/usr/bin/env bash
# Fails when a file includes a header of a folder on a higher floor, or of another folder on
# its own floor: the folders stay layered, each using only those beneath it.
#   scripts/check_layers.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# Bottom to top; folders on one line share a floor and do not use each other.
floors=(
    "panefold"
    "catalog/model"
    "catalog/store"
    "catalog/scan"
    "catalog/core catalog/cli"
    "catalog/dialogs"
    "catalog/cataloger catalog/player catalog/stats"
    "catalog/app"
)

declare -A floor_of home
for i in "${!floors[@]}"; do
    for folder in ${floors[$i]}; do
        floor_of[$folder]=$i
    done
done
for folder in "${!floor_of[@]}"; do
    for header in $(git ls-files "$folder" | grep -E '\.h$'); do
        home[$(basename "$header")]=$folder
    done
done

status=0
for folder in "${!floor_of[@]}"; do
    for file in $(git ls-files "$folder" | grep -E '\.(cpp|h)$'); do
        while IFS= read -r header; do
            used=${home[$header]:-}
            if [ -z "$used" ] || [ "$used" = "$folder" ]; then
                continue
            fi
            if ((floor_of[$used] >= floor_of[$folder])); then
                echo "$file includes $header of $used, which is not beneath $folder"
                status=1
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]\([^">]*\)[">].*/\1/p' "$file")
    done
done
[ $status -eq 0 ] && echo "Layers: every include points down."
exit $status
