#!/usr/bin/env bash
# Installs what building and running the setup needs on a Debian machine, as
# root: the mingw-w64 cross compiler, CMake, GoogleTest's sources, 32-bit Wine,
# a virtual X server, mtools for the floppy images of a distribution, and
# openssl and osslsigncode for signing setup.exe.
# Installs nothing when everything is there already.
set -euo pipefail

packages=(
    cmake make
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    googletest libgtest-dev
    clang libclang-rt-14-dev
    wine wine32:i386 fonts-wine fonts-liberation
    xvfb xauth x11-utils xdotool imagemagick
    mtools
    openssl osslsigncode
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "deps: installing ${missing[*]}" >&2
if [ "$(id -u)" -ne 0 ]; then
    echo "deps: these packages are missing; run as root to install them" >&2
    exit 1
fi
# Wine's 32-bit part comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
