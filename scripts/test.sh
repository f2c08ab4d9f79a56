#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test inside the Wine test
# bed, with a folder of the build tree mapped as the floppy drive A: and a
# small file system of 4 MiB as drive R: (for the disk-full tests).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
scripts/deps.sh
scripts/build.sh
rm -rf build/win32/floppy
scripts/winebed.sh --floppy build/win32/floppy --small-drive build/win32/small-drive -- \
    ctest --test-dir build/win32 --output-on-failure -j"$(nproc)" "$@"
