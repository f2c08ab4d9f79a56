#!/usr/bin/env bash
# The Wine test bed. Every test run and every demonstration goes through it:
#
#   scripts/winebed.sh [options] [--] command [args...]
#
# runs the command with a private Wine prefix, its own X display and one
# wineserver kept alive for the whole run, then stops every process it started.
#
# Options:
#   --prefix DIR      the Wine prefix (default: build/wineprefix in the source tree)
#   --screen WxHxD    the virtual screen (default 640x480x24)
#   --floppy DIR      map DIR as drive A: (a floppy drive) for the whole run; a
#                     test "changes the diskette" by changing the folder's contents
#   --small-drive DIR mount a file system of 4 MiB on DIR (a tmpfs, which needs
#                     root) and map it as drive R: for the whole run, with a
#                     read-only folder R:\readonly in it: the real "disk full"
#                     and "access denied" of a drive; unmounted at the end
#   --mounts          let programs in the bed mount a file system of 1 MiB (a
#                     tmpfs, which needs root) on a folder of drive C: and
#                     unmount it again (scripts/winebed-mount.sh says how),
#                     for tests of mount points; whatever is still mounted is
#                     unmounted at the end
#   --use-display     run on $DISPLAY when one is set, instead of a virtual screen
#   --dpi N           the screen's logical pixels per inch (default 96; 120 and
#                     144 are the screens scaled to 125 % and 150 %); kept in the
#                     prefix, so a later run without it goes back to 96
#
# The command sees WINEPREFIX, WINEDEBUG=-all, DISPLAY, HOME (a folder of the
# prefix's own), WINEBED_PREFIX,
# WINEBED_DRIVE_Z (the folder behind Z:, as a Unix path), with --floppy
# WINEBED_FLOPPY (the folder behind A:, as a Unix path) and, when the small
# drive could be mounted, WINEBED_SMALL_DRIVE (its letter and colon, R:), and
# with --mounts, when the bed can mount, WINEBED_MOUNT (the Windows name of
# the script that programs start to mount and unmount). The user's own ~/.wine
# is never touched.
#
#   scripts/winebed.sh --windows-path PATH
#
# prints the name under which programs in the bed reach PATH, a file or folder
# inside the build folder (Z:\win32\... for build/win32/...).
#
# NOTE: the bed keeps deletions inside itself. A new prefix maps Z: to the
# host's root and links the user's folders to the home folder; here Z: leads
# to the build folder only, no other drive letter leads out of the bed, the
# user's folders are real folders, and Wine's fonts are copied into the
# prefix rather than linked (Wine's shell delete of a folder reaches what a
# link in it points to).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")

drive_z=$root/build
if [ "${1:-}" = --windows-path ]; then
    [ $# -eq 2 ] || { echo "usage: $0 --windows-path PATH" >&2; exit 2; }
    mkdir -p "$drive_z"
    path=$(realpath -m "$2")
    case $path in
        "$drive_z"|"$drive_z"/*) ;;
        *) echo "winebed: $2 is not inside $drive_z, which is all that drive Z: shows" >&2; exit 2 ;;
    esac
    relative=${path#"$drive_z"}
    relative=${relative#/}
    echo "Z:\\${relative//\//\\}"
    exit 0
fi
prefix=$root/build/wineprefix
screen=640x480x24
floppy=
small_drive=
offer_mounts=false
use_display=false
dpi=96
while [ $# -gt 0 ]; do
    case $1 in
        --prefix) prefix=$2; shift 2 ;;
        --screen) screen=$2; shift 2 ;;
        --floppy) floppy=$2; shift 2 ;;
        --small-drive) small_drive=$2; shift 2 ;;
        --mounts) offer_mounts=true; shift ;;
        --use-display) use_display=true; shift ;;
        --dpi) dpi=$2; shift 2 ;;
        --) shift; break ;;
        -*) echo "winebed: unknown option $1" >&2; exit 2 ;;
        *) break ;;
    esac
done
case $dpi in ""|*[!0-9]*) echo "winebed: --dpi takes a number" >&2; exit 2 ;; esac
[ $# -gt 0 ] || { echo "usage: $0 [options] [--] command [args...]" >&2; exit 2; }

mkdir -p "$prefix"
export WINEPREFIX=$(cd "$prefix" && pwd)
export WINEBED_PREFIX=$WINEPREFIX
mkdir -p "$drive_z"
export WINEBED_DRIVE_Z=$drive_z
export WINEDEBUG=${WINEDEBUG:--all}
# NOTE: Wine links a user folder that has gone (Documents, Desktop and the
# like) to the home folder again when a program next asks for it, so a test
# that removes one could lead the next into the host's home. The bed's
# programs get a home folder of their own inside the prefix instead.
export HOME=$WINEPREFIX/home
mkdir -p "$HOME"
export WINEARCH=win32
# No Mono or Gecko installers, and no menu entries written into the user's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

pids=()
mounts=()
mount_script=
cleanup() {
    local status=$?
    # Ends every Wine process of this prefix, then what the bed started itself.
    wineserver -k >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do
        kill "$pid" >/dev/null 2>&1 || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    # Newest mount first: the read-only folder lies on the small drive.
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[$i]}" >/dev/null 2>&1 || true
    done
    # What the programs mounted and left mounted, newest first.
    if [ -n "$mount_script" ]; then
        if [ -f "$mount_script.list" ]; then
            tac "$mount_script.list" | while IFS= read -r point; do
                umount "$point" >/dev/null 2>&1 || true
            done
        fi
        rm -f "$mount_script" "$mount_script.list"
    fi
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if $use_display && [ -n "${DISPLAY:-}" ]; then
    : # the user's own display
else
    # Xvfb picks a free display number itself and writes it to the given pipe.
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -screen 0 "$screen" -nolisten tcp -displayfd 3 3>"$fifo" >/dev/null 2>&1 &
    pids+=($!)
    read -r -t 30 number <"$fifo" || { echo "winebed: Xvfb did not start" >&2; rm -f "$fifo"; exit 1; }
    rm -f "$fifo"
    export DISPLAY=:$number
fi

# On a virtual screen every window lives in one Wine desktop window of the
# screen's size: without a window manager, hiding a window of its own on the
# X display takes Wine two seconds, and the desktop also draws title bars.
# On the user's display windows are the display's own.
if $use_display && [ -n "${DISPLAY:-}" ]; then
    desktop=none
else
    desktop=${screen%x*}
fi

# Wine's device manager reads the drive letters and their types when a session
# starts, and the desktop is chosen then too, so a new prefix and any change of
# these are set up in a session of their own, which is ended before the real
# one starts.
floppy_dir=
if [ -n "$floppy" ]; then
    mkdir -p "$floppy"
    floppy_dir=$(cd "$floppy" && pwd)
    export WINEBED_FLOPPY=$floppy_dir
fi
# The small drive: a tmpfs, so that a write beyond its 4 MiB fails with the
# system's "disk full", and a read-only bind mount of one of its folders,
# where creating a file is refused even to root. A bed that cannot mount
# (not root) goes on without the drive, and its tests say they were skipped.
small_dir=
if [ -n "$small_drive" ]; then
    mkdir -p "$small_drive"
    small_path=$(cd "$small_drive" && pwd)
    if mount -t tmpfs -o size=4m winebed-small "$small_path" 2>/dev/null; then
        mounts+=("$small_path")
        mkdir -p "$small_path/readonly"
        if mount --bind "$small_path/readonly" "$small_path/readonly" 2>/dev/null; then
            mounts+=("$small_path/readonly")
            mount -o remount,bind,ro "$small_path/readonly" 2>/dev/null || true
        fi
        small_dir=$small_path
        export WINEBED_SMALL_DRIVE=R:
    else
        echo "winebed: cannot mount the small drive on $small_path (not root?); going on without it" >&2
    fi
fi
# The mounts offered to programs, only when a mount works here: a script in
# drive Z:, where programs reach it, that passes this run's prefix and list of
# mounts to scripts/winebed-mount.sh.
if $offer_mounts; then
    probe=$(mktemp -d)
    if mount -t tmpfs -o size=1m winebed-probe "$probe" 2>/dev/null; then
        umount "$probe"
        mount_script=$drive_z/.winebed-mount.$$
        printf '#!/usr/bin/env bash\nexec %q %q %q "$@"\n' "$here/winebed-mount.sh" "$WINEPREFIX" "$mount_script.list" \
            >"$mount_script"
        chmod +x "$mount_script"
        export WINEBED_MOUNT="Z:\\${mount_script#"$drive_z"/}"
    else
        echo "winebed: cannot mount (not root?); going on without --mounts" >&2
    fi
    rmdir "$probe"
fi
marker=$WINEPREFIX/.winebed-state
state="floppy=$floppy_dir small=$small_dir desktop=$desktop fonts=copied dpi=$dpi z=$drive_z"
if [ ! -f "$WINEPREFIX/.winebed-ready" ] || [ "$(cat "$marker" 2>/dev/null)" != "$state" ]; then
    if [ ! -f "$WINEPREFIX/.winebed-ready" ]; then
        echo "winebed: creating the Wine prefix $WINEPREFIX" >&2
        wineboot -i >/dev/null 2>&1
        touch "$WINEPREFIX/.winebed-ready"
    fi
    # Wine looks for its own fonts (MS Sans Serif, Marlett for the caption
    # buttons, Tahoma) in the prefix's Fonts folder, where Debian's package
    # puts none; without them every face falls back to the same sans font.
    fonts=$WINEPREFIX/drive_c/windows/Fonts
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*; do
        [ -e "$font" ] && cp -f --remove-destination "$font" "$fonts/"
    done
    if [ -n "$floppy_dir" ]; then
        ln -sfn "$floppy_dir" "$WINEPREFIX/dosdevices/a:"
        # The drive type comes from this value; without it A: is a fixed disk.
        wine reg add 'HKLM\Software\Wine\Drives' /v a: /t REG_SZ /d floppy /f >/dev/null
    else
        rm -f "$WINEPREFIX/dosdevices/a:"
        wine reg delete 'HKLM\Software\Wine\Drives' /v a: /f >/dev/null 2>&1 || true
    fi
    if [ -n "$small_dir" ]; then
        ln -sfn "$small_dir" "$WINEPREFIX/dosdevices/r:"
    else
        rm -f "$WINEPREFIX/dosdevices/r:"
    fi
    if [ "$desktop" = none ]; then
        wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
    else
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d "$desktop" /f >/dev/null
    fi
    # The pixels per inch that programs read from the screen; Wine also
    # picks its bitmap fonts (MS Sans Serif) by it.
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    printf '%s' "$state" >"$marker"
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
fi

# Wine links the user's Documents, Desktop, Music, Templates and similar
# folders to the home folder of whoever made the prefix. Tests that uninstall
# must meet real folders of the private prefix there, never someone's home
# behind a link: every link in drive C: is replaced by an empty folder (the
# link goes, not what it points to).
find "$WINEPREFIX/drive_c" -type l -print0 | while IFS= read -r -d '' link; do
    rm -f "$link"
    mkdir "$link"
done

# The drives of the bed, set on every start, as Wine may make others: C: the
# prefix's own, Z: the build folder, A: and R: when asked for.
for drive in "$WINEPREFIX"/dosdevices/?:; do
    case ${drive##*/} in
        a:|c:|r:) ;;
        *) rm -f "$drive" ;;
    esac
done
ln -sfn "$drive_z" "$WINEPREFIX/dosdevices/z:"

# One wineserver for the whole run, so the start-up cost is paid once.
wineserver -f -p >/dev/null 2>&1 &
pids+=($!)
# The first program of a session starts Wine's background services, which
# inherit its standard handles and outlive it. Starting them here, on
# /dev/null, keeps them off the pipes of the command's own children (CTest
# would otherwise wait for those pipes to close).
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
# The desktop is started here too, for the same reason, and waited for: the
# first programs of a run would otherwise all start it at once.
if [ "$desktop" != none ]; then
    wine explorer.exe "/desktop=Default,$desktop" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 100); do
        xwininfo -root -tree 2>/dev/null | grep -q 'Wine desktop' && break
        sleep 0.1
    done
fi

set +e
"$@"
status=$?
set -e
exit $status
