#!/usr/bin/env bash
# Soak test in the network namespaces: the emulator streams 640x512 at 180 frames/s with faults
# injected together (2 % of the frames lose a packet, 10 % have two packets swapped, 10 % one
# packet twice, every 97th frame repeats the block id before it), while zelir-soak pulls frames, records, changes a setting under late and doubled
# replies, restarts the camera and takes the link down and up; it prints its figures and fails
# when a check fails.
#   scripts/soak.sh MINUTES          BUILD_DIR (default build) holds zelir-camsim and, unless
#                                    SOAK_BIN names another, zelir-soak
# Exits 77 when namespaces cannot be made here. Holds /tmp/zelir-netns.lock while it runs.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:?usage: scripts/soak.sh MINUTES}
build=${BUILD_DIR:-build}
soak=$(realpath "${SOAK_BIN:-$build/bin/zelir-soak}")
camsim=$(realpath "$build/bin/zelir-camsim")
seconds=$(awk -v m="$minutes" 'BEGIN { printf "%d", m * 60 }')

if ! reason=$(scripts/netns.sh check 2>&1); then
  echo "SKIPPED: $reason"
  exit 77
fi
exec 9>/tmp/zelir-netns.lock
flock 9
scripts/netns.sh up >/dev/null

work=$(mktemp -d /tmp/zelir-soak.XXXXXX)
camsim_pid=
cleanup() {
  if [ -n "$camsim_pid" ] && grep -q zelir-camsim "/proc/$camsim_pid/cmdline" 2>/dev/null; then
    kill "$camsim_pid"
    wait "$camsim_pid" 2>/dev/null || true
  fi
  scripts/netns.sh down >/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

setsid ip netns exec zelir-c "$camsim" --interface zc0 --admin-port 3999 --rate 180 \
  --loss-percent 2 --reorder-percent 10 --duplicate-percent 10 --repeat-block-id \
  --fault-every 97 --stamp-packets --seed 7 >"$work/camsim.log" 2>&1 </dev/null &
camsim_pid=$!
for _ in $(seq 50); do grep -q ready "$work/camsim.log" && break; sleep 0.1; done
grep -q ready "$work/camsim.log" || { cat "$work/camsim.log"; exit 1; }

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
ip netns exec zelir-h env ZELIR_DATA_DIR="$work" "$soak" --seconds "$seconds" --out "$work"
