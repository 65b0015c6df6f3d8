#!/usr/bin/env bash
# The release archive twice from this commit, after the WoW64 stage: once from the win32
# build the other tests use (whose Orvano.exe the stage ran and photographed), once from a
# fresh configure of the win32 preset in another folder, some seconds later, with the same
# stage's pictures. Both archives must have the same bytes, and carry the very Orvano.exe the
# stage ran under a matching SHA256SUMS.
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
second=$(ORVANO_STAGE_DIR=$build/wow64 "$source/tools/release.sh" "$work/build" "$work/second" |
    tail -n 1)

cmp "$first" "$second" || fail "two archives of one commit differ: $first $second"

mkdir "$work/unpacked"
python3 -m zipfile -e "$first" "$work/unpacked"
(cd "$work/unpacked" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match"
ran=$(cat "$build/wow64/result/work/Orvano.exe.sha256")
grep -qx "$ran  Orvano.exe" "$work/unpacked/SHA256SUMS" ||
    fail "the archive's Orvano.exe is not the one the WoW64 stage ran ($ran)"
echo "same bytes: $first; Orvano.exe $ran as the WoW64 stage ran it"
