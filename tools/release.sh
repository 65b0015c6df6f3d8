#!/usr/bin/env bash
# Makes dist/Orvano-VERSION.zip: the x86 Orvano.exe, the German guide (Anleitung.html with its
# pictures in bilder/) and SHA256SUMS. The guide's pictures are those the WoW64 stage took of
# this very Orvano.exe while its scenarios performed each step, so the stage must have passed
# with it: when its results are missing or belong to another Orvano.exe, the stage runs first
# (about 11 minutes with its machine cached, 30 from nothing). The archive's bytes depend on
# the commit alone: entry times are the commit's, order and modes are fixed, and the program
# is linked without a time stamp.
#
# tools/release.sh [BUILD_DIR [OUT_DIR]]: another binary dir for the win32 preset (default
# build/win32) and another folder for the archive (default dist). ORVANO_STAGE_DIR names the
# results of a stage that ran elsewhere (a build's wow64/ folder); they are then taken as they
# are, and the archive is refused unless they are of the same bytes of Orvano.exe.
set -eu
cd "$(dirname "$(readlink -f "$0")")/.."
build=$(readlink -m "${1:-build/win32}")
out=$(readlink -m "${2:-dist}")
version=$(sed -n 's/^project(Orvano VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release.sh: no version in CMakeLists.txt" >&2; exit 1; }
fail() { echo "release.sh: $*" >&2; exit 1; }

cmake --preset win32 -B "$build" >/dev/null
if [ -n "${ORVANO_STAGE_DIR:-}" ]; then
    cmake --build "$build" --target Orvano -j 2
    stage=$(readlink -m "$ORVANO_STAGE_DIR")
else
    cmake --build "$build" -j 2
    stage=$build/wow64
fi
results=$stage/result/work
sum=$(sha256sum "$build/Orvano.exe" | cut -d' ' -f1)
scenarios=$(tests/wow64/scenarios_sum.sh)
ran() { cat "$results/Orvano.exe.sha256" 2>/dev/null; }
ran_scenarios() { cat "$results/scenarios.sha256" 2>/dev/null; }
if [ "$(ran)" != "$sum" ] || [ "$(ran_scenarios)" != "$scenarios" ]; then
    if [ -z "${ORVANO_STAGE_DIR:-}" ]; then
        echo "release.sh: the WoW64 stage has not run this Orvano.exe and these scenarios yet;" \
            "running it" >&2
        ctest --test-dir "$build" -L wow64 -E '^release\.' --output-on-failure >&2 || true
    fi
fi
[ "$(ran)" = "$sum" ] || fail "the WoW64 stage in $stage ran another Orvano.exe ($(ran))"
[ "$(ran_scenarios)" = "$scenarios" ] || fail "the WoW64 stage in $stage ran other scenarios"
for rc in "$results"/results/*.rc; do
    [ -f "$rc" ] || fail "no results of the WoW64 stage in $stage"
    [ "$(cat "$rc")" = 0 ] || fail "the WoW64 scenario $(basename "$rc" .rc) failed: no archive"
done

guide=$build/guide
rm -rf "$guide"
python3 tools/guide.py docs/anleitung.md "$results/screenshots" "$guide" ||
    fail "the guide could not be made from the stage's pictures"
files=("Orvano.exe=$build/Orvano.exe" "Anleitung.html=$guide/Anleitung.html")
while IFS= read -r -d '' picture; do
    # A window the machine did not paint comes out black: no such picture goes to a user.
    mean=$(convert "$picture" -colorspace Gray -format '%[fx:int(100*mean)]' info:)
    [ "$mean" -ge 20 ] || fail "the picture ${picture##*/} is dark (${mean}% bright): not painted?"
    files+=("bilder/${picture##*/}=$picture")
done < <(find "$guide/bilder" -maxdepth 1 -name '*.png' -print0 | LC_ALL=C sort -z)

mkdir -p "$out"
archive=$out/Orvano-$version.zip
python3 tools/pack_release.py "$archive.tmp" "${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}" "${files[@]}"
mv "$archive.tmp" "$archive"
echo "$archive"
