#!/usr/bin/env bash
# A private Firebird server for the tests of multi-user behaviour: its own
# folder, port, security database and SYSDBA password, bound to 127.0.0.1.
#   fbserver.sh start DIR PORT PASSWORD   -> prints the PID, server ready
#   fbserver.sh stop DIR                  -> stops it by PID, waits for it
set -euo pipefail

FB_LIB=/usr/lib/x86_64-linux-gnu/firebird/3.0
[ -d "$FB_LIB" ] || FB_LIB=$(dirname "$(dpkg -L firebird3.0-server-core 2>/dev/null | grep '/plugins$' | head -n1)")
FB_SHARE=/usr/share/firebird/3.0

# chown and runuser need root: a user with sudo gets them through sudo.
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

cmd=${1:?start|stop}
dir=${2:?folder}

start() {
    local port=${3:?port} password=${4:?password}
    $SUDO rm -rf "$dir"
    mkdir -p "$dir/lock" "$dir/data"
    # intl is copied: the server does not load its character sets through links.
    cp -rL "$FB_LIB/intl" "$dir/intl"
    for item in plugins lib UDF firebird.msg plugins.conf; do
        [ -e "$FB_LIB/$item" ] && ln -s "$FB_LIB/$item" "$dir/$item"
    done
    cat > "$dir/firebird.conf" <<CONF
RemoteServicePort = $port
RemoteBindAddress = 127.0.0.1
SecurityDatabase = $dir/security3.fdb
DatabaseAccess = Full
ServerMode = Super
RemoteAuxPort = 0
GuardianOption = 0
CONF
    cat > "$dir/databases.conf" <<CONF
security.db = $dir/security3.fdb
CONF
    # The security database, made through the embedded engine.
    FIREBIRD="$dir" FIREBIRD_LOCK="$dir/lock" isql-fb -q -user SYSDBA > /dev/null <<SQL
create database '$dir/security3.fdb';
input '$FB_SHARE/security.sql';
commit;
create or alter user SYSDBA password '$password';
commit;
quit;
SQL
    $SUDO chown -R firebird:firebird "$dir"
    # The folder stays writable for the caller (PID file, server output).
    $SUDO chmod 0777 "$dir" "$dir/data"
    # Start as the firebird user; setsid so that it survives this shell.
    setsid $SUDO env FIREBIRD="$dir" FIREBIRD_LOCK="$dir/lock" \
        runuser -u firebird -- /usr/sbin/firebird > "$dir/server.out" 2>&1 < /dev/null &
    local pid=$!
    echo "$pid" > "$dir/server.pid"
    for _ in $(seq 1 300); do
        if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2> /dev/null; then
            echo "$pid"
            return 0
        fi
        sleep 0.1
    done
    echo "il server Firebird privato non risponde sulla porta $port" >&2
    cat "$dir/server.out" >&2 || true
    stop
    return 1
}

stop() {
    [ -f "$dir/server.pid" ] || return 0
    local pid
    pid=$(cat "$dir/server.pid")
    # The server is a descendant of runuser (and of sudo for a user with
    # sudo); signal the whole line by PID.
    local pids="$pid" frontier="$pid" next
    while [ -n "$frontier" ]; do
        next=""
        # pgrep fails when a process has no children: not an error here.
        for p in $frontier; do next="$next $({ pgrep -P "$p" 2> /dev/null || true; } | tr '\n' ' ')"; done
        frontier=$(echo $next)
        pids="$pids $frontier"
    done
    $SUDO kill -TERM $pids 2> /dev/null || true
    for _ in $(seq 1 100); do
        local alive=0
        for p in $pids; do $SUDO kill -0 "$p" 2> /dev/null && alive=1; done
        [ "$alive" = 0 ] && break
        sleep 0.1
    done
    $SUDO kill -KILL $pids 2> /dev/null || true
    $SUDO rm -f "$dir/server.pid"
}

case "$cmd" in
    start) start "$@" ;;
    stop) stop ;;
    *) echo "uso: $0 start DIR PORT PASSWORD | stop DIR" >&2; exit 2 ;;
esac
