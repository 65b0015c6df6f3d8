#!/usr/bin/env bash
# Orvano.exe as Windows sees it, read with the MinGW toolchain's own tools:
#   check_executable.sh OBJDUMP WINDRES EXE FORMAT ARCHITECTURE
# FORMAT: the PE format objdump names (pei-i386 for the product, pei-x86-64 for the test
# build); ARCHITECTURE: the manifest's processorArchitecture (X86, amd64).
# Checks the machine, the GUI subsystem, ASLR and DEP, the imports (only libraries Windows
# always takes from the system folder), the manifest (administrator rights, Vista and
# Windows 7, version 2.1.0.6, no common controls 6), the version resource and icon group 555.
set -u
objdump=$1 windres=$2 exe=$3 format=$4 arch=$5
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

[ -f "$exe" ] || { echo "FAIL: no $exe" >&2; exit 1; }
headers=$("$objdump" -p "$exe") || { echo "FAIL: objdump cannot read $exe" >&2; exit 1; }

# --- Headers -------------------------------------------------------------------------------
"$objdump" -f "$exe" | grep -q "file format $format\$" || fail "not a $format executable"
grep -Eq '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)' <<<"$headers" ||
    fail "not a Windows GUI program"
# The program runs elevated: its address layout is randomised and its data not executable.
for flag in DYNAMIC_BASE NX_COMPAT; do
    grep -Eq "^[[:space:]]+$flag\$" <<<"$headers" || fail "DllCharacteristics lack $flag"
done

# --- Imports -------------------------------------------------------------------------------
# Windows loads these from the system folder whatever lies beside the program (known DLLs).
# Everything else (comctl32, version, wsock32, shell32, ...) would be looked for in the
# program's folder first, so the program loads it at run time by its full path instead.
imports=$(grep -E 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' | sort -u)
[ -n "$imports" ] || fail "no imports found"
for dll in $imports; do
    case $dll in
        kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | msvcrt.dll) ;;
        *) fail "imports $dll, which Windows would look for beside the program first" ;;
    esac
done

# --- Resources -----------------------------------------------------------------------------
resources=$("$windres" -J coff -O rc -i "$exe") || { fail "windres cannot read the resources"; exit 1; }

# The text of one resource written as an rc string block: "..." lines, "" for a quote.
resource_text() {
    awk -v head="$1" '
        $0 == head { inside = 1; next }
        inside && /^END/ { exit }
        inside && /^ *"/ { sub(/^ *"/, ""); sub(/" *,? *$/, ""); gsub(/""/, "\""); print }' \
        <<<"$resources" | sed 's/\\n$//'
}

manifests=$(grep -c ' 24 /\* RT_MANIFEST \*/$' <<<"$resources")
[ "$manifests" = 1 ] || fail "$manifests manifests instead of one"
grep -q '^1 24 /\* RT_MANIFEST \*/$' <<<"$resources" ||
    fail "the manifest is not resource 1, which Windows reads for a program"
manifest=$(resource_text '1 24 /* RT_MANIFEST */')
expect_manifest() {
    grep -Fq -- "$1" <<<"$manifest" || fail "the manifest lacks $1"
}
expect_manifest 'level="requireAdministrator"'
expect_manifest 'uiAccess="false"'
expect_manifest 'version="2.1.0.6"'
expect_manifest "processorArchitecture=\"$arch\""
expect_manifest '<supportedOS Id="{e2011457-1546-43c5-a5fe-008deee3d3f0}"/>'  # Vista
expect_manifest '<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>'  # Windows 7
# The classic controls: no dependency on any assembly, common controls 6 least of all.
grep -Eiq '<dependency|Common-Controls' <<<"$manifest" &&
    fail "the manifest declares a dependency (common controls 6?)"
grep -q '^<?xml' <<<"$manifest" || fail "the manifest is no XML text: $(head -c 80 <<<"$manifest")"

version_block=$(awk '/^1 VERSIONINFO/,/^END$/' <<<"$resources")
[ -n "$version_block" ] || fail "no version resource"
for line in ' FILEVERSION 2, 1, 0, 6' ' PRODUCTVERSION 2, 1, 0, 6' \
    'VALUE "FileVersion", "2.1.0.6"' 'VALUE "ProductVersion", "2.1.0.6"' \
    'VALUE "OriginalFilename", "Orvano.exe"'; do
    grep -Fq -- "$line" <<<"$version_block" || fail "the version resource lacks $line"
done

# Icon group 555, and an icon image behind each of its entries.
group=$(awk '/^555 14 \/\* RT_GROUP_ICON \*\/$/,/^END$/' <<<"$resources")
if [ -z "$group" ]; then
    fail "no icon group 555"
else
    icons=$(grep -E '^ *"' <<<"$group" | sed -E 's/.*, *([0-9]+),?[[:space:]]*\/\*.*/\1/')
    [ -n "$icons" ] || fail "icon group 555 is empty"
    for icon in $icons; do
        grep -q "^$icon 3 /\* RT_ICON \*/\$" <<<"$resources" ||
            fail "icon group 555 names icon $icon, which is missing"
    done
fi

[ $failed = 0 ] && echo "$exe: $format, GUI, imports $(tr '\n' ' ' <<<"$imports")- checked"
exit $failed
