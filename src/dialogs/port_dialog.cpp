#include "dialogs/port_dialog.h"

#include <string>
#include <vector>

#include "config/endpoint.h"
#include "config/registry.h"
#include "dialogs/native_and_wow_sections.h"
#include "dialogs/registry_export.h"
#include "sysinfo/text.h"
#include "ui/control_table.h"
#include "ui/dialog_handlers.h"

namespace orvano::dialogs {

using namespace port_dialog;
using config::RegistryView;
using ui::ControlKind;
using ui::kDefaultColor;

namespace {

using ui::kCentredLabel;
using ui::kFlatButton;
using ui::kNavy;
using ui::kTitleBlue;
using ui::kWhite;

constexpr std::uint32_t kPortStyle = 0x50010801;  // read-only and centred until asked
constexpr int kPortDigits = 8;
constexpr int kFieldMargin = 2;
constexpr std::uint32_t kHighestPort = 0xFFFF;

namespace client = config::client;

constexpr SectionIds kNativeIds = {
    kFrame,     kKeyName,     kMissing,    kValueName,    kPort,   kHexName,
    kChange,    kChangeAsked, kChangeYes,  kChangeNo,     kDelete, kDeleteAsked,
    kDeleteYes, kDeleteNo,    kPresetName, {kDefault, 0}, kRegFile};
constexpr SectionIds kWowIds = {
    kWowFrame,     kWowKeyName,     kWowMissing,    kWowValueName,    kWowPort,   kWowHexName,
    kWowChange,    kWowChangeAsked, kWowChangeYes,  kWowChangeNo,     kWowDelete, kWowDeleteAsked,
    kWowDeleteYes, kWowDeleteNo,    kWowPresetName, {kWowDefault, 0}, kWowRegFile};
// A change edits the port in place: the field is writable only while it is asked.
constexpr ViewSection kSections[] = {
    MakeSection(RegistryView::Native, RegEntry::Port, kNativeIds, true),
    MakeSection(RegistryView::Wow6432Node, RegEntry::PortWow, kWowIds, true)};

const SectionLook kLook = {
    {client::kPortKey, client::kPortKeyWow},
    20,
    {210, 250},
    ui::Blanked(client::kPortValue),
    {0, ControlKind::Edit, "", 85, 44, 60, 10, kPortStyle, ui::kWsExStaticEdge},
    {0, ControlKind::Label, " Hex ", 149, 45, 20, 10},
    {{0, ControlKind::Button, " 000013a7 ", 90, 61, 50, 12, kFlatButton}, {}}};

// The controls in creation (and tab) order.
std::vector<ui::ControlRow> Rows() {
    return DialogRows(
        {kTitle, ControlKind::Label, " Orvano Port in Windows Registry Speichern ", 4, 4, 316, 10,
         kCentredLabel, 0, kTitleBlue},
        kSections, kLook,
        {{kSectionSwitch, ControlKind::CheckBox, " Wow6432Node ", 242, 155, 70, 10},
         {kOk, ControlKind::Button, "OK", 135, 178, 55, 15},
         {kPortHint, ControlKind::Label, " Port: 000013a7 (5031) ", 5, 175, 125, 10, 0, 0, kNavy},
         {kLineHint, ControlKind::Label,
          ui::Blanked(RegNumberValueLine(client::kPortValue, config::kDefaultPortText)), 5, 185,
          125, 10, 0, 0, kNavy}});
}

// Exactly eight hex digits, of a number that can be a TCP port: a 0 or anything above 65535
// would replace a working port with one the client cannot use.
bool IsPortText(const std::string& hex) {
    if (hex.size() != kPortDigits) return false;
    std::uint32_t number = config::HexTextNumber(hex);
    return number > 0 && number <= kHighestPort;
}

// " Ja ": the typed port is stored when it is one.
void ConfirmChange(ui::Dialog dialog, NativeAndWowSections& views, int index) {
    std::string hex = sysinfo::KeepOnly(ui::GetControlText(dialog, views.Section(index).field),
                                        sysinfo::kHexDigits);
    views.FinishChange(dialog, index, hex, IsPortText(hex));
}

// Offers the client's default port for confirmation; it cannot be edited on the way.
void OfferDefault(ui::Dialog dialog, const NativeAndWowSections& views, int index, int pressed) {
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
    NativeAndWowSections views(kSections, kSectionSwitch, kOk,
                               {config::ReadPort, config::ChangePort, false});
    ui::Dialog dialog = ui::NewDialog(owner, kPortTitle, 44, 44, 325, 200, ui::kDialogStyle,
                                      ui::kWsExControlParent);
    const std::vector<ui::ControlRow> rows = Rows();
    ui::AddControls(dialog, rows.data(), rows.size());
    for (const ViewSection& section : kSections) {
        ui::SetControlColor(dialog, section.field, kDefaultColor, kWhite);
        ui::SetEditMargins(dialog, section.field, kFieldMargin);
        ui::SendToWindow(ui::ControlWindow(dialog, section.field), ui::kEmLimitText, kPortDigits,
                         0);
    }
    ui::SetDialogIcon(dialog, "#555");
    const ui::DialogHandlers handlers = SectionHandlers(
        views, [&views](ui::Dialog d, int index) { ConfirmChange(d, views, index); },
        [&views](ui::Dialog d, int index, int pressed) { OfferDefault(d, views, index, pressed); });
    return ui::RunDialog(dialog, handlers);
}

}  // namespace orvano::dialogs
