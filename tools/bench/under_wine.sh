# What the benchmarks under Wine share, sourced from the repository's root:
#   . tools/bench/under_wine.sh TARGET...
# Builds the targets of the win64 preset, then sets `root`, `run` (Wine in a prefix), `prefix`
# (build/bench/wineprefix, made on first use) and `driver`, starts Xvfb when no DISPLAY is set,
# and leaves the window manager's hands off every .exe among the targets' files. A benchmark
# that starts more (the program, a name server) defines `end_own` to end it.
root=$PWD
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target "$@" >/dev/null

. tests/e2e/display.sh
run=$root/tests/wine/run.sh
prefix=$root/build/bench/wineprefix
driver=$root/build/win64/tests/e2e/e2e_driver.exe
mkdir -p build/bench

finish() {
    if declare -F end_own >/dev/null; then end_own || true; fi
    "$root/tests/wine/stop_prefix.sh" "$prefix"
    stop_display
}
trap finish EXIT
ensure_display build/bench
[ -f "$prefix/system.reg" ] || "$root/tests/wine/new_prefix.sh" "$prefix" >/dev/null
for target in "$@"; do
    case $target in e2e_driver | control_ids) ;; *) leave_unmanaged "$prefix" "$target.exe" || true ;; esac
done
