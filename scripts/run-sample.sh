#!/usr/bin/env bash
# Installs what is missing, builds, and runs setup.exe from the sample
# distribution under Wine: on your display when DISPLAY is set, otherwise on
# a virtual one.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
scripts/deps.sh
scripts/build.sh
cd build/win32/sample
status=0
"$root"/scripts/winebed.sh --use-display -- wine setup.exe || status=$?
echo "setup.exe ended with exit code $status"
exit $status
