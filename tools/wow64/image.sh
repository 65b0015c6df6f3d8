#!/usr/bin/env bash
# Builds the WoW64 machine from Debian's packages alone, once per recipe, into the cache
# outside the clone: a root file system with Wine, the 32-bit Windows libraries of Wine,
# Xvfb and a kernel; then boots it once to make the Wine prefix (its 32-bit half can only be
# made where 32-bit code runs) and keeps the result as base.img. Prints the image folder.
set -eu
. "$(dirname "$(readlink -f "$0")")/common.sh"
[ "$(id -u)" = 0 ] || die "building the machine needs root (debootstrap)"
mkdir -p "$cache_root/debs"
# One builder at a time per cache.
exec 9>"$cache_root/.lock"
flock 9

rootfs=$rootfs_dir/rootfs
if [ ! -e "$rootfs_dir/debootstrap.done" ]; then
    start=$(date +%s)
    log "debootstrap $suite into $rootfs"
    rm -rf "$rootfs_dir"
    mkdir -p "$rootfs_dir"
    debootstrap --variant=minbase --include="$packages" --cache-dir="$cache_root/debs" \
        --keyring=/usr/share/keyrings/debian-archive-keyring.gpg \
        "$suite" "$rootfs" "$mirror" >"$rootfs_dir/debootstrap.log" 2>&1 ||
        { tail -30 "$rootfs_dir/debootstrap.log" >&2; die "debootstrap failed"; }
    rm -rf "$rootfs"/var/cache/apt/archives/*.deb
    touch "$rootfs_dir/debootstrap.done"
    log "root file system: $(elapsed "$start")"
fi

if [ ! -e "$rootfs_dir/done" ]; then
    start=$(date +%s)
    # An apt configuration of our own that lists the suite for i386, with its own state and
    # cache: the machine's apt state is never touched.
    apt_dir=$rootfs_dir/apt-i386
    rm -rf "$apt_dir"
    mkdir -p "$apt_dir"/{lists/partial,cache/archives/partial,sources.list.d,preferences.d,get}
    echo "deb [arch=i386] $mirror $suite main" >"$apt_dir/sources.list"
    cat >"$apt_dir/apt.conf" <<CONF
APT::Architecture "i386";
APT::Architectures { "i386"; };
Dir::State "$apt_dir";
Dir::State::Lists "$apt_dir/lists";
Dir::State::status "/dev/null";
Dir::Cache "$apt_dir/cache";
Dir::Etc::SourceList "$apt_dir/sources.list";
Dir::Etc::SourceParts "$apt_dir/sources.list.d";
Dir::Etc::Preferences "$apt_dir/preferences";
Dir::Etc::PreferencesParts "$apt_dir/preferences.d";
Dir::Etc::TrustedParts "/usr/share/keyrings";
CONF
    APT_CONFIG=$apt_dir/apt.conf apt-get -q update >"$apt_dir/update.log" 2>&1 ||
        { cat "$apt_dir/update.log" >&2; die "apt-get update (i386) failed"; }
    (cd "$apt_dir/get" && APT_CONFIG=$apt_dir/apt.conf apt-get -q download "$i386_package:i386") \
        >"$apt_dir/download.log" 2>&1 ||
        { cat "$apt_dir/download.log" >&2; die "apt-get download $i386_package:i386 failed"; }
    dpkg -x "$apt_dir"/get/*.deb "$apt_dir/x"
    [ -d "$apt_dir/x/$i386_pe_dir" ] || die "no $i386_pe_dir in $i386_package:i386"
    mkdir -p "$rootfs/$i386_pe_dir"
    cp -a "$apt_dir/x/$i386_pe_dir/." "$rootfs/$i386_pe_dir/"
    rm -rf "$apt_dir/x" "$apt_dir/lists" "$apt_dir/cache"
    log "32-bit Windows libraries of Wine: $(elapsed "$start")"
    touch "$rootfs_dir/done"
fi

if [ ! -e "$image_dir/done" ]; then
    start=$(date +%s)
    rm -rf "$image_dir"
    mkdir -p "$image_dir"
    # The machine's own files: init, the prefix job, names for the loopback address.
    install -m 755 "$wow64_dir/guest/init.sh" "$rootfs/sbin/orvano-init"
    install -D -m 755 "$wow64_dir/guest/prepare.sh" "$rootfs/opt/orvano/prepare.sh"
    printf '127.0.0.1\tlocalhost wow64\n::1\tlocalhost\n' >"$rootfs/etc/hosts"
    echo wow64 >"$rootfs/etc/hostname"
    # This Wine looks for the 32-bit PE files beside its 64-bit ones, in an i386-windows
    # folder that holds only zlib1.dll: links to libwine:i386's files go there.
    pe_dir=$rootfs/usr/lib/x86_64-linux-gnu/wine/i386-windows
    mkdir -p "$pe_dir"
    for file in "$rootfs/$i386_pe_dir"/*; do
        link=$pe_dir/${file##*/}
        [ -e "$link" ] || [ -L "$link" ] || ln -s "/$i386_pe_dir/${file##*/}" "$link"
    done
    # That zlib1.dll is libwine's own copy of the MinGW build, marked as a Wine builtin (the
    # 32-bit user32.dll needs it): made again by the package's own script, whatever happened.
    chroot "$rootfs" /var/lib/dpkg/info/libwine:amd64.postinst triggered ||
        die "libwine's zlib1.dll copies could not be made"
    grep -aq "Wine builtin DLL" "$pe_dir/zlib1.dll" || die "no 32-bit zlib1.dll for Wine"
    # The kernel package may be set up before initramfs-tools is: make the initrd then.
    ls "$rootfs"/boot/initrd.img-* >/dev/null 2>&1 ||
        chroot "$rootfs" update-initramfs -c -k all >"$image_dir/initramfs.log" 2>&1 ||
        die "update-initramfs failed"
    cp "$(ls "$rootfs"/boot/vmlinuz-* | tail -n1)" "$image_dir/vmlinuz"
    cp "$(ls "$rootfs"/boot/initrd.img-* | tail -n1)" "$image_dir/initrd.img"
    # No root rights beyond reading the tree, no loop device.
    mke2fs -q -t ext4 -d "$rootfs" "$image_dir/base.img.new" "$image_size" ||
        die "mke2fs of the root file system failed"
    log "image: $(elapsed "$start")"

    start=$(date +%s)
    boot "file=$image_dir/base.img.new,format=raw,if=virtio" prepare "$image_dir/prepare.log" ||
        { tail -40 "$image_dir/prepare.log" >&2; die "the first boot failed"; }
    e2fsck -fy "$image_dir/base.img.new" >"$image_dir/e2fsck.log" 2>&1 || [ $? -le 1 ] ||
        { cat "$image_dir/e2fsck.log" >&2; die "e2fsck of the image failed"; }
    grep -q "prepare ended with 0" "$image_dir/prepare.log" ||
        { tail -40 "$image_dir/prepare.log" >&2; die "making the Wine prefix failed"; }
    mv "$image_dir/base.img.new" "$image_dir/base.img"
    log "Wine prefix made in the machine: $(elapsed "$start")"
    touch "$image_dir/done"
fi
echo "$image_dir"
