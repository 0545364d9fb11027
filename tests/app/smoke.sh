#!/usr/bin/env bash
# Starts the real program on an empty settings store whose catalogue file is still empty, lets
# it run briefly on the offscreen platform, and checks that it made the catalogue and kept its
# settings.
set -u
program="$1"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config/Catalog"
: > "$home/catalog.mdb"
printf '[Settings]\nDB=%s\nDrive=/\n' "$home/catalog.mdb" > "$home/config/Catalog/Catalog.ini"

XDG_CONFIG_HOME="$home/config" QT_QPA_PLATFORM=offscreen timeout 3 "$program"
status=$?
if [ "$status" -ne 124 ]; then
    echo "the program ended by itself (status $status) instead of showing its window"
    exit 1
fi
if [ "$(head -c 15 "$home/catalog.mdb")" != "SQLite format 3" ]; then
    echo "no catalogue was made"
    exit 1
fi
grep -q "^DB=$home/catalog.mdb" "$home/config/Catalog/Catalog.ini" || { echo "setting DB lost"; exit 1; }
grep -q "^Drive=/" "$home/config/Catalog/Catalog.ini" || { echo "setting Drive lost"; exit 1; }
echo "smoke start passed"
