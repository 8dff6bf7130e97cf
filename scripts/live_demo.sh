#!/usr/bin/env bash
# Live demo: brings up the network namespaces and two emulated cameras, lists them, grabs
# palette images and records a movie from the first, and takes everything down again.
# Needs root (network namespaces). Nothing reaches a real interface of this machine.
#   scripts/live_demo.sh [BUILD_DIR] [OUT_DIR]      (defaults: build, BUILD_DIR/live-demo)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
out=${2:-$build/live-demo}
bin=$build/bin
for tool in zelir zelir-camsim; do
    [ -x "$bin/$tool" ] || { echo "no $bin/$tool: build first (scripts/setup.sh)" >&2; exit 1; }
done
state=$(mktemp -d)
trap '"$here/../tests/net/emulators.sh" down "$bin" "$state" >/dev/null; rm -rf "$state"' EXIT
"$here/../tests/net/emulators.sh" up "$bin" "$state"
mkdir -p "$out"

run() {
    echo "\$ zelir $*"
    ip netns exec zelir-h "$bin/zelir" "$@"
    echo
}
run discover
run grab cam://0 --frames 10 --out "$out" --palette 1
run record cam://0 --seconds 2 --out "$out/live.irm"
"$bin/zelir" info "$out/live.irm"
echo
echo "palette images: $out/frame00000.bmp ... frame00009.bmp; movie: $out/live.irm"
