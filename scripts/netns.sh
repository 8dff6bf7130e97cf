#!/usr/bin/env bash
# Makes (up) or removes (down) the two network namespaces in which everything that opens an
# adapter runs: zelir-h (the host, runs the SDK) and zelir-c (the camera, runs zelir-camsim).
#   zh0 198.18.0.1/24 <-> zc0 198.18.0.2/24
#   zh1 198.19.0.1/24 <-> zc1 198.19.0.2/24
# Nothing here touches the machine's own interfaces; "up" is safe to repeat.
set -euo pipefail

host=zelir-h
cam=zelir-c

has_ns() { ip netns list 2>/dev/null | awk '{print $1}' | grep -qx "$1"; }

pair_up() {  # host-if cam-if host-addr cam-addr
    local hif=$1 cif=$2 haddr=$3 caddr=$4
    if ! ip -n "$host" link show "$hif" >/dev/null 2>&1; then
        # Made inside the host namespace, so the pair never exists in the root namespace.
        ip -n "$host" link add "$hif" type veth peer name "$cif" netns "$cam"
    fi
    ip -n "$host" addr replace "$haddr" dev "$hif"
    ip -n "$cam" addr replace "$caddr" dev "$cif"
    # No IPv6: keeps router solicitations and the like off the captures.
    ip netns exec "$host" sysctl -qw "net.ipv6.conf.$hif.disable_ipv6=1" || true
    ip netns exec "$cam" sysctl -qw "net.ipv6.conf.$cif.disable_ipv6=1" || true
    ip -n "$host" link set "$hif" up
    ip -n "$cam" link set "$cif" up
}

up() {
    has_ns "$host" || ip netns add "$host"
    has_ns "$cam" || ip netns add "$cam"
    ip -n "$host" link set lo up
    ip -n "$cam" link set lo up
    pair_up zh0 zc0 198.18.0.1/24 198.18.0.2/24
    pair_up zh1 zc1 198.19.0.1/24 198.19.0.2/24
}

down() {
    has_ns "$host" && ip netns del "$host"
    has_ns "$cam" && ip netns del "$cam"
    return 0
}

check() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "network namespaces need root" >&2
        return 1
    fi
    if ! ip netns list >/dev/null 2>&1; then
        echo "ip netns is not available" >&2
        return 1
    fi
}

case "${1:-}" in
    up) check && up ;;
    down) check && down ;;
    check) check ;;
    *)
        echo "usage: $0 up|down|check" >&2
        exit 2
        ;;
esac
