#include "dialogs/port_dialog.h"

#include <string>

#include "config/endpoint.h"
#include "config/registry.h"
#include "dialogs/confirmation_row.h"
#include "sysinfo/text.h"
#include "ui/control_table.h"
#include "ui/focus_memory.h"

namespace orvano::dialogs {

using namespace port_dialog;
using config::RegistryView;
using ui::ControlKind;
using ui::kDefaultColor;
using ui::Rgb;

namespace {

constexpr std::uint32_t kCentred = 0x50000001;
constexpr std::uint32_t kRight = 0x50000002;
constexpr std::uint32_t kFlat = 0x50018F00;
constexpr std::uint32_t kPortStyle = 0x50010801;  // read-only and centred until asked
constexpr std::int32_t kTitleBlue = Rgb(64, 128, 192);
constexpr std::int32_t kRed = Rgb(255, 0, 0);
constexpr std::int32_t kNavy = Rgb(0, 0, 128);
constexpr std::int32_t kWhite = Rgb(255, 255, 255);
constexpr int kPortDigits = 8;
constexpr int kFieldMargin = 2;
constexpr char kHexDigits[] = "0123456789abcdefABCDEF";
constexpr std::uint32_t kHighestPort = 0xFFFF;

// The controls in creation (and tab) order.
const ui::ControlRow kRows[] = {
    {kTitle, ControlKind::Label, " Orvano Port in Windows Registry Speichern ", 4, 4, 316, 10,
     kCentred, 0, kTitleBlue},
    {kFrame, ControlKind::Frame, " Windows Registry Eintrag ", 5, 15, 315, 76},
    {kKeyName, ControlKind::Label, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\CAPIoTCP]", 20, 28, 210,
     10},
    {kMissing, ControlKind::Label, " Eintrag Fehlt ", 270, 28, 45, 10, kCentred, 0, kRed},
    {kValueName, ControlKind::Label, " Port ", 10, 44, 65, 10, kRight},
    {kPort, ControlKind::Edit, "", 85, 44, 60, 10, kPortStyle, ui::kWsExStaticEdge},
    {kHexName, ControlKind::Label, " Hex ", 149, 45, 20, 10},
    {kChange, ControlKind::Button, " Ändern ", 175, 42, 41, 15, kFlat},
    {kChangeAsked, ControlKind::Label, " Ändern ", 175, 44, 40, 10, kCentred},
    {kDelete, ControlKind::Button, " Löschen ", 255, 42, 41, 15, kFlat},
    {kDeleteAsked, ControlKind::Label, " Löschen ", 255, 44, 40, 10, kCentred},
    {kChangeYes, ControlKind::Button, " Ja ", 160, 55, 30, 15, kFlat},
    {kChangeNo, ControlKind::Button, " Nein ", 200, 55, 30, 15, kFlat},
    {kDeleteYes, ControlKind::Button, " Ja ", 240, 55, 30, 15, kFlat},
    {kDeleteNo, ControlKind::Button, " Nein ", 280, 55, 30, 15, kFlat},
    {kPresetName, ControlKind::Label, " Vorgabe: ", 10, 62, 65, 10, kRight},
    {kDefault, ControlKind::Button, " 000013a7 ", 90, 61, 50, 12, kFlat},
    {kRegFile, ControlKind::Button, " Reg Datei ", 35, 75, 45, 12, kFlat},
    {kWowFrame, ControlKind::Frame, " Windows Registry Eintrag Wow6432Node ", 5, 95, 315, 76},
    {kWowKeyName, ControlKind::Label, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM\\CAPIoTCP]",
     20, 108, 250, 10},
    {kWowMissing, ControlKind::Label, " Eintrag Fehlt ", 270, 108, 45, 10, kCentred, 0, kRed},
    {kWowValueName, ControlKind::Label, " Port ", 10, 124, 65, 10, kRight},
    {kWowPort, ControlKind::Edit, "", 85, 124, 60, 10, kPortStyle, ui::kWsExStaticEdge},
    {kWowHexName, ControlKind::Label, " Hex ", 149, 125, 20, 10},
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
    {kWowDefault, ControlKind::Button, " 000013a7 ", 90, 141, 50, 12, kFlat},
    {kSectionSwitch, ControlKind::CheckBox, " Wow6432Node ", 242, 155, 70, 10},
    {kOk, ControlKind::Button, "OK", 135, 178, 55, 15},
    {kPortHint, ControlKind::Label, " Port: 000013a7 (5031) ", 5, 175, 125, 10, 0, 0, kNavy},
    {kLineHint, ControlKind::Label, " \"Port\"=dword:000013a7 ", 5, 185, 125, 10, 0, 0, kNavy},
};

// The four questions: button, label shown instead, " Ja ", " Nein ", the buttons that rest,
// and the field a change makes writable.
constexpr ConfirmationRow kNativeChange = {kChange,   kChangeAsked,         kChangeYes,
                                           kChangeNo, {kDefault, kRegFile}, kPort};
constexpr ConfirmationRow kNativeDelete = {kDelete,   kDeleteAsked,         kDeleteYes,
                                           kDeleteNo, {kDefault, kRegFile}, 0};
constexpr ConfirmationRow kWowChangeRow = {
    kWowChange, kWowChangeAsked, kWowChangeYes, kWowChangeNo, {kWowDefault, kWowRegFile}, kWowPort};
constexpr ConfirmationRow kWowDeleteRow = {
    kWowDelete, kWowDeleteAsked, kWowDeleteYes, kWowDeleteNo, {kWowDefault, kWowRegFile}, 0};

// One registry view's controls.
struct Section {
    RegistryView view;
    int field, missing, preset, regFile;
    ConfirmationRow changeRow, deleteRow;
};

constexpr int kNative = 0, kWow = 1;
constexpr Section kSections[] = {
    {RegistryView::Native, kPort, kMissing, kDefault, kRegFile, kNativeChange, kNativeDelete},
    {RegistryView::Wow6432Node, kWowPort, kWowMissing, kWowDefault, kWowRegFile, kWowChangeRow,
     kWowDeleteRow},
};

// Only one port dialog is open at a time.
struct State {
    int valid[2] = {0, 0};  // the last ReadPort of each view
    int wowKeyPresent = 0;
    ui::FocusMemory focus;
};

State& TheState() {
    static State state;
    return state;
}

void SetReadOnly(ui::Dialog dialog, int field, bool readOnly) {
    ui::SendToWindow(ui::ControlWindow(dialog, field), ui::kEmSetReadOnly, readOnly ? 1 : 0, 0);
}

// Puts the stored port's hex text into the field ("" when there is no value; a stored 0 shows
// as such); 1 when a port above 0 is stored.
int ShowStoredPort(ui::Dialog dialog, const Section& section) {
    std::string hex;
    int stored = config::ReadPort(section.view, hex);
    ui::SetControlText(dialog, section.field, hex);
    return stored;
}

// After a write or delete: the field, the delete button and the mark follow what is stored.
void ShowStoredEntry(ui::Dialog dialog, int index) {
    const Section& section = kSections[index];
    int stored = ShowStoredPort(dialog, section);
    TheState().valid[index] = stored;
    ui::EnableControl(dialog, section.deleteRow.button, stored == 1);
    ui::ShowControl(dialog, section.missing, stored == 0);
}

void EnableSection(ui::Dialog dialog, const Section& section, bool enabled) {
    for (int id : {section.field, section.changeRow.button, section.deleteRow.button,
                   section.preset, section.regFile})
        ui::EnableControl(dialog, id, enabled);
}

// Exactly eight hex digits, of a number that can be a TCP port: a 0 or anything above 65535
// would replace a working port with one the client cannot use.
bool IsPortText(const std::string& hex) {
    if (hex.size() != kPortDigits) return false;
    std::uint32_t number = config::HexTextNumber(hex);
    return number > 0 && number <= kHighestPort;
}

void Open(ui::Dialog dialog) {
    State& s = TheState();
    for (const Section& section : kSections) {
        SwitchRow(dialog, section.changeRow, false);
        SwitchRow(dialog, section.deleteRow, false);
    }
    // A missing port is marked and cannot be deleted; a missing native one takes the focus.
    int focus = kOk;
    for (int index : {kWow, kNative}) {
        const Section& section = kSections[index];
        s.valid[index] = ShowStoredPort(dialog, section);
        ui::ShowControl(dialog, section.missing, s.valid[index] == 0);
        if (s.valid[index] == 0) ui::EnableControl(dialog, section.deleteRow.button, false);
        focus = s.valid[index] == 1 ? kOk : section.field;
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
    std::string hex = sysinfo::KeepOnly(ui::GetControlText(dialog, section.field), kHexDigits);
    if (IsPortText(hex)) {
        config::ChangePort(section.view, hex, config::kActionWrite);
        ShowStoredEntry(dialog, index);
    } else {
        ShowStoredPort(dialog, section);
    }
    SwitchRow(dialog, section.changeRow, false);
}

void ConfirmDelete(ui::Dialog dialog, int index) {
    const Section& section = kSections[index];
    config::ChangePort(section.view, "", config::kActionDelete);
    ShowStoredEntry(dialog, index);
    SwitchRow(dialog, section.deleteRow, false);
}

// Offers the client's default port for confirmation; it cannot be edited on the way.
void OfferDefault(ui::Dialog dialog, const Section& section) {
    ui::SetControlText(dialog, section.field, config::kDefaultPortText);
    SwitchRow(dialog, section.changeRow, true);
    SwitchRow(dialog, section.deleteRow, false);
    ui::EnableControl(dialog, section.regFile, false);
    SetReadOnly(dialog, section.field, true);
    ui::FocusControl(dialog, section.preset);
}

// The check box makes one section editable and drops any question of the other.
void SwitchSection(ui::Dialog dialog) {
    const int editable = ui::GetCheck(dialog, kSectionSwitch) == ui::kChecked ? kWow : kNative;
    const Section& on = kSections[editable];
    const Section& off = kSections[1 - editable];
    ui::ShowControl(dialog, off.missing, false);
    // A dropped change leaves the stored port in the field, as " Nein " would.
    if (RowAsking(dialog, off.changeRow)) ShowStoredPort(dialog, off);
    SwitchRow(dialog, off.changeRow, false);
    SwitchRow(dialog, off.deleteRow, false);
    EnableSection(dialog, off, false);

    EnableSection(dialog, on, true);
    std::string hex;
    const int stored = config::ReadPort(on.view, hex);
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
        ShowStoredPort(dialog, section);
        SwitchRow(dialog, section.changeRow, false);
    } else if (id == section.deleteRow.button) {
        SwitchRow(dialog, section.changeRow, false);
        SwitchRow(dialog, section.deleteRow, true);
    } else if (id == section.deleteRow.yes) {
        ConfirmDelete(dialog, index);
    } else if (id == section.deleteRow.no) {
        ShowStoredPort(dialog, section);
        SwitchRow(dialog, section.deleteRow, false);
    } else if (id == section.preset) {
        OfferDefault(dialog, section);
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

int ShowPortDialog(ui::Window owner) {
    TheState() = State{};
    ui::Dialog dialog = ui::NewDialog(owner, kPortTitle, 44, 44, 325, 200, ui::kDialogStyle,
                                      ui::kWsExControlParent);
    ui::AddControls(dialog, kRows);
    for (const Section& section : kSections) {
        ui::SetControlColor(dialog, section.field, kDefaultColor, kWhite);
        ui::SetEditMargins(dialog, section.field, kFieldMargin);
        ui::SendToWindow(ui::ControlWindow(dialog, section.field), ui::kEmLimitText, kPortDigits,
                         0);
    }
    ui::SetDialogIcon(dialog, "#555");
    return ui::RunModal(dialog, Callback);
}

}  // namespace orvano::dialogs
