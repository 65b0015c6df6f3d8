#!/usr/bin/env bash
# The WoW64 stage from the build tree: puts the x86 programs and the scenario scripts on the
# machine's work disk, runs the scenarios inside the machine and brings the results back.
#   stage.sh OUT "SCENARIO..." ORVANO DRIVER CONTRACT_TESTS PLANTED_DLL PROBE_DLL
# Results: OUT/result/work/results/SCENARIO.{log,rc} (read by check.sh), screenshots in
# OUT/result/work/screenshots/, the machine's console in OUT/result/console.log.
set -eu
out=$1 scenarios=$2
shift 2
here=$(dirname "$(readlink -f "$0")")
tests=$here/..
start=$(date +%s)
payload=$out/payload
rm -rf "$payload" "$out/result"
mkdir -p "$payload/bin" "$payload/tests/e2e" "$payload/tests/wine" "$payload/tests/wow64"
for file in "$@"; do cp "$file" "$payload/bin/"; done
cp "$tests/e2e/display.sh" "$tests/e2e/machine.sh" "$tests/e2e/driving.sh" "$payload/tests/e2e/"
cp "$out/../tests/control_ids.sh" "$payload/tests/e2e/"
cp "$tests/wine/run.sh" "$payload/tests/wine/"
cp "$here/job.sh" "$here/scenarios.sh" "$payload/tests/wow64/"
echo 'exec bash /work/tests/wow64/job.sh' >"$payload/job.sh"
printf '%s\n' $scenarios >"$payload/scenarios"
"$here/../../tools/wow64/run.sh" "$payload" "$out/result"
sed -n 's/^\(.*: exit [0-9]* after [0-9]* s\)\r*$/\1/p' "$out/result/console.log"
echo "WoW64 stage: $(($(date +%s) - start)) s"
