#!/bin/sh
# The sum of the scripts that drive the WoW64 scenarios: the stage notes it beside its
# results, and the release script compares it with the tree it packs.
here=$(dirname "$(readlink -f "$0")")
cat "$here/scenarios.sh" "$here/job.sh" "$here/../e2e/driving.sh" "$here/../e2e/machine.sh" \
    "$here/../e2e/display.sh" | sha256sum | cut -d' ' -f1
