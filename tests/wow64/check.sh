#!/usr/bin/env bash
# One scenario's result from the WoW64 machine: check.sh OUT SCENARIO. Prints its log and
# passes when it ended with 0 inside the machine.
out=$1 scenario=$2
results=$out/result/work/results
if [ ! -f "$results/$scenario.rc" ]; then
    echo "the scenario $scenario did not run in the machine (see $out/result/console.log)"
    exit 1
fi
cat "$results/$scenario.log"
[ "$(cat "$results/$scenario.rc")" = 0 ]
