#!/usr/bin/env bash
# The test command: installs what is missing, builds natively and for Windows,
# and runs every test: native, native again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzz targets for a bounded time, then under
# Wine on a virtual display.
#   tools/test.sh            everything
#   TAVRIN_FUZZ_SECONDS=N    seconds per fuzz target (default 20)
# Build folders: build/native, build/native-asan, build/fuzz, build/win.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

tools/deps.sh

echo "== native build and tests"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure -j"$jobs"

echo "== native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/native-asan -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_WARNINGS_AS_ERRORS=ON \
  -DTAVRIN_SANITIZE=address,undefined >/dev/null
cmake --build build/native-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/native-asan --output-on-failure -j"$jobs"

echo "== fuzzing (libFuzzer, clang)"
tests/fuzz/run_fuzzers.sh build/fuzz "${TAVRIN_FUZZ_SECONDS:-20}"

echo "== Windows build"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTAVRIN_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build/win -j"$jobs"

echo "== tests under Wine"
tools/with-display ctest --test-dir build/win --output-on-failure
