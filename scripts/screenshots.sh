#!/usr/bin/env bash
# Takes the pictures of the screens in docs/screens/: runs the sample's whole
# installation and uninstallation from its two diskettes in drive A: on the
# test bed's virtual display, driven from outside by
# build/win32/tests/tour.exe, and turns each picture into a PNG file. A few
# of the screens are taken again on a screen of 120 pixels per inch (scaled
# to 125 %), as docs/screens/*-120dpi.png. Run it again whenever a screen
# changes.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
scripts/deps.sh
scripts/build.sh
shots=$root/build/win32/screens
rm -rf "$shots"
mkdir -p "$shots/drive-a" docs/screens
# The tour changes the diskettes in A: itself; programs in the bed see the
# build folder through drive Z:.
scripts/winebed.sh --floppy "$shots/drive-a" -- \
    wine "$root"/build/win32/tests/tour.exe "$(scripts/winebed.sh --windows-path "$shots")" diskettes

rm -f docs/screens/*.png
for bmp in "$shots"/*.bmp; do
    # The pages name the pictures without the tour's numbering.
    name=$(basename "$bmp" .bmp)
    name=${name#[0-9][0-9]-}
    # Without metadata (dates), so that an unchanged screen gives the same file.
    convert "$bmp" -strip "docs/screens/$name.png"
    echo "docs/screens/$name.png"
done

# The same setup on a screen of 120 pixels per inch, 800 by 600 pixels.
large=$root/build/win32/screens-120
rm -rf "$large"
mkdir -p "$large"
scripts/winebed.sh --dpi 120 --screen 800x600x24 -- \
    wine "$root"/build/win32/tests/tour.exe "$(scripts/winebed.sh --windows-path "$large")"
for name in settings exit-question uninstall-selection; do
    convert "$large"/[0-9][0-9]-"$name.bmp" -strip "docs/screens/$name-120dpi.png"
    echo "docs/screens/$name-120dpi.png"
done

# The splash on a plain X display of 800 by 600 pixels, with neither Wine's
# desktop nor a window manager, as scripts/run-sample.sh shows it on a
# DISPLAY of the user's: taken from the X server once the welcome message is
# up, after which the bed ends the setup.
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -screen 0 800x600x24 -nolisten tcp -displayfd 3 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
read -r -t 30 number <"$fifo"
rm -f "$fifo"
plain=$root/docs/screens/splash-plain-display.png
(
    cd build/win32/sample
    DISPLAY=:$number "$root"/scripts/winebed.sh --use-display -- sh -c '
        wine setup.exe &
        for i in $(seq 60); do
            xdotool search --name "^Information$" >/dev/null 2>&1 && break
            sleep 1
        done
        sleep 1
        import -window root "$1"
        wineserver -k' sh "$plain"
)
convert "$plain" -strip "$plain"
echo "docs/screens/splash-plain-display.png"
