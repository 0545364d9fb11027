#!/usr/bin/env bash
# Checks the desktop integration of an installed Catalog: the menu entry and the software-centre
# metadata pass the freedesktop validators, and the entry starts the installed program and names
# an installed icon.
#   desktop_files.sh DATADIR BINDIR
set -u
datadir="$1"
bindir="$2"
id=io.github.catalog.Catalog
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup.sh installs it)"; exit 77; }
done
desktop="$datadir/applications/$id.desktop"
metainfo="$datadir/metainfo/$id.metainfo.xml"

complaints=$(desktop-file-validate "$desktop" 2>&1) || { echo "$complaints"; exit 1; }
[ -z "$complaints" ] || { echo "$complaints"; exit 1; }
appstreamcli validate --no-net "$metainfo" || exit 1
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    { echo "the metadata does not launch $id.desktop"; exit 1; }

program=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$bindir/$program" ] || { echo "the entry starts $program, which is not in $bindir"; exit 1; }
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -s "$datadir/icons/hicolor/scalable/apps/$icon.svg" ] || { echo "no icon $icon installed"; exit 1; }
echo "desktop entry, metadata and icon are in place"
