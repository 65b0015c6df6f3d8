#!/usr/bin/env bash
# How much of a core the main window takes while it just sits there (a figure, not a test):
#   tools/bench/idle.sh [SECONDS]      (default 30)
# Starts the win64 build of Orvano.exe under wine64 (on Xvfb when no DISPLAY is set), waits
# for the main window, then measures the CPU time of the program's process and of the Wine
# server over SECONDS of wall time and prints both as a share of one core.
set -eu
cd "$(dirname "$(readlink -f "$0")")/../.."
root=$PWD
seconds=${1:-30}
. tools/bench/under_wine.sh Orvano e2e_driver
pid=
end_own() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; }

"$run" "$prefix" "$root/build/win64/Orvano.exe" OHNE >build/bench/orvano.log 2>&1 &
pid=$!
"$run" "$prefix" "$driver" wait-window " Orvano" 30000 >/dev/null
sleep 2  # past the opening's own work

# utime + stime of a process, in clock ticks.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# The processes of this prefix only: other Wine prefixes may be running on the machine.
of_prefix() {
    local p
    for p in $(pgrep "$1"); do
        tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix" && { echo "$p"; return; }
    done
}
program=$(of_prefix 'Orvano.exe')
server=$(of_prefix '^wineserver')
p0=$(ticks "$program"); s0=$(ticks "$server"); t0=$(date +%s.%N)
sleep "$seconds"
p1=$(ticks "$program"); s1=$(ticks "$server"); t1=$(date +%s.%N)
hz=$(getconf CLK_TCK)
awk -v p="$((p1 - p0))" -v s="$((s1 - s0))" -v hz="$hz" -v t0="$t0" -v t1="$t1" 'BEGIN {
    wall = t1 - t0
    printf "main window idle for %.1f s under wine64\n", wall
    printf "  Orvano.exe: %.2f s CPU = %.2f %% of a core\n", p / hz, 100 * p / hz / wall
    printf "  wineserver: %.2f s CPU = %.2f %% of a core\n", s / hz, 100 * s / hz / wall
}'
"$run" "$prefix" "$driver" close " Orvano" >/dev/null || true
