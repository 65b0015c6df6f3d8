#!/usr/bin/env bash
# Builds all three targets and runs every test: unit and contract tests on the host, the
# executable's headers and resources in both Windows builds, and the contract and end-to-end
# tests of the x64 build under wine64, in fresh prefixes inside the build tree; last, the x86
# build under real WoW64 in a virtual machine (tools/wow64/; ORVANO_SKIP_WOW64=1 leaves it out).
set -eu
cd "$(dirname "$(readlink -f "$0")")/.."
tools/install_deps.sh
for preset in host win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
status=0
ctest --preset host || status=1
ctest --preset win32 -LE wow64 || status=1
ctest --preset win64 || status=1
if [ "${ORVANO_SKIP_WOW64:-0}" != 1 ]; then
    ctest --preset win32 -L wow64 || status=1
fi
exit $status
