#!/usr/bin/env bash
# ThreadSanitizer job: its own build folder, the unit tests, then the stress test of two
# cameras and three threads in the network namespaces. Any report fails it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TSAN_BUILD_DIR:-build-tsan}
export TSAN_OPTIONS="halt_on_error=1 abort_on_error=0 exitcode=66 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELIR_SANITIZE=thread \
  -DZELIR_BENCHMARKS=OFF -DZELIR_WERROR=${ZELIR_WERROR:-OFF} >/dev/null
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2 -LE net
ctest --test-dir "$build" --output-on-failure -L net -R 'net_emulators|net_stress_test'
