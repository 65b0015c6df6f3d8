#!/usr/bin/env bash
# Makes a fresh Wine prefix for one test run: new_prefix.sh PREFIX
set -eu
prefix=$1
wineserver=$(command -v wineserver || true)
[ -n "$wineserver" ] || wineserver=/usr/lib/wine/wineserver
if [ -d "$prefix" ]; then
    WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true
    rm -rf "$prefix"
fi
mkdir -p "$prefix"
here=$(dirname "$(readlink -f "$0")")
"$here/run.sh" "$prefix" wineboot -i >/dev/null 2>&1
WINEPREFIX=$prefix "$wineserver" -w
# A server that stays up spares every test the start of a new one; stop_prefix.sh ends it.
WINEPREFIX=$prefix "$wineserver" -p </dev/null >/dev/null 2>&1
# Start Wine's own background services now, detached from any test's output: started by the
# first test instead, they would hold its output open for as long as the server lives.
"$here/run.sh" "$prefix" wineboot </dev/null >/dev/null 2>&1
echo "fresh prefix ready: $prefix"
