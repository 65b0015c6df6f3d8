# Shared by the WoW64 scripts: the cache folders and their keys.
# ORVANO_WOW64_CACHE moves the cache (default /var/cache/orvano-wow64). Each folder is named
# by a hash of the files that shape it, so a changed recipe builds anew and an unchanged one
# is reused: the root file system by the recipe alone, the booted image (with its Wine
# prefix) also by the scripts that make it.
wow64_dir=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
. "$wow64_dir/recipe.sh"
cache_root=${ORVANO_WOW64_CACHE:-/var/cache/orvano-wow64}
hash_of() { cat "$@" | sha256sum | cut -c1-16; }
rootfs_dir=$cache_root/rootfs-$(hash_of "$wow64_dir/recipe.sh")
image_dir=$cache_root/image-$(hash_of "$wow64_dir/recipe.sh" "$wow64_dir/image.sh" \
    "$wow64_dir/guest/init.sh" "$wow64_dir/guest/prepare.sh")

log() { echo "wow64: $*" >&2; }
die() {
    echo "wow64: $*" >&2
    exit 1
}
elapsed() { echo "$(($(date +%s) - $1)) s"; }

# Boots the image: boot IMAGE_ARGS JOB LOG [more qemu arguments]. -smp 1: with two CPUs the
# guest kernel has crashed under TCG. The timeout ends a machine that hangs.
boot() {
    local drive=$1 job=$2 console=$3
    shift 3
    timeout "${ORVANO_WOW64_TIMEOUT:-2400}" qemu-system-x86_64 -smp 1 -m 3072 \
        -kernel "$image_dir/vmlinuz" -initrd "$image_dir/initrd.img" \
        -drive "$drive" "$@" \
        -append "root=/dev/vda rw console=ttyS0 init=/sbin/orvano-init quiet panic=1 orvano.job=$job" \
        -nographic -no-reboot -nic none </dev/null >"$console" 2>&1
}
