#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each for SECONDS (default 30) over its seeds and its kept corpus.
#   scripts/fuzz.sh [SECONDS]        FUZZ_BUILD_DIR (default build-fuzz), FUZZ_TARGETS to pick,
#                                    FUZZ_SKIP_BUILD=1 to run what is built
# A target that crashes leaves its input in FUZZ_BUILD_DIR/findings/ and the script fails.
# Found inputs that add coverage stay in FUZZ_BUILD_DIR/corpus/; fuzz/corpus/ holds the seeds and
# regression inputs that are committed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=${FUZZ_BUILD_DIR:-build-fuzz}
targets=${FUZZ_TARGETS:-"fuzz_movie_file fuzz_combined_image fuzz_raw_image fuzz_srec
  fuzz_settings_files fuzz_frame_assembler fuzz_command_message fuzz_discovery_ack
  fuzz_control_reply"}

if [ "${FUZZ_SKIP_BUILD:-0}" != 1 ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -DZELIR_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZELIR_WERROR=${ZELIR_WERROR:-OFF} >/dev/null
  cmake --build "$build" -j2
  rm -rf "$build/seeds"
  "$build/bin/zelir-fuzz-seeds" "$build/seeds"
fi
seeds=$build/seeds
mkdir -p "$build/findings" "$build/logs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in $targets; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  dict=()
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  kept=()
  [ -d "fuzz/corpus/$target" ] && kept=("fuzz/corpus/$target")
  log=$build/logs/$target.log
  # A raw image is told by its size alone; the smallest with leading rows is 151 KiB.
  max_len=65536
  [ "$target" = fuzz_raw_image ] && max_len=262144
  if "$build/bin/$target" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
      "$corpus" "$seeds/$target" "${kept[@]}" >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo ?)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo ?)
    echo "$target: $runs runs, coverage $cov edges, no finding"
  else
    echo "$target: FINDING (see $log)"
    grep -E 'ERROR|SUMMARY|runtime error' "$log" | head -5
    status=1
  fi
done
exit $status
