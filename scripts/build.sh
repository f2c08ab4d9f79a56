#!/usr/bin/env bash
# Configures (once) and builds everything into build/win32.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
if [ ! -f build/win32/CMakeCache.txt ]; then
    cmake -S . -B build/win32 -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build/win32 -j"$(nproc)"
