#!/usr/bin/env bash
# The test tool's verdict, read from its window as the WOW64 scenario reads it, with the x64
# twins of Teluso.exe and of the CAPI-over-TCP client side by side under wine64:
#   run_teluso.sh PREFIX DRIVER FOLDER
# FOLDER holds Teluso.exe and capi2032.dll. A listener on 127.0.0.1 stands in for the router's
# CAPI service; the first line of the report must say that the client reaches it, and once
# nothing listens (or no address is stored) that it does not.
set -u
prefix=$1 driver=$2 folder=$3
here=$(dirname "$(readlink -f "$0")")
run=$here/../wine/run.sh
. "$here/../e2e/display.sh"
work=$folder/teluso_run
desktop=orvano-teluso
title=" Teluso"
mkdir -p "$work"
export WINEDLLOVERRIDES="capi2032=n;mscoree,mshtml="

failed=0
listener_pid=
teluso_pid=
fail() {
    echo "FAIL: $*" >&2
    failed=1
}
drive() { "$run" "$prefix" "$driver" --desktop "$desktop" "$@"; }
windows_path() { printf 'Z:%s' "$(readlink -f "$1" | tr / '\\')"; }

stop_listener() {
    [ -n "$listener_pid" ] || return 0
    kill "$listener_pid" 2>/dev/null
    wait "$listener_pid" 2>/dev/null
    listener_pid=
}
cleanup() {
    if [ -n "$teluso_pid" ]; then
        drive kill-window "$title" >/dev/null 2>&1
        kill "$teluso_pid" 2>/dev/null
        wait "$teluso_pid" 2>/dev/null
    fi
    stop_listener
    "$run" "$prefix" reg delete 'HKLM\Software\AVM' /f >/dev/null 2>&1
    stop_display
}
trap cleanup EXIT
trap 'exit 2' INT TERM

# A listener that takes every connection, on a port the system picks (printed first).
start_listener() {
    python3 -u -c '
import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(16)
print(s.getsockname()[1], flush=True)
while True:
    c, _ = s.accept()
    c.close()
' >"$work/port" 2>"$work/listener.err" &
    listener_pid=$!
    # Python may take its time to start on a loaded machine: up to 30 s.
    local _
    for _ in $(seq 600); do
        [ -s "$work/port" ] && break
        sleep 0.05
    done
    port=$(head -n1 "$work/port")
    [ -n "$port" ] || { fail "the listener did not start"; return 1; }
}

# Starts Teluso, reads the first line of its report and closes it again.
verdict() {
    "$run" "$prefix" "$driver" --desktop "$desktop" run "$(windows_path "$folder/Teluso.exe")" \
        >>"$work/teluso.log" 2>&1 &
    teluso_pid=$!
    drive wait-window "$title" 20000 >/dev/null 2>&1 || { fail "no Teluso window"; return; }
    local report="" _
    # The report is filled by a posted command right after the window appears.
    for _ in $(seq 50); do
        report=$(drive get-text "$title" 100 2>/dev/null | tr -d '\r')
        [ -n "$report" ] && break
        sleep 0.2
    done
    drive kill-window "$title" >/dev/null 2>&1
    wait "$teluso_pid" 2>/dev/null
    teluso_pid=
    printf '%s\n' "$report" >>"$work/reports.txt"
    first_line=$(printf '%s\n' "$report" | head -n1)
}

check() {
    verdict
    [ "$first_line" = "$1" ] || fail "$2: first line \"$first_line\", expected \"$1\""
}

ensure_display "$work" || exit 1
leave_unmanaged "$prefix" "$folder/Teluso.exe"
: >"$work/reports.txt"
start_listener || exit 1
"$run" "$prefix" reg add 'HKLM\Software\AVM\AVMIGDCTRL' /v FoundFritzBoxes /d 127.0.0.1 /f \
    >/dev/null 2>&1 || fail "storing the address"
"$run" "$prefix" reg add 'HKLM\Software\AVM\CAPIoTCP' /v Port /t REG_DWORD /d "$port" /f \
    >/dev/null 2>&1 || fail "storing the port"

check "Ergebnis: Router erreichbar" "router listening"
stop_listener
check "Ergebnis: Router nicht erreichbar" "nothing listening"
start_listener || exit 1
"$run" "$prefix" reg add 'HKLM\Software\AVM\CAPIoTCP' /v Port /t REG_DWORD /d "$port" /f \
    >/dev/null 2>&1
"$run" "$prefix" reg delete 'HKLM\Software\AVM\AVMIGDCTRL' /f >/dev/null 2>&1
check "Ergebnis: Router nicht erreichbar" "no address stored"

[ "$failed" = 0 ] || { cat "$work/reports.txt" >&2; exit 1; }
echo "Teluso's verdicts as expected"
