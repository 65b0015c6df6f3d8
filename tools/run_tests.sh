#!/usr/bin/env bash
# Builds all three targets and runs every test: unit and contract tests on the host, the
# executable's headers and resources in both Windows builds, and the contract and end-to-end
# tests of the x64 build under wine64, in fresh prefixes inside the build tree.
set -eu
cd "$(dirname "$(readlink -f "$0")")/.."
tools/install_deps.sh
for preset in host win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
status=0
ctest --preset host || status=1
ctest --preset win32 || status=1
ctest --preset win64 || status=1
exit $status
