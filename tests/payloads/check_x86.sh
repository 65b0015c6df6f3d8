#!/usr/bin/env bash
# Static checks of the x86 payload files, which cannot run on this machine:
#   check_x86.sh OBJDUMP FOLDER
# Every capi2032 build is an i386 DLL exporting exactly the ten CAPI 2.0 functions, undecorated,
# under ordinals 1 to 10; Teluso.exe is an i386 GUI program. All import system DLLs only.
set -u
objdump=$1
folder=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expected="1 CAPI_REGISTER
2 CAPI_RELEASE
3 CAPI_PUT_MESSAGE
4 CAPI_GET_MESSAGE
5 CAPI_WAIT_FOR_SIGNAL
6 CAPI_GET_MANUFACTURER
7 CAPI_GET_VERSION
8 CAPI_GET_SERIAL_NUMBER
9 CAPI_GET_PROFILE
10 CAPI_INSTALLED"

check_common() {
    local file=$1 headers
    headers=$("$objdump" -p "$file") || { fail "$file: unreadable"; return; }
    grep -q "file format pei-i386" <<<"$headers" || fail "$file: not a PE32 file for i386"
    local imports
    imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'a-z' 'A-Z' | sort -u)
    for dll in $imports; do
        case $dll in
            KERNEL32.DLL | MSVCRT.DLL | ADVAPI32.DLL | WS2_32.DLL | USER32.DLL | GDI32.DLL) ;;
            *) fail "$file: imports $dll" ;;
        esac
    done
}

for build in V3810 V3830 V51000; do
    file=$folder/capi2032_$build.dll
    check_common "$file"
    headers=$("$objdump" -p "$file")
    base=$(sed -n 's/^Ordinal Base[ \t]*//p' <<<"$headers")
    # The name table lists "[index] NAME"; the ordinal is the index plus the base.
    exports=$(awk -v base="$base" '/\[Ordinal\/Name Pointer\] Table/ {t = 1; next}
                  t && /^[ \t]*\[/ {gsub(/[\[\]]/, ""); print $1 + base, $2; next}
                  t {t = 0}' <<<"$headers" | sort -n)
    [ "$exports" = "$expected" ] || fail "$file: exports are
$exports"
    characteristics=$(sed -n 's/^Characteristics 0x//p' <<<"$headers")
    (((0x${characteristics:-0} & 0x2000) != 0)) || fail "$file: not a DLL"
done

check_common "$folder/Teluso.exe"
grep -q "^Subsystem\s*00000002" <("$objdump" -p "$folder/Teluso.exe") ||
    fail "Teluso.exe: not a GUI program"

echo "x86 payloads: $failures failed"
[ "$failures" -eq 0 ]
