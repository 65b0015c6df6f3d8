#!/usr/bin/env bash
# How long Orvano takes to come up (a figure, not a test):   tools/bench/startup.sh [RUNS]
# Under wine64 (on Xvfb when no DISPLAY is set), from starting the process to the main window
# showing the port its opening refresh reads (the last of the messages the opening posts
# that fills a field), against the toolkit's bare demo dialog started the same way; the
# median of RUNS starts (default 5) of each.
set -eu
cd "$(dirname "$(readlink -f "$0")")/../.."
root=$PWD
runs=${1:-5}
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Orvano e2e_driver toolkit_demo >/dev/null

. tests/e2e/display.sh
run=$root/tests/wine/run.sh
prefix=$root/build/bench/wineprefix
driver=$root/build/win64/tests/e2e/e2e_driver.exe
mkdir -p build/bench
finish() {
    "$root/tests/wine/stop_prefix.sh" "$prefix"
    stop_display
}
trap finish EXIT
ensure_display build/bench
[ -f "$prefix/system.reg" ] || "$root/tests/wine/new_prefix.sh" "$prefix" >/dev/null
leave_unmanaged "$prefix" Orvano.exe || true
leave_unmanaged "$prefix" toolkit_demo.exe || true
"$run" "$prefix" reg add 'HKLM\SOFTWARE\AVM\CAPIoTCP' /v Port /t REG_DWORD /d 5031 /f >/dev/null 2>&1

# Seconds from starting PROGRAM until the driver script has run through.
measure() {
    local program=$1 script=$2 title=$3
    shift 3
    local t0 t1
    t0=$(date +%s.%N)
    "$run" "$prefix" "$program" "$@" >/dev/null 2>&1 &
    local pid=$!
    "$run" "$prefix" "$driver" --script "$script" >/dev/null
    t1=$(date +%s.%N)
    "$run" "$prefix" "$driver" close "$title" >/dev/null 2>&1 || true
    wait "$pid" 2>/dev/null || true
    echo "$t1 - $t0" | bc
}
median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

printf 'wait-window " Orvano" 30000\nexpect "000013a7 (5031)" get-text " Orvano" 3062\n' >build/bench/orvano.script
printf 'wait-window " Orvano Werkzeugtest" 30000\n' >build/bench/demo.script
orvano=$(for _ in $(seq "$runs"); do measure "$root/build/win64/Orvano.exe" build/bench/orvano.script " Orvano" OHNE; done | median)
demo=$(for _ in $(seq "$runs"); do
    measure "$root/build/win64/tests/e2e/toolkit_demo.exe" build/bench/demo.script " Orvano Werkzeugtest"
done | median)
echo "start-up under wine64, median of $runs:"
echo "  Orvano.exe, process start to the port field filled: $orvano s"
echo "  bare dialog program (toolkit demo), to its window:   $demo s"
echo "  (both include the start of the driver that watches them, a few tenths of a second)"
