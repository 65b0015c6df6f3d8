#!/usr/bin/env bash
# Runs a Windows program that opens windows under wine64, on Xvfb unless a DISPLAY is set:
#   run_gui.sh PREFIX PROGRAM [ARGS...]     exits with the program's exit code
set -u
prefix=$1
here=$(dirname "$(readlink -f "$0")")
. "$here/display.sh"
scratch=$(mktemp -d "$(dirname "$prefix")/gui-display.XXXXXX")
finish() {
    stop_display
    rm -rf "$scratch"
}
trap finish EXIT
trap 'exit 2' INT TERM
ensure_display "$scratch" || exit 1
leave_unmanaged "$prefix" "$2" || echo "cannot leave the windows unmanaged" >&2
"$here/../wine/run.sh" "$@"
