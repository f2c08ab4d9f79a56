#!/usr/bin/env bash
# Takes the pictures of the end users' screens in docs/screens/: runs the
# sample's setup.exe from its diskettes in drive A: on the test bed's virtual
# display, walks
# through its screens from outside (build/win32/tests/screen_tour.exe) and
# turns each picture into a PNG file. Run it again whenever a screen changes.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
scripts/deps.sh
scripts/build.sh
shots=$root/build/win32/screens
rm -rf "$shots"
mkdir -p "$shots" docs/screens
# The tour changes the diskettes in A: itself; Wine sees the build tree
# through its drive Z:.
scripts/winebed.sh --floppy "$shots/drive-a" -- \
    wine build/win32/tests/screen_tour.exe "Z:${shots//\//\\}"

for bmp in "$shots"/*.bmp; do
    name=$(basename "$bmp" .bmp)
    # Without metadata (dates), so that an unchanged screen gives the same file.
    convert "$bmp" -strip "docs/screens/$name.png"
    echo "docs/screens/$name.png"
done
