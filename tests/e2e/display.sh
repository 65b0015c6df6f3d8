# Sourced by the scripts that show Windows programs' windows under wine64.
#
# ensure_display DIR: when no DISPLAY is set, starts Xvfb on a free display (Xvfb picks the
#   number itself) and exports DISPLAY; DIR keeps its log. stop_display ends that Xvfb.
# leave_unmanaged PREFIX PROGRAM: Wine waits two seconds for a window manager to withdraw
#   every window it closes; there is none on Xvfb, so the program's windows stay unmanaged.

display_pid=

ensure_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local dir=$1
    mkdir -p "$dir"
    rm -f "$dir/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
    display_pid=$!
    local _
    for _ in $(seq 200); do
        [ -s "$dir/display" ] && break
        kill -0 "$display_pid" 2>/dev/null || break
        sleep 0.05
    done
    if ! [ -s "$dir/display" ]; then
        echo "Xvfb did not start" >&2
        cat "$dir/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=:$(head -n1 "$dir/display")
}

stop_display() {
    [ -n "$display_pid" ] || return 0
    kill "$display_pid" 2>/dev/null
    wait "$display_pid" 2>/dev/null
    display_pid=
}

leave_unmanaged() {
    local run
    run=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../wine/run.sh
    "$run" "$1" reg add "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$2")\\X11 Driver" \
        /v Managed /d N /f >/dev/null 2>&1
}
