#!/usr/bin/env bash
# Orvano.exe end to end: the real program under wine64 on an Xvfb display, in a prefix of its
# own that is set up as a machine with the fax application, capi2032.dll copies and the
# router settings of the CAPI-over-TCP client.
#
#   run_orvano.sh SCENARIO PREFIX ORVANO DRIVER PROBE_DLL PLANTED_DLL LOADER OUTDIR [COMPANION]
#
# SCENARIO "prepare" makes the prefix fresh and sets the machine up; every other scenario
# starts Orvano.exe from a folder of its own (C:\Orvano\SCENARIO, made afresh), drives it with
# the driver, saves OUTDIR/screenshots/orvano_*.png (the scenario "dialogs": dialog_*.png, and
# dialog_*_window.png cut to the dialog) and ends whatever it started, on every path.
# PROBE_DLL: an x64 library with version 3.8.1.0 / 3.0.0.0 and the client's marker text.
# PLANTED_DLL: a library with version 2.4.0.1 / 2.4.0.0 that leaves NAME.loaded beside itself
# when it is loaded. LOADER: loads libraries by bare name. Exit 77: scenario skipped.
set -u
scenario=$1 prefix=$2 orvano=$3 driver=$4 probe_dll=$5 planted_dll=$6 loader=$7 out=$8
companion=${9:-}  # a window titled after its file name, logs SC_CLOSE to NAME.exe.log
here=$(dirname "$(readlink -f "$0")")
run=$here/../wine/run.sh
. "$here/display.sh"
. "$here/machine.sh"

title=" Orvano"
# Wine makes a desktop for the display of the program that first uses it and keeps it for the
# prefix's later programs, whatever display they are given. Each run gets a desktop of its
# own, made by the driver on this run's display.
desktop=orvano-$scenario-$$
work=$out/e2e/orvano/$scenario
shots=$out/screenshots
drive_c=$prefix/drive_c
mkdir -p "$work" "$shots"
rm -f "$work"/* "$shots/orvano_$scenario"*.png

# The machine as the scenarios expect it (machine.sh), with the client in System32.
system32_capi='C:\windows\System32\capi2032.dll'  # as the program shows it
system32_capi_file=$drive_c/windows/system32/capi2032.dll
sysWow64='C:\windows\SysWow64\'

. "$here/driving.sh"
# The windows' control ids by name (made by the build from the control tables).
. "$out/tests/control_ids.sh"

screenshot() {
    import -window root "$shots/orvano_$1.png" 2>>"$work/import.log" || fail "screenshot $1"
}

# Starts Orvano.exe from the scenario's folder in the background, on the scenario's desktop;
# the process id of the driver that waits for it (and ends with its exit code) goes to
# $last_pid and into the list that cleanup ends.
start_orvano() {
    "$run" "$prefix" "$driver" --desktop "$desktop" run "$app_win\\Orvano.exe" "$@" \
        >>"$work/orvano.log" 2>&1 &
    last_pid=$!
    pids+=("$last_pid")
}

cleanup() {
    local pid window
    for pid in "${pids[@]}"; do
        if running "$pid"; then
            for window in "$title" " Fehler! " " Info DNS " "$title"; do
                drive kill-window "$window" >/dev/null 2>&1
            done
            kill "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
        fi
    done
    [ -n "${restore:-}" ] && eval "$restore"
    [ "$scenario" = companions ] && end_companions
    stop_display
}

# The scenario's own folder with a fresh copy of the program (no settings file yet).
fresh_app_folder() {
    app_win="C:\\Orvano\\$scenario"
    app=$(unix_path "$app_win")
    rm -rf "$app"
    mkdir -p "$app"
    cp "$orvano" "$app/Orvano.exe"
    ini=$app/Orvano.ini
}

# The settings file's lines without CR, for comparisons.
ini_lines() { tr -d '\r' <"$ini"; }

ini_value() { ini_lines | sed -n "s/^$1=//p"; }

expect_ini() {
    local got
    got=$(ini_value "$1")
    [ "$got" = "$2" ] || fail "settings file: $1 is \"$got\", expected \"$2\""
}

# --- prepare: the machine -------------------------------------------------------------------



prepare() {
    "$here/../wine/new_prefix.sh" "$prefix" || return 1
    set_up_machine "$run" "$prefix" "$planted_dll" "$work" || return 1
    # The CAPI-over-TCP client in System32, in place of Wine's own stand-in file.
    rm -f "$system32_capi_file"
    cp "$probe_dll" "$system32_capi_file" || { fail "no client in System32"; return 1; }
    return 0
}

if [ "$scenario" = prepare ]; then
    prepare
    phase "prefix and machine"
    exit $failed
fi

trap cleanup EXIT
trap 'exit 2' INT TERM
ensure_display "$work" || exit 1
user=$(wine_user)
data_folder=$(data_folder_of "$user")
fresh_app_folder

# --- status: every field the machine fills --------------------------------------------------

# Edition and version as Windows reports them to the program: the build number is Wine's own,
# and Windows after 7 has no service pack, so the version ends in the blank before it.
expect_windows() {
    local edition version
    edition=$(drive get-text "$title" ${mw_kEdition} | tr -d '\r')
    version=$(drive get-text "$title" ${mw_kVersion} | tr -d '\r')
    [ "$edition" = "$1" ] || fail "edition \"$edition\", expected \"$1\""
    [[ $version =~ ^$2$ ]] || fail "version \"$version\", expected $2"
}

status() {
    start_orvano Ohne
    local main=$last_pid
    script fields <<EOF || return
wait-window "$title" 20000
# Windows: the installation date and Internet Explorer (the version follows below)
expect "10.12.2009   14:30:15" get-text "$title" ${mw_kInstallDate}
expect "Internet Explorer Version $ie_version" get-text "$title" ${mw_kBrowser}
# The fax application: its version reduced to digits and dots, its program and data file
expect "3.07.04" get-text "$title" ${mw_kFaxVersion}
expect "$(escaped "C:\\$fax_dir\\FriFax32.exe")" get-text "$title" ${mw_kProgramPath}
expect "$(escaped "$data_folder\\FritzFax.dbf")" get-text "$title" ${mw_kDataPath}
expect " Datenpfad:  " get-text "$title" ${mw_kDataPathLabel}
expect "1" is-enabled "$title" ${mw_kDataFolderButton}
# The user's name is in the data path
expect "1" is-visible "$title" ${mw_kUserNameWarning}
expect "0" get-check "$title" ${mw_kMaskUserName}
# capi2032.dll: another maker's in the fax folder, the client in System32, none in SysWow64
expect "$(escaped "C:\\$fax_dir\\capi2032.dll")" get-text "$title" ${mw_kFaxCapiPath}
expect "2.4.0.1 / 2.4.0.0" get-text "$title" ${mw_kFaxCapiVersion}
expect "$(escaped "$system32_capi")" get-text "$title" ${mw_kSystem32Path}
expect "3.8.1.0 / 3.0.0.0 CoT" get-text "$title" ${mw_kSystem32Version}
expect "$(escaped "$sysWow64")" get-text "$title" ${mw_kSysWow64Path}
expect "" get-text "$title" ${mw_kSysWow64Version}
# The vendor keys and the router endpoint in both views
expect "$(escaped 'HKEY_CURRENT_USER\SOFTWARE\AVM')" get-text "$title" ${mw_kHkcu}
expect "$(escaped 'HKEY_LOCAL_MACHINE\SOFTWARE\AVM')" get-text "$title" ${mw_kHklm}
expect "$(escaped 'HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\AVM')" get-text "$title" ${mw_kWow}
expect "192.168.178.1" get-text "$title" ${mw_kAddress}
expect "000013a7 (5031)" get-text "$title" ${mw_kPort}
expect "10.0.0.138" get-text "$title" ${mw_kWowAddress}
expect "00001f90 (8080)" get-text "$title" ${mw_kWowPort}
# No dialled numbers to warn about, no status tool beside the program
expect "0" is-visible "$title" ${mw_kWarningTicker}
expect "0" is-visible "$title" ${mw_kStatusToolLabel}
expect " fritz.box " get-text "$title" ${mw_kLookUpButton1}
expect " fritz.nas " get-text "$title" ${mw_kLookUpButton3}
expect "33" tool-count "$title"
EOF
    expect_windows "Windows 10, 64-bit" '10\.0\.[0-9]+ '
    screenshot status
    # The watch (every 5 s) shows the status tool's label once the tool is beside the
    # program, and hides it when it is gone again.
    printf 'MZ' >"$app/Statoro.exe"
    script watch_appears <<EOF || return
sleep 5000
expect "1" is-visible "$title" ${mw_kStatusToolLabel}
EOF
    rm -f "$app/Statoro.exe"
    script watch_goes <<EOF || return
sleep 5000
expect "0" is-visible "$title" ${mw_kStatusToolLabel}
EOF
    phase "the watch follows the status tool"
    close_orvano close "$main" || return
    phase "filled from the machine"

    # The data folder gone, the status tool beside the program, Windows 8.1 instead of 10.
    local data_unix
    data_unix=$(unix_path "$data_folder")
    mv "$data_unix" "$data_unix.weg"
    restore="mv '$data_unix.weg' '$data_unix'"
    printf 'MZ' >"$app/Statoro.exe"
    "$run" "$prefix" reg add 'HKCU\Software\Wine' /v Version /d win81 /f >/dev/null 2>&1 ||
        fail "setting Wine to Windows 8.1"
    restore+="; '$run' '$prefix' reg add 'HKCU\\Software\\Wine' /v Version /d win10 /f >/dev/null 2>&1"
    start_orvano Ohne
    main=$last_pid
    # The field starts empty and the blink (every 500 ms) writes the stored folder into it:
    # what it holds then is waited for, never the moment before.
    local stars masked
    stars=$(printf '%*s' "${#user}" '' | tr ' ' '*')
    masked=${data_folder//$user/$stars}
    script missing_data <<EOF || return
wait-window "$title" 20000
expect " Datenpfad ->" get-text "$title" ${mw_kDataPathLabel}
expect "$(escaped "$data_folder\\")" get-text "$title" ${mw_kDataPath}
expect "1" is-visible "$title" ${mw_kUserNameWarning}
expect "$(escaped "C:\\$fax_dir\\FriFax32.exe")" get-text "$title" ${mw_kProgramPath}
expect "1" is-visible "$title" ${mw_kStatusToolLabel}
# Masked, the name stays hidden through the blinks that follow.
click "$title" ${mw_kMaskUserName}
expect "$(escaped "$masked\\")" get-text "$title" ${mw_kDataPath}
sleep 1200
expect "$(escaped "$masked\\")" get-text "$title" ${mw_kDataPath}
expect "0" is-visible "$title" ${mw_kUserNameWarning}
EOF
    expect_windows "Windows 8.1, 64-bit" '6\.3\.[0-9]+ '
    screenshot status_without_data
    close_orvano close_again "$main" || return
    phase "without the data folder, on Windows 8.1"
}

# --- single_instance: a second start is refused ----------------------------------------------

single_instance() {
    start_orvano Ohne
    local first=$last_pid
    script first <<EOF || return
wait-window "$title" 20000
expect "000013a7 (5031)" get-text "$title" ${mw_kPort}
EOF
    local rect
    rect=$(drive window-rect "$title" | tr -d '\r')
    # Another version's stamp: a start that got as far as stamping would replace the file.
    sed -i 's/^Version="2\.1\.0\.6"/Version="2.1.0.5"/' "$ini"
    start_orvano Ohne
    local second=$last_pid
    script refused <<EOF || return
wait-window " Fehler! " 20000
EOF
    screenshot single_instance
    script answer <<EOF || return
expect "Fehler, das Programm kann nur 1 mal Gestartet werdern." answer-box " Fehler! " OK
EOF
    expect_exit "$second" 0
    running "$first" || fail "the first Orvano.exe ended"
    script first_untouched <<EOF || return
expect "1" is-visible "$title" 0
expect "1" is-enabled "$title" 0
expect "$rect" window-rect "$title"
expect "000013a7 (5031)" get-text "$title" ${mw_kPort}
EOF
    expect_ini Version '"2.1.0.5"'
    close_orvano close "$first" || return
    phase "second start refused"
}

# --- name_service: without one the program ends, unless told to start anyway --------------

name_service() {
    local name
    for name in www.avm.de www.ip-phone-forum.de; do
        if getent hosts "$name" >/dev/null 2>&1; then
            echo "this machine resolves $name: the program would start; nothing to show"
            exit 77
        fi
    done
    start_orvano
    local pid=$last_pid
    # The message comes before any window of the program's own.
    script no_dns <<EOF || return
wait-window " Info DNS " 20000
wait-gone "$title" 0
EOF
    screenshot name_service
    script answer <<EOF || return
expect " DNS Server nicht gefunden, Programm beendet " answer-box " Info DNS " OK
EOF
    expect_exit "$pid" 0
    # The stamp of the start is there, no window position.
    [ -f "$ini" ] || { fail "no settings file"; return; }
    expect_ini Version '"2.1.0.6"'
    expect_ini Date '"10122009"'
    expect_ini HmWinPosX ""
    ini_lines | grep -q '^HmWinPosY=' && fail "a window position was written"

    # A start command stored in the settings file stands in for the command line.
    sed -i 's/^CMD=""/CMD=" ohne "/' "$ini"
    start_orvano
    pid=$last_pid
    script stored_command <<EOF || return
wait-window "$title" 20000
close "$title"
wait-gone "$title"
EOF
    expect_exit "$pid" 0
    phase "no name service"
}

# --- settings_file: stamped at start, window position written on close -------------------

settings_file() {
    start_orvano OHNE
    local pid=$last_pid
    script opened <<EOF || return
wait-window "$title" 20000
EOF
    [ -f "$ini" ] || { fail "no settings file beside the program"; return; }
    local sections
    sections=$(ini_lines | grep '^\[' | tr '\n' ' ')
    [ "$sections" = "[HmWinPos] [DateVersionInIni] [Optionen] [COMMAND] " ] ||
        fail "sections of a new settings file: $sections"
    expect_ini Version '"2.1.0.6"'
    expect_ini Date '"10122009"'
    expect_ini AllProgExit '"1"'
    expect_ini CMD '""'
    expect_ini HmWinPosX ""
    local centred
    centred=$(drive window-rect "$title" | tr -d '\r')
    screenshot settings_file
    close_orvano close "$pid" || return
    local key x y w h
    for key in X Y W H; do
        [[ $(ini_value HmWinPos$key) =~ ^[1-9][0-9]*$ ]] ||
            fail "HmWinPos$key is \"$(ini_value HmWinPos$key)\" after closing"
    done
    expect_ini HmWinPosMinm 0
    w=$(ini_value HmWinPosW) h=$(ini_value HmWinPosH)
    phase "stamped, position written"

    # A position of our own is where the window opens, and what is written back on closing.
    sed -i -e 's/^HmWinPosX=[0-9]*/HmWinPosX=20/' -e 's/^HmWinPosY=[0-9]*/HmWinPosY=30/' "$ini"
    start_orvano OHNE
    pid=$last_pid
    script reopened <<EOF || return
wait-window "$title" 20000
EOF
    local moved
    moved=$(drive window-rect "$title" | tr -d '\r')
    [ -n "$moved" ] && [ "$moved" != "$centred" ] ||
        fail "the window opened at $moved, as without a stored position ($centred)"
    close_orvano close_again "$pid" || return
    expect_ini HmWinPosX 20
    expect_ini HmWinPosY 30
    expect_ini HmWinPosW "$w"
    expect_ini HmWinPosH "$h"
    expect_ini HmWinPosMinm 0
    phase "stored position used and kept"
}

# --- library_search: libraries planted beside the program stay unloaded --------------------

# How a planted library was loaded ("static", "dynamic"), "" when it was not.
loaded_how() { [ -f "$1.loaded" ] && tr -d '\r\n' <"$1.loaded"; }

library_search() {
    local planted=(version.dll wsock32.dll comctl32.dll) name
    for name in "${planted[@]}"; do cp "$planted_dll" "$app/$name"; done
    cp "$loader" "$app/library_loader.exe"
    local fax_capi
    fax_capi=$(unix_path "C:\\$fax_dir")/capi2032.dll
    rm -f "$app"/*.loaded "$fax_capi.loaded"
    # Wine prefers its built-in libraries; this makes it look for files first, as Windows does.
    local overrides="mscoree,mshtml=;capi2032=n;version,wsock32,comctl32=n,b"
    # The planted copies work: a program that loads them by name gets them.
    WINEDLLOVERRIDES=$overrides "$run" "$prefix" "$app_win\\library_loader.exe" \
        "${planted[@]}" >"$work/loader.out" 2>&1 ||
        fail "the planted libraries do not load: $(tr -d '\r' <"$work/loader.out")"
    for name in "${planted[@]}"; do
        [ "$(loaded_how "$app/$name")" = dynamic ] ||
            fail "the planted $name leaves no mark when a program loads it"
    done
    rm -f "$app"/*.loaded "$app/library_loader.exe"
    phase "planted libraries checked"

    WINEDLLOVERRIDES=$overrides start_orvano Ohne
    local pid=$last_pid
    # Versions read (version.dll), tooltips made (comctl32.dll), the name service asked at
    # start (wsock32.dll): the planted version.dll would have given no versions.
    script planted <<EOF || return
wait-window "$title" 20000
expect "3.8.1.0 / 3.0.0.0 CoT" get-text "$title" ${mw_kSystem32Version}
expect "2.4.0.1 / 2.4.0.0" get-text "$title" ${mw_kFaxCapiVersion}
expect "33" tool-count "$title"
EOF
    screenshot library_search
    close_orvano close "$pid" || return
    [ -z "$(loaded_how "$app/comctl32.dll")" ] || fail "Orvano.exe loaded the comctl32.dll beside it"
    [ -z "$(loaded_how "$app/wsock32.dll")" ] || fail "Orvano.exe loaded the wsock32.dll beside it"
    # Wine's own user32.dll imports version.dll, so the loader brings in the planted copy
    # with the program's imports, before the program runs (Windows' user32.dll does not).
    # What the program itself loads must never be it; that it imports no such library is
    # checked on the executable's import table.
    case $(loaded_how "$app/version.dll") in
        "" | static) ;;
        *) fail "Orvano.exe loaded the version.dll beside it" ;;
    esac
    [ -z "$(loaded_how "$fax_capi")" ] ||
        fail "reading its version loaded the fax folder's capi2032.dll"
    phase "nothing planted was loaded"
}

# --- dialogs: each dialog of the main window shows the machine's settings ---------------------

# A screenshot of the whole screen, and of the window with the given title cut out of it.
dialog_shot() {
    local name=$1 window=$2 rect left top right bottom
    # A dialog is visible before it has painted its controls.
    sleep 0.7
    import -window root "$shots/dialog_$name.png" 2>>"$work/import.log" || {
        fail "screenshot $name"
        return
    }
    rect=$(drive window-rect "$window" | tr -d '\r')
    read -r left top right bottom <<<"$rect"
    [ -n "$bottom" ] || { fail "no rectangle for \"$window\""; return; }
    convert "$shots/dialog_$name.png" -crop "$((right - left))x$((bottom - top))+$left+$top" \
        +repage "$shots/dialog_${name}_window.png" 2>>"$work/import.log" ||
        fail "cropping the screenshot $name"
}

# The main window, disabled while a dialog is open and enabled again after it closed.
main_disabled() { echo "expect \"0\" is-enabled \"$title\" 0"; }
main_enabled() { echo "expect \"1\" is-enabled \"$title\" 0"; }

dialogs() {
    local name
    for name in router_ip port deployment isdn numbers; do rm -f "$shots/dialog_$name"*.png; done
    local fax='HKCU\SOFTWARE\AVM\FRITZ! 2.0\Fax'
    # A faulty dialled number makes the warning label appear; the fax application is set to
    # use the router.
    "$run" "$prefix" reg add "$fax\Rufnummern" /v Nummer1 /d 030-1234 /f >/dev/null 2>&1 ||
        fail "storing a dialled number"
    restore="'$run' '$prefix' reg delete '$fax\Rufnummern' /f >/dev/null 2>&1"
    "$run" "$prefix" reg add "$fax" /v FritzBox /t REG_DWORD /d 1 /f >/dev/null 2>&1 ||
        fail "setting the fax application to the router"
    restore+="; '$run' '$prefix' reg delete '$fax' /v FritzBox /f >/dev/null 2>&1"
    start_orvano Ohne
    local main=$last_pid
    local ip=" Orvano IP-Adresse" port=" Orvano Port" deploy=" capi2032.dll erstellen"
    local isdn=" Erweiterte Einstellungen ... ISDN" nums=" Nebenstelle - Rufnummern"
    script ip_open <<EOF || return
wait-window "$title" 20000
$(main_enabled)
click "$title" ${mw_kAddressButton}
wait-window "$ip" 10000
$(main_disabled)
expect "192.168.178.1" get-text "$ip" ${router_ip_kAddress}
expect "10.0.0.138" get-text "$ip" ${router_ip_kWowAddress}
EOF
    dialog_shot router_ip "$ip"
    script ip_close <<EOF || return
click "$ip" ${router_ip_kOk}
wait-gone "$ip"
$(main_enabled)
click "$title" ${mw_kPortButton}
wait-window "$port" 10000
$(main_disabled)
expect "000013a7" get-text "$port" ${port_dialog_kPort}
expect "00001f90" get-text "$port" ${port_dialog_kWowPort}
EOF
    dialog_shot port "$port"
    script port_close <<EOF || return
click "$port" ${port_dialog_kOk}
wait-gone "$port"
$(main_enabled)
click "$title" ${mw_kCapiCreateButton}
wait-window "$deploy" 10000
$(main_disabled)
expect "$(escaped "C:\\$fax_dir\\capi2032.dll")" get-text "$deploy" ${cdd_kFaxPath}
expect "$(escaped "$system32_capi")" get-text "$deploy" ${cdd_kSystem32Path}
expect "2.4.0.1 / 2.4.0.0" get-text "$deploy" ${cdd_kFaxVersion}
expect "3.8.1.0 / 3.0.0.0 CoT" get-text "$deploy" ${cdd_kSystem32Version}
expect "" get-text "$deploy" ${cdd_kSysWow64Version}
EOF
    dialog_shot deployment "$deploy"
    # The other maker's library in the fax folder is kept before it is deleted, the bottom
    # line says where, and the button puts it back as it was.
    local fax_folder="C:\\$fax_dir\\"
    local kept_line=" Gesichert: ${fax_folder}capi2032.dll.gesichert"
    script deploy_keep <<EOF || return
expect "0" is-visible "$deploy" ${cdd_kKeptLabel}
expect "0" is-visible "$deploy" ${cdd_kRestore}
click "$deploy" ${cdd_kIsdnFaxDelete}
expect "1" is-visible "$deploy" ${cdd_kKeptLabel}
expect "$(escaped "$kept_line")" get-text "$deploy" ${cdd_kKeptLabel}
expect "$(escaped "$fax_folder")" get-text "$deploy" ${cdd_kFaxPath}
expect "" get-text "$deploy" ${cdd_kFaxVersion}
expect "1" is-enabled "$deploy" ${cdd_kRestore}
EOF
    dialog_shot deployment_kept "$deploy"
    script deploy_restore <<EOF || return
click "$deploy" ${cdd_kRestore}
expect "0" is-visible "$deploy" ${cdd_kKeptLabel}
expect "0" is-visible "$deploy" ${cdd_kRestore}
expect "$(escaped "C:\\$fax_dir\\capi2032.dll")" get-text "$deploy" ${cdd_kFaxPath}
expect "2.4.0.1 / 2.4.0.0" get-text "$deploy" ${cdd_kFaxVersion}
expect "0" is-enabled "$deploy" ${cdd_kIsdnFaxCreate}
expect "1" is-enabled "$deploy" ${cdd_kIsdnFaxDelete}
EOF
    script deploy_close <<EOF || return
click "$deploy" ${cdd_kOk}
wait-gone "$deploy"
$(main_enabled)
click "$title" ${mw_kIsdnButton}
wait-window "$isdn" 10000
$(main_disabled)
# The fax application set to the router in the user's settings, controller 1
expect "1" get-check "$isdn" ${isdn_kFritzBoxUser}
expect "0" get-check "$isdn" ${isdn_kControllerFax}
expect "1" get-text "$isdn" ${isdn_kControllerNumber}
expect "1" get-check "$isdn" ${isdn_kWowSwitch}
EOF
    dialog_shot isdn "$isdn"
    script isdn_close <<EOF || return
click "$isdn" ${isdn_kBack}
wait-gone "$isdn"
$(main_enabled)
expect "1" is-visible "$title" ${mw_kWarningTicker}
notify "$title" ${mw_kWarningTicker} 0
wait-window "$nums" 10000
$(main_disabled)
# The faulty number under its heading, once the list is shown; no "+" replacement set
click "$nums" ${numbers_dialog_kShow}
expect " --> Telefonnummer hat Fehler! <-- | Fehler! --> 030-1234 <-- Fehler! " list-items "$nums" ${numbers_dialog_kList}
expect "0" get-check "$nums" ${numbers_dialog_kUsePlusMapper}
EOF
    dialog_shot numbers "$nums"
    script numbers_close <<EOF || return
click "$nums" ${numbers_dialog_kOk}
wait-gone "$nums"
$(main_enabled)
close "$title"
wait-gone "$title"
EOF
    expect_exit "$main" 0
    phase "five dialogs opened and closed"
}

# --- reg_files: the saved registry scripts import back under Wine ---------------------------

reg_query() { "$run" "$prefix" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n 3p; }

# Imports a file beside the program the way a double click would.
reg_import() { "$run" "$prefix" regedit /S "$app_win\\$1" >/dev/null 2>&1; }

# The file's bytes: UTF-16LE with a byte-order mark, CRLF lines, exactly the expected text.
expect_reg_bytes() {
    local file=$app/$1 expected=$2
    [ -f "$file" ] || { fail "$1 was not written"; return; }
    [ "$(head -c 2 "$file" | od -An -tx1 | tr -d ' \n')" = fffe ] ||
        fail "$1 does not start with a UTF-16LE byte-order mark"
    cmp -s "$file" <({ printf '\xff\xfe'; printf '%s' "$expected" | iconv -f UTF-8 -t UTF-16LE; }) ||
        fail "$1 is not the expected text: $(tail -c +3 "$file" | iconv -f UTF-16LE -t UTF-8 | od -c | head -20)"
}

# Saves the registry entry of the dialog TITLE's " Reg Datei " button ID, and closes both.
save_reg_entry() {
    local window=$1 id=$2 ok=$3 entry=" Registry Eintrag"
    script "save_$id" <<EOF
click "$window" $id
wait-window "$entry" 10000
click "$entry" ${red_kSave}
click "$entry" ${red_kOk}
wait-gone "$entry"
click "$window" $ok
wait-gone "$window"
expect "1" is-enabled "$title" 0
EOF
}

reg_files() {
    local avm='HKLM\SOFTWARE\AVM' header='Windows Registry Editor Version 5.00'
    local crlf=$'\r\n'
    # The machine gets its settings back, should an import fail, and the name's spelling of
    # the prepared machine (the built-in script writes "FoundFritzboxes").
    restore="'$run' '$prefix' reg delete '$avm\\AVMIGDCTRL' /v FoundFritzBoxes /f >/dev/null 2>&1"
    restore+="; '$run' '$prefix' reg add '$avm\\AVMIGDCTRL' /v FoundFritzBoxes /d 192.168.178.1 /f >/dev/null 2>&1"
    restore+="; '$run' '$prefix' reg add '$avm\\CAPIoTCP' /v Port /t REG_DWORD /d 5031 /f >/dev/null 2>&1"
    start_orvano Ohne
    local main=$last_pid
    script opened <<EOF || return
wait-window "$title" 20000
click "$title" ${mw_kAddressButton}
wait-window " Orvano IP-Adresse" 10000
EOF
    save_reg_entry " Orvano IP-Adresse" ${router_ip_kRegFile} ${router_ip_kOk} || return
    expect_reg_bytes Reg5_AVM_NC_FB_IP.reg "$header${crlf}${crlf}[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\AVMIGDCTRL]$crlf\"FoundFritzBoxes\"=\"192.168.178.1\"$crlf$crlf"
    script port_opened <<EOF || return
click "$title" ${mw_kPortButton}
wait-window " Orvano Port" 10000
EOF
    save_reg_entry " Orvano Port" ${port_dialog_kRegFile} ${port_dialog_kOk} || return
    expect_reg_bytes Reg5_AVM_NC_FB_Port.reg "$header${crlf}${crlf}[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\CAPIoTCP]$crlf\"Port\"=dword:000013a7$crlf$crlf"
    # The built-in script, chosen from the " Reg Datei " button's menu.
    script defaults <<EOF || return
menu-item "$title" ${mw_kMenuDefaults}
wait-window " Registry Eintrag" 10000
click " Registry Eintrag" ${red_kSave}
click " Registry Eintrag" ${red_kOk}
wait-gone " Registry Eintrag"
expect "1" is-enabled "$title" 0
close "$title"
wait-gone "$title"
EOF
    expect_exit "$main" 0
    phase "three files saved"

    # Each value deleted, its file imported: the value is back.
    "$run" "$prefix" reg delete "$avm\\AVMIGDCTRL" /v FoundFritzBoxes /f >/dev/null 2>&1
    [ -z "$(reg_query "$avm\\AVMIGDCTRL" FoundFritzBoxes)" ] || fail "the address was not deleted"
    reg_import Reg5_AVM_NC_FB_IP.reg
    [ "$(reg_query "$avm\\AVMIGDCTRL" FoundFritzBoxes)" = "    FoundFritzBoxes    REG_SZ    192.168.178.1" ] ||
        fail "after importing Reg5_AVM_NC_FB_IP.reg: \"$(reg_query "$avm\\AVMIGDCTRL" FoundFritzBoxes)\""
    "$run" "$prefix" reg delete "$avm\\CAPIoTCP" /v Port /f >/dev/null 2>&1
    [ -z "$(reg_query "$avm\\CAPIoTCP" Port)" ] || fail "the port was not deleted"
    reg_import Reg5_AVM_NC_FB_Port.reg
    [ "$(reg_query "$avm\\CAPIoTCP" Port)" = "    Port    REG_DWORD    0x13a7" ] ||
        fail "after importing Reg5_AVM_NC_FB_Port.reg: \"$(reg_query "$avm\\CAPIoTCP" Port)\""
    phase "address and port imported"

    # The built-in script: the program's text as UTF-16LE with CRLF lines. Importing it sets
    # the fax application to the router in both hives, deletes the ISDN values and puts the
    # router's address and port back.
    local script_text fritz='HKLM\SOFTWARE\AVM\Fritz! 2.0\Fax' user_fax='HKCU\Software\AVM\FRITZ! 2.0\Fax'
    # (the "x" keeps the text's final line ends from the command substitution)
    script_text=$(sed 's/$/\r/' "$here/../../src/deploy/payloads/defaults_native.reg.txt"; printf x)
    expect_reg_bytes FB_IP_1921681781.reg "${script_text%x}"
    restore+="; '$run' '$prefix' reg delete 'HKLM\\SOFTWARE\\AVM\\Fritz! 2.0' /f >/dev/null 2>&1"
    local name
    for name in FritzBox Cip ControllerFax; do
        restore+="; '$run' '$prefix' reg delete '$user_fax' /v $name /f >/dev/null 2>&1"
    done
    "$run" "$prefix" reg add "$fritz" /v Cip /t REG_DWORD /d 16 /f >/dev/null 2>&1 &&
        "$run" "$prefix" reg add "$fritz" /v CapiController /t REG_DWORD /d 2 /f >/dev/null 2>&1 ||
        fail "storing ISDN values"
    "$run" "$prefix" reg delete "$avm\AVMIGDCTRL" /v FoundFritzBoxes /f >/dev/null 2>&1
    "$run" "$prefix" reg delete "$avm\CAPIoTCP" /v Port /f >/dev/null 2>&1
    reg_import FB_IP_1921681781.reg
    local key value expected got
    while IFS='|' read -r key value expected; do
        got=$(reg_query "$key" "$value" | sed 's/^ *[^ ]* *//')
        [ "$got" = "$expected" ] ||
            fail "after importing FB_IP_1921681781.reg, $key $value is \"$got\", expected \"$expected\""
    done <<EOF
$avm\AVMIGDCTRL|FoundFritzBoxes|REG_SZ    192.168.178.1
$avm\CAPIoTCP|Port|REG_DWORD    0x13a7
$fritz|FritzBox|REG_DWORD    0x1
$fritz|NeueTreiber2003|REG_DWORD    0x1
$fritz|Cip|
$fritz|CapiController|
$user_fax|FritzBox|REG_DWORD    0x1
$user_fax|Cip|REG_DWORD    0x4
$user_fax|ControllerFax|REG_DWORD    0x1
EOF
    phase "built-in script imported"
}

# --- companions: the programs beside Orvano are closed with it -----------------------------

# Window titles of the companion copies (the driver reads \xNN as that byte of code page 1252).
teluso=" Teluso" dambra=" Dambra Dateipfad \xe4ndern" quendra=" Quendra Tools"

# Starts a companion copy beside the program on the scenario's desktop, as a user would.
start_companion() {
    "$run" "$prefix" "$driver" --desktop "$desktop" run "$app_win\\$1" \
        >>"$work/companions.log" 2>&1 &
    pids+=("$!")
}

# The lines a companion copy logged, without CR, on one line.
companion_log() { [ -f "$app/$1.log" ] && tr -d '\r' <"$app/$1.log" | tr '\n' ' '; }

expect_log() {
    local got
    got=$(companion_log "$1")
    [ "$got" = "$2" ] || fail "$1 logged \"$got\", expected \"$2\""
}

# Ends every companion window that is left (those Orvano started are in no list of ours).
end_companions() {
    local window
    for window in "$teluso" "$dambra" "$quendra"; do
        drive kill-window "$window" >/dev/null 2>&1
    done
}

companions() {
    [ -n "$companion" ] || { fail "no companion program given"; return; }
    local name
    for name in Teluso Dambra Quendra; do
        cp "$companion" "$app/$name.exe" || { fail "copying the companion as $name.exe"; return; }
    done

    # Teluso started by Orvano's button, Dambra by hand; " Beenden ", first refused, closes both.
    start_orvano Ohne
    local main=$last_pid
    script started <<EOF || return
wait-window "$title" 20000
click "$title" ${mw_kTestToolButton}
wait-window "$teluso" 10000
EOF
    start_companion Dambra.exe
    script quit_refused <<EOF || return
wait-window "$dambra" 10000
click "$title" ${mw_kQuitButton}
expect " ? Programm beenden : JA / NEIN " answer-box " Info" Nein
sleep 300
expect "1" is-visible "$title" 0
EOF
    expect_log Teluso.exe ""
    expect_log Dambra.exe ""
    screenshot companions
    script quit <<EOF || return
click "$title" ${mw_kQuitButton}
expect " ? Programm beenden : JA / NEIN " answer-box " Info" Ja
wait-gone "$title"
wait-gone "$teluso"
wait-gone "$dambra"
EOF
    expect_exit "$main" 0
    expect_log Teluso.exe "SC_CLOSE "
    expect_log Dambra.exe "SC_CLOSE "
    phase "closed with Orvano"

    # A tool collection is open: closing Orvano leaves the companions running.
    rm -f "$app"/*.exe.log
    start_companion Quendra.exe
    start_companion Dambra.exe
    start_orvano Ohne
    main=$last_pid
    script with_tools <<EOF || return
wait-window "$quendra" 10000
wait-window "$dambra" 10000
wait-window "$title" 20000
click "$title" ${mw_kTestToolButton}
wait-window "$teluso" 10000
close "$title"
wait-gone "$title"
sleep 500
wait-window "$teluso" 100
wait-window "$dambra" 100
EOF
    expect_exit "$main" 0
    expect_log Teluso.exe ""
    expect_log Dambra.exe ""
    # They are still listening: closed by hand now, each logs it.
    script end_by_hand <<EOF || return
close "$teluso"
close "$dambra"
close "$quendra"
wait-gone "$teluso"
wait-gone "$dambra"
wait-gone "$quendra"
EOF
    expect_log Teluso.exe "SC_CLOSE "
    expect_log Dambra.exe "SC_CLOSE "
    phase "kept for the tool collection"

    # AllProgExit "0": nothing is closed.
    rm -f "$app"/*.exe.log
    [ -f "$ini" ] || { fail "no settings file beside the program"; return; }
    sed -i 's/^AllProgExit=.*/AllProgExit="0"\r/' "$ini"
    expect_ini AllProgExit '"0"'
    start_companion Dambra.exe
    start_orvano Ohne
    main=$last_pid
    script not_wanted <<EOF || return
wait-window "$dambra" 10000
wait-window "$title" 20000
click "$title" ${mw_kTestToolButton}
wait-window "$teluso" 10000
click "$title" ${mw_kQuitButton}
expect " ? Programm beenden : JA / NEIN " answer-box " Info" Ja
wait-gone "$title"
sleep 500
wait-window "$teluso" 100
wait-window "$dambra" 100
EOF
    expect_exit "$main" 0
    expect_log Teluso.exe ""
    expect_log Dambra.exe ""
    script end_again <<EOF || return
close "$teluso"
close "$dambra"
wait-gone "$teluso"
wait-gone "$dambra"
EOF
    phase "not closed when the settings say so"
}

# --- data_folder: the data folder chosen through the shell's folder browser -----------------

# The label beside the data path, read every 200 ms for 1.6 s (the blinking turns it every
# 500 ms): the texts seen, each once, in the order seen, each followed by "|".
label_texts() {
    local i
    {
        echo "expect \"1\" is-visible \"$title\" ${mw_kDataPathLabel}"
        for i in $(seq 8); do
            echo "get-text \"$title\" ${mw_kDataPathLabel}"
            echo "sleep 200"
        done
    } | script "$1" || return
    tr -d '\r' <"$work/$1.out" | awk '!seen[$0]++' | tr '\n' '|'
}

expect_blinking() {
    local seen
    seen=$(label_texts "$1") || return
    case $seen in
        " Datenpfad ->| Datenpfad:  |" | " Datenpfad:  | Datenpfad ->|") ;;
        *) fail "$2 the label showed \"$seen\", expected both texts in turn" ;;
    esac
}

data_value() { reg_query 'HKCU\SOFTWARE\AVM\FRITZ! 2.0\Fax' DatenDir | sed 's/^ *DatenDir *REG_SZ *//'; }

data_folder() {
    local fax='HKCU\SOFTWARE\AVM\FRITZ! 2.0\Fax'
    # No data folder stored: the browser opens at the folder proposed under APPDATA (the
    # program's spelling "Fritz!"; the folder on disk is the prepared "FRITZ!", which the
    # browser reports), where the fax application's data file is.
    local roaming="C:\\users\\$user\\AppData\\Roaming"
    local proposed="$roaming\\Fritz!\\Fax" found="$roaming\\FRITZ!\\Fax"
    mkdir -p "$(unix_path "$found")" && printf 'dBASE' >"$(unix_path "$found")/FritzFax.dbf" ||
        { fail "the proposed data folder"; return; }
    # Under Wine the browser does not find its start folder when the folder's first reading
    # since a change falls into its opening: the last access time moves then (relatime), and
    # Wine's item lists carry it. Read once before, as any earlier look at the folder would.
    ls -R "$(unix_path "$roaming\\FRITZ!")" >/dev/null
    restore="rm -rf '$(unix_path "$found")'"
    "$run" "$prefix" reg add "$fax" /v DatenDir /d "" /f >/dev/null 2>&1 ||
        fail "clearing the data folder"
    # The prepared machine's registry file puts the stored folder back.
    local machine_reg
    machine_reg="Z:$(readlink -f "$out/e2e/orvano/prepare/machine.reg" | tr / '\\')"
    restore+="; '$run' '$prefix' reg import '$machine_reg' >/dev/null 2>&1"
    start_orvano Ohne
    local main=$last_pid
    script opened <<EOF || return
wait-window "$title" 20000
expect "" get-text "$title" ${mw_kDataPath}
expect "1" is-enabled "$title" ${mw_kDataFolderButton}
EOF
    expect_blinking blinking "without a data folder" || return

    # Cancelled: nothing stored, the label still blinks.
    script browse <<EOF || return
click "$title" ${mw_kDataFolderButton}
wait-owned "$title"
EOF
    local browser
    browser=$(tr -d '\r' <"$work/browse.out")
    script cancel <<EOF || return
expect "$(escaped "$proposed")" get-text "$browser" 14146
expect "$(escaped "$found\\")" get-text "$browser" 14147
$(main_disabled)
click "$browser" 2
wait-gone "$browser"
$(main_enabled)
expect "" get-text "$title" ${mw_kDataPath}
EOF
    [ -z "$(data_value)" ] || fail "cancelling stored \"$(data_value)\""
    expect_blinking still_blinking "after cancelling" || return
    phase "browser opened at the proposal, cancelled"

    # Confirmed: the folder stored without its "\", the data file shown, the blinking over,
    # the user's name found in the new path.
    script confirm <<EOF || return
click "$title" ${mw_kDataFolderButton}
wait-owned "$title"
expect "$(escaped "$found\\")" get-text "$browser" 14147
EOF
    dialog_shot folder_browser "$browser"
    script confirmed <<EOF || return
click "$browser" 1
wait-gone "$browser"
$(main_enabled)
expect "$(escaped "$found\\FritzFax.dbf")" get-text "$title" ${mw_kDataPath}
expect "1" is-visible "$title" ${mw_kUserNameWarning}
EOF
    [ "$(data_value)" = "$found" ] || fail "the stored data folder is \"$(data_value)\", expected \"$found\""
    local seen
    seen=$(label_texts settled) || return
    [ "$seen" = " Datenpfad:  |" ] || fail "after choosing the label showed \"$seen\""
    phase "proposal chosen"

    # Another folder: the browser opens at the stored one; one step up in the tree, the status
    # line follows the selection, and the parent is what is stored.
    script parent <<EOF || return
click "$title" ${mw_kDataFolderButton}
wait-owned "$title"
expect "$(escaped "$found")" get-text "$browser" 14146
expect "$(escaped "$found\\")" get-text "$browser" 14147
key "$browser" 14145 37
expect "$(escaped "$roaming\\FRITZ!\\")" get-text "$browser" 14147
click "$browser" 1
wait-gone "$browser"
expect "$(escaped "$roaming\\FRITZ!\\")" get-text "$title" ${mw_kDataPath}
EOF
    [ "$(data_value)" = "$roaming\\FRITZ!" ] ||
        fail "the stored data folder is \"$(data_value)\", expected the parent folder"
    phase "parent chosen in the tree"

    close_orvano close "$main" || return
}

# --- closing: closed from outside, and a start refused by the running one's mutex ----------

closing() {
    # A placement left from a monitor that is gone: the window opens on the screen instead.
    printf '%s\r\n' '[HmWinPos]' HmWinPosX=-3000 HmWinPosY=-2000 HmWinPosW=1 HmWinPosH=1 \
        '[DateVersionInIni]' 'Version="2.1.0.6"' 'Date="10122009"' >"$ini"
    start_orvano Ohne
    local main=$last_pid
    script opened <<EOF || return
wait-window "$title" 20000
expect "000013a7 (5031)" get-text "$title" ${mw_kPort}
EOF
    local left top right bottom
    read -r left top right bottom <<<"$(drive window-rect "$title" | tr -d '\r')"
    [ -n "$bottom" ] && [ "$left" -ge 0 ] && [ "$top" -ge 0 ] ||
        fail "the window opened at $left $top, off the screen"
    # WM_CLOSE from another program (or the session's end) ends the program the whole way,
    # saving its placement (where it was shown) on the way.
    script post_close <<EOF || return
post-close "$title"
wait-gone "$title" 10000
EOF
    expect_exit "$main" 0
    [[ $(ini_value HmWinPosX) =~ ^[0-9]+$ ]] || fail "placement saved: X \"$(ini_value HmWinPosX)\""
    phase "closed from outside"

    # The session's end (a logoff) closes it the same way, the placement saved on the way.
    printf '%s\r\n' '[DateVersionInIni]' 'Version="2.1.0.6"' 'Date="10122009"' >"$ini"
    start_orvano Ohne
    main=$last_pid
    script end_session <<EOF || return
wait-window "$title" 20000
expect "000013a7 (5031)" get-text "$title" ${mw_kPort}
end-session "$title"
wait-gone "$title" 10000
EOF
    expect_exit "$main" 0
    [[ $(ini_value HmWinPosX) =~ ^[0-9]+$ ]] || fail "placement saved at the session's end"
    phase "closed by the session's end"

    # A first start still busy before its window holds the instance mutex: a second start is
    # refused, though no window of the first exists yet.
    "$run" "$prefix" "$driver" hold-mutex "$(escaped 'Local\Orvano.SingleInstance')" 30000 \
        >"$work/mutex.out" 2>&1 &
    local holder=$! i
    pids+=("$holder")  # ended on every path
    for i in $(seq 100); do
        grep -q held "$work/mutex.out" 2>/dev/null && break
        running "$holder" || break
        sleep 0.1
    done
    grep -q held "$work/mutex.out" || {
        fail "the driver did not take the mutex: $(cat "$work/mutex.out")"
        kill "$holder" 2>/dev/null
        return
    }
    start_orvano Ohne
    local second=$last_pid
    script refused <<EOF
wait-window " Fehler! " 20000
expect "Fehler, das Programm kann nur 1 mal Gestartet werdern." answer-box " Fehler! " OK
EOF
    expect_exit "$second" 0
    kill "$holder" 2>/dev/null
    wait "$holder" 2>/dev/null
    phase "refused by the mutex"
}

# --- endpoint_dialogs: address and port changed through their dialogs -----------------------

endpoint_dialogs() {
    local avm='HKLM\SOFTWARE\AVM' ip=" Orvano IP-Adresse" port=" Orvano Port"
    restore="'$run' '$prefix' reg add '$avm\\AVMIGDCTRL' /v FoundFritzBoxes /d 192.168.178.1 /f >/dev/null 2>&1"
    restore+="; '$run' '$prefix' reg add '$avm\\CAPIoTCP' /v Port /t REG_DWORD /d 5031 /f >/dev/null 2>&1"
    start_orvano Ohne
    local main=$last_pid
    # Opened by a double-click on their labels; the main window's fields follow once each
    # dialog has ended. The native section is the one edited: its box is cleared first.
    script change <<EOF || return
wait-window "$title" 20000
expect "192.168.178.1" get-text "$title" ${mw_kAddress}
double-click "$title" ${mw_kAddressLabel}
wait-window "$ip" 10000
$(main_disabled)
click "$ip" ${router_ip_kSectionSwitch}
expect "0" get-check "$ip" ${router_ip_kSectionSwitch}
$(change_address_steps "$ip" native 127.0.0.1)
expect "0" is-visible "$ip" ${router_ip_kMissing}
click "$ip" ${router_ip_kOk}
wait-gone "$ip"
$(main_enabled)
expect "127.0.0.1" get-text "$title" ${mw_kAddress}
expect "10.0.0.138" get-text "$title" ${mw_kWowAddress}
double-click "$title" ${mw_kPortLabel}
wait-window "$port" 10000
$(main_disabled)
click "$port" ${port_dialog_kSectionSwitch}
expect "0" get-check "$port" ${port_dialog_kSectionSwitch}
click "$port" ${port_dialog_kChange}
type "$port" ${port_dialog_kPort} 00001f91
click "$port" ${port_dialog_kChangeYes}
expect "00001f91" get-text "$port" ${port_dialog_kPort}
click "$port" ${port_dialog_kOk}
wait-gone "$port"
$(main_enabled)
expect "00001f91 (8081)" get-text "$title" ${mw_kPort}
expect "00001f90 (8080)" get-text "$title" ${mw_kWowPort}
EOF
    screenshot endpoint_dialogs
    close_orvano close "$main" || return
    [ "$(reg_query "$avm\\AVMIGDCTRL" FoundFritzBoxes)" = "    FoundFritzBoxes    REG_SZ    127.0.0.1" ] ||
        fail "stored address: \"$(reg_query "$avm\\AVMIGDCTRL" FoundFritzBoxes)\""
    [ "$(reg_query "$avm\\CAPIoTCP" Port)" = "    Port    REG_DWORD    0x1f91" ] ||
        fail "stored port: \"$(reg_query "$avm\\CAPIoTCP" Port)\""
    phase "address and port changed from the main window"
}

# --- layout: every window's controls and texts fit, with the longest values they show ----------

# The values put back afterwards: the prepared machine's registry file.
restore_machine() {
    local machine_reg
    machine_reg="Z:$(readlink -f "$out/e2e/orvano/prepare/machine.reg" | tr / '\\')"
    restore+="${restore:+; }'$run' '$prefix' reg import '$machine_reg' >/dev/null 2>&1"
}

reg_set() { "$run" "$prefix" reg add "$@" /f >/dev/null 2>&1 || fail "reg add $*"; }

layout() {
    local avm='HKLM\SOFTWARE\AVM' wow='HKLM\SOFTWARE\Wow6432Node\AVM'
    local fax='HKCU\SOFTWARE\AVM\FRITZ! 2.0\Fax'
    # Fifteen-character addresses, ports whose texts are all digits (the widest), a faulty
    # dialled number for the warnings, and a data path as long as its field is meant to show.
    local long_data="$data_folder\\Kanzlei Süd 2009"
    restore_machine
    restore+="; '$run' '$prefix' reg delete '$fax\\Rufnummern' /f >/dev/null 2>&1"
    restore+="; rm -rf '$(unix_path "$long_data")'"
    mkdir -p "$(unix_path "$long_data")" &&
        printf 'dBASE' >"$(unix_path "$long_data")/FritzFax.dbf" || fail "the long data folder"
    reg_set "$avm\\AVMIGDCTRL" /v FoundFritzBoxes /d 192.168.178.254
    reg_set "$wow\\AVMIGDCTRL" /v FoundFritzBoxes /d 192.168.100.254
    reg_set "$avm\\CAPIoTCP" /v Port /t REG_DWORD /d 39321  # 00009999
    reg_set "$wow\\CAPIoTCP" /v Port /t REG_DWORD /d 34952  # 00008888
    reg_set "$fax" /v DatenDir /d "$long_data"
    reg_set "$fax\\Rufnummern" /v Nummer1 /d 030-1234
    start_orvano Ohne
    local main=$last_pid
    local ip=" Orvano IP-Adresse" port=" Orvano Port" deploy=" capi2032.dll erstellen"
    local isdn=" Erweiterte Einstellungen ... ISDN" nums=" Nebenstelle - Rufnummern"
    local entry=" Registry Eintrag"
    # What the layout means: the " ! " over the masking check box's edge, the dialled
    # numbers' warning (a running text), the ISDN dialog's " ( 5 = Internet ) " button over
    # the label of the same text (hidden under it).
    script layout_windows <<EOF || return
wait-window "$title" 20000
expect "192.168.178.254" get-text "$title" ${mw_kAddress}
expect "00009999 (39321)" get-text "$title" ${mw_kPort}
expect "$(escaped "$long_data\\FritzFax.dbf")" get-text "$title" ${mw_kDataPath}
layout "$title" ${mw_kMaskUserName}:${mw_kUserNameWarning} ${mw_kWarningTicker}
click "$title" ${mw_kAddressButton}
wait-window "$ip" 10000
expect "192.168.100.254" get-text "$ip" ${router_ip_kWowAddress}
layout "$ip"
# The change and the delete question, with their labels and " Ja " / " Nein "
click "$ip" ${router_ip_kWowChange}
expect "1" is-visible "$ip" ${router_ip_kWowChangeYes}
layout "$ip"
click "$ip" ${router_ip_kWowDelete}
expect "1" is-visible "$ip" ${router_ip_kWowDeleteYes}
layout "$ip"
click "$ip" ${router_ip_kWowDeleteNo}
click "$ip" ${router_ip_kWowRegFile}
wait-window "$entry" 10000
layout "$entry"
click "$entry" ${red_kOk}
wait-gone "$entry"
click "$ip" ${router_ip_kOk}
wait-gone "$ip"
click "$title" ${mw_kPortButton}
wait-window "$port" 10000
expect "00008888" get-text "$port" ${port_dialog_kWowPort}
layout "$port"
# Eight digits typed into the field while its change is asked
click "$port" ${port_dialog_kWowChange}
type "$port" ${port_dialog_kWowPort} "99999999"
expect "99999999" get-text "$port" ${port_dialog_kWowPort}
layout "$port"
click "$port" ${port_dialog_kWowChangeNo}
expect "00008888" get-text "$port" ${port_dialog_kWowPort}
click "$port" ${port_dialog_kOk}
wait-gone "$port"
click "$title" ${mw_kCapiCreateButton}
wait-window "$deploy" 10000
layout "$deploy"
click "$deploy" ${cdd_kOk}
wait-gone "$deploy"
click "$title" ${mw_kIsdnButton}
wait-window "$isdn" 10000
layout "$isdn" ${isdn_kInternetHint}:${isdn_kInternetButton} ${isdn_kInternetHint}
click "$isdn" ${isdn_kBack}
wait-gone "$isdn"
notify "$title" ${mw_kWarningTicker} 0
wait-window "$nums" 10000
click "$nums" ${numbers_dialog_kShow}
layout "$nums"
click "$nums" ${numbers_dialog_kOk}
wait-gone "$nums"
close "$title"
wait-gone "$title"
EOF
    expect_exit "$main" 0
    phase "every window laid out"
}

# --- typing: an address and a port typed as a person types them -----------------------------

# A real mouse click (X events on the display) at the centre of a control, or at X pixels from
# its left edge.
click_control() {
    local left top right bottom x
    read -r left top right bottom <<<"$(drive control-rect "$1" "$2" | tr -d '\r')"
    [ -n "$bottom" ] || { fail "no rectangle for control $2"; return 1; }
    x=$(( (left + right) / 2 ))
    [ -n "${3:-}" ] && x=$((left + $3))
    xdotool mousemove --sync "$x" $(( (top + bottom) / 2 )) click 1 ||
        { fail "clicking control $2"; return 1; }
    sleep 0.3
}

# Keys typed on the display's keyboard, one event each.
type_keys() { xdotool type --delay 120 "$1" || fail "typing $1"; sleep 0.3; }

typing() {
    command -v xdotool >/dev/null || { fail "xdotool is missing"; return; }
    local wow='HKLM\SOFTWARE\Wow6432Node\AVM' ip=" Orvano IP-Adresse" port=" Orvano Port"
    # The router's address must resolve both ways before it is stored: the program gets a
    # name service that knows the router (a hosts file of its own, in a mount namespace).
    printf '127.0.0.1 localhost\n192.168.178.1 fritz.box\n' >"$work/hosts"
    unshare -m sh -c 'mount --bind "$1" /etc/hosts' sh "$work/hosts" 2>/dev/null ||
        { fail "cannot give the program a hosts file of its own (unshare -m needs root)"; return; }
    restore_machine
    # A fresh machine: no address in the 32-bit view, which is the one editable here; its
    # field keeps the text it was made with.
    "$run" "$prefix" reg delete "$wow\\AVMIGDCTRL" /v FoundFritzBoxes /f >/dev/null 2>&1
    unshare -m sh -c 'mount --bind "$1" /etc/hosts && shift && exec "$@"' sh "$work/hosts" \
        "$run" "$prefix" "$driver" --desktop "$desktop" run "$app_win\\Orvano.exe" Ohne \
        >>"$work/orvano.log" 2>&1 &
    local main=$!
    pids+=("$main")
    script ip_open <<EOF || return
wait-window "$title" 20000
click "$title" ${mw_kAddressButton}
wait-window "$ip" 10000
expect "255.255.255.255" get-text "$ip" ${router_ip_kWowAddress}
expect "1" is-visible "$ip" ${router_ip_kWowMissing}
EOF
    click_control "$ip" ${router_ip_kWowChange} || return
    script ip_asking <<EOF || return
expect "1" is-visible "$ip" ${router_ip_kWowChangeYes}
EOF
    # Into the first of the four number fields, its number selected, then the whole address
    # as keys.
    click_control "$ip" ${router_ip_kWowAddress} 8 || return
    xdotool key --delay 120 Home shift+End || fail "selecting the first number"
    type_keys "192.168.178.1"
    screenshot typing_address
    script ip_typed <<EOF || return
expect "192.168.178.1" get-text "$ip" ${router_ip_kWowAddress}
EOF
    click_control "$ip" ${router_ip_kWowChangeYes} || return
    script ip_stored <<EOF || return
expect "0" is-visible "$ip" ${router_ip_kWowChangeYes}
expect "0" is-visible "$ip" ${router_ip_kWowMissing}
expect "192.168.178.1" get-text "$ip" ${router_ip_kWowAddress}
click "$ip" ${router_ip_kOk}
wait-gone "$ip"
expect "192.168.178.1" get-text "$title" ${mw_kWowAddress}
EOF
    local got
    got=$(reg_query "$wow\\AVMIGDCTRL" FoundFritzBoxes)
    [ "$got" = "    FoundFritzBoxes    REG_SZ    192.168.178.1" ] ||
        fail "after typing 192.168.178.1 the registry holds \"$got\""
    phase "address typed and stored"

    script port_open <<EOF || return
click "$title" ${mw_kPortButton}
wait-window "$port" 10000
expect "00001f90" get-text "$port" ${port_dialog_kWowPort}
EOF
    click_control "$port" ${port_dialog_kWowChange} || return
    click_control "$port" ${port_dialog_kWowPort} || return
    # The field's text selected from its start to its end, and typed over.
    xdotool key --delay 120 Home shift+End || fail "selecting the port"
    type_keys "00001388"
    script port_typed <<EOF || return
expect "00001388" get-text "$port" ${port_dialog_kWowPort}
EOF
    screenshot typing_port
    click_control "$port" ${port_dialog_kWowChangeYes} || return
    script port_stored <<EOF || return
expect "0" is-visible "$port" ${port_dialog_kWowChangeYes}
expect "00001388" get-text "$port" ${port_dialog_kWowPort}
click "$port" ${port_dialog_kOk}
wait-gone "$port"
expect "00001388 (5000)" get-text "$title" ${mw_kWowPort}
EOF
    got=$(reg_query "$wow\\CAPIoTCP" Port)
    [ "$got" = "    Port    REG_DWORD    0x1388" ] ||
        fail "after typing 00001388 the registry holds \"$got\""
    close_orvano close "$main" || return
    phase "port typed and stored"
}

# --- slow_name_server: a name server that answers after two seconds ------------------------

# The screen's pixel centre of a control: "x y".
control_centre() {
    local left top right bottom
    read -r left top right bottom <<<"$(drive control-rect "$1" "$2" | tr -d '\r')"
    [ -n "$bottom" ] || { fail "no rectangle for control $2"; return 1; }
    echo "$(((left + right) / 2)) $(((top + bottom) / 2))"
}

slow_name_server() {
    command -v xdotool >/dev/null || { fail "xdotool is missing"; return; }
    local wow='HKLM\SOFTWARE\Wow6432Node\AVM' ip=" Orvano IP-Adresse" address=192.168.178.7
    local server=127.0.0.46 yes ok begun got
    # The program's own hosts file (nothing but localhost) and name server, in a mount
    # namespace: every question goes to a server on loopback that answers each after 2 s.
    printf '127.0.0.1 localhost\n' >"$work/hosts"
    printf 'nameserver %s\noptions timeout:5 attempts:2\n' "$server" >"$work/resolv.conf"
    unshare -m sh -c 'mount --bind "$1" /etc/hosts' sh "$work/hosts" 2>/dev/null ||
        { fail "cannot give the program a name service of its own (unshare -m needs root)"; return; }
    python3 "$here/../../tools/bench/name_server.py" "$server" slow 500 110 2 \
        2>"$work/name_server.log" &
    restore="kill $! 2>/dev/null"
    for _ in $(seq 50); do
        ss -uln | grep -q "$server:53 " && break
        sleep 0.1
    done
    restore_machine
    "$run" "$prefix" reg delete "$wow\\AVMIGDCTRL" /v FoundFritzBoxes /f >/dev/null 2>&1
    # Started without the keyword: it opens only when the slow server counts as a name service.
    begun=$(date +%s%N)
    unshare -m sh -c 'mount --bind "$1" /etc/hosts && mount --bind "$2" /etc/resolv.conf &&
        shift 2 && exec "$@"' sh "$work/hosts" "$work/resolv.conf" \
        "$run" "$prefix" "$driver" --desktop "$desktop" run "$app_win\\Orvano.exe" \
        >>"$work/orvano.log" 2>&1 &
    local main=$!
    pids+=("$main")
    script main_open <<EOS || return
wait-window "$title" 30000
EOS
    echo "main window $((($(date +%s%N) - begun) / 1000000)) ms after the start"
    script ip_open <<EOS || return
wait-gone " Info DNS " 0
click "$title" ${mw_kAddressButton}
wait-window "$ip" 10000
EOS
    click_control "$ip" ${router_ip_kWowChange} || return
    click_control "$ip" ${router_ip_kWowAddress} 8 || return
    xdotool key --delay 120 Home shift+End || fail "selecting the first number"
    type_keys "$address"
    script ip_typed <<EOS || return
expect "$address" get-text "$ip" ${router_ip_kWowAddress}
EOS
    # " Ja " and OK one right after the other, as a hurried hand does.
    yes=$(control_centre "$ip" ${router_ip_kWowChangeYes}) || return
    ok=$(control_centre "$ip" ${router_ip_kOk}) || return
    # shellcheck disable=SC2086 # x and y as two words
    xdotool mousemove --sync $yes click 1 mousemove --sync $ok click 1 || fail "Ja and OK"
    begun=$(date +%s%N)
    sleep 0.4
    screenshot slow_name_server_ok
    # The dialog waits for the check: still there well within the server's two seconds.
    xdotool search --name "^$ip\$" >/dev/null || fail "the dialog closed before its check ended"
    script stored <<EOS || return
wait-gone "$ip" 10000
expect "$address" get-text "$title" ${mw_kWowAddress}
EOS
    echo "dialog gone $((($(date +%s%N) - begun) / 1000000)) ms after OK"
    got=$(reg_query "$wow\\AVMIGDCTRL" FoundFritzBoxes)
    [ "$got" = "    FoundFritzBoxes    REG_SZ    $address" ] ||
        fail "after Ja and OK at once the registry holds \"$got\""
    close_orvano close "$main" || return
    phase "address stored though OK came while the slow name server was asked"
}

# --- wrong_type: values of the wrong type, as hand-written .reg lines leave them ------------

# "Port"="5031" in a hand-written script, and "reg add" without /t REG_DWORD, store strings that
# the client cannot read. Each window says so with one text; the port is rewritten only when a
# new one is confirmed, and what nobody confirmed stays as it was.
wrong_type() {
    local avm='HKLM\SOFTWARE\AVM' wow='HKLM\SOFTWARE\Wow6432Node\AVM'
    local fax='HKCU\SOFTWARE\AVM\FRITZ! 2.0\Fax'
    local port=" Orvano Port" ip=" Orvano IP-Adresse" isdn=" Erweiterte Einstellungen ... ISDN"
    local program='HKCU\SOFTWARE\AVM\FRITZ! 2.0\FRITZ!' nums=" Nebenstelle - Rufnummern"
    local entry=" Registry Eintrag" wrong=" falscher Typ "
    restore_machine
    restore+="; '$run' '$prefix' reg delete '$fax' /v Cip /f >/dev/null 2>&1"
    restore+="; '$run' '$prefix' reg delete '$fax\\Rufnummern' /f >/dev/null 2>&1"
    restore+="; '$run' '$prefix' reg delete '$program' /v UsePlusMapper /f >/dev/null 2>&1"
    reg_set "$avm\\CAPIoTCP" /v Port /t REG_SZ /d 5031
    # A number with "+" makes the main window's warning, which opens the numbers dialog.
    reg_set "$fax\\Rufnummern" /v Nummer1 /d +4930123
    reg_set "$program" /v UsePlusMapper /d 1
    reg_set "$wow\\AVMIGDCTRL" /v FoundFritzBoxes /t REG_DWORD /d 1
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
        '[HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\AVM\CAPIoTCP]' '"Port"="5031"' '' \
        '[HKEY_CURRENT_USER\Software\AVM\FRITZ! 2.0\Fax]' '"Cip"="4"' '' >"$app/hand_written.reg"
    reg_import hand_written.reg
    [ "$(reg_query "$wow\\CAPIoTCP" Port)" = "    Port    REG_SZ    5031" ] ||
        fail "the hand-written script left \"$(reg_query "$wow\\CAPIoTCP" Port)\""
    start_orvano Ohne
    local main=$last_pid
    script shown <<EOF || return
wait-window "$title" 20000
expect "192.168.178.1" get-text "$title" ${mw_kAddress}
expect "$wrong" get-text "$title" ${mw_kPort}
expect "$wrong" get-text "$title" ${mw_kWowAddress}
expect "$wrong" get-text "$title" ${mw_kWowPort}
EOF
    screenshot wrong_type
    # The port dialog: the Wow6432Node section is the one editable on this machine.
    script port_opened <<EOF || return
double-click "$title" ${mw_kPortLabel}
wait-window "$port" 10000
expect "$wrong" get-text "$port" ${port_dialog_kWowMissing}
expect "1" is-visible "$port" ${port_dialog_kWowMissing}
expect "" get-text "$port" ${port_dialog_kWowPort}
expect "0" is-enabled "$port" ${port_dialog_kWowDelete}
click "$port" ${port_dialog_kSectionSwitch}
expect "$wrong" get-text "$port" ${port_dialog_kMissing}
expect "1" is-visible "$port" ${port_dialog_kMissing}
expect "0" is-visible "$port" ${port_dialog_kWowMissing}
expect "" get-text "$port" ${port_dialog_kPort}
expect "0" is-enabled "$port" ${port_dialog_kDelete}
expect "1" is-enabled "$port" ${port_dialog_kChange}
layout "$port"
EOF
    dialog_shot wrong_type_port "$port"
    # Never exported; a change without eight digits writes nothing; the default, confirmed,
    # replaces the string.
    script port_changed <<EOF || return
click "$port" ${port_dialog_kRegFile}
wait-window "$entry" 10000
expect "0" is-enabled "$entry" ${red_kSave}
click "$entry" ${red_kOk}
wait-gone "$entry"
click "$port" ${port_dialog_kChange}
click "$port" ${port_dialog_kChangeYes}
expect "1" is-visible "$port" ${port_dialog_kMissing}
click "$port" ${port_dialog_kDefault}
click "$port" ${port_dialog_kChangeYes}
expect "000013a7" get-text "$port" ${port_dialog_kPort}
expect "0" is-visible "$port" ${port_dialog_kMissing}
expect "1" is-enabled "$port" ${port_dialog_kDelete}
click "$port" ${port_dialog_kOk}
wait-gone "$port"
expect "000013a7 (5031)" get-text "$title" ${mw_kPort}
expect "$wrong" get-text "$title" ${mw_kWowPort}
click "$title" ${mw_kAddressButton}
wait-window "$ip" 10000
expect "$wrong" get-text "$ip" ${router_ip_kWowMissing}
expect "1" is-visible "$ip" ${router_ip_kWowMissing}
click "$ip" ${router_ip_kOk}
wait-gone "$ip"
click "$title" ${mw_kIsdnButton}
wait-window "$isdn" 10000
expect "$wrong-> Cip " get-text "$isdn" ${isdn_kWrongTypes}
expect "1" is-visible "$isdn" ${isdn_kWrongTypes}
layout "$isdn" ${isdn_kInternetHint}:${isdn_kInternetButton} ${isdn_kInternetHint}
EOF
    dialog_shot wrong_type_isdn "$isdn"
    script isdn_closed <<EOF || return
click "$isdn" ${isdn_kBack}
wait-gone "$isdn"
notify "$title" ${mw_kWarningTicker} 0
wait-window "$nums" 10000
expect "$wrong" get-text "$nums" ${numbers_dialog_kWrongType}
expect "1" is-visible "$nums" ${numbers_dialog_kWrongType}
expect "0" get-check "$nums" ${numbers_dialog_kUsePlusMapper}
layout "$nums"
EOF
    dialog_shot wrong_type_numbers "$nums"
    script numbers_closed <<EOF || return
click "$nums" ${numbers_dialog_kOk}
wait-gone "$nums"
EOF
    close_orvano close "$main" || return
    local got
    got=$(reg_query "$avm\\CAPIoTCP" Port)
    [ "$got" = "    Port    REG_DWORD    0x13a7" ] || fail "the confirmed port: \"$got\""
    got=$(reg_query "$wow\\CAPIoTCP" Port)
    [ "$got" = "    Port    REG_SZ    5031" ] || fail "the port nobody confirmed: \"$got\""
    got=$(reg_query "$fax" Cip)
    [ "$got" = "    Cip    REG_SZ    4" ] || fail "Cip: \"$got\""
    got=$(reg_query "$program" UsePlusMapper)
    [ "$got" = "    UsePlusMapper    REG_SZ    1" ] || fail "UsePlusMapper: \"$got\""
    [ ! -e "$app/Reg5_AVM_NC_FB_Port.reg" ] || fail "a port of the wrong type was exported"
    phase "values of the wrong type shown, kept and replaced when confirmed"
}

# --- held_capi: a capi2032.dll that another program holds stays, and the dialog says why -----

held_capi() {
    local deploy=" capi2032.dll erstellen" fax_folder="C:\\$fax_dir\\"
    local fax_capi="${fax_folder}capi2032.dll" fax_capi_file holder stop holder_pid
    fax_capi_file=$(unix_path "$fax_capi")
    holder=$(dirname "$loader")/library_holder.exe
    stop=$work/stop
    rm -f "$stop" "$shots/dialog_held_capi"*.png
    # Whatever happens, the fax folder keeps the other maker's library and nothing beside it.
    restore="touch '$stop'; cp '$planted_dll' '$fax_capi_file';"
    restore+=" rm -f '$fax_capi_file.loaded' '$fax_capi_file.gesichert'"
    # The fax application's stand-in loads the library, as the fax application does.
    "$run" "$prefix" "$holder" "$fax_capi" "Z:$(readlink -f "$work" | tr / '\\')\\stop" 90 \
        >"$work/holder.log" 2>&1 &
    holder_pid=$!
    local tries
    for tries in $(seq 100); do
        grep -q holding "$work/holder.log" 2>/dev/null && break
        sleep 0.2
    done
    grep -q holding "$work/holder.log" ||
        { fail "the library is not held: $(tr -d '\r' <"$work/holder.log")"; return; }
    phase "capi2032.dll held by another program"

    start_orvano Ohne
    local main=$last_pid
    # Wine's Restart Manager names no program, so the line says "in use" without a name.
    local line=" Nicht gelöscht, wird benutzt: $fax_capi"
    script held_delete <<EOF || return
wait-window "$title" 20000
click "$title" ${mw_kCapiCreateButton}
wait-window "$deploy" 10000
expect "$(escaped "$fax_capi")" get-text "$deploy" ${cdd_kFaxPath}
expect "0" is-visible "$deploy" ${cdd_kProblemLabel}
click "$deploy" ${cdd_kIsdnFaxDelete}
expect "1" is-visible "$deploy" ${cdd_kProblemLabel}
expect "$(escaped "$line")" get-text "$deploy" ${cdd_kProblemLabel}
# The row keeps its buttons, the file its place, and no copy is kept of it.
expect "1" is-enabled "$deploy" ${cdd_kIsdnFaxDelete}
expect "0" is-enabled "$deploy" ${cdd_kIsdnFaxCreate}
expect "$(escaped "$fax_capi")" get-text "$deploy" ${cdd_kFaxPath}
expect "2.4.0.1 / 2.4.0.0" get-text "$deploy" ${cdd_kFaxVersion}
expect "0" is-visible "$deploy" ${cdd_kKeptLabel}
EOF
    dialog_shot held_capi_delete "$deploy"
    cmp -s "$planted_dll" "$fax_capi_file" || fail "the held library changed"
    [ ! -e "$fax_capi_file.gesichert" ] || fail "a copy was kept of the library that stayed"
    phase "the delete refused, and the dialog says why"

    touch "$stop"
    wait "$holder_pid" || fail "the holder ended with $?"
    script held_free <<EOF || return
click "$deploy" ${cdd_kIsdnFaxDelete}
expect "0" is-visible "$deploy" ${cdd_kProblemLabel}
expect "$(escaped " Gesichert: $fax_capi.gesichert")" get-text "$deploy" ${cdd_kKeptLabel}
expect "$(escaped "$fax_folder")" get-text "$deploy" ${cdd_kFaxPath}
click "$deploy" ${cdd_kRestore}
expect "0" is-visible "$deploy" ${cdd_kKeptLabel}
expect "$(escaped "$fax_capi")" get-text "$deploy" ${cdd_kFaxPath}
expect "2.4.0.1 / 2.4.0.0" get-text "$deploy" ${cdd_kFaxVersion}
click "$deploy" ${cdd_kOk}
wait-gone "$deploy"
EOF
    cmp -s "$planted_dll" "$fax_capi_file" || fail "the library did not come back as it was"
    close_orvano close "$main" || return
    rm -f "$fax_capi_file.loaded"
    restore=""
    phase "let go, deleted and put back"
}

case $scenario in
    status | single_instance | name_service | settings_file | library_search | dialogs | reg_files | \
        companions | data_folder | closing | endpoint_dialogs | layout | typing | slow_name_server | \
        wrong_type | held_capi)
        "$scenario"
        ;;
    *)
        echo "unknown scenario $scenario" >&2
        exit 2
        ;;
esac
exit $failed
