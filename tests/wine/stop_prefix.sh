#!/usr/bin/env bash
# Ends the Wine server of a test prefix, so that nothing of the run stays behind: stop_prefix.sh PREFIX
set -u
wineserver=$(command -v wineserver || true)
[ -n "$wineserver" ] || wineserver=/usr/lib/wine/wineserver
WINEPREFIX=$1 "$wineserver" -k 2>/dev/null
exit 0
