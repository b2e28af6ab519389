#!/usr/bin/env bash
# Set up, build and run every test: first the normal build in build/, then a
# clang build with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-sanitize/, whose instrumentation also serves libFuzzer: its test run
# fuzzes each fuzzing target for 30 s besides the tests. Exits non-zero when
# anything fails.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="${QX_JOBS:-2}"

QX_CMAKE_ARGS="-DQX_WERROR=ON -DQX_LINE_TABLES=ON" QX_EXTRA_PACKAGES="clang libclang-rt-14-dev" "$repo/scripts/setup.sh"

echo "== tests (build/)"
ctest --test-dir "$repo/build" --output-on-failure -j"$jobs"

echo "== tests with sanitizers (build-sanitize/)"
# A folder configured otherwise (another compiler) is made anew.
if ! grep -qs '^QX_FUZZ:BOOL=ON' "$repo/build-sanitize/CMakeCache.txt"; then
  rm -rf "$repo/build-sanitize"
fi
CC=clang CXX=clang++ cmake -S "$repo" -B "$repo/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQX_WERROR=ON \
      -DQX_SANITIZE=ON -DQX_FUZZ=ON -DQX_LINE_TABLES=ON -DQX_BUILD_GUI=ON -DQX_BUILD_BENCH=OFF
cmake --build "$repo/build-sanitize" -j"$jobs"
UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}" ctest --test-dir "$repo/build-sanitize" --output-on-failure -j"$jobs"

echo "== all tests passed"
