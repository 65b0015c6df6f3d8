#!/usr/bin/env bash
# Runs the LZNT1 benchmark on Linux and, under wine64, its Windows build; both decode the same
# data. Build first (tools/run_tests.sh, or cmake --build --preset host and win64).
set -eu
cd "$(dirname "$(readlink -f "$0")")/../.."
echo "== Linux (build/host)"
build/host/tools/bench/lznt1_bench
echo "== Windows x64 under wine64 (build/win64)"
prefix=$PWD/build/win64/bench-wineprefix
[ -d "$prefix" ] || tests/wine/new_prefix.sh "$prefix" >/dev/null
tests/wine/run.sh "$prefix" build/win64/tools/bench/lznt1_bench.exe
