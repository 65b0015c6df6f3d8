# Sourced by the end-to-end scripts: phases, failures, the driver and the program's end, the
# same on every machine. Callers set $scenario, $run, $prefix, $driver, $desktop, $work and
# $title before calling, and may set $close_wait_ms (how long a closed main window may take
# to go; 10000 by default).

failed=0
pids=()
started=$(date +%s%N)

phase() { echo "$scenario, $1: $(( ($(date +%s%N) - started) / 1000000 )) ms"; }

fail() {
    echo "FAIL ($scenario): $*" >&2
    failed=1
}

drive() { "$run" "$prefix" "$driver" --desktop "$desktop" "$@"; }

# Runs a driver script given on standard input (UTF-8).
script() {
    cat >"$work/$1.txt"
    drive --script "Z:$(readlink -f "$work/$1.txt" | tr / '\\')" >"$work/$1.out" 2>&1 || {
        cat "$work/$1.out" >&2
        fail "driver script $1"
        return 1
    }
}

expect_exit() {
    local pid=$1 expected=$2 code=0
    wait "$pid" || code=$?
    [ "$code" = "$expected" ] || fail "the program ended with $code, expected $expected"
}

running() { kill -0 "$1" 2>/dev/null; }

# Closes the main window by its close box (driver script NAME) and expects the program that
# PID waits for to end with 0.
close_orvano() {
    script "$1" <<EOS || return
close "$title"
wait-gone "$title" ${close_wait_ms:-10000}
EOS
    expect_exit "$2" 0
}

# Driver steps that change the router address in a section of the router address dialog
# WINDOW (SECTION "native" or "wow"): " Ändern ", the address typed, " Ja ". The address is
# checked with the name service off the window; the question ends with the check.
change_address_steps() {
    local window=$1 section=$2 address=$3
    local field=$router_ip_kAddress change=$router_ip_kChange yes=$router_ip_kChangeYes
    if [ "$section" = wow ]; then
        field=$router_ip_kWowAddress change=$router_ip_kWowChange yes=$router_ip_kWowChangeYes
    fi
    cat <<EOS
click "$window" $change
type "$window" $field $address
click "$window" $yes
expect "" get-text "$window" $router_ip_kStatus
expect "0" is-visible "$window" $yes
expect "$address" get-text "$window" $field
EOS
}
