#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12), then configures and builds.
#   scripts/setup.sh          build only
#   scripts/setup.sh run      build, then start Catalog
#   scripts/setup.sh test     build, then run every test
set -euo pipefail
cd "$(dirname "$0")/.."

# postgresql: the server the tests start for themselves (scripts/test_server.sh); libpq-dev and
# libqt6sql6-psql: the client library and Qt's driver, for catalogues on a PostgreSQL server.
packages=(cmake g++ make pkg-config clang-format qt6-base-dev libqt6sql6-sqlite
          libgl-dev libtag1-dev libmpg123-dev libmpv-dev libsqlite3-dev libblkid-dev e2fsprogs xvfb xauth
          dpkg-dev file desktop-file-utils appstream
          postgresql libpq-dev libqt6sql6-psql)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCATALOG_WERROR=$werror >/dev/null
cmake --build build -j"$(nproc)"

case "${1:-}" in
run)
    exec build/catalog/app/Catalog
    ;;
test)
    cd build
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
    ;;
esac
