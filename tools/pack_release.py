#!/usr/bin/env python3
"""Packs the release archive so that one commit always gives the same bytes.

pack_release.py OUT.zip EPOCH NAME=PATH...

Each file goes in under NAME, in the order given, followed by SHA256SUMS over all of them
(sha256sum's format, which certutil's and Get-FileHash's output can be compared with). Every
entry carries the time EPOCH (the commit's time), mode 0644 and no extra fields, so neither the
files' own times nor the umask of the machine shows in the archive.
"""
import hashlib
import sys
import time
import zipfile


def entry(name, epoch):
    info = zipfile.ZipInfo(name, date_time=time.gmtime(epoch)[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 3  # Unix, so the mode below is what unzip applies
    info.external_attr = 0o100644 << 16
    return info


def main(argv):
    if len(argv) < 4:
        sys.exit("usage: pack_release.py OUT.zip EPOCH NAME=PATH...")
    out, epoch = argv[1], int(argv[2])
    # A zip time cannot lie before 1980.
    epoch = max(epoch, 315532800)
    files = [arg.split("=", 1) for arg in argv[3:]]
    sums = []
    with zipfile.ZipFile(out, "w") as archive:
        for name, path in files:
            with open(path, "rb") as f:
                data = f.read()
            sums.append(f"{hashlib.sha256(data).hexdigest()}  {name}\n")
            archive.writestr(entry(name, epoch), data, compresslevel=9)
        archive.writestr(entry("SHA256SUMS", epoch), "".join(sums).encode("ascii"),
                         compresslevel=9)


if __name__ == "__main__":
    main(sys.argv)
