#!/usr/bin/env bash
# Inside the WoW64 machine: the x86 Orvano.exe and its tests as the 32-bit programs they are,
# under Wine's WoW64 with real registry and file-system redirection.
#
#   scenarios.sh SCENARIO PREFIX BIN OUT
#
# BIN holds the x86 builds (Orvano.exe, e2e_driver.exe, orvano_contract_tests.exe,
# planted_library.dll) and version_probe.dll. Scenarios:
#   contract        the contract tests, as a 32-bit process
#   fresh_machine   a fresh 64-bit machine set up with Orvano alone, the test tool against a
#                   listener standing in for the router; then the same with the address only
#                   in the 64-bit view, where the tool must not reach it
#   prepare         the machine of the end-to-end tests (machine.sh), the client in the folder
#                   a 32-bit program sees as System32
#   status, deployment, router_views, isdn, reg_files   on the prepared machine
set -u
scenario=$1 prefix=$2 bin=$3 out=$4
here=$(dirname "$(readlink -f "$0")")
e2e=$here/../e2e
run=$here/../wine/run.sh
. "$e2e/display.sh"
. "$e2e/machine.sh"

title=" Orvano"
driver=$bin/e2e_driver.exe
desktop=wow64-$scenario
work=$out/$scenario
shots=$out/screenshots
drive_c=$prefix/drive_c
system32=$drive_c/windows/system32 syswow64=$drive_c/windows/syswow64
ip=" Orvano IP-Adresse" port=" Orvano Port" deploy=" capi2032.dll erstellen" teluso=" Teluso"
isdn=" Erweiterte Einstellungen ... ISDN" sorry=" Sorry"
mkdir -p "$work" "$shots"

close_wait_ms=20000
. "$e2e/driving.sh"
# The windows' control ids by name (made by the build from the control tables).
. "$e2e/control_ids.sh"

# A picture of the screen once it has stopped changing (the emulated machine paints slowly),
# with the rectangle of the window TITLE when one is given. The machine has no ImageMagick: an
# X window dump, made a PNG and cut to the rectangle on the host. A blinking caret never
# stops changing: after eight tries the last dump stands.
screenshot() {
    local name=$1 window=${2:-} dump=$shots/wow64_$1.xwd last=$work/last.xwd _
    rm -f "$last"
    # This Wine on a bare X server loses a window's first paint when it comes before the X
    # window is mapped (a dialog shows only the controls changed since): every window paints
    # again before the picture. Windows keeps what a window painted. The router address and
    # port dialogs and message boxes stay black whatever is done (see the README), so their
    # steps are taken in the main window after them.
    drive redraw-all >/dev/null 2>&1
    for _ in 1 2 3 4 5 6 7 8; do
        sleep 1
        xwd -root -silent -out "$dump" 2>>"$work/xwd.log" || { fail "screenshot $name"; return; }
        cmp -s "$dump" "$last" && break
        cp "$dump" "$last"
    done
    rm -f "$last"
    [ -z "$window" ] || drive window-rect "$window" | tr -d '\r' >"${dump%.xwd}.rect" ||
        fail "no rectangle for the screenshot $name"
}

start_program() {
    "$run" "$prefix" "$driver" --desktop "$desktop" run "$@" >>"$work/programs.log" 2>&1 &
    last_pid=$!
    pids+=("$last_pid")
}

start_orvano() { start_program "$app_win\\Orvano.exe" "$@"; }

cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        if running "$pid"; then
            drive kill-window "$title" >/dev/null 2>&1
            drive kill-window "$teluso" >/dev/null 2>&1
            kill "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
        fi
    done
    [ -n "${listener_pid:-}" ] && kill "$listener_pid" 2>/dev/null
    stop_display
}

fresh_app_folder() {
    app_win="C:\\Orvano\\$1"
    app=$(unix_path "$app_win")
    rm -rf "$app"
    mkdir -p "$app"
    cp "$bin/Orvano.exe" "$app/Orvano.exe"
}

# reg query in one registry view (64 or 32): the value's type and data, "" when missing.
reg_value() {
    "$run" "$prefix" reg query "$1" /v "$2" "/reg:$3" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *//p"
}

expect_reg() {
    local got
    got=$(reg_value "$1" "$2" "$3")
    [ "$got" = "$4" ] || fail "$1 $2 in the $3-bit view is \"$got\", expected \"$4\""
}

# Wine's own capi2032.dll stands in for the file in both system folders; a real machine
# has none until one is deployed.
remove_wine_capi() { rm -f "$system32/capi2032.dll" "$syswow64/capi2032.dll"; }

is_client() { [ -f "$1" ] && grep -aq 'Software\\AVM\\CAPIoTCP' "$1"; }

# The test tool's verdict, the first line of its report.
verdict() { head -n1 "$work/$1.report"; }

# --- contract: the port's behaviour as a 32-bit process -------------------------------------

# One case is left out: Wine 10 finds no file for the DOS wildcard ">" in a listing, in the
# x64 build as much as in the x86 one (Wine 8 on the build machine and Windows do); that is
# this Wine's, not WoW64's.
contract() {
    "$run" "$prefix" "$bin/orvano_contract_tests.exe" \
        --gtest_filter=-FilesContract.WildcardsNeverMakeAPathExist >"$work/contract.out" 2>&1
    local code=$?
    tr -d '\r' <"$work/contract.out"
    [ "$code" = 0 ] || fail "the contract tests ended with $code"
}

# --- fresh_machine: set up with Orvano alone, the test tool against a stand-in router --------

# A TCP listener on 127.0.0.1:5031 that notes every connection it accepts in $1.
start_listener() {
    : >"$1"
    perl -MIO::Socket::INET -e '
        my $s = IO::Socket::INET->new(LocalAddr => "127.0.0.1", LocalPort => 5031,
                                      Listen => 5, ReuseAddr => 1) or die "listen: $!";
        open(my $log, ">>", $ARGV[0]) or die; $log->autoflush(1);
        while (my $c = $s->accept) { print $log "accepted\n"; close $c }' "$1" &
    listener_pid=$!
    sleep 1
}

connections() { wc -l <"$1" | tr -d ' '; }

# Deploys the client in the System32 row and sets address and port in one section of the two
# dialogs (SECTION: native or wow), then starts the test tool from the main window and leaves
# its report in $work/NAME.report.
set_up_with_orvano() {
    local name=$1 section=$2
    fresh_app_folder "$name"
    start_orvano OHNE
    local main=$last_pid
    set_up_steps "$@" || {
        # Whatever failed, the next set-up starts without this program's windows.
        drive kill-window "$teluso" >/dev/null 2>&1
        drive kill-window "$title" >/dev/null 2>&1
        wait "$main" 2>/dev/null
    }
}

set_up_steps() {
    local name=$1 section=$2
    local field=$router_ip_kAddress pfield=$port_dialog_kPort pdefault=$port_dialog_kDefault
    local pyes=$port_dialog_kChangeYes switch=0
    if [ "$section" = wow ]; then
        field=$router_ip_kWowAddress pfield=$port_dialog_kWowPort
        pdefault=$port_dialog_kWowDefault pyes=$port_dialog_kWowChangeYes switch=1
    fi
    # Without any capi2032.dll the program says so once it is up.
    script "${name}_start" <<EOF || return
wait-window "$title" 60000
answer-box "$sorry" OK 30000
expect "Windows 10, 64-bit" get-text "$title" ${mw_kEdition}
EOF
    screenshot "${name}_start" "$title"
    script "${name}_deploy" <<EOF || return
click "$title" ${mw_kCapiCreateButton}
wait-window "$deploy" 20000
expect "" get-text "$deploy" ${cdd_kSystem32Version}
expect "" get-text "$deploy" ${cdd_kSysWow64Version}
click "$deploy" ${cdd_kTcpSystem32Create}
# One file, seen in both places: the 32-bit program's System32 is SysWOW64.
expect "3.8.1.0 / 3.0.0.0 CoT" get-text "$deploy" ${cdd_kSystem32Version}
expect "3.8.1.0 / 3.0.0.0 CoT" get-text "$deploy" ${cdd_kSysWow64Version}
expect "0" is-enabled "$deploy" ${cdd_kTcpSystem32Create}
expect "1" is-enabled "$deploy" ${cdd_kTcpSystem32Delete}
expect "0" is-enabled "$deploy" ${cdd_kTcpSysWow64Create}
expect "1" is-enabled "$deploy" ${cdd_kTcpSysWow64Delete}
expect "0" is-enabled "$deploy" ${cdd_kIsdnSystem32Create}
expect "0" is-enabled "$deploy" ${cdd_kIsdnSysWow64Create}
EOF
    screenshot "${name}_deployed" "$deploy"
    is_client "$syswow64/capi2032.dll" ||
        fail "no client in SysWOW64 after creating it in the System32 row"
    [ -e "$system32/capi2032.dll" ] && fail "a capi2032.dll in the 64-bit System32"
    script "${name}_address" <<EOF || return
click "$deploy" ${cdd_kOk}
wait-gone "$deploy"
click "$title" ${mw_kAddressButton}
wait-window "$ip" 20000
expect "1" is-enabled "$ip" ${router_ip_kSectionSwitch}
expect "0" get-check "$ip" ${router_ip_kSectionSwitch}
EOF
    if [ "$switch" = 1 ]; then
        script "${name}_switch" <<EOF || return
click "$ip" ${router_ip_kSectionSwitch}
expect "1" get-check "$ip" ${router_ip_kSectionSwitch}
expect "1" is-enabled "$ip" $field
EOF
    fi
    script "${name}_address_set" < <(change_address_steps "$ip" "$section" 127.0.0.1) || return
    script "${name}_address_ok" <<EOF || return
click "$ip" ${router_ip_kOk}
wait-gone "$ip"
EOF
    screenshot "${name}_address" "$title"
    script "${name}_port" <<EOF || return
click "$title" ${mw_kPortButton}
wait-window "$port" 20000
expect "1" is-enabled "$port" ${port_dialog_kSectionSwitch}
EOF
    if [ "$switch" = 1 ]; then
        script "${name}_port_switch" <<EOF || return
click "$port" ${port_dialog_kSectionSwitch}
expect "1" is-enabled "$port" $pfield
EOF
    fi
    # The client's default port, offered by its button and confirmed.
    script "${name}_port_set" <<EOF || return
click "$port" $pdefault
click "$port" $pyes
expect "000013a7" get-text "$port" $pfield
EOF
    script "${name}_port_ok" <<EOF || return
click "$port" ${port_dialog_kOk}
wait-gone "$port"
EOF
    screenshot "${name}_port" "$title"
    if [ "$section" = wow ]; then isdn_steps "$name" || return; fi
    script "${name}_teluso_created" <<EOF || return
expect "1" is-visible "$title" ${mw_kTestToolCreateButton}
click "$title" ${mw_kTestToolCreateButton}
expect "0" is-visible "$title" ${mw_kTestToolCreateButton}
EOF
    [ -f "$app/Teluso.exe" ] || fail "no Teluso.exe beside the program"
    script "${name}_teluso_started" <<EOF || return
click "$title" ${mw_kTestToolButton}
EOF
    teluso_report "$name" || return
    close_orvano "${name}_quit" "$main"
}

# Once the test tool has come up: its report in $work/NAME.report and a picture, then the tool
# closed again.
teluso_report() {
    local name=$1
    script "${name}_teluso" <<EOF || return
wait-window "$teluso" 60000
sleep 5000
EOF
    drive get-text "$teluso" 100 | tr -d '\r' >"$work/$name.report"
    screenshot "${name}_teluso" "$teluso"
    echo "--- the test tool's report ($name)"
    cat "$work/$name.report"
    script "${name}_close" <<EOF
close "$teluso"
wait-gone "$teluso" 20000
EOF
}

# The fax application's ISDN settings as a user makes them on the new machine: the router in
# the user's settings and in the 32-bit machine settings, the analogue line, analogue fax.
isdn_steps() {
    local name=$1 fax='SOFTWARE\AVM\FRITZ! 2.0\Fax'
    script "${name}_isdn" <<EOF || return
click "$title" ${mw_kIsdnButton}
wait-window "$isdn" 20000
expect "1" get-check "$isdn" ${isdn_kWowSwitch}
expect "0" is-enabled "$isdn" ${isdn_kRouterAnalog}
click "$isdn" ${isdn_kFritzBoxUser}
click "$isdn" ${isdn_kFritzBoxMachineWow}
expect "1" is-enabled "$isdn" ${isdn_kRouterAnalog}
click "$isdn" ${isdn_kRouterAnalog}
click "$isdn" ${isdn_kAnalogFax}
expect "1" get-check "$isdn" ${isdn_kRouterAnalog}
expect "1" is-enabled "$isdn" ${isdn_kApply}
EOF
    screenshot "${name}_isdn" "$isdn"
    script "${name}_isdn_applied" <<EOF || return
click "$isdn" ${isdn_kApply}
expect "0" is-enabled "$isdn" ${isdn_kApply}
click "$isdn" ${isdn_kBack}
wait-gone "$isdn"
EOF
    expect_reg "HKCU\\$fax" FritzBox 64 "REG_DWORD    0x1"
    expect_reg "HKCU\\$fax" CapiController 64 "REG_DWORD    0xfffffffe"
    expect_reg "HKCU\\$fax" Cip 64 "REG_DWORD    0x4"
    expect_reg "HKLM\\$fax" FritzBox 32 "REG_DWORD    0x1"
    expect_reg "HKLM\\$fax" FritzBox 64 ""
}

# The fax application as its set-up leaves it: program and data folders, its settings in the
# user's registry; no capi2032.dll and nothing of the router yet.
install_fax_application() {
    local user data program
    user=$(wine_user)
    data=$(data_folder_of "$user")
    program=$(unix_path "C:\\$fax_dir")
    mkdir -p "$program" "$(unix_path "$data")" &&
        printf 'MZ' >"$program/FriFax32.exe" &&
        printf 'dBASE' >"$(unix_path "$data")/FritzFax.dbf" || fail "the fax application's files"
    # Registry files are read as UTF-16 with a byte-order mark.
    { printf '\xff\xfe'; reg_file "$user" "$data" |
        awk '/^\[/ { keep = !/AVMIGDCTRL|CAPIoTCP/ } keep || NR == 1' | sed 's/$/\r/' |
        iconv -f UTF-8 -t UTF-16LE; } >"$work/fax.reg"
    "$run" "$prefix" reg import "Z:$(readlink -f "$work/fax.reg" | tr / '\\')" \
        >"$work/fax_reg.log" 2>&1 || fail "the fax application's settings"
}

fresh_machine() {
    remove_wine_capi
    install_fax_application
    leave_unmanaged "$prefix" Orvano.exe
    leave_unmanaged "$prefix" Teluso.exe
    local accepted=$work/accepted
    start_listener "$accepted"
    set_up_with_orvano wow6432node wow
    expect_reg 'HKLM\SOFTWARE\AVM\AVMIGDCTRL' FoundFritzBoxes 32 "REG_SZ    127.0.0.1"
    expect_reg 'HKLM\SOFTWARE\AVM\CAPIoTCP' Port 32 "REG_DWORD    0x13a7"
    expect_reg 'HKLM\SOFTWARE\AVM\AVMIGDCTRL' FoundFritzBoxes 64 ""
    [ "$(connections "$accepted")" -gt 0 ] || fail "the deployed client did not reach the listener"
    expect_verdict wow6432node "Ergebnis: Router erreichbar"
    phase "set up in the Wow6432Node section: the client reaches the router"

    # Back to a fresh machine: no vendor keys, no client.
    "$run" "$prefix" reg delete 'HKLM\SOFTWARE\AVM' /f /reg:64 >/dev/null 2>&1
    "$run" "$prefix" reg delete 'HKLM\SOFTWARE\AVM' /f /reg:32 >/dev/null 2>&1
    rm -f "$syswow64/capi2032.dll"
    : >"$accepted"
    set_up_with_orvano native_only native
    expect_reg 'HKLM\SOFTWARE\AVM\AVMIGDCTRL' FoundFritzBoxes 64 "REG_SZ    127.0.0.1"
    expect_reg 'HKLM\SOFTWARE\AVM\AVMIGDCTRL' FoundFritzBoxes 32 ""
    [ "$(connections "$accepted")" = 0 ] ||
        fail "the client reached the listener with the address only in the 64-bit view"
    expect_verdict native_only "Ergebnis: Router-Eintrag nur im anderen Registry-Zweig"
    grep -q 'Nur in HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM: ' "$work/native_only.report" ||
        fail "the test tool does not say where the address and port are"
    phase "set up in the native section only: the client does not reach the router, and the test tool says why"

    # The Wow6432Node section set as well (as its exported .reg file does): now it reaches it.
    "$run" "$prefix" reg add 'HKLM\SOFTWARE\AVM\AVMIGDCTRL' /v FoundFritzBoxes /d 127.0.0.1 /f \
        /reg:32 >/dev/null 2>&1 || fail "setting the address in the 32-bit view"
    "$run" "$prefix" reg add 'HKLM\SOFTWARE\AVM\CAPIoTCP' /v Port /t REG_DWORD /d 5031 /f \
        /reg:32 >/dev/null 2>&1 || fail "setting the port in the 32-bit view"
    start_program "$app_win\\Teluso.exe"
    teluso_report wow_set || return
    [ "$(connections "$accepted")" -gt 0 ] || fail "the client did not reach the listener"
    expect_verdict wow_set "Ergebnis: Router erreichbar"
    phase "the Wow6432Node section set too: the test tool reaches the router"
}

# The test tool's verdict in the report NAME must be TEXT.
expect_verdict() {
    [ "$(verdict "$1")" = "$2" ] || {
        fail "the test tool reports \"$(verdict "$1")\", expected \"$2\""
        cat "$work/$1.report"
    }
}

# --- prepare: the end-to-end machine for the 32-bit program ---------------------------------

prepare() {
    remove_wine_capi
    # Whatever fresh_machine left.
    "$run" "$prefix" reg delete 'HKLM\SOFTWARE\AVM' /f /reg:64 >/dev/null 2>&1
    "$run" "$prefix" reg delete 'HKLM\SOFTWARE\AVM' /f /reg:32 >/dev/null 2>&1
    "$run" "$prefix" reg delete 'HKCU\SOFTWARE\AVM' /f >/dev/null 2>&1
    set_up_machine "$run" "$prefix" "$bin/planted_library.dll" "$work" || return
    # The client where a 32-bit program finds it in System32.
    cp "$bin/version_probe.dll" "$syswow64/capi2032.dll" || fail "no client in SysWOW64"
}

# --- status: the board filled from the machine ----------------------------------------------

status() {
    fresh_app_folder status
    start_orvano OHNE
    local main=$last_pid
    script fields <<EOF || return
wait-window "$title" 60000
expect "Windows 10, 64-bit" get-text "$title" ${mw_kEdition}
expect "3.07.04" get-text "$title" ${mw_kFaxVersion}
expect "$(escaped "C:\\$fax_dir\\capi2032.dll")" get-text "$title" ${mw_kFaxCapiPath}
expect "2.4.0.1 / 2.4.0.0" get-text "$title" ${mw_kFaxCapiVersion}
expect "$(escaped 'C:\windows\System32\capi2032.dll')" get-text "$title" ${mw_kSystem32Path}
expect "3.8.1.0 / 3.0.0.0 CoT" get-text "$title" ${mw_kSystem32Version}
expect "$(escaped 'C:\windows\SysWow64\capi2032.dll')" get-text "$title" ${mw_kSysWow64Path}
expect "3.8.1.0 / 3.0.0.0 CoT" get-text "$title" ${mw_kSysWow64Version}
expect "$(escaped 'HKEY_LOCAL_MACHINE\SOFTWARE\AVM')" get-text "$title" ${mw_kHklm}
expect "$(escaped 'HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\AVM')" get-text "$title" ${mw_kWow}
# Each registry view read as itself
expect "192.168.178.1" get-text "$title" ${mw_kAddress}
expect "000013a7 (5031)" get-text "$title" ${mw_kPort}
expect "10.0.0.138" get-text "$title" ${mw_kWowAddress}
expect "00001f90 (8080)" get-text "$title" ${mw_kWowPort}
EOF
    drive get-text "$title" ${mw_kVersion} | tr -d '\r' | sed 's/^/version: /'
    screenshot main
    close_orvano close "$main"
}

# --- deployment: one folder behind two rows -------------------------------------------------

# The enabled state of the twelve buttons, as one string: TCP rows then ISDN rows, each
# row's create and delete, fax folder, System32, SysWow64.
expect_rows() {
    local name=$1 expected=$2 id got
    for id in ${cdd_kTcpFaxCreate} ${cdd_kTcpFaxDelete} ${cdd_kTcpSystem32Create} ${cdd_kTcpSystem32Delete} ${cdd_kTcpSysWow64Create} ${cdd_kTcpSysWow64Delete} ${cdd_kIsdnFaxCreate} ${cdd_kIsdnFaxDelete} ${cdd_kIsdnSystem32Create} ${cdd_kIsdnSystem32Delete} ${cdd_kIsdnSysWow64Create} ${cdd_kIsdnSysWow64Delete}; do
        echo "is-enabled \"$deploy\" $id"
    done | script "$name" || return
    got=$(tr -d '\r\n' <"$work/$name.out")
    [ "$got" = "$expected" ] || fail "$name: buttons $got, expected $expected"
}

deployment() {
    fresh_app_folder deployment
    start_orvano OHNE
    local main=$last_pid
    script opened <<EOF || return
wait-window "$title" 60000
click "$title" ${mw_kCapiCreateButton}
wait-window "$deploy" 20000
expect "3.8.1.0 / 3.0.0.0 CoT" get-text "$deploy" ${cdd_kSystem32Version}
expect "3.8.1.0 / 3.0.0.0 CoT" get-text "$deploy" ${cdd_kSysWow64Version}
EOF
    # Another maker's library in the fax folder (ISDN row), the client in both system rows.
    expect_rows opened_rows 000101010000 || return
    screenshot deployment
    script deleted_in_system32 <<EOF || return
click "$deploy" ${cdd_kTcpSystem32Delete}
expect "" get-text "$deploy" ${cdd_kSystem32Version}
expect "" get-text "$deploy" ${cdd_kSysWow64Version}
EOF
    [ -e "$syswow64/capi2032.dll" ] &&
        fail "the client is still in SysWOW64 after deleting it in the System32 row"
    expect_rows after_delete 001010011010 || return
    script created_in_syswow64 <<EOF || return
click "$deploy" ${cdd_kTcpSysWow64Create}
expect "3.8.1.0 / 3.0.0.0 CoT" get-text "$deploy" ${cdd_kSystem32Version}
expect "3.8.1.0 / 3.0.0.0 CoT" get-text "$deploy" ${cdd_kSysWow64Version}
EOF
    is_client "$syswow64/capi2032.dll" || fail "no client in SysWOW64 after creating it in the SysWow64 row"
    [ -e "$system32/capi2032.dll" ] && fail "a capi2032.dll in the 64-bit System32"
    expect_rows after_create 000101010000 || return
    # The other maker's library in the fax folder is kept when it is deleted, and put back.
    local kept_line=" Gesichert: C:\\$fax_dir\\capi2032.dll.gesichert"
    script kept <<EOF || return
click "$deploy" ${cdd_kIsdnFaxDelete}
expect "$(escaped "$kept_line")" get-text "$deploy" ${cdd_kKeptLabel}
expect "1" is-visible "$deploy" ${cdd_kKeptLabel}
expect "" get-text "$deploy" ${cdd_kFaxVersion}
EOF
    screenshot deployment_kept "$deploy"
    script restored <<EOF || return
click "$deploy" ${cdd_kRestore}
expect "2.4.0.1 / 2.4.0.0" get-text "$deploy" ${cdd_kFaxVersion}
EOF
    # Another kept copy may be named now (the client deleted in the System32 row above), never
    # the one put back.
    [ "$(drive get-text "$deploy" ${cdd_kKeptLabel} | tr -d '\r')" != "$kept_line" ] ||
        fail "the line still names the copy that was put back"
    script ok <<EOF || return
click "$deploy" ${cdd_kOk}
wait-gone "$deploy"
EOF
    close_orvano close "$main"
}

# --- router_views: address and port written into each registry view -------------------------

router_views() {
    fresh_app_folder router_views
    start_orvano OHNE
    local main=$last_pid
    script address <<EOF || return
wait-window "$title" 60000
click "$title" ${mw_kAddressButton}
wait-window "$ip" 20000
expect "192.168.178.1" get-text "$ip" ${router_ip_kAddress}
expect "10.0.0.138" get-text "$ip" ${router_ip_kWowAddress}
expect "1" get-check "$ip" ${router_ip_kSectionSwitch}
click "$ip" ${router_ip_kSectionSwitch}
expect "1" is-enabled "$ip" ${router_ip_kAddress}
$(change_address_steps "$ip" native 127.0.0.1)
click "$ip" ${router_ip_kSectionSwitch}
expect "1" is-enabled "$ip" ${router_ip_kWowAddress}
$(change_address_steps "$ip" wow 127.0.0.2)
EOF
    screenshot router_ip
    script port <<EOF || return
click "$ip" ${router_ip_kOk}
wait-gone "$ip"
click "$title" ${mw_kPortButton}
wait-window "$port" 20000
expect "000013a7" get-text "$port" ${port_dialog_kPort}
expect "00001f90" get-text "$port" ${port_dialog_kWowPort}
click "$port" ${port_dialog_kSectionSwitch}
click "$port" ${port_dialog_kChange}
type "$port" ${port_dialog_kPort} 00001388
click "$port" ${port_dialog_kChangeYes}
click "$port" ${port_dialog_kSectionSwitch}
click "$port" ${port_dialog_kWowChange}
type "$port" ${port_dialog_kWowPort} 000013a8
click "$port" ${port_dialog_kWowChangeYes}
EOF
    screenshot port
    script views_shown <<EOF || return
click "$port" ${port_dialog_kOk}
wait-gone "$port"
expect "127.0.0.1" get-text "$title" ${mw_kAddress}
expect "00001388 (5000)" get-text "$title" ${mw_kPort}
expect "127.0.0.2" get-text "$title" ${mw_kWowAddress}
expect "000013a8 (5032)" get-text "$title" ${mw_kWowPort}
EOF
    close_orvano close "$main"
    expect_reg 'HKLM\SOFTWARE\AVM\AVMIGDCTRL' FoundFritzBoxes 64 "REG_SZ    127.0.0.1"
    expect_reg 'HKLM\SOFTWARE\AVM\AVMIGDCTRL' FoundFritzBoxes 32 "REG_SZ    127.0.0.2"
    expect_reg 'HKLM\SOFTWARE\AVM\CAPIoTCP' Port 64 "REG_DWORD    0x1388"
    expect_reg 'HKLM\SOFTWARE\AVM\CAPIoTCP' Port 32 "REG_DWORD    0x13a8"
}

# --- isdn: the machine's fax key and its Wow6432Node twin -----------------------------------

isdn() {
    local fax='HKLM\SOFTWARE\AVM\Fritz! 2.0\Fax'
    fresh_app_folder isdn
    start_orvano OHNE
    local main=$last_pid
    script twin <<EOF || return
wait-window "$title" 60000
click "$title" ${mw_kIsdnButton}
wait-window "$isdn" 20000
expect "1" get-check "$isdn" ${isdn_kWowSwitch}
expect "1" is-enabled "$isdn" ${isdn_kFritzBoxMachineWow}
click "$isdn" ${isdn_kFritzBoxMachineWow}
click "$isdn" ${isdn_kApply}
EOF
    screenshot isdn
    expect_reg "$fax" FritzBox 32 "REG_DWORD    0x1"
    expect_reg "$fax" FritzBox 64 ""
    script native <<EOF || return
click "$isdn" ${isdn_kWowSwitch}
expect "1" is-enabled "$isdn" ${isdn_kFritzBoxMachine}
click "$isdn" ${isdn_kFritzBoxMachine}
click "$isdn" ${isdn_kNewDriverMachine}
click "$isdn" ${isdn_kApply}
click "$isdn" ${isdn_kBack}
wait-gone "$isdn"
EOF
    expect_reg "$fax" FritzBox 64 "REG_DWORD    0x1"
    expect_reg "$fax" NeueTreiber2003 64 "REG_DWORD    0x1"
    expect_reg "$fax" NeueTreiber2003 32 "REG_DWORD    0x0"
    close_orvano close "$main"
}

# --- reg_files: the exports imported with the 64-bit and the 32-bit regedit -----------------

save_reg_entry() {
    local window=$1 id=$2 entry=" Registry Eintrag"
    script "save_$id" <<EOF
click "$window" $id
wait-window "$entry" 20000
click "$entry" ${red_kSave}
click "$entry" ${red_kOk}
wait-gone "$entry"
EOF
}

# The prepared machine's address in each view, whatever earlier scenarios stored.
machine_addresses() {
    local avm='HKLM\SOFTWARE\AVM'
    "$run" "$prefix" reg add "$avm\\AVMIGDCTRL" /v FoundFritzBoxes /d 192.168.178.1 /f /reg:64 >/dev/null 2>&1
    "$run" "$prefix" reg add "$avm\\AVMIGDCTRL" /v FoundFritzBoxes /d 10.0.0.138 /f /reg:32 >/dev/null 2>&1
}

reg_files() {
    local avm='HKLM\SOFTWARE\AVM'
    machine_addresses
    fresh_app_folder reg_files
    start_orvano OHNE
    local main=$last_pid
    script opened <<EOF || return
wait-window "$title" 60000
click "$title" ${mw_kAddressButton}
wait-window "$ip" 20000
EOF
    save_reg_entry "$ip" ${router_ip_kWowRegFile} || return
    script native_section <<EOF || return
click "$ip" ${router_ip_kSectionSwitch}
EOF
    save_reg_entry "$ip" ${router_ip_kRegFile} || return
    script ip_closed <<EOF || return
click "$ip" ${router_ip_kOk}
wait-gone "$ip"
EOF
    close_orvano close "$main"
    ls "$app" | sed 's/^/written: /'
    local native wow
    native=$(ls "$app" | grep '^Reg5_AVM_NC_FB_IP' | grep -vi wow | head -n1)
    wow=$(ls "$app" | grep '^Reg5_AVM_NC_FB_IP' | grep -i wow | head -n1)
    [ -n "$native" ] && [ -n "$wow" ] || { fail "the two address exports were not written"; return; }
    # A double click on 64-bit Windows starts the 64-bit regedit; the 32-bit one is redirected.
    local regedit64='C:\windows\regedit.exe' regedit32='C:\windows\syswow64\regedit.exe'
    local name file tool view expected other
    while read -r name file tool view expected; do
        "$run" "$prefix" reg delete "$avm\\AVMIGDCTRL" /f /reg:64 >/dev/null 2>&1
        "$run" "$prefix" reg delete "$avm\\AVMIGDCTRL" /f /reg:32 >/dev/null 2>&1
        "$run" "$prefix" "${!tool}" /S "$app_win\\${!file}" >/dev/null 2>&1
        other=$((view == 64 ? 32 : 64))
        expect_reg "$avm\\AVMIGDCTRL" FoundFritzBoxes "$view" "REG_SZ    $expected"
        expect_reg "$avm\\AVMIGDCTRL" FoundFritzBoxes "$other" ""
        echo "$name: ${!file} imported with ${!tool}, read back in the $view-bit view"
    done <<EOF
native_64 native regedit64 64 192.168.178.1
native_32 native regedit32 32 192.168.178.1
wow_64 wow regedit64 32 10.0.0.138
wow_32 wow regedit32 32 10.0.0.138
EOF
    machine_addresses
}

# --- wrong_type: a port stored as text in the 32-bit view, replaced once confirmed ----------

wrong_type() {
    local wow_port='HKLM\SOFTWARE\AVM\CAPIoTCP' wrong=" falscher Typ "
    "$run" "$prefix" reg add "$wow_port" /v Port /d 5031 /f /reg:32 >/dev/null 2>&1 ||
        fail "storing the port as text"
    fresh_app_folder wrong_type
    start_orvano OHNE
    local main=$last_pid
    script shown <<EOF || return
wait-window "$title" 60000
expect "$wrong" get-text "$title" ${mw_kWowPort}
EOF
    screenshot wrong_type "$title"
    script replaced <<EOF || return
click "$title" ${mw_kPortButton}
wait-window "$port" 20000
expect "$wrong" get-text "$port" ${port_dialog_kWowMissing}
expect "1" is-visible "$port" ${port_dialog_kWowMissing}
click "$port" ${port_dialog_kWowDefault}
click "$port" ${port_dialog_kWowChangeYes}
expect "000013a7" get-text "$port" ${port_dialog_kWowPort}
expect "0" is-visible "$port" ${port_dialog_kWowMissing}
click "$port" ${port_dialog_kOk}
wait-gone "$port"
expect "000013a7 (5031)" get-text "$title" ${mw_kWowPort}
EOF
    close_orvano close "$main"
    expect_reg "$wow_port" Port 32 "REG_DWORD    0x13a7"
    "$run" "$prefix" reg add "$wow_port" /v Port /t REG_DWORD /d 8080 /f /reg:32 >/dev/null 2>&1
}

# --- numbers: the warning about a dialled number with a country code, and its remedy --------

numbers() {
    local avm_user='HKCU\SOFTWARE\AVM\FRITZ! 2.0' nums=" Nebenstelle - Rufnummern"
    "$run" "$prefix" reg add "$avm_user\Fax\Rufnummern" /v Nummer1 /d +4930123 /f \
        >/dev/null 2>&1 || fail "storing a dialled number"
    fresh_app_folder numbers
    start_orvano OHNE
    local main=$last_pid
    script warned <<EOF || return
wait-window "$title" 60000
expect "1" is-visible "$title" ${mw_kWarningTicker}
EOF
    screenshot numbers "$title"
    script numbers_dialog <<EOF || return
notify "$title" ${mw_kWarningTicker} 0
wait-window "$nums" 20000
click "$nums" ${numbers_dialog_kShow}
expect " --> Telefonnummer hat Fehler! <-- | L\xe4ndervorwahl --> +4930123 <-- Fehler! " list-items "$nums" ${numbers_dialog_kList}
expect "0" get-check "$nums" ${numbers_dialog_kUsePlusMapper}
click "$nums" ${numbers_dialog_kUsePlusMapper}
expect "0" is-enabled "$nums" ${numbers_dialog_kApply}
type "$nums" ${numbers_dialog_kPlusMapper} 00
expect "1" is-enabled "$nums" ${numbers_dialog_kApply}
EOF
    script applied <<EOF || return
click "$nums" ${numbers_dialog_kApply}
click "$nums" ${numbers_dialog_kOk}
wait-gone "$nums"
EOF
    close_orvano close "$main"
    expect_reg "$avm_user\FRITZ!" UsePlusMapper 64 "REG_DWORD    0x1"
    expect_reg "$avm_user\FRITZ!" PlusMapper 64 "REG_SZ    00"
    "$run" "$prefix" reg delete "$avm_user\Fax\Rufnummern" /f >/dev/null 2>&1
}

# --- companions: the fax application's window brought forward, a program started beside ----

companions() {
    local fax_window="FRITZ!fax" dambra=" Dambra Dateipfad \xe4ndern"
    local fax_program
    fax_program=$(unix_path "C:\\$fax_dir")/FriFax32.exe
    fresh_app_folder companions
    cp "$bin/companion.exe" "$app/Dambra.exe" && cp "$bin/companion.exe" "$fax_program" ||
        { fail "the companion copies"; return; }
    rm -f "$fax_program.log" "$app/Dambra.exe.log"
    # The fax application open, but minimised.
    start_program "C:\\$fax_dir\\FriFax32.exe" "$fax_window"
    script fax_open <<EOF || return
wait-window "$fax_window" 60000
minimize "$fax_window"
expect "1" is-minimized "$fax_window"
EOF
    start_orvano OHNE
    local main=$last_pid
    # The main window looks for the fax application's window every five seconds.
    script fax_seen <<EOF || return
wait-window "$title" 60000
sleep 6000
expect "1" is-visible "$title" ${mw_kFaxSettingsLabel}
EOF
    screenshot companions "$title"
    script fax_forward <<EOF || return
notify "$title" ${mw_kFaxSettingsLabel} 0
expect "0" is-minimized "$fax_window"
expect "$fax_window" foreground
EOF
    # The command is posted a moment after the window came forward.
    local _
    for _ in $(seq 50); do [ -s "$fax_program.log" ] && break; sleep 0.1; done
    [ "$(tr -d '\r' <"$fax_program.log" 2>/dev/null)" = "WM_COMMAND 32834" ] ||
        fail "the fax application got \"$(cat "$fax_program.log" 2>/dev/null)\", expected its settings command"
    script dambra <<EOF || return
click "$title" ${mw_kDbaseButton}
wait-window "$dambra" 30000
EOF
    script quit <<EOF || return
click "$title" ${mw_kQuitButton}
expect " ? Programm beenden : JA / NEIN " answer-box " Info" Ja
wait-gone "$title" 20000
wait-gone "$dambra" 20000
EOF
    expect_exit "$main" 0
    [ "$(tr -d '\r' <"$app/Dambra.exe.log" 2>/dev/null)" = "SC_CLOSE" ] ||
        fail "Dambra was not closed with Orvano"
    drive kill-window "$fax_window" >/dev/null 2>&1
    printf 'MZ' >"$fax_program"
}

trap cleanup EXIT
case $scenario in
    contract | prepare)
        "$scenario"
        ;;
    fresh_machine | status | deployment | router_views | isdn | reg_files | wrong_type | numbers | \
        companions)
        ensure_display "$work" || exit 1
        "$scenario"
        ;;
    *)
        echo "unknown scenario $scenario" >&2
        exit 2
        ;;
esac
phase done
exit $failed
