#!/usr/bin/env bash
# Inside the WoW64 machine: runs each scenario named in /work/scenarios, in order, and leaves
# its log and exit code in /work/out/results/. The x86 programs are in /work/bin.
cd /work
prefix=/opt/orvano/prefix
mkdir -p out/results
# A second loopback address with a name, so that an address typed for the other registry view
# differs and still passes the name-service check (the machine has no name service).
printf '127.0.0.2\tzweiter.router\n' >>/etc/hosts
echo "Wine: $(wine64 --version 2>/dev/null || /usr/lib/wine/wine64 --version)"
# The sum of the very Orvano.exe the scenarios run, for the release archive to be checked against.
sha256sum bin/Orvano.exe | cut -d' ' -f1 >out/Orvano.exe.sha256
while read -r scenario; do
    [ -n "$scenario" ] || continue
    start=$(date +%s)
    bash tests/wow64/scenarios.sh "$scenario" "$prefix" /work/bin /work/out \
        >"out/results/$scenario.log" 2>&1
    status=$?
    echo "$status" >"out/results/$scenario.rc"
    echo "$scenario: exit $status after $(($(date +%s) - start)) s"
done <scenarios
