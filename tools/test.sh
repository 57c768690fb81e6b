#!/usr/bin/env bash
# The test command: installs what is missing, builds natively and for Windows,
# and runs every test (native, then under Wine on a virtual display).
#   tools/test.sh            everything
# Build folders: build/native, build/win (and build/win32 for the 32-bit
# product build when the GUI tests need it).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

tools/deps.sh

echo "== native build and tests"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure -j"$jobs"

echo "== Windows build"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTAVRIN_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build/win -j"$jobs"

echo "== tests under Wine"
tools/with-display ctest --test-dir build/win --output-on-failure
