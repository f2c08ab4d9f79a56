#!/usr/bin/env bash
# Installs what is missing, builds what it runs (setup.exe, the sample
# distribution and the tour driver, not the tests and benchmarks), and runs the
# sample product's whole installation and then its uninstallation with
# build/win32/sample/setup.exe under Wine.
#
# With a DISPLAY, the setup shows on it and you click through both runs.
# Without one, the runs happen on a virtual display and drive themselves
# (build/win32/tests/tour.exe clicks through them as a user would); a picture
# of every screen is saved, and the folder that holds them is named at the end.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
scripts/deps.sh
# The tour brings the sample's diskettes and the sample product along.
scripts/build.sh setup sample tour

if [ -n "${DISPLAY:-}" ]; then
    cd build/win32/sample
    for run in installation uninstallation; do
        echo "The $run: setup.exe is starting on your display."
        status=0
        "$root"/scripts/winebed.sh --use-display -- wine setup.exe || status=$?
        echo "setup.exe ended with exit code $status"
    done
    exit 0
fi

shots=$root/build/win32/sample-run-$(date -u +%Y%m%d-%H%M%S)
mkdir -p "$shots"
status=0
# Programs in the bed see the build folder through drive Z:.
scripts/winebed.sh -- wine "$root"/build/win32/tests/tour.exe "$(scripts/winebed.sh --windows-path "$shots")" || status=$?
for bmp in "$shots"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" -strip "${bmp%.bmp}.png" && rm "$bmp"
done
echo
if [ $status -eq 0 ]; then
    echo "The sample was installed and uninstalled."
else
    echo "The sample's run failed (exit code $status)."
fi
echo "Pictures of every screen: $shots"
ls "$shots"
exit $status
