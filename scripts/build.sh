#!/usr/bin/env bash
# Configures (once) and builds into build/win32: everything, or only the
# CMake targets named as arguments and what they depend on
# (scripts/build.sh setup sample tour).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
if [ ! -f build/win32/CMakeCache.txt ]; then
    cmake -S . -B build/win32 -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
targets=()
[ $# -eq 0 ] || targets=(--target "$@")
cmake --build build/win32 -j"$(nproc)" "${targets[@]}"
