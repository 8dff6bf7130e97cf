#!/usr/bin/env bash
# The live-view benchmark on the sample movie, then (as root, under the namespace lock) on an
# emulated camera in the namespaces. Usage: run_view_bench.sh BUILD_DIR [--seconds S]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
shift || true
echo "movie (build/samples/sample.irm):"
/usr/bin/python3 "$here/view_bench.py" "$build/bin/zelir" "$build/samples/sample.irm" "$@"
state=$(mktemp -d)
camera() {
    trap '"$here/../../tests/net/emulators.sh" down "$build/bin" "$state" >/dev/null; rm -rf "$state"' EXIT
    "$here/../../tests/net/emulators.sh" up "$build/bin" "$state" >/dev/null
    echo "camera (zelir-camsim, 640 x 512 x 16-bit):"
    ip netns exec zelir-h /usr/bin/python3 "$here/view_bench.py" "$build/bin/zelir" \
        gige://198.18.0.2 --admin 198.18.0.2 "$@"
}
export -f camera
export here build state
flock /tmp/zelir-netns.lock bash -c 'camera "$@"' camera "$@"
