#!/usr/bin/env bash
# CTest fixture: brings the namespaces and one emulator per camera interface up or down.
#   emulators.sh up BIN_DIR STATE_DIR  |  emulators.sh down BIN_DIR STATE_DIR
# Exits 77 (reported as skipped) when namespaces cannot be made here.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
netns=$here/../../scripts/netns.sh
action=$1 bin=$2 state=$3

if ! reason=$("$netns" check 2>&1); then
    echo "SKIPPED: $reason"
    exit 77
fi
mkdir -p "$state"

stop_emulators() {
    for pidfile in "$state"/camsim-*.pid; do
        [ -f "$pidfile" ] || continue
        pid=$(cat "$pidfile")
        # Only a process we started: check it is still the emulator before ending it.
        if [ -n "$pid" ] && grep -q zelir-camsim "/proc/$pid/cmdline" 2>/dev/null; then
            kill "$pid" 2>/dev/null
            for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        fi
        rm -f "$pidfile"
    done
}

case $action in
up)
    stop_emulators
    "$netns" up || exit 1
    for ifc in zc0 zc1; do
        log=$state/camsim-$ifc.log
        setsid ip netns exec zelir-c "$bin/zelir-camsim" --interface "$ifc" --admin-port 3999 \
            --serial "ZS00000${ifc#zc}" >"$log" 2>&1 </dev/null &
        echo $! >"$state/camsim-$ifc.pid"
    done
    for ifc in zc0 zc1; do
        for _ in $(seq 50); do grep -q ready "$state/camsim-$ifc.log" && break; sleep 0.1; done
        grep -q ready "$state/camsim-$ifc.log" || { cat "$state/camsim-$ifc.log"; exit 1; }
    done
    echo "namespaces and emulators up"
    ;;
down)
    stop_emulators
    "$netns" down
    echo "namespaces down"
    ;;
*)
    echo "usage: $0 up|down BIN_DIR STATE_DIR" >&2
    exit 2
    ;;
esac
