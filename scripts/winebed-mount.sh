#!/usr/bin/env bash
# Mounts a file system of 1 MiB (a tmpfs) on a folder of the bed's drive C:,
# or unmounts it, for a program in the Wine test bed: scripts/winebed.sh
# --mounts writes a script into drive Z: that calls this one with the
# prefix and the file that lists the mounts, which the bed unmounts at its
# end. A program starts that script as
#     SCRIPT mount|unmount C:\FOLDER C:\STATUS-FILE
# and waits for the status file ("ok", or what failed): under Wine the start
# of a Unix program cannot be waited for.
set -uo pipefail
prefix=$1
list=$2
action=$3

# The Unix path of a name of drive C:; only such names, with no ".." part.
unix_path() {
    local name=${1//\\//}
    case $name in
        [cC]:/*) ;;
        *) return 1 ;;
    esac
    case /$name/ in
        */../*) return 1 ;;
    esac
    printf '%s/drive_c/%s' "$prefix" "${name:3}"
}

status=$(unix_path "$5") || exit 2
point=$(unix_path "$4") || { echo "not a folder of drive C: $4" >"$status"; exit 2; }
case $action in
    mount)
        if error=$(mount -t tmpfs -o size=1m winebed-mount "$point" 2>&1); then
            printf '%s\n' "$point" >>"$list"
            error=ok
        fi ;;
    unmount)
        error=$(umount "$point" 2>&1) && error=ok ;;
    *)
        error="mount or unmount, not $action" ;;
esac
printf '%s\n' "${error:-failed}" >"$status"
