#!/bin/sh
# First boot: makes the Wine prefix the jobs use. It has to be made here, where 32-bit code
# runs; a prefix made on the host would have no SysWOW64.
export WINEPREFIX=/opt/orvano/prefix WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
start=$(cut -d' ' -f1 /proc/uptime)
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
"$wine64" wineboot -i
status=$?
"$wineserver" -w
echo "prepare: wineboot -i ended with $status ($start s to $(cut -d' ' -f1 /proc/uptime) s)"
ls "$WINEPREFIX/drive_c/windows/syswow64" | wc -l | sed 's/^/prepare: files in syswow64: /'
[ "$status" = 0 ] && [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]
