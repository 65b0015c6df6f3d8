#!/usr/bin/env bash
# Builds the x86 product (the win32 preset's Orvano target) and packs dist/Orvano-VERSION.zip:
# Orvano.exe, the German guide when it has been made (build/guide/Anleitung.html and its
# pictures in build/guide/bilder/), and SHA256SUMS. The archive's bytes depend on the commit
# alone: entry times are the commit's, order and modes are fixed, and the program is linked
# without a time stamp.
#
# tools/release.sh [BUILD_DIR [OUT_DIR]]: another binary dir for the win32 preset (default
# build/win32, the build the WoW64 stage runs) and another folder for the archive (default dist).
set -eu
cd "$(dirname "$(readlink -f "$0")")/.."
build=$(readlink -m "${1:-build/win32}")
out=$(readlink -m "${2:-dist}")
version=$(sed -n 's/^project(Orvano VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release.sh: no version in CMakeLists.txt" >&2; exit 1; }

cmake --preset win32 -B "$build" >/dev/null
cmake --build "$build" --target Orvano -j 2

# The guide's HTML and pictures, made by the guide's own script when there is one.
guide=build/guide
if [ -x tools/guide.sh ]; then
    tools/guide.sh
fi
files=("Orvano.exe=$build/Orvano.exe")
if [ -f "$guide/Anleitung.html" ]; then
    files+=("Anleitung.html=$guide/Anleitung.html")
    while IFS= read -r -d '' picture; do
        files+=("bilder/${picture##*/}=$picture")
    done < <(find "$guide/bilder" -maxdepth 1 -name '*.png' -print0 2>/dev/null | LC_ALL=C sort -z)
fi

mkdir -p "$out"
archive=$out/Orvano-$version.zip
python3 tools/pack_release.py "$archive.tmp" "${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}" "${files[@]}"
mv "$archive.tmp" "$archive"
echo "$archive"
