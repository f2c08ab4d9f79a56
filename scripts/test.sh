#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test inside the Wine test
# bed, with a folder of the build tree mapped as the floppy drive A: and a
# small file system of 4 MiB as drive R: (for the disk-full tests), and the
# bed's mounts offered to the programs (for the tests of mount points). Then the
# sample's whole installation and uninstallation (tests/e2e/Tour.cpp) runs on
# screens of 120 and 144 pixels per inch (scaled to 125 % and 150 %, each on a
# screen that much larger than the bed's 640 by 480), checking that the
# forms and message dialogs are laid out for the screen's font; the pictures
# are left in build/win32/tour-120 and build/win32/tour-144.
#
# Arguments go to CTest (scripts/test.sh -R Uninstall); with arguments the
# two tours are left out.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
scripts/deps.sh
scripts/build.sh
rm -rf build/win32/floppy
status=0
scripts/winebed.sh --floppy build/win32/floppy --small-drive build/win32/small-drive --mounts -- \
    ctest --test-dir build/win32 --output-on-failure -j"$(nproc)" "$@" || status=$?
[ $# -eq 0 ] || exit $status

for run in 120:800x600x24 144:960x720x24; do
    dpi=${run%%:*}
    shots=$root/build/win32/tour-$dpi
    rm -rf "$shots"
    mkdir -p "$shots"
    echo "The sample's tour at $dpi pixels per inch"
    # Programs in the bed see the build folder through drive Z:.
    scripts/winebed.sh --dpi "$dpi" --screen "${run#*:}" -- \
        wine "$root"/build/win32/tests/tour.exe "$(scripts/winebed.sh --windows-path "$shots")" || status=$?
done
exit $status
