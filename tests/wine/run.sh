#!/usr/bin/env bash
# Runs a Windows program under wine64 in the given prefix: run.sh PREFIX PROGRAM [ARGS...]
set -eu
prefix=$1; shift
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEARCH=win64
# No Mono or Gecko prompts; and Wine's own capi2032.dll must not stand in for the files the
# tests write (real Windows has none), or their version resources cannot be read.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;capi2032=n}
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
exec "$wine" "$@"
