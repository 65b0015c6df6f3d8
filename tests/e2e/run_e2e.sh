#!/usr/bin/env bash
# The toolkit end to end: real windows under wine64 on an X display.
#   run_e2e.sh PREFIX DEMO DRIVER OUTDIR
# Starts Xvfb when no DISPLAY is set, runs the demo dialog on a Wine desktop of its own in
# PREFIX, drives every kind of control with the driver, saves OUTDIR/screenshots/*.png and
# checks the callback's log and the exit codes. Whatever it started is ended on every path.
set -u
prefix=$1 demo=$2 driver=$3 out=$4
here=$(dirname "$(readlink -f "$0")")
run=$here/../wine/run.sh
. "$here/display.sh"
work=$out/e2e/toolkit_demo
shots=$out/screenshots
title=" Orvano Werkzeugtest"
sub=" Orvano Unterdialog"
desktop=orvano-e2e
mkdir -p "$work" "$shots"
rm -f "$work"/*.log "$shots"/toolkit_demo*.png

demo_pid=
failed=0
started=$(date +%s%N)

# Prints how long the run has taken so far, to see where the time goes.
phase() { echo "$1: $(( ($(date +%s%N) - started) / 1000000 )) ms"; }

# Windows paths for the programs: the prefix maps Z: to /.
windows_path() { printf 'Z:%s' "$(readlink -f "$1" | tr / '\\')"; }

drive() { "$run" "$prefix" "$driver" --desktop "$desktop" "$@"; }

fail() {
    echo "FAIL: $*" >&2
    failed=1
}

cleanup() {
    if [ -n "$demo_pid" ] && kill -0 "$demo_pid" 2>/dev/null; then
        drive kill-window "$title" >/dev/null 2>&1
        kill "$demo_pid" 2>/dev/null
        wait "$demo_pid" 2>/dev/null
    fi
    stop_display
}
trap cleanup EXIT
trap 'exit 2' INT TERM

ensure_display "$work" || exit 1
phase "display $DISPLAY"
leave_unmanaged "$prefix" "$demo" || fail "the Wine setting for unmanaged windows"

# Starts the demo in the background; its exit code comes from `wait $demo_pid`.
start_demo() {
    "$run" "$prefix" "$driver" --desktop "$desktop" run "$(windows_path "$demo")" \
        "$(windows_path "$work")\\$1" 2>>"$work/demo.err" &
    demo_pid=$!
}

# Runs a driver script given on standard input (UTF-8).
script() {
    cat >"$work/$1.txt"
    drive --script "$(windows_path "$work/$1.txt")" >"$work/$1.out" 2>&1 || {
        cat "$work/$1.out" >&2
        fail "driver script $1"
        return 1
    }
}

screenshot() { import -window root "$shots/$1.png" 2>>"$work/import.log" || fail "screenshot $1"; }

expect_exit() {
    local code=0
    wait "$demo_pid" || code=$?
    demo_pid=
    [ "$code" = "$1" ] || fail "the demo ended with $code, expected $1"
}

# The lines of the callback's log that match a pattern, in order, each cut to three words.
expect_log() {
    local log=$work/$1 expected=$2 got
    got=$(tr -d '\r' <"$log" | grep -E "$3" | cut -d' ' -f1-3 | tr '\n' ';')
    [ "$got" = "$expected" ] || fail "$1: expected \"$expected\", got \"$got\""
}

# Waits until a line of the callback's log matches a pattern. What the demo logs comes when its
# loop gets to it, which on a loaded machine may take long: the bound is generous.
await_log() {
    local log=$work/$1 pattern=$2 tenths=$((${3:-60} * 10))
    until tr -d '\r' <"$log" 2>/dev/null | grep -qE "$pattern"; do
        if [ "$tenths" -le 0 ]; then
            fail "$1: no line matching \"$pattern\" in ${3:-60} s"
            return 1
        fi
        sleep 0.1
        tenths=$((tenths - 1))
    done
}

# The callback's first messages: WM_INITDIALOG, then WM_SIZE restored with the client size.
expect_start() {
    local log=$work/$1 got
    got=$(tr -d '\r' <"$log" | head -n2 | tr '\n' ';')
    [[ $got =~ ^"MAIN INITDIALOG ok;MAIN SIZE 0 "[1-9][0-9]*" "[1-9][0-9]*";"$ ]] ||
        fail "$1 starts with \"$got\""
}

# --- First run: every control, closed by its " Schließen " button -----------------------------
start_demo first.log
script controls <<EOF || exit 1
wait-window "$title" 20000
# What the control table made, colours and fonts aside
expect " Einstellungen " get-text "$title" 101
expect " Ländervorwahl: " get-text "$title" 102
expect "0049" get-text "$title" 103
expect "10.0.0.138" get-text "$title" 105
expect "0" get-check "$title" 106
expect "1" get-check "$title" 107
expect "0" get-check "$title" 108
expect "1" is-visible "$title" 109
expect " Straße, Größe, Füße: ß " get-text "$title" 110
expect " Äpfel | Müller | Öfen | Übermut " list-items "$title" 111
expect " Doppelklick hier " get-text "$title" 112
expect " Ändern " get-text "$title" 120
expect "2" tool-count "$title"
# The timer started in WM_INITDIALOG fires inside the modal loop
expect " Zeitgeber: an " get-text "$title" 116
# A button click and a double click on the label that reports clicks
click "$title" 120
expect "geklickt" get-text "$title" 113
expect " Maße: ÄÖÜ äöü " get-text "$title" 110
double-click "$title" 112
expect " doppelt geklickt " get-text "$title" 112
# Typed text and addresses come back through the toolkit
type "$title" 103 "+49 (0) Ä"
type "$title" 105 "192.168.100.77"
expect "192.168.100.77" get-text "$title" 105
click "$title" 121
expect "[192.168.100.77] +49 (0) Ä" get-text "$title" 115
click "$title" 126
expect "" get-text "$title" 105
click "$title" 121
expect "[] +49 (0) Ä" get-text "$title" 115
click "$title" 123
expect "192.168.178.1" get-text "$title" 105
click "$title" 121
expect "[192.168.178.1] +49 (0) Ä" get-text "$title" 115
# The check box locks a button, the radio buttons show and hide the list
click "$title" 106
expect "1" get-check "$title" 106
expect "0" is-enabled "$title" 122
click "$title" 106
expect "0" get-check "$title" 106
expect "1" is-enabled "$title" 122
click "$title" 108
expect "1" get-check "$title" 108
expect "0" get-check "$title" 107
expect "0" is-visible "$title" 111
click "$title" 107
expect "1" is-visible "$title" 111
# Esc and Enter reach the callback as IDCANCEL and IDOK and end nothing
key "$title" 103 esc
key "$title" 103 enter
EOF
await_log first.log '^MAIN IDOK' || exit 1
script sub_dialog <<EOF || exit 1
expect "1" is-visible "$title" 0
# A dialog opened from the callback disables its owner until it ends
click "$title" 125
wait-window "$sub"
expect "0" is-enabled "$title" 0
expect " Übergeordnet gesperrt " get-text "$sub" 131
EOF
# The owner hears WM_ENTERIDLE once the sub dialog's loop has nothing to do; a click that came
# before would end the sub dialog first.
await_log first.log '^MAIN ENTERIDLE' || exit 1
script sub_dialog_end <<EOF || exit 1
click "$sub" 130
wait-gone "$sub"
expect "1" is-enabled "$title" 0
expect "Unterdialog: 3" get-text "$title" 113
click "$title" 125
wait-window "$sub"
close "$sub"
wait-gone "$sub"
expect "1" is-enabled "$title" 0
expect "Unterdialog: 0" get-text "$title" 113
EOF
phase "controls"
screenshot toolkit_demo

script ask <<EOF || exit 1
click "$title" 122
wait-window " Info"
EOF
screenshot toolkit_demo_message_box

script finish <<EOF || exit 1
expect " Möchten Sie fortfahren? " answer-box " Info" Nein
expect " Nein " get-text "$title" 114
click "$title" 122
expect " Möchten Sie fortfahren? " answer-box " Info" Ja
expect " Ja " get-text "$title" 114
click "$title" 124
wait-gone "$title"
EOF
expect_exit 7
phase "first run"
expect_start first.log
expect_log first.log "MAIN IDCANCEL;MAIN IDOK;" '^MAIN ID'
expect_log first.log "MAIN ENTERIDLE;" '^MAIN ENTERIDLE'
expect_log first.log "SUB CLOSE;SUB DESTROY;SUB RESULT 3;SUB CLOSE;SUB DESTROY;SUB RESULT 0;" \
    '^SUB (CLOSE|DESTROY|RESULT)'
expect_log first.log "MAIN CLOSE;MAIN DESTROY;MAIN RESULT 7;" '^MAIN (CLOSE|DESTROY|RESULT)'

# --- Second run: the close box ends the dialog with 0 ------------------------------------------
start_demo second.log
script close_box <<EOF || exit 1
wait-window "$title" 20000
close "$title"
wait-gone "$title"
EOF
expect_exit 0
expect_start second.log
expect_log second.log "MAIN CLOSE;MAIN DESTROY;MAIN RESULT 0;" '^MAIN (CLOSE|DESTROY|RESULT)'
phase "second run"

exit $failed
