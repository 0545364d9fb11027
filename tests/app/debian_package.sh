#!/usr/bin/env bash
# Builds the Debian package and checks that it installs a program that can run: every shared
# library the program needs is either in the package or comes with a package it depends on,
# and so does Qt's SQLite driver, which the program loads at run time.
#   debian_package.sh CPACK_CONFIG
set -u
config="$1"
for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-architecture file readelf; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup.sh installs it)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/*.deb)
dpkg-deb -x "$deb" "$work/root"
program="$work/root/usr/bin/Catalog"
[ -x "$program" ] || { echo "the package holds no /usr/bin/Catalog"; exit 1; }

# The packages a dependency brings, one step deep (libtag1v5 is the name under which
# libtag1v5-vanilla, which holds the library, is depended on).
names() { sed 's/([^)]*)//g; s/[,|]/ /g'; }
depends=$(dpkg-deb -f "$deb" Depends | names)
echo "Depends: $depends"
brought=" "
for pkg in $depends; do
    brought+="$pkg $(dpkg-query -W -f='${Depends} ${Pre-Depends}' "$pkg" 2>/dev/null | names) "
done
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
check() { # LIBRARY-PATTERN WHAT
    local pkg
    pkg=$(dpkg -S "*/$multiarch/$1" 2>/dev/null | head -1 | cut -d: -f1)
    case "$brought" in
    *" $pkg "*) ;;
    *) echo "$2 comes from '$pkg', which the package does not bring"; status=1 ;;
    esac
}

status=0
for lib in $(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    [ -e "$work/root/usr/lib/$lib" ] || check "$lib" "$lib"
done
check "qt6/plugins/sqldrivers/libqsqlite.so" "Qt's SQLite driver"
check "qt6/plugins/sqldrivers/libqsqlpsql.so" "Qt's PostgreSQL driver"
[ $status -eq 0 ] && echo "the package brings everything the program loads"
exit $status
