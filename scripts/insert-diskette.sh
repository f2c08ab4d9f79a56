#!/usr/bin/env bash
# "Inserts" a floppy image into the Wine test bed's drive A:: empties the
# folder that the bed maps as A: and copies every file of the image into it
# with mtools. Use it before starting the setup from A: and again whenever the
# setup asks for the other diskette.
#
#   scripts/insert-diskette.sh IMAGE [FOLDER]
#
# FOLDER is the folder given to scripts/winebed.sh --floppy (build/floppy-drive
# by default).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
image=${1:?usage: $0 IMAGE [FOLDER]}
folder=${2:-$root/build/floppy-drive}
mkdir -p "$folder"
find "$folder" -mindepth 1 -delete
MTOOLS_SKIP_CHECK=1 mcopy -i "$image" -n -Q '::/*' "$folder/"
echo "$image is in drive A: ($folder):"
ls -l "$folder"
