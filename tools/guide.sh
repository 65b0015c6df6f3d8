#!/bin/sh
# Makes the user's guide without a build: build/guide/Anleitung.html and build/guide/bilder/.
set -e
root=$(dirname "$(readlink -f "$0")")/..
rm -rf "$root/build/guide"
exec python3 "$root/tools/guide.py" "$root/docs/anleitung.md" "$root/docs" "$root/build/guide"
