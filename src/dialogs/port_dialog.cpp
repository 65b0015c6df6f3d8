#include "dialogs/port_dialog.h"

#include <string>

#include "config/endpoint.h"
#include "config/registry.h"
#include "dialogs/native_and_wow_sections.h"
#include "dialogs/registry_export.h"
#include "sysinfo/text.h"
#include "ui/control_table.h"

namespace orvano::dialogs {

using namespace port_dialog;
using config::RegistryView;
using ui::ControlKind;
using ui::kDefaultColor;

namespace {

using ui::kCentredLabel;
using ui::kFlatButton;
using ui::kNavy;
using ui::kRed;
using ui::kRightLabel;
using ui::kTitleBlue;
using ui::kWhite;

constexpr std::uint32_t kPortStyle = 0x50010801;  // read-only and centred until asked
constexpr int kPortDigits = 8;
constexpr int kFieldMargin = 2;
constexpr std::uint32_t kHighestPort = 0xFFFF;

// The controls in creation (and tab) order.
namespace client = config::client;
const std::string kValueLabel = ui::Blanked(client::kPortValue);

const ui::ControlRow kRows[] = {
    {kTitle, ControlKind::Label, " Orvano Port in Windows Registry Speichern ", 4, 4, 316, 10,
     kCentredLabel, 0, kTitleBlue},
    {kFrame, ControlKind::Frame, " Windows Registry Eintrag ", 5, 15, 315, 76},
    {kKeyName, ControlKind::Label, client::MachineKeyLine(client::kPortKey), 20, 28, 210, 10},
    {kMissing, ControlKind::Label, " Eintrag Fehlt ", 270, 28, 45, 10, kCentredLabel, 0, kRed},
    {kValueName, ControlKind::Label, kValueLabel, 10, 44, 65, 10, kRightLabel},
    {kPort, ControlKind::Edit, "", 85, 44, 60, 10, kPortStyle, ui::kWsExStaticEdge},
    {kHexName, ControlKind::Label, " Hex ", 149, 45, 20, 10},
    {kChange, ControlKind::Button, " Ändern ", 175, 42, 41, 15, kFlatButton},
    {kChangeAsked, ControlKind::Label, " Ändern ", 175, 44, 40, 10, kCentredLabel},
    {kDelete, ControlKind::Button, " Löschen ", 255, 42, 41, 15, kFlatButton},
    {kDeleteAsked, ControlKind::Label, " Löschen ", 255, 44, 40, 10, kCentredLabel},
    {kChangeYes, ControlKind::Button, " Ja ", 160, 55, 30, 15, kFlatButton},
    {kChangeNo, ControlKind::Button, " Nein ", 200, 55, 30, 15, kFlatButton},
    {kDeleteYes, ControlKind::Button, " Ja ", 240, 55, 30, 15, kFlatButton},
    {kDeleteNo, ControlKind::Button, " Nein ", 280, 55, 30, 15, kFlatButton},
    {kPresetName, ControlKind::Label, " Vorgabe: ", 10, 62, 65, 10, kRightLabel},
    {kDefault, ControlKind::Button, " 000013a7 ", 90, 61, 50, 12, kFlatButton},
    {kRegFile, ControlKind::Button, " Reg Datei ", 35, 75, 45, 12, kFlatButton},
    {kWowFrame, ControlKind::Frame, " Windows Registry Eintrag Wow6432Node ", 5, 95, 315, 76},
    {kWowKeyName, ControlKind::Label, client::MachineKeyLine(client::kPortKeyWow), 20, 108, 250,
     10},
    {kWowMissing, ControlKind::Label, " Eintrag Fehlt ", 270, 108, 45, 10, kCentredLabel, 0, kRed},
    {kWowValueName, ControlKind::Label, kValueLabel, 10, 124, 65, 10, kRightLabel},
    {kWowPort, ControlKind::Edit, "", 85, 124, 60, 10, kPortStyle, ui::kWsExStaticEdge},
    {kWowHexName, ControlKind::Label, " Hex ", 149, 125, 20, 10},
    {kWowChange, ControlKind::Button, " Ändern ", 175, 122, 41, 15, kFlatButton},
    {kWowChangeAsked, ControlKind::Label, " Ändern ", 175, 124, 40, 10, kCentredLabel},
    {kWowDelete, ControlKind::Button, " Löschen ", 255, 122, 41, 15, kFlatButton},
    {kWowDeleteAsked, ControlKind::Label, " Löschen ", 255, 124, 40, 10, kCentredLabel},
    {kWowChangeYes, ControlKind::Button, " Ja ", 160, 135, 30, 15, kFlatButton},
    {kWowChangeNo, ControlKind::Button, " Nein ", 200, 135, 30, 15, kFlatButton},
    {kWowDeleteYes, ControlKind::Button, " Ja ", 240, 135, 30, 15, kFlatButton},
    {kWowDeleteNo, ControlKind::Button, " Nein ", 280, 135, 30, 15, kFlatButton},
    {kWowPresetName, ControlKind::Label, " Vorgabe: ", 10, 142, 65, 10, kRightLabel},
    {kWowRegFile, ControlKind::Button, " Reg Datei ", 35, 155, 45, 12, kFlatButton},
    {kWowDefault, ControlKind::Button, " 000013a7 ", 90, 141, 50, 12, kFlatButton},
    {kSectionSwitch, ControlKind::CheckBox, " Wow6432Node ", 242, 155, 70, 10},
    {kOk, ControlKind::Button, "OK", 135, 178, 55, 15},
    {kPortHint, ControlKind::Label, " Port: 000013a7 (5031) ", 5, 175, 125, 10, 0, 0, kNavy},
    {kLineHint, ControlKind::Label,
     ui::Blanked(RegNumberValueLine(client::kPortValue, config::kDefaultPortText)), 5, 185, 125, 10,
     0, 0, kNavy},
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

constexpr ViewSection kSections[] = {
    {RegistryView::Native,
     kPort,
     kMissing,
     kRegFile,
     RegEntry::Port,
     kNativeChange,
     kNativeDelete,
     {kDefault, 0}},
    {RegistryView::Wow6432Node,
     kWowPort,
     kWowMissing,
     kWowRegFile,
     RegEntry::PortWow,
     kWowChangeRow,
     kWowDeleteRow,
     {kWowDefault, 0}},
};

// Exactly eight hex digits, of a number that can be a TCP port: a 0 or anything above 65535
// would replace a working port with one the client cannot use.
bool IsPortText(const std::string& hex) {
    if (hex.size() != kPortDigits) return false;
    std::uint32_t number = config::HexTextNumber(hex);
    return number > 0 && number <= kHighestPort;
}

void ConfirmChange(ui::Dialog dialog, NativeAndWowSections& views, int index) {
    std::string hex = sysinfo::KeepOnly(ui::GetControlText(dialog, views.Section(index).field),
                                        sysinfo::kHexDigits);
    views.FinishChange(dialog, index, hex, IsPortText(hex));
}

// Offers the client's default port for confirmation; it cannot be edited on the way.
void OfferDefault(ui::Dialog dialog, NativeAndWowSections& views, int index, int pressed) {
    const ViewSection& section = views.Section(index);
    ui::SetControlText(dialog, section.field, config::kDefaultPortText);
    SwitchRow(dialog, section.changeRow, true);
    SwitchRow(dialog, section.deleteRow, false);
    ui::EnableControl(dialog, section.regFile, false);
    ui::SetEditReadOnly(dialog, section.field, true);
    ui::FocusControl(dialog, pressed);
}

}  // namespace

int ShowPortDialog(ui::Window owner) {
    NativeAndWowSections views(
        kSections, kSectionSwitch, kOk,
        {config::ReadPort, config::ChangePort, ConfirmChange, OfferDefault, false});
    ui::Dialog dialog = ui::NewDialog(owner, kPortTitle, 44, 44, 325, 200, ui::kDialogStyle,
                                      ui::kWsExControlParent);
    ui::AddControls(dialog, kRows);
    for (const ViewSection& section : kSections) {
        ui::SetControlColor(dialog, section.field, kDefaultColor, kWhite);
        ui::SetEditMargins(dialog, section.field, kFieldMargin);
        ui::SendToWindow(ui::ControlWindow(dialog, section.field), ui::kEmLimitText, kPortDigits,
                         0);
    }
    ui::SetDialogIcon(dialog, "#555");
    return ui::RunModal(
        dialog, [&views](ui::Dialog d, std::uint32_t message, ui::WParam wParam, ui::LParam) {
            return views.Callback(d, message, wParam);
        });
}

}  // namespace orvano::dialogs
