#!/usr/bin/env bash
# Runs a Windows program under wine64 in the given prefix: run.sh PREFIX PROGRAM [ARGS...]
set -eu
prefix=$1; shift
export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
exec "$wine" "$@"
