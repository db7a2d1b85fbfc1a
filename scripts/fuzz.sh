#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer in build-fuzz/ and runs each for the
# given number of seconds (default 30) from the seed corpus in tests/fuzz/corpus/.
# New inputs go to build-fuzz/corpus/; a crash leaves its input in build-fuzz/artifacts/
# and fails the run. Prints the executions per second of each target.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQMX_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz --parallel "$(nproc)" --target fuzz_meterline fuzz_logloader fuzz_csvwriter
mkdir -p build-fuzz/artifacts
status=0
for target in meterline logloader csvwriter; do
  # The fuzzer works on a copy: the seeds in the repository stay as they are.
  corpus="build-fuzz/corpus/$target"
  mkdir -p "$corpus"
  cp -n tests/fuzz/corpus/"$target"/* "$corpus"/
  log="build-fuzz/$target.log"
  if ! ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1 \
      "build-fuzz/bin/fuzz_$target" "$corpus" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="build-fuzz/artifacts/$target-" >"$log" 2>&1; then
    echo "fuzz_$target: FAILED (see $log and build-fuzz/artifacts/)"
    tail -n 30 "$log"
    status=1
    continue
  fi
  stats=$(grep -E '^#[0-9]+.*exec/s' "$log" | tail -n 1 || true)
  echo "fuzz_$target: ${seconds}s clean; ${stats}"
done
exit $status
