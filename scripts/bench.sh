#!/usr/bin/env bash
# The benchmarks: each builds what is missing, then runs the real setup.exe
# in the Wine test bed and prints what it measured.
#
#   scripts/bench.sh startup [runs [earlier-setup.exe]]
#                                     process start to the splash's first paint
#                                     against a one-window program (and against
#                                     an earlier build of setup.exe when one is
#                                     named), alternating runs (15 of each
#                                     unless told), medians and ratios; then
#                                     the reading of the six forms
#   scripts/bench.sh footprint        size of setup.exe, peak working set with
#                                     the installation settings shown
#   scripts/bench.sh copy [runs]      the installation run copying one file of
#                                     256 MiB and 2,000 files of 4 KiB against
#                                     CopyFileA, alternating runs (5 of each
#                                     unless told), medians and ratio
#   scripts/bench.sh uninstall [runs] Select All and Uninstall on logs of 1,000,
#                                     10,000 and 100,000 files against
#                                     DeleteFileA (3 runs of each unless told,
#                                     the largest once), medians, ratio, the
#                                     listing before it, and the growth
#   scripts/bench.sh parts [runs]     where the time goes: each part of the
#                                     uninstall and of the copy timed on its
#                                     own inside one process
#   scripts/bench.sh all              all four (not parts)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

what=${1:-all}
case $what in
    startup|footprint|copy|uninstall|parts|all) ;;
    *) echo "usage: $0 startup [runs [earlier-setup.exe]] | footprint | copy [runs] | uninstall [runs] | parts [runs] | all" >&2; exit 2 ;;
esac

scripts/build.sh >/dev/null
bench=$root/build/win32/tests/bench.exe
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores;" \
     "$(wine --version); $(date -u '+%Y-%m-%d %H:%M UTC')"
if [ "$what" = startup ] || [ "$what" = all ]; then
    earlier=()
    if [ "$what" = startup ] && [ -n "${3:-}" ]; then
        # Drive Z: of the bed shows the build folder only.
        mkdir -p build/win32/bench-earlier
        cp "$3" build/win32/bench-earlier/setup.exe
        earlier=("$(scripts/winebed.sh --windows-path build/win32/bench-earlier/setup.exe)")
    fi
    scripts/winebed.sh -- wine "$bench" startup "${2:-15}" "${earlier[@]}"
fi
if [ "$what" = footprint ] || [ "$what" = all ]; then
    scripts/winebed.sh -- wine "$bench" footprint
fi
# With "all", the number of runs is the start-up's; the others keep theirs.
runs=()
[ "$what" != all ] && [ -n "${2:-}" ] && runs=("$2")
if [ "$what" = copy ] || [ "$what" = all ]; then
    scripts/winebed.sh -- wine "$bench" copy "${runs[@]}"
fi
if [ "$what" = uninstall ] || [ "$what" = all ]; then
    scripts/winebed.sh -- wine "$bench" uninstall "${runs[@]}"
fi
if [ "$what" = parts ]; then
    scripts/winebed.sh -- wine "$bench" parts "${runs[@]}"
fi
