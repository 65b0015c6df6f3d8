#!/usr/bin/env bash
# The test tool's verdict for each cause, read from its window as the WOW64 scenario reads it,
# with the x64 twins of Teluso.exe and of the client under wine64:
#   run_teluso.sh PREFIX DRIVER FOLDER
# FOLDER holds the CAPI-over-TCP client capi2032.dll, isdn/capi2032.dll (the ISDN adapter's
# build) and teluso/Teluso.exe. The library goes where a fresh machine has it, into the
# prefix's system folder (the prefix's own file is put back at the end); the fax application's
# folder is stored and holds none. A listener on 127.0.0.1 stands in for the router's CAPI
# service. Each case checks the first line of the report and that the check ended within 5 s;
# the refused and the reached case leave a screenshot of the window in FOLDER/teluso_run/.
set -u
prefix=$1 driver=$2 folder=$3
here=$(dirname "$(readlink -f "$0")")
run=$here/../wine/run.sh
. "$here/../e2e/display.sh"
work=$folder/teluso_run
desktop=orvano-teluso
title=" Teluso"
system_capi=$prefix/drive_c/windows/system32/capi2032.dll
fax_folder=$prefix/drive_c/Fax
kept=$work/prefix_capi2032.dll
mkdir -p "$work" "$fax_folder"
rm -f "$work"/*.png
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
reg() { "$run" "$prefix" reg "$@" >/dev/null 2>&1; }

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
    reg delete 'HKLM\Software\AVM' /f
    reg delete 'HKCU\Software\AVM' /f
    rm -f "$system_capi"
    [ -f "$kept" ] && mv "$kept" "$system_capi"
    stop_display
}
trap cleanup EXIT
trap 'exit 2' INT TERM

# A listener on a port the system picks (printed first). "accept" takes every connection;
# "never" takes none and lets its queue fill, so that a further connection gets no answer at
# all, as from an address that swallows everything.
start_listener() {
    python3 -u -c '
import socket, sys, time
s = socket.socket()
s.bind(("127.0.0.1", 0))
never = sys.argv[1] == "never"
s.listen(0 if never else 16)
port = s.getsockname()[1]
held = []
if never:
    for _ in range(3):
        c = socket.socket()
        c.setblocking(False)
        c.connect_ex(("127.0.0.1", port))
        held.append(c)
print(port, flush=True)
while True:
    if never:
        time.sleep(60)
    else:
        c, _ = s.accept()
        c.close()
' "$1" >"$work/port" 2>"$work/listener.err" &
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

store_port() { reg add 'HKLM\Software\AVM\CAPIoTCP' /v Port /t "$1" /d "$2" /f || fail "storing the port"; }

# Starts Teluso, waits for the whole report (the line that says how long the check took) and
# closes it again; first_line and seconds (the check's own time) are what it said.
report() {
    "$run" "$prefix" "$driver" --desktop "$desktop" run "$(windows_path "$folder/teluso/Teluso.exe")" \
        >>"$work/teluso.log" 2>&1 &
    teluso_pid=$!
    first_line="" seconds="" waited=""
    drive wait-window "$title" 20000 >/dev/null 2>&1 || { fail "no Teluso window"; return; }
    local text="" _ shown
    shown=$(date +%s%N)
    for _ in $(seq 60); do
        text=$(drive get-text "$title" 100 2>/dev/null | tr -d '\r')
        grep -q "^Prüfung beendet nach" <<<"$text" && break
        sleep 0.2
    done
    # From the window's appearance to the whole report, as seen from outside (the driver's own
    # start included, so an upper bound).
    waited=$(( ($(date +%s%N) - shown) / 1000000 ))
    [ -z "${1:-}" ] || import -window root "$work/$1.png" 2>>"$work/import.log" ||
        fail "screenshot $1"
    [ -z "${1:-}" ] || crop "$work/$1.png"
    drive kill-window "$title" >/dev/null 2>&1
    wait "$teluso_pid" 2>/dev/null
    teluso_pid=
    printf '%s\n\n' "$text" >>"$work/reports.txt"
    first_line=$(head -n1 <<<"$text")
    seconds=$(sed -n 's/^Prüfung beendet nach \([0-9]*\),\([0-9]\) s$/\1.\2/p' <<<"$text")
}

# The screenshot cut to the window.
crop() {
    local rect left top right bottom
    rect=$(drive window-rect "$title" 2>/dev/null | tr -d '\r')
    read -r left top right bottom <<<"$rect"
    [ -n "$bottom" ] || { fail "no rectangle for Teluso"; return; }
    convert "$1" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$1" ||
        fail "cropping $1"
}

# One cause: the first line expected, and the check's own time within 5 s.
check() {
    local expected=$1 what=$2 shot=${3:-}
    report "$shot"
    echo "$what: \"$first_line\" after ${seconds:-?} s (seen from outside within ${waited} ms)"
    [ "$first_line" = "$expected" ] || fail "$what: first line \"$first_line\", expected \"$expected\""
    if [ -z "$seconds" ]; then
        fail "$what: the check did not end"
    elif ! awk -v s="$seconds" 'BEGIN { exit !(s <= 5.0) }'; then
        fail "$what: the check took $seconds s"
    fi
}

ensure_display "$work" || exit 1
leave_unmanaged "$prefix" Teluso.exe
: >"$work/reports.txt"
[ -f "$system_capi" ] && mv "$system_capi" "$kept"
reg add 'HKCU\Software\AVM\FRITZ! 2.0\FRITZ!' /v SystemDir /d 'C:\Fax' /f || fail "storing the fax folder"
reg add 'HKLM\Software\AVM\AVMIGDCTRL' /v FoundFritzBoxes /d 127.0.0.1 /f || fail "storing the address"

check "Ergebnis: capi2032.dll fehlt" "nothing deployed"
cp "$folder/isdn/capi2032.dll" "$system_capi"
check "Ergebnis: capi2032.dll für ISDN-Adapter statt CAPI over TCP" "the ISDN build deployed"
cp "$folder/capi2032.dll" "$system_capi"
store_port REG_SZ 5031
check "Ergebnis: Port hat den falschen Typ" "Port stored as a string"

start_listener accept || exit 1
stop_listener
store_port REG_DWORD "$port"
check "Ergebnis: Router antwortet, CAPI über TCP ist aus" "no listener (refused)" teluso_refused

start_listener never || exit 1
store_port REG_DWORD "$port"
check "Ergebnis: keine Antwort von 127.0.0.1:$port" "a listener that never answers"
stop_listener

start_listener accept || exit 1
store_port REG_DWORD "$port"
check "Ergebnis: Router erreichbar" "a listener that accepts (reached)" teluso_reached

[ "$failed" = 0 ] || { cat "$work/reports.txt" >&2; exit 1; }
echo "Teluso's verdicts as expected"
