#!/usr/bin/env bash
# Installs what building and testing Orvano needs on a Debian machine, when it is missing:
# the host compiler and GoogleTest, both MinGW-w64 cross compilers, wine64, Xvfb, ImageMagick
# and xdotool (keys and clicks of the end-to-end tests), python3 (the router stand-in of the
# payload tests); libfwnt and zlib (outside LZNT1 decoder and size yardstick) and clang for the
# fuzz targets; qemu, debootstrap and e2fsprogs for the virtual machine of the WoW64 stage.
set -eu
packages=(cmake make g++ libgtest-dev googletest
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          wine64 xvfb imagemagick xdotool python3
          libfwnt-dev zlib1g-dev clang libclang-rt-dev
          qemu-system-x86 debootstrap e2fsprogs debian-archive-keyring)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
