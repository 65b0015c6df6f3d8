# The virtual machine's recipe: what its image is built from. Every file that shapes the
# cached image is hashed into the cache key, so changing this recipe builds a new image.
suite=trixie
mirror=${ORVANO_WOW64_MIRROR:-http://deb.debian.org/debian}
packages=wine64,libwine,xvfb,x11-apps,linux-image-amd64,initramfs-tools,busybox
# Only the Windows (PE) half of this package is used: Wine's WoW64 mode runs 32-bit programs
# in a 64-bit process with these libraries.
i386_package=libwine
i386_pe_dir=usr/lib/i386-linux-gnu/wine/i386-windows
image_size=5G
