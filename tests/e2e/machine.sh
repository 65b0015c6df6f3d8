# Sourced by the end-to-end scripts: the machine the scenarios expect, set up in a Wine
# prefix. The fax application keeps its data in the user's profile, so the path carries the
# user's name (and an umlaut, to see code page 1252 through). Callers set $drive_c and $work
# and define fail().

fax_dir="Program Files (x86)\\FRITZ!"
install_seconds=1260455415  # 10.12.2009 14:30:15 UTC
ie_version=8.0.7601.17514

wine_user() {
    local name
    for name in "$drive_c"/users/*; do
        name=$(basename "$name")
        [ "$name" != Public ] && { echo "$name"; return; }
    done
}

# Paths on the Linux side for a path on drive C:.
unix_path() { printf '%s/%s' "$drive_c" "$(printf '%s' "${1#C:\\}" | tr '\\' /)"; }

# Windows paths for driver scripts: every backslash as "\x5c", which the driver reads as that
# byte, so that none can be taken for an escape (a path ending in "\" before the quote).
escaped() { printf '%s' "${1//\\/\\x5c}"; }

reg_file() {
    local user=$1 data=$2
    # Registry files take "\\" for a backslash.
    local program=${fax_dir//\\/\\\\} data_text=${data//\\/\\\\}
    cat <<EOF
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine]
"Version"="win10"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]
"InstallDate"=dword:$(printf '%08x' "$install_seconds")

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer]
"Version"="$ie_version"

[HKEY_CURRENT_USER\\SOFTWARE\\AVM\\FRITZ! 2.0\\FRITZ!]
"SystemDir"="C:\\\\$program\\\\"

[HKEY_CURRENT_USER\\SOFTWARE\\AVM\\FRITZ! 2.0\\Fax]
"DatenDir"="$data_text\\\\"
"Version"="V3.07.04"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\AVMIGDCTRL]
"FoundFritzBoxes"="192.168.178.1"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\CAPIoTCP]
"Port"=dword:000013a7

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM\\AVMIGDCTRL]
"FoundFritzBoxes"="10.0.0.138"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM\\CAPIoTCP]
"Port"=dword:00001f90
EOF
}

data_folder_of() { printf 'C:\\users\\%s\\AppData\\Roaming\\FRITZ!\\Faxger\xc3\xa4te' "$1"; }

# set_up_machine RUN PREFIX PLANTED_DLL WORK: the fax application (its program with another
# maker's capi2032.dll, its data file), the registry of the prepared machine, and no window
# management for Orvano.exe.
set_up_machine() {
    local run=$1 prefix=$2 planted_dll=$3 work=$4 user data program
    user=$(wine_user)
    [ -n "$user" ] || { fail "the prefix has no user profile"; return 1; }
    data=$(data_folder_of "$user")
    program=$(unix_path "C:\\$fax_dir")
    mkdir -p "$program" "$(unix_path "$data")" &&
        printf 'MZ' >"$program/FriFax32.exe" &&
        cp "$planted_dll" "$program/capi2032.dll" &&
        printf 'dBASE' >"$(unix_path "$data")/FritzFax.dbf" ||
        { fail "the fax application's files"; return 1; }
    # Registry files are read as UTF-16 with a byte-order mark.
    { printf '\xff\xfe'; reg_file "$user" "$data" | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } \
        >"$work/machine.reg"
    "$run" "$prefix" reg import "Z:$(readlink -f "$work/machine.reg" | tr / '\\')" \
        >"$work/reg.log" 2>&1 || { cat "$work/reg.log" >&2; fail "registry import"; return 1; }
    leave_unmanaged "$prefix" Orvano.exe || fail "the Wine setting for unmanaged windows"
    return 0
}
