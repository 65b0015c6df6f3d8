#!/usr/bin/env bash
# Builds Orvano and starts it under Wine:  tools/run_program.sh
#
# Installs what is missing, builds Orvano.exe in the win32 preset (the product,
# build/win32/Orvano.exe) and in the win64 preset, whose build is the one started: this
# machine runs no 32-bit code, so the program runs as its x64 build under wine64. The Wine
# prefix lives in build/run/wineprefix; it is made on the first run and kept afterwards. When
# no DISPLAY is set, an X server of its own (Xvfb) is started. Once the main window " Orvano"
# is up, a screenshot goes to build/screenshots/orvano.png. With its own X server the script
# then closes the program and stops the server; on a real display the program stays open.
#
# Orvano is started with the keyword OHNE as its command line. At start it checks that host
# names can be resolved, since it finds the router by name, and ends with "DNS Server nicht
# gefunden" when no name service answers. This build machine has none; on a network the
# keyword is not needed.
set -eu
cd "$(dirname "$(readlink -f "$0")")/.."
root=$PWD
tools/install_deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Orvano
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Orvano e2e_driver

. tests/e2e/display.sh
run=$root/tests/wine/run.sh
prefix=$root/build/run/wineprefix
program=$root/build/win64/Orvano.exe
driver=$root/build/win64/tests/e2e/e2e_driver.exe
screenshot=$root/build/screenshots/orvano.png
title=" Orvano"
mkdir -p build/run build/screenshots

pid=
finish() {
    if [ -n "$display_pid" ]; then
        [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
        stop_display
    fi
}
trap finish EXIT
trap 'exit 2' INT TERM

ensure_display build/run
own_display=${display_pid:+yes}

# An Orvano still open from an earlier run (perhaps on a display that is gone) would refuse
# the new one; everything the prefix runs is ended first.
[ -d "$prefix" ] && "$root/tests/wine/stop_prefix.sh" "$prefix"
if [ ! -f "$prefix/system.reg" ]; then
    echo "making the Wine prefix $prefix"
    rm -rf "$prefix"
    mkdir -p "$prefix"
    "$run" "$prefix" wineboot -i >/dev/null 2>&1
fi
# Without a window manager (Xvfb) Wine waits for one on every closed window; on a real
# display the window manager frames the window as usual.
managed="HKCU\\Software\\Wine\\AppDefaults\\Orvano.exe\\X11 Driver"
if [ -n "$own_display" ]; then
    "$run" "$prefix" reg add "$managed" /v Managed /d N /f >/dev/null 2>&1 || true
else
    "$run" "$prefix" reg delete "$managed" /f >/dev/null 2>&1 || true
fi

echo "starting $program OHNE on display $DISPLAY"
"$run" "$prefix" "$program" OHNE >build/run/orvano.log 2>&1 &
pid=$!
if ! "$run" "$prefix" "$driver" wait-window "$title" 30000; then
    echo "the main window did not appear; see build/run/orvano.log" >&2
    exit 1
fi
sleep 1  # the fields are filled by messages the window posts to itself when it opens
import -window root "$screenshot"
echo "screenshot: $screenshot"

if [ -n "$own_display" ]; then
    "$run" "$prefix" "$driver" close "$title"
    wait "$pid" || true
    pid=
    echo "Orvano closed, X server stopped"
else
    echo "Orvano runs on $DISPLAY (process $pid); close its window to end it"
fi
