#!/usr/bin/env bash
# Installs what is missing, builds (with the benchmarks), and runs the whole test suite
# headless, then tests a copy installed into a temporary root. Its exit status is the
# suite's. Extra arguments go to ctest (e.g. -L meter) and skip the installed copy's test.
#   QMX_SANITIZE=1  also runs the suite built with AddressSanitizer and UBSan
#   CMAKE_ARGS      adds CMake options, e.g. -DQMX_WERROR=ON (warnings as errors, as CI)
# A short fuzz run of each fuzz target follows when clang's libFuzzer is installed.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
CMAKE_ARGS="-DQMX_BUILD_BENCHMARKS=ON ${CMAKE_ARGS:-}" scripts/build.sh
python3 scripts/layers.py

source scripts/headless-env.sh

(cd build && ctest --output-on-failure --parallel "$(nproc)" "$@")
[ $# -gt 0 ] || scripts/test-install.sh

if [ "${QMX_SANITIZE:-0}" = "1" ]; then
  scripts/sanitize.sh "$@"
fi

if [ $# -eq 0 ] && command -v clang++ >/dev/null &&
   ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  scripts/fuzz.sh 30
fi
