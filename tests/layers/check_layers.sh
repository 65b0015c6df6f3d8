#!/usr/bin/env bash
# The program's folders are layers: a folder includes only itself and the folders it builds
# on, so every arrow runs one way. Prints each include that runs against them and fails.
#   check_layers.sh SRC_DIR
set -u
src=${1:-$(dirname "$(readlink -f "$0")")/../../src}
# Folder: the folders it may include besides itself.
declare -A builds_on=(
    [platform]=""
    [sysinfo]="platform"
    [config]="platform sysinfo"
    [ui]="platform"
    [deploy]="platform sysinfo config ui"
    [dialogs]="platform sysinfo config ui deploy"
    [app]="platform sysinfo config ui deploy dialogs"
)
bad=0
for folder in "${!builds_on[@]}"; do
    allowed=" $folder ${builds_on[$folder]} "
    while IFS=: read -r file line include; do
        target=$(sed -n 's/.*#include "\([a-z_]*\)\/.*/\1/p' <<<"$include")
        [ -n "$target" ] || continue
        case $allowed in *" $target "*) ;; *)
            echo "$file:$line: $folder includes $target: ${include#*#include }"
            bad=1 ;;
        esac
    done < <(grep -rn --include='*.h' --include='*.cpp' '^#include "' "$src/$folder" \
             | grep -v "^$src/deploy/payloads/")
done
# Where the capi2032.dll copies are and what they are is decided without windows: only the
# deployment dialog itself shows anything.
while IFS=: read -r file line include; do
    case $file in "$src"/deploy/deployment_dialog.*) continue ;; esac
    echo "$file:$line: deploy's rules show no windows: ${include#*#include }"
    bad=1
done < <(grep -rn --include='*.h' --include='*.cpp' '#include "ui/' "$src/deploy" \
         | grep -v "^$src/deploy/payloads/")
# The memory platform's set-up is for tests alone; the program's code never reaches into it.
# The headless toolkit, the memory platform's twin, reads its clock and cursor through the one
# header meant for it.
while IFS=: read -r file line include; do
    case $file in "$src"/platform/memory/*) continue ;; esac
    case $file:$include in "$src"/ui/headless/*:*'"platform/memory/virtual_clock.h"'*) continue ;; esac
    echo "$file:$line: only tests set up the memory platform: ${include#*#include }"
    bad=1
done < <(grep -rn --include='*.h' --include='*.cpp' '#include "platform/memory/' "$src")
# Each implementation of the port stands alone.
while IFS=: read -r file line include; do
    echo "$file:$line: one platform implementation includes another: ${include#*#include }"
    bad=1
done < <(grep -rn '#include "platform/memory/' "$src/platform/win32"
         grep -rn '#include "platform/win32/' "$src/platform/memory")
[ $bad = 0 ] && echo "layers hold: platform <- sysinfo <- config; platform <- ui; both <- deploy <- dialogs <- app"
exit $bad
