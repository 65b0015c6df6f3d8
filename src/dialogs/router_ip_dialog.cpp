#include "dialogs/router_ip_dialog.h"

#include <string>

#include "config/endpoint.h"
#include "config/name_resolution.h"
#include "config/registry.h"
#include "dialogs/confirmation_row.h"
#include "sysinfo/text.h"
#include "ui/control_table.h"
#include "ui/focus_memory.h"

namespace orvano::dialogs {

using namespace router_ip;
using config::RegistryView;
using ui::ControlKind;
using ui::kDefaultColor;
using ui::Rgb;

namespace {

constexpr std::uint32_t kCentred = 0x50000001;
constexpr std::uint32_t kRight = 0x50000002;
constexpr std::uint32_t kFlat = 0x50018F00;
constexpr std::uint32_t kAddressStyle = 0x50010000;
constexpr std::int32_t kTitleBlue = Rgb(64, 128, 192);
constexpr std::int32_t kRed = Rgb(255, 0, 0);
constexpr std::int32_t kNavy = Rgb(0, 0, 128);
constexpr char kAddressClass[] = "SysIPAddress32";
constexpr char kNoAddress[] = "255.255.255.255";
constexpr char kAddressCharacters[] = "0123456789.";

std::string Padded(const char* text) {
    return std::string(" ") + text + " ";
}

// The controls in creation (and tab) order.
const ui::ControlRow kRows[] = {
    {kTitle, ControlKind::Label, " Orvano IP-Adresse in Windows Registry Speichern ", 4, 4, 316, 10,
     kCentred, 0, kTitleBlue},
    {kFrame, ControlKind::Frame, " Windows Registry Eintrag ", 5, 15, 315, 76},
    {kKeyName, ControlKind::Label, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\AVMIGDCTRL]", 15, 28, 210,
     10},
    {kMissing, ControlKind::Label, " Eintrag Fehlt ", 270, 28, 45, 10, kCentred, 0, kRed},
    {kValueName, ControlKind::Label, " FoundFritzBoxes ", 10, 44, 65, 10, kRight},
    {kAddress, ControlKind::Custom, kNoAddress, 80, 43, 68, 12, kAddressStyle, ui::kWsExClientEdge},
    {kChange, ControlKind::Button, " Ändern ", 175, 42, 41, 15, kFlat},
    {kChangeAsked, ControlKind::Label, " Ändern ", 175, 44, 40, 10, kCentred},
    {kDelete, ControlKind::Button, " Löschen ", 255, 42, 41, 15, kFlat},
    {kDeleteAsked, ControlKind::Label, " Löschen ", 255, 44, 40, 10, kCentred},
    {kChangeYes, ControlKind::Button, " Ja ", 160, 55, 30, 15, kFlat},
    {kChangeNo, ControlKind::Button, " Nein ", 200, 55, 30, 15, kFlat},
    {kDeleteYes, ControlKind::Button, " Ja ", 240, 55, 30, 15, kFlat},
    {kDeleteNo, ControlKind::Button, " Nein ", 280, 55, 30, 15, kFlat},
    {kPresetName, ControlKind::Label, " Vorgabe: ", 10, 62, 65, 10, kRight},
    {kHost12, ControlKind::Button, Padded(config::kRouterHostName1), 90, 61, 50, 12, kFlat},
    {kHost3, ControlKind::Button, Padded(config::kRouterHostName3), 90, 73, 50, 12, kFlat},
    {kRegFile, ControlKind::Button, " Reg Datei ", 35, 75, 45, 12, kFlat},
    {kWowFrame, ControlKind::Frame, " Windows Registry Eintrag Wow6432Node ", 5, 95, 315, 76},
    {kWowKeyName, ControlKind::Label,
     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM\\AVMIGDCTRL]", 15, 108, 260, 10},
    {kWowMissing, ControlKind::Label, " Eintrag Fehlt ", 270, 108, 45, 10, kCentred, 0, kRed},
    {kWowValueName, ControlKind::Label, " FoundFritzBoxes ", 10, 124, 65, 10, kRight},
    {kWowAddress, ControlKind::Custom, kNoAddress, 80, 123, 68, 12, kAddressStyle,
     ui::kWsExClientEdge},
    {kWowChange, ControlKind::Button, " Ändern ", 175, 122, 41, 15, kFlat},
    {kWowChangeAsked, ControlKind::Label, " Ändern ", 175, 124, 40, 10, kCentred},
    {kWowDelete, ControlKind::Button, " Löschen ", 255, 122, 41, 15, kFlat},
    {kWowDeleteAsked, ControlKind::Label, " Löschen ", 255, 124, 40, 10, kCentred},
    {kWowChangeYes, ControlKind::Button, " Ja ", 160, 135, 30, 15, kFlat},
    {kWowChangeNo, ControlKind::Button, " Nein ", 200, 135, 30, 15, kFlat},
    {kWowDeleteYes, ControlKind::Button, " Ja ", 240, 135, 30, 15, kFlat},
    {kWowDeleteNo, ControlKind::Button, " Nein ", 280, 135, 30, 15, kFlat},
    {kWowPresetName, ControlKind::Label, " Vorgabe: ", 10, 142, 65, 10, kRight},
    {kWowRegFile, ControlKind::Button, " Reg Datei ", 35, 155, 45, 12, kFlat},
    {kWowHost12, ControlKind::Button, Padded(config::kRouterHostName1), 90, 141, 50, 12, kFlat},
    {kWowHost3, ControlKind::Button, Padded(config::kRouterHostName3), 90, 153, 50, 12, kFlat},
    {kSectionSwitch, ControlKind::CheckBox, " Wow6432Node ", 242, 155, 70, 10},
    {kOk, ControlKind::Button, "OK", 135, 178, 55, 15},
    {kAddressHint, ControlKind::Label, " IP-Adresse: ", 5, 175, 125, 10, 0, 0, kNavy},
    {kLineHint, ControlKind::Label, " \"FoundFritzBoxes\"=\"xxx.xxx.xxx.xxx\" ", 5, 185, 125, 10, 0,
     0, kNavy},
};

// The four questions: button, label shown instead, " Ja ", " Nein ", the buttons that rest.
constexpr ConfirmationRow kNativeChange = {
    kChange, kChangeAsked, kChangeYes, kChangeNo, {kHost12, kHost3, kRegFile}, 0};
constexpr ConfirmationRow kNativeDelete = {
    kDelete, kDeleteAsked, kDeleteYes, kDeleteNo, {kHost12, kHost3, kRegFile}, 0};
constexpr ConfirmationRow kWowChangeRow = {
    kWowChange, kWowChangeAsked, kWowChangeYes, kWowChangeNo, {kWowHost12, kWowHost3, kWowRegFile},
    0};
constexpr ConfirmationRow kWowDeleteRow = {
    kWowDelete, kWowDeleteAsked, kWowDeleteYes, kWowDeleteNo, {kWowHost12, kWowHost3, kWowRegFile},
    0};

// One registry view's controls.
struct Section {
    RegistryView view;
    int field, missing, host12, host3, regFile;
    ConfirmationRow changeRow, deleteRow;
};

constexpr int kNative = 0, kWow = 1;
constexpr Section kSections[] = {
    {RegistryView::Native, kAddress, kMissing, kHost12, kHost3, kRegFile, kNativeChange,
     kNativeDelete},
    {RegistryView::Wow6432Node, kWowAddress, kWowMissing, kWowHost12, kWowHost3, kWowRegFile,
     kWowChangeRow, kWowDeleteRow},
};

// Only one router IP dialog is open at a time.
struct State {
    int valid[2] = {0, 0};  // the last ReadRouterAddress of each view
    int wowKeyPresent = 0;
    ui::FocusMemory focus;
};

State& TheState() {
    static State state;
    return state;
}

// Puts the stored address into the field ("" when none is stored); 1 when one is.
int ShowStoredAddress(ui::Dialog dialog, const Section& section) {
    std::string address;
    int stored = config::ReadRouterAddress(section.view, address);
    ui::SetControlText(dialog, section.field, address);
    return stored;
}

// After a write or delete: the field, the delete button and the mark follow what is stored.
void ShowStoredEntry(ui::Dialog dialog, int index) {
    const Section& section = kSections[index];
    int stored = ShowStoredAddress(dialog, section);
    TheState().valid[index] = stored;
    ui::EnableControl(dialog, section.deleteRow.button, stored == 1);
    ui::ShowControl(dialog, section.missing, stored == 0);
}

void EnableSection(ui::Dialog dialog, const Section& section, bool enabled) {
    for (int id : {section.field, section.changeRow.button, section.deleteRow.button,
                   section.host12, section.host3, section.regFile})
        ui::EnableControl(dialog, id, enabled);
}

void Open(ui::Dialog dialog) {
    State& s = TheState();
    for (const Section& section : kSections) {
        SwitchRow(dialog, section.changeRow, false);
        SwitchRow(dialog, section.deleteRow, false);
    }
    // A missing address is marked and cannot be deleted; a missing native one takes the focus.
    int focus = kOk;
    for (int index : {kWow, kNative}) {
        const Section& section = kSections[index];
        std::string address;
        s.valid[index] = config::ReadRouterAddress(section.view, address);
        ui::ShowControl(dialog, section.missing, s.valid[index] == 0);
        if (s.valid[index] == 1) {
            ui::SetControlText(dialog, section.field, address);
            focus = kOk;
        } else {
            ui::EnableControl(dialog, section.deleteRow.button, false);
            focus = section.field;
        }
    }
    s.wowKeyPresent = config::VendorKeyExists(config::kVendorKeyWow6432Node);
    ui::SetCheck(dialog, kSectionSwitch, s.wowKeyPresent);
    const int editable = s.wowKeyPresent == 1 ? kWow : kNative;
    const Section& other = kSections[1 - editable];
    ui::ShowControl(dialog, other.missing, false);
    EnableSection(dialog, other, false);
    if (s.wowKeyPresent == 0) ui::EnableControl(dialog, kSectionSwitch, false);
    // Never leave the focus on a control of the section that cannot be edited.
    if (!ui::ControlEnabled(dialog, focus))
        focus = s.valid[editable] == 1 ? kOk : kSections[editable].field;
    ui::FocusControl(dialog, focus);
}

void ConfirmChange(ui::Dialog dialog, int index) {
    const Section& section = kSections[index];
    ui::SetBusyCursor(true);
    std::string address =
        sysinfo::KeepOnly(ui::GetControlText(dialog, section.field), kAddressCharacters);
    if (config::ConfirmAddress(address) == 1) {
        config::ChangeRouterAddress(section.view, address, config::kActionWrite);
        ShowStoredEntry(dialog, index);
    } else {
        ShowStoredAddress(dialog, section);
    }
    SwitchRow(dialog, section.changeRow, false);
    ui::SetBusyCursor(false);
}

void ConfirmDelete(ui::Dialog dialog, int index) {
    const Section& section = kSections[index];
    config::ChangeRouterAddress(section.view, "", config::kActionDelete);
    ShowStoredEntry(dialog, index);
    SwitchRow(dialog, section.deleteRow, false);
}

// Fills the field from the first host name that resolves and asks whether to store it.
void FillFromHost(ui::Dialog dialog, int index, int pressed,
                  std::initializer_list<const char*> names) {
    const Section& section = kSections[index];
    ui::SetBusyCursor(true);
    for (const char* name : names) {
        std::string address;
        if (config::ResolveHostAddress(name, address) == 0) continue;
        ui::SetControlText(dialog, section.field, address);
        SwitchRow(dialog, section.changeRow, true);
        SwitchRow(dialog, section.deleteRow, false);
        // The pressed button stays usable to look again; the other one and the export rest.
        ui::EnableControl(dialog, pressed == section.host12 ? section.host3 : section.host12,
                          false);
        ui::EnableControl(dialog, section.regFile, false);
        ui::FocusControl(dialog, pressed);
        break;
    }
    ui::SetBusyCursor(false);
}

// The check box makes one section editable and drops any question of the other.
void SwitchSection(ui::Dialog dialog) {
    const int editable = ui::GetCheck(dialog, kSectionSwitch) == ui::kChecked ? kWow : kNative;
    const Section& on = kSections[editable];
    const Section& off = kSections[1 - editable];
    ui::ShowControl(dialog, off.missing, false);
    // A dropped change leaves the stored address in the field, as " Nein " would.
    if (RowAsking(dialog, off.changeRow)) ShowStoredAddress(dialog, off);
    SwitchRow(dialog, off.changeRow, false);
    SwitchRow(dialog, off.deleteRow, false);
    EnableSection(dialog, off, false);

    EnableSection(dialog, on, true);
    std::string address;
    const int stored = config::ReadRouterAddress(on.view, address);
    ui::EnableControl(dialog, on.deleteRow.button, stored == 1);
    ui::ShowControl(dialog, on.missing, stored == 0);
    ui::FocusControl(dialog, kSectionSwitch);
}

void SectionCommand(ui::Dialog dialog, int index, int id) {
    const Section& section = kSections[index];
    if (id == section.changeRow.button) {
        SwitchRow(dialog, section.deleteRow, false);
        SwitchRow(dialog, section.changeRow, true);
    } else if (id == section.changeRow.yes) {
        ConfirmChange(dialog, index);
    } else if (id == section.changeRow.no) {
        ShowStoredAddress(dialog, section);
        SwitchRow(dialog, section.changeRow, false);
    } else if (id == section.deleteRow.button) {
        SwitchRow(dialog, section.changeRow, false);
        SwitchRow(dialog, section.deleteRow, true);
    } else if (id == section.deleteRow.yes) {
        ConfirmDelete(dialog, index);
    } else if (id == section.deleteRow.no) {
        ShowStoredAddress(dialog, section);
        SwitchRow(dialog, section.deleteRow, false);
    } else if (id == section.host12) {
        FillFromHost(dialog, index, id, {config::kRouterHostName1, config::kRouterHostName2});
    } else if (id == section.host3) {
        FillFromHost(dialog, index, id, {config::kRouterHostName3});
    } else if (id == section.regFile) {
        ShowRegistryEntryDialog(dialog, section.regFile);
        ui::FocusControl(dialog, section.regFile);
    }
}

void Command(ui::Dialog dialog, int id, std::uint32_t code) {
    if (id == kSectionSwitch) return SwitchSection(dialog);
    if (code > 1) return;
    if (id == kOk) {
        const State& s = TheState();
        ui::CloseDialog(dialog, s.valid[kNative] == 1 || s.valid[kWow] == 1 ? 1 : 0);
        return;
    }
    SectionCommand(dialog, kNative, id);
    SectionCommand(dialog, kWow, id);
}

std::intptr_t Callback(ui::Dialog dialog, std::uint32_t message, ui::WParam wParam, ui::LParam) {
    switch (message) {
        case ui::kWmInitDialog:
            Open(dialog);
            break;
        case ui::kWmNcActivate:
            TheState().focus.OnNcActivate(wParam);
            break;
        case ui::kWmCommand:
            Command(dialog, ui::CommandId(wParam), ui::CommandCode(wParam));
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace

int ShowRouterIpDialog(ui::Window owner) {
    TheState() = State{};
    ui::Dialog dialog = ui::NewDialog(owner, kRouterIpTitle, 44, 44, 325, 200, ui::kDialogStyle,
                                      ui::kWsExControlParent);
    ui::AddControls(dialog, kRows, kAddressClass);
    ui::SetDialogIcon(dialog, "#555");
    return ui::RunModal(dialog, Callback);
}

}  // namespace orvano::dialogs
