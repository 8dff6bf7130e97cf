#!/usr/bin/env bash
# Builds (warnings as errors when ZELIR_WERROR=ON) and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} \
  -DZELIR_WERROR=${ZELIR_WERROR:-OFF} ${CMAKE_EXTRA_ARGS:-} >/dev/null
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2 "$@"
