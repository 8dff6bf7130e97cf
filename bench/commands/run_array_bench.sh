#!/usr/bin/env bash
# Brings the namespaces and emulators up, runs the array transfer benchmark in zelir-h, and
# takes everything down again. Needs root. Usage: run_array_bench.sh BUILD_DIR [options]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
shift || true
state=$(mktemp -d)
trap '"$here/../../tests/net/emulators.sh" down "$build/bin" "$state" >/dev/null' EXIT
"$here/../../tests/net/emulators.sh" up "$build/bin" "$state"
ip netns exec zelir-h "$build/bin/array_transfer_bench" "$@"
