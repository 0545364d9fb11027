#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests: a cluster of its own in DIR/data (superuser
# "catalog", no passwords, UTF8, locale C.UTF-8), reachable only through a Unix socket in DIR,
# never over TCP. Clients connect with postgresql:///postgres?host=DIR&user=catalog.
#   scripts/test_server.sh start DIR   removes what an earlier run left in DIR, starts the server
#                                      and waits until it accepts connections
#   scripts/test_server.sh stop DIR    stops the server and removes DIR
set -euo pipefail

[ $# -eq 2 ] && { [ "$1" = start ] || [ "$1" = stop ]; } || {
    echo "usage: $0 start|stop DIR" >&2
    exit 2
}
action=$1
dir=$(realpath -m -- "$2")
cd /

fail() {
    echo "test_server.sh: $*" >&2
    exit 1
}

# The newest installed server; pg_config's folder may be the client's only.
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$bin/initdb" ] && [ -x "$bin/pg_ctl" ] ||
    fail "no PostgreSQL server in /usr/lib/postgresql/*/bin (scripts/setup.sh installs it)"

# The server refuses to run as root: root runs it as Debian's postgres system user.
as_server=()
if [ "$(id -u)" -eq 0 ]; then
    id -u postgres >/dev/null 2>&1 || fail "running as root needs the postgres system user"
    as_server=(runuser -u postgres --)
fi

# A Unix socket's path holds at most 107 bytes.
[ "$(printf %s "$dir" | wc -c)" -le 93 ] || fail "$dir is too long a path for the server's socket"

marker=.catalog-test-server
tmp_home_pattern='^/tmp/catalog-test-server\.[A-Za-z0-9]+$'

# Where the server's files live: DIR itself, or the private folder in /tmp that DIR names.
server_home() {
    if [ -f "$dir/server-folder" ]; then
        local home
        home=$(cat "$dir/server-folder")
        [[ $home =~ $tmp_home_pattern ]] || fail "$dir/server-folder names $home, not a server folder"
        echo "$home"
    else
        echo "$dir"
    fi
}

# The server's processes are those whose working folder is its data folder (find's -lname takes
# a pattern: the folder's wildcards are escaped).
server_pids() {
    local pattern
    pattern=$(realpath -m -- "$1" | sed 's/[][*?\\]/\\&/g')
    find /proc/[0-9]*/cwd -maxdepth 0 -lname "$pattern" -printf '%h\n' 2>/dev/null |
        sed 's|^/proc/||' || true
}

postmaster_running() {
    local pid
    [ -f "$1/postmaster.pid" ] || return 1
    pid=$(head -n 1 "$1/postmaster.pid")
    [ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" = "$(realpath -m -- "$1")" ]
}

# DIR is removed only when it is absent, empty or made by this script: never someone's folder.
remove_dir() {
    local home=$1
    if [ -e "$dir" ] && [ ! -f "$dir/$marker" ] && [ -n "$(ls -A "$dir")" ]; then
        fail "$dir holds files of its own; not removing it"
    fi
    [ "$home" = "$dir" ] || rm -rf -- "$home"
    rm -rf -- "$dir"
}

# A server left running is stopped at once; a crashed one's processes may outlive it briefly.
clear_leftovers() {
    local home data
    home=$(server_home)
    data=$home/data
    if postmaster_running "$data"; then
        "${as_server[@]}" "$bin/pg_ctl" stop -D "$data" -m immediate -w -s || true
    fi
    server_pids "$data" | xargs -r kill -KILL 2>/dev/null || true
    remove_dir "$home"
}

# The server must reach DIR through every folder above it; /root, for one, it cannot. Then its
# files go to a private folder in /tmp that DIR names, and DIR's socket is a link to its socket.
make_home() {
    mkdir -p -- "$dir"
    touch "$dir/$marker"
    if [ ${#as_server[@]} -eq 0 ]; then
        echo "$dir"
    elif "${as_server[@]}" test -x "$(dirname -- "$dir")"; then
        chown -R postgres: "$dir"
        echo "$dir"
    else
        local home
        home=$(mktemp -d /tmp/catalog-test-server.XXXXXX)
        chown postgres: "$home"
        echo "$home" >"$dir/server-folder"
        ln -s "$home/.s.PGSQL.5432" "$dir/.s.PGSQL.5432"
        echo "$home"
    fi
}

# A quoted string of postgresql.conf.
conf_string() {
    local value=${1//\\/\\\\}
    echo "'${value//\'/\'\'}'"
}

start() {
    clear_leftovers
    local home data
    home=$(make_home)
    data=$home/data
    "${as_server[@]}" "$bin/initdb" -D "$data" -U catalog -A trust -E UTF8 --locale=C.UTF-8 \
        --no-sync --no-instructions >"$home/initdb.log" 2>&1 || {
        cat "$home/initdb.log" >&2
        fail "initdb failed"
    }
    # A throw-away cluster needs no durability: unsynced writes keep the tests quick.
    cat >>"$data/postgresql.conf" <<EOF
listen_addresses = ''
unix_socket_directories = $(conf_string "$home")
port = 5432
fsync = off
synchronous_commit = off
full_page_writes = off
EOF
    "${as_server[@]}" "$bin/pg_ctl" start -D "$data" -l "$home/server.log" -w -t 60 -s || {
        cat "$home/server.log" >&2
        fail "the server did not start"
    }
}

stop() {
    local home data
    home=$(server_home)
    data=$home/data
    if postmaster_running "$data"; then
        "${as_server[@]}" "$bin/pg_ctl" stop -D "$data" -m fast -w -s ||
            fail "the server in $data did not stop"
    fi
    remove_dir "$home"
}

$action
