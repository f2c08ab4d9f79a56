#!/usr/bin/env bash
# The benchmarks: each builds what is missing, then runs the real setup.exe
# in the Wine test bed and prints what it measured.
#
#   scripts/bench.sh startup [runs]   process start to the splash's first paint
#                                     against a one-window program, alternating
#                                     runs (15 of each unless told), medians and
#                                     ratio; then the reading of the six forms
#   scripts/bench.sh footprint        size of setup.exe, peak working set with
#                                     the installation settings shown
#   scripts/bench.sh all              both
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

what=${1:-all}
case $what in
    startup|footprint|all) ;;
    *) echo "usage: $0 startup [runs] | footprint | all" >&2; exit 2 ;;
esac

scripts/build.sh >/dev/null
bench=build/win32/tests/bench.exe
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores;" \
     "$(wine --version); $(date -u '+%Y-%m-%d %H:%M UTC')"
if [ "$what" = startup ] || [ "$what" = all ]; then
    scripts/winebed.sh -- wine "$bench" startup "${2:-15}"
fi
if [ "$what" = footprint ] || [ "$what" = all ]; then
    scripts/winebed.sh -- wine "$bench" footprint
fi
