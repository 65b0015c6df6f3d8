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
. tools/bench/under_wine.sh Orvano e2e_driver toolkit_demo control_ids
. build/win64/tests/control_ids.sh
"$run" "$prefix" reg add 'HKLM\SOFTWARE\AVM\CAPIoTCP' /v Port /t REG_DWORD /d 5031 /f >/dev/null 2>&1

# Milliseconds from starting PROGRAM until SCRIPT (driver commands, after the program's
# start) has run through, as the driver measures them: it starts the program itself, so
# neither the driver's own start nor the shell's counts.
measure() {
    local program=$1 title=$2 script=$3
    shift 3
    local windows
    # Every "\" as "\x5c", which the driver reads as that byte.
    windows="Z:$(readlink -f "$program" | sed 's|/|\\x5c|g')"
    {
        echo "launch \"$windows\" $*"
        printf '%s\n' "$script" "elapsed" "close \"$title\"" "wait-gone \"$title\""
    } >build/bench/startup.script
    "$run" "$prefix" "$driver" --script build/bench/startup.script | tr -d '\r'
}
median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

orvano_steps=$'wait-window " Orvano" 30000\nexpect "000013a7 (5031)" get-text " Orvano" '"$mw_kPort"
orvano=$(for _ in $(seq "$runs"); do
    measure build/win64/Orvano.exe " Orvano" "$orvano_steps" OHNE
done | median)
demo=$(for _ in $(seq "$runs"); do
    measure build/win64/tests/e2e/toolkit_demo.exe " Orvano Werkzeugtest" \
        'wait-window " Orvano Werkzeugtest" 30000'
done | median)
echo "start-up under wine64, median of $runs:"
echo "  Orvano.exe, process start to the port field filled: $orvano ms"
echo "  bare dialog program (toolkit demo), to its window:   $demo ms"
echo "  (measured by the driver that starts them; it looks every 25 ms)"
