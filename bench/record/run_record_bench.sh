#!/usr/bin/env bash
# zelir record from an emulated camera in the namespaces (as root, under the namespace lock).
# Usage: run_record_bench.sh BUILD_DIR [--rates 60,120,180] [--seconds S]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
shift || true
state=$(mktemp -d)
camera() {
    trap '"$here/../../tests/net/emulators.sh" down "$build/bin" "$state" >/dev/null; rm -rf "$state"' EXIT
    "$here/../../tests/net/emulators.sh" up "$build/bin" "$state" >/dev/null
    ip netns exec zelir-h /usr/bin/python3 "$here/record_bench.py" "$build/bin/zelir" "$@"
}
export -f camera
export here build state
flock /tmp/zelir-netns.lock bash -c 'camera "$@"' camera "$@"
