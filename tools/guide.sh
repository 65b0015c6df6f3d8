#!/bin/sh
# Makes the user's guide alone, from the pictures of the last WoW64 stage of the win32 build:
# build/guide/Anleitung.html and build/guide/bilder/. tools/release.sh makes it for the archive.
set -e
root=$(dirname "$(readlink -f "$0")")/..
rm -rf "$root/build/guide"
exec python3 "$root/tools/guide.py" "$root/docs/anleitung.md" \
    "${1:-$root/build/win32/wow64/result/work/screenshots}" "$root/build/guide"
