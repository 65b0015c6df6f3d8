#!/usr/bin/env bash
# Runs a job inside the WoW64 machine and brings its results back:
#   run.sh PAYLOAD_DIR OUT_DIR
# PAYLOAD_DIR becomes the machine's /work (a second disk, made fresh for the run); its job.sh
# runs there as root and leaves what it wants back in /work/out, which lands in OUT_DIR
# (X window dumps, *.xwd, converted to PNG). The root file system is used as a snapshot: the
# cached image and its Wine prefix stay as they are. Builds the image first when needed.
set -eu
. "$(dirname "$(readlink -f "$0")")/common.sh"
payload=$(readlink -f "$1")
out=$2
[ -f "$payload/job.sh" ] || die "no job.sh in $payload"
total=$(date +%s)
"$wow64_dir/image.sh" >/dev/null
mkdir -p "$out"
out=$(readlink -f "$out")
rm -rf "$out/work"
work_img=$out/work.img
rm -f "$work_img"
mkdir -p "$payload/out"
mke2fs -q -t ext4 -d "$payload" "$work_img" 1G || die "mke2fs of the work disk failed"
start=$(date +%s)
log "booting the machine (console: $out/console.log)"
status=0
boot "file=$image_dir/base.img,format=raw,if=virtio,snapshot=on" run "$out/console.log" \
    -drive "file=$work_img,format=raw,if=virtio" || status=$?
log "machine ran for $(elapsed "$start") (exit $status)"
e2fsck -fy "$work_img" >"$out/e2fsck.log" 2>&1 || true
debugfs -R "rdump /out $out" "$work_img" >"$out/debugfs.log" 2>&1 || die "reading the results failed"
mv "$out/out" "$out/work"
rm -f "$work_img"
# Screenshots come out as X window dumps: the machine has no ImageMagick. A dump may come with
# NAME.rect, a window's rectangle (left top right bottom) to cut the picture to.
find "$out/work" -name '*.xwd' | while read -r dump; do
    crop=()
    if [ -f "${dump%.xwd}.rect" ] && read -r left top right bottom <"${dump%.xwd}.rect" &&
        [ -n "$bottom" ]; then
        crop=(-crop "$((right - left))x$((bottom - top))+$left+$top" +repage)
    fi
    convert "$dump" "${crop[@]}" "${dump%.xwd}.png" && rm -f "$dump" "${dump%.xwd}.rect"
done
grep -q "orvano-init: job ended" "$out/console.log" || { tail -40 "$out/console.log" >&2; die "the job did not end"; }
log "WoW64 run: $(elapsed "$total")"
