#!/usr/bin/env bash
# The release archive twice from this commit: once from the win32 build the other tests use
# (whose Orvano.exe the WoW64 stage runs), once from a fresh configure of the win32 preset in
# another folder, some seconds later. Both archives must have the same bytes, and the first
# must carry that very Orvano.exe under a matching SHA256SUMS.
#
# check_reproducible.sh SOURCE_DIR BUILD_DIR WORK_DIR
set -eu
source=$1 build=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

first=$("$source/tools/release.sh" "$build" "$work/first" | tail -n 1)
# Entry times must come from the commit, not from the clock or the files.
sleep 2
second=$("$source/tools/release.sh" "$work/build" "$work/second" | tail -n 1)

cmp "$first" "$second" || fail "two archives of one commit differ: $first $second"

mkdir "$work/unpacked"
python3 -m zipfile -e "$first" "$work/unpacked"
cmp "$work/unpacked/Orvano.exe" "$build/Orvano.exe" ||
    fail "the archive's Orvano.exe is not the build's"
(cd "$work/unpacked" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"
echo "same bytes: $first"
