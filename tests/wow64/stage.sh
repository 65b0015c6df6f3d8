#!/usr/bin/env bash
# The WoW64 stage from the build tree: puts the x86 programs and the scenario scripts on the
# work disks of two machines that run side by side (one per core), runs the scenarios inside
# them and brings the results back together.
#   stage.sh OUT "SCENARIO... | SCENARIO..." ORVANO DRIVER CONTRACT_TESTS PLANTED_DLL PROBE_DLL
#            COMPANION
# The "|" parts the scenarios between the machines; each machine runs its own in order (a part
# that needs the prepared machine starts with "prepare"). Results: OUT/result/work/results/
# SCENARIO.{log,rc} (read by check.sh), screenshots in OUT/result/work/screenshots/, the sum of
# the Orvano.exe the machines ran in OUT/result/work/Orvano.exe.sha256, the machines' consoles
# in OUT/result/console.log.
set -eu
out=$1 scenarios=$2
shift 2
here=$(dirname "$(readlink -f "$0")")
tests=$here/..
start=$(date +%s)
rm -rf "$out/payload" "$out/result" "$out"/machine-*
mkdir -p "$out/result/work/results" "$out/result/work/screenshots"

# One machine's work disk: the programs, the scripts and its share of the scenarios.
payload() {
    local payload=$1
    mkdir -p "$payload/bin" "$payload/tests/e2e" "$payload/tests/wine" "$payload/tests/wow64"
    cp "$tests/e2e/display.sh" "$tests/e2e/machine.sh" "$tests/e2e/driving.sh" "$payload/tests/e2e/"
    cp "$out/../tests/control_ids.sh" "$payload/tests/e2e/"
    cp "$tests/wine/run.sh" "$payload/tests/wine/"
    cp "$here/job.sh" "$here/scenarios.sh" "$payload/tests/wow64/"
    echo 'exec bash /work/tests/wow64/job.sh' >"$payload/job.sh"
}

machines=()
IFS='|' read -ra parts <<<"$scenarios"
for part in "${parts[@]}"; do
    [ -n "${part// /}" ] || continue
    machine=$out/machine-${#machines[@]}
    payload "$machine/payload"
    cp "$@" "$machine/payload/bin/"
    printf '%s\n' $part >"$machine/payload/scenarios"
    machines+=("$machine")
done

# The machine's image is built once, before both boot from it.
"$here/../../tools/wow64/image.sh" >/dev/null
pids=()
for machine in "${machines[@]}"; do
    "$here/../../tools/wow64/run.sh" "$machine/payload" "$machine/result" >"$machine/run.log" 2>&1 &
    pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || status=1
    cat "${machines[$i]}/run.log"
done

# Together again: a scenario run on both machines ("prepare") keeps both logs and the first
# failure's exit code.
for machine in "${machines[@]}"; do
    result=$machine/result
    cat "$result/console.log" >>"$out/result/console.log" 2>/dev/null || true
    [ -d "$result/work" ] || continue
    # Each scenario's folder, the screenshots and the sum; the results below.
    for entry in "$result/work/"*; do
        [ "$(basename "$entry")" = results ] || cp -r "$entry" "$out/result/work/"
    done
    for rc in "$result/work/results/"*.rc; do
        [ -f "$rc" ] || continue
        name=$(basename "$rc" .rc) merged=$out/result/work/results
        cat "${rc%.rc}.log" >>"$merged/$name.log"
        [ "$(cat "$merged/$name.rc" 2>/dev/null || echo 0)" = 0 ] && cp "$rc" "$merged/$name.rc"
    done
    sed -n 's/^\(.*: exit [0-9]* after [0-9]* s\)\r*$/\1/p' "$result/console.log"
done
# What the scenarios were, so that the release takes only pictures of these very scenarios.
"$here/scenarios_sum.sh" >"$out/result/work/scenarios.sha256"
echo "WoW64 stage: $(($(date +%s) - start)) s on ${#machines[@]} machines"
exit $status
