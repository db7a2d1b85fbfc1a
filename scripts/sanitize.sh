#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ and runs it headless; any report fails the run. CMAKE_ARGS adds options
# (e.g. -DQMX_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
BUILD_DIR=build-asan BUILD_TYPE=RelWithDebInfo CMAKE_ARGS="-DQMX_SANITIZE=ON ${CMAKE_ARGS:-}" \
  scripts/build.sh

source scripts/headless-env.sh
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:suppressions=$PWD/scripts/asan.supp"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

cd build-asan
ctest --output-on-failure --parallel "$(nproc)" "$@"
