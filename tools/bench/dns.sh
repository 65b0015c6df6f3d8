#!/usr/bin/env bash
# How long Orvano waits for the name service (a figure, not a test):
#   tools/bench/dns.sh [SECONDS]      (default 30; run as root)
# Runs the win64 build under wine64 (on Xvfb when no DISPLAY is set) four times over: with
# the machine's own resolver, with a name server on loopback that never answers, with one
# that answers forward lookups but never reverse ones, and with one that answers every query
# after about two seconds. Each of the three is set for the program alone, by a resolv.conf
# bind-mounted in a private mount namespace (unshare -m). For each it
# prints the time from the process start to the verdict (main window or " DNS Server nicht
# gefunden "), the time to the main window with OHNE, and the longest time the main window
# then took to answer WM_GETTEXT over SECONDS (the router look-ups run at five seconds).
set -eu
cd "$(dirname "$(readlink -f "$0")")/../.."
root=$PWD
seconds=${1:-30}
. tools/bench/under_wine.sh Orvano window_latency
probe=$root/build/win64/tools/bench/window_latency.exe
orvano=$root/build/win64/Orvano.exe
work=$root/build/bench/dns
mkdir -p "$work"
server=
end_own() { [ -n "$server" ] && kill "$server" 2>/dev/null; }
# No settings file: no stored command stands in for the command line.
rm -f "$root/build/win64/Orvano.ini"

# One resolver: the verdict of a plain start, then the window with OHNE and its answers.
# ADDRESS empty: the machine's own resolver; otherwise the name server there, in MODE (with
# DELAY seconds for the mode "slow").
measure() {
    local label=$1 address=$2 mode=$3 delay=${4:-2}
    local wrap=()
    if [ -n "$address" ]; then
        # Bounded: at most 5000 queries and the length of the two runs with room to spare.
        python3 "$root/tools/bench/name_server.py" "$address" "$mode" 5000 \
            $((seconds + 120)) "$delay" 2>"$work/server_$mode.log" &
        server=$!
        local _
        for _ in $(seq 100); do
            ss -uln | grep -q "$address:53 " && break
            sleep 0.1
        done
        printf 'nameserver %s\noptions timeout:5 attempts:2\n' "$address" >"$work/resolv_$mode.conf"
        wrap=(unshare -m -- bash -c 'mount --bind "$1" /etc/resolv.conf && shift && exec "$@"' _
              "$work/resolv_$mode.conf")
    fi
    echo "$label:"
    "$root/tests/wine/stop_prefix.sh" "$prefix"
    "${wrap[@]}" "$run" "$prefix" "$probe" verdict "$orvano" | tr -d '\r' | sed 's/^/  started plainly: /'
    "${wrap[@]}" "$run" "$prefix" "$probe" watch "$seconds" "$orvano" OHNE | tr -d '\r' |
        sed 's/^/  started with OHNE: /'
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
        server=
        echo "  ($(cat "$work/server_$mode.log"))"
    fi
}

measure "the machine's resolver" "" ""
measure "a name server that never answers (127.0.0.2)" 127.0.0.2 silent
measure "a name server that answers forward, never reverse (127.0.0.3)" 127.0.0.3 forward
measure "a name server that answers every query after 2 s (127.0.0.4)" 127.0.0.4 slow 2
