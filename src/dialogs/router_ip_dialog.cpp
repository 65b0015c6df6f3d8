#include "dialogs/router_ip_dialog.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/endpoint.h"
#include "config/name_resolution.h"
#include "dialogs/name_lookups.h"
#include "dialogs/native_and_wow_sections.h"
#include "dialogs/registry_export.h"
#include "sysinfo/text.h"
#include "ui/control_table.h"

namespace orvano::dialogs {

using namespace router_ip;
using config::RegistryView;
using ui::ControlKind;

namespace {

using ui::kCentredLabel;
using ui::kFlatButton;
using ui::kNavy;
using ui::kRed;
using ui::kRightLabel;
using ui::kTitleBlue;

constexpr std::uint32_t kAddressStyle = 0x50010000;
constexpr char kAddressClass[] = "SysIPAddress32";
constexpr char kNoAddress[] = "255.255.255.255";

std::string Padded(const char* text) {
    return std::string(" ") + text + " ";
}

// The controls in creation (and tab) order.
namespace client = config::client;
const std::string kValueLabel = ui::Blanked(client::kAddressValue);

const ui::ControlRow kRows[] = {
    {kTitle, ControlKind::Label, " Orvano IP-Adresse in Windows Registry Speichern ", 4, 4, 316, 10,
     kCentredLabel, 0, kTitleBlue},
    {kFrame, ControlKind::Frame, " Windows Registry Eintrag ", 5, 15, 315, 76},
    {kKeyName, ControlKind::Label, client::MachineKeyLine(client::kAddressKey), 15, 28, 210, 10},
    {kMissing, ControlKind::Label, " Eintrag Fehlt ", 270, 28, 45, 10, kCentredLabel, 0, kRed},
    {kValueName, ControlKind::Label, kValueLabel, 10, 44, 65, 10, kRightLabel},
    {kAddress, ControlKind::Custom, kNoAddress, 80, 43, 68, 12, kAddressStyle, ui::kWsExClientEdge},
    {kChange, ControlKind::Button, " Ändern ", 175, 42, 41, 15, kFlatButton},
    {kChangeAsked, ControlKind::Label, " Ändern ", 175, 44, 40, 10, kCentredLabel},
    {kDelete, ControlKind::Button, " Löschen ", 255, 42, 41, 15, kFlatButton},
    {kDeleteAsked, ControlKind::Label, " Löschen ", 255, 44, 40, 10, kCentredLabel},
    {kChangeYes, ControlKind::Button, " Ja ", 160, 55, 30, 15, kFlatButton},
    {kChangeNo, ControlKind::Button, " Nein ", 200, 55, 30, 15, kFlatButton},
    {kDeleteYes, ControlKind::Button, " Ja ", 240, 55, 30, 15, kFlatButton},
    {kDeleteNo, ControlKind::Button, " Nein ", 280, 55, 30, 15, kFlatButton},
    {kPresetName, ControlKind::Label, " Vorgabe: ", 10, 62, 65, 10, kRightLabel},
    {kHost12, ControlKind::Button, Padded(config::kRouterHostName1), 90, 61, 50, 12, kFlatButton},
    {kHost3, ControlKind::Button, Padded(config::kRouterHostName3), 90, 73, 50, 12, kFlatButton},
    {kRegFile, ControlKind::Button, " Reg Datei ", 35, 75, 45, 12, kFlatButton},
    {kWowFrame, ControlKind::Frame, " Windows Registry Eintrag Wow6432Node ", 5, 95, 315, 76},
    {kWowKeyName, ControlKind::Label, client::MachineKeyLine(client::kAddressKeyWow), 15, 108, 260,
     10},
    {kWowMissing, ControlKind::Label, " Eintrag Fehlt ", 270, 108, 45, 10, kCentredLabel, 0, kRed},
    {kWowValueName, ControlKind::Label, kValueLabel, 10, 124, 65, 10, kRightLabel},
    {kWowAddress, ControlKind::Custom, kNoAddress, 80, 123, 68, 12, kAddressStyle,
     ui::kWsExClientEdge},
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
    {kWowHost12, ControlKind::Button, Padded(config::kRouterHostName1), 90, 141, 50, 12,
     kFlatButton},
    {kWowHost3, ControlKind::Button, Padded(config::kRouterHostName3), 90, 153, 50, 12,
     kFlatButton},
    {kSectionSwitch, ControlKind::CheckBox, " Wow6432Node ", 242, 155, 70, 10},
    {kOk, ControlKind::Button, "OK", 135, 178, 55, 15},
    {kAddressHint, ControlKind::Label, " IP-Adresse: ", 5, 175, 125, 10, 0, 0, kNavy},
    {kLineHint, ControlKind::Label,
     ui::Blanked(RegTextValueLine(client::kAddressValue, "xxx.xxx.xxx.xxx")), 5, 185, 125, 10, 0, 0,
     kNavy},
    {kStatus, ControlKind::Label, "", 195, 176, 128, 20, 0, 0, kNavy},
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

constexpr ViewSection kSections[] = {
    {RegistryView::Native,
     kAddress,
     kMissing,
     kRegFile,
     RegEntry::RouterAddress,
     kNativeChange,
     kNativeDelete,
     {kHost12, kHost3}},
    {RegistryView::Wow6432Node,
     kWowAddress,
     kWowMissing,
     kWowRegFile,
     RegEntry::RouterAddressWow,
     kWowChangeRow,
     kWowDeleteRow,
     {kWowHost12, kWowHost3}},
};

// What a host-name look-up was asked from: its section as it stood when the button was
// pressed. An answer is wanted only while the section still stands so.
struct Scene {
    std::string field;
    bool changeAsked = false, deleteAsked = false, editable = false;
    bool operator==(const Scene&) const = default;
};

Scene SceneOf(ui::Dialog dialog, const ViewSection& section) {
    return {ui::GetControlText(dialog, section.field), RowAsking(dialog, section.changeRow),
            RowAsking(dialog, section.deleteRow),
            ui::ControlEnabled(dialog, section.changeRow.button)};
}

// The lookups of each section in flight while the dialog is open: the check of an address
// to store, and the look-up started by a host-name button (0 when none) with its scene.
struct SectionLookups {
    NameLookup check, fill;
    int fillButton = 0;
    Scene fillScene;
};

SectionLookups& Lookups(int index) {
    static SectionLookups lookups[2];
    return lookups[index];
}

// How the user asked the dialog to end while an address was being checked: it ends when the
// address is stored, and stays open with the reason when it is not.
enum class Closing { None, Ok, CloseBox };

Closing& PendingClose() {
    static Closing closing = Closing::None;
    return closing;
}

void ShowStatus(ui::Dialog dialog, const std::string& text, bool failure) {
    ui::SetControlColor(dialog, kStatus, failure ? kRed : kNavy, ui::kDefaultColor);
    ui::SetControlText(dialog, kStatus, text);
    ui::RedrawControl(dialog, kStatus);
}

// Why an address was not stored, in one line.
std::string NotStoredBecause(std::optional<config::AddressCheck> found) {
    if (!found) return " Nicht gespeichert: DNS antwortet nicht ";
    switch (*found) {
        case config::AddressCheck::NotDotted:
            return " Nicht gespeichert: keine IP-Adresse ";
        case config::AddressCheck::NoAddress:
            return " Nicht gespeichert: Adresse unbekannt ";
        default:
            return " Nicht gespeichert: kein Name zur Adresse ";
    }
}

// While its address is checked, the question stands as it was confirmed: " Ja " and the field
// rest, " Nein " drops it.
void HoldQuestion(ui::Dialog dialog, const ViewSection& section, bool held) {
    ui::EnableControl(dialog, section.changeRow.yes, !held);
    // A section switched off meanwhile keeps its field disabled.
    ui::EnableControl(dialog, section.field,
                      !held && ui::ControlEnabled(dialog, section.changeRow.button));
    if (held) ui::FocusControl(dialog, section.changeRow.label);
}

void EndAsRequested(ui::Dialog dialog, NativeAndWowSections& views) {
    const Closing closing = std::exchange(PendingClose(), Closing::None);
    if (closing == Closing::Ok)
        views.Callback(dialog, ui::kWmCommand, ui::CommandParam(kOk, 0));
    else if (closing == Closing::CloseBox)
        ui::CloseDialog(dialog, 0);
}

// A typed address is stored only when the name service confirms it. The check runs off the
// dialog's thread: " Ja " rests meanwhile, " Nein " drops it.
void ConfirmChange(ui::Dialog dialog, NativeAndWowSections& views, int index) {
    const ViewSection& section = views.Section(index);
    std::string address =
        sysinfo::KeepOnly(ui::GetControlText(dialog, section.field), sysinfo::kAddressCharacters);
    SectionLookups& lookups = Lookups(index);
    lookups.fill.Drop();  // a name found later must not overwrite what is being confirmed
    lookups.fillButton = 0;
    if (sysinfo::CountOf(address, '.') != 3) {
        views.FinishChange(dialog, index, address, false);
        ShowStatus(dialog, NotStoredBecause(config::AddressCheck::NotDotted), true);
        return;
    }
    ShowStatus(dialog, " Prüfe " + address + " ... ", false);
    HoldQuestion(dialog, section, true);
    lookups.check.Check(dialog, address, [dialog, &views, index, address](auto found) {
        HoldQuestion(dialog, views.Section(index), false);
        const bool confirmed = found == config::AddressCheck::Confirmed;
        views.FinishChange(dialog, index, address, confirmed);
        ShowStatus(dialog, confirmed ? "" : NotStoredBecause(found), !confirmed);
        if (confirmed)
            EndAsRequested(dialog, views);
        else
            PendingClose() = Closing::None;  // the reason stays in view
    });
}

// Fills the field from the first host name that resolves and asks whether to store it.
void FillFromHost(ui::Dialog dialog, NativeAndWowSections& views, int index, int pressed) {
    const ViewSection& section = views.Section(index);
    const int host12 = section.presets[0];
    // The first button looks up the router's name and its fallback, the second the other one.
    const std::vector<std::string> names =
        pressed == host12
            ? std::vector<std::string>{config::kRouterHostName1, config::kRouterHostName2}
            : std::vector<std::string>{config::kRouterHostName3};
    SectionLookups& lookups = Lookups(index);
    if (lookups.check.Pending()) {  // a new look asked for: the check of the old address goes
        lookups.check.Drop();
        HoldQuestion(dialog, section, false);
        PendingClose() = Closing::None;
    }
    lookups.fillButton = pressed;
    lookups.fillScene = SceneOf(dialog, section);
    ShowStatus(dialog, " Suche " + names.front() + " ... ", false);
    lookups.fill.Resolve(dialog, names,
                         [dialog, &views, index, pressed, names](
                             int found, const std::string& address, bool answered) {
                             SectionLookups& lookups = Lookups(index);
                             lookups.fillButton = 0;
                             const ViewSection& section = views.Section(index);
                             // Only an answer to the question on screen lands.
                             if (SceneOf(dialog, section) != lookups.fillScene)
                                 return ShowStatus(dialog, "", false);
                             if (found < 0) {
                                 ShowStatus(
                                     dialog,
                                     " " + names.front() +
                                         (answered ? " nicht gefunden " : ": DNS antwortet nicht "),
                                     true);
                                 return;
                             }
                             ShowStatus(dialog, "", false);
                             const int host12 = section.presets[0], host3 = section.presets[1];
                             ui::SetControlText(dialog, section.field, address);
                             SwitchRow(dialog, section.changeRow, true);
                             SwitchRow(dialog, section.deleteRow, false);
                             // The pressed button stays usable to look again; the other one and the
                             // export rest.
                             ui::EnableControl(dialog, pressed == host12 ? host3 : host12, false);
                             ui::EnableControl(dialog, section.regFile, false);
                             ui::FocusControl(dialog, pressed);
                         });
}

void DropFill(ui::Dialog dialog, int index) {
    SectionLookups& lookups = Lookups(index);
    if (!lookups.fill.Pending()) return;
    lookups.fill.Drop();
    lookups.fillButton = 0;
    ShowStatus(dialog, "", false);
}

// After every message: a check whose question was closed (" Nein ", " Löschen ", the section
// switch) and a host-name look-up whose section no longer stands as it was asked from (typed
// in, a question opened or closed, the section switched) are dropped.
void DropStaleLookups(ui::Dialog dialog, const NativeAndWowSections& views) {
    for (int index : {NativeAndWowSections::kNative, NativeAndWowSections::kWow}) {
        const ViewSection& section = views.Section(index);
        SectionLookups& lookups = Lookups(index);
        if (lookups.check.Pending() && !RowAsking(dialog, section.changeRow)) {
            lookups.check.Drop();
            HoldQuestion(dialog, section, false);
            ShowStatus(dialog, "", false);
            PendingClose() = Closing::None;  // the user went on with the dialog
        }
        if (lookups.fill.Pending() && (!ui::ControlEnabled(dialog, lookups.fillButton) ||
                                       SceneOf(dialog, section) != lookups.fillScene))
            DropFill(dialog, index);
    }
}

bool CheckPending() {
    return Lookups(NativeAndWowSections::kNative).check.Pending() ||
           Lookups(NativeAndWowSections::kWow).check.Pending();
}

// Before the sections see a message: OK or the close box while an address is being checked
// wait for its end; " Reg Datei " opens a dialog over the questions, whose answers then go.
// True when the message is taken here.
bool BeforeSections(ui::Dialog dialog, const NativeAndWowSections& views, std::uint32_t message,
                    ui::WParam wParam) {
    const bool command = message == ui::kWmCommand && ui::CommandCode(wParam) <= 1;
    const bool closeBox = message == ui::kWmSysCommand && (wParam & 0xFFF0) == ui::kScClose;
    if ((closeBox || (command && ui::CommandId(wParam) == kOk)) && CheckPending()) {
        PendingClose() = closeBox ? Closing::CloseBox : Closing::Ok;
        return true;
    }
    if (command)
        for (int index : {NativeAndWowSections::kNative, NativeAndWowSections::kWow})
            if (ui::CommandId(wParam) == views.Section(index).regFile) DropFill(dialog, index);
    return false;
}

}  // namespace

int ShowRouterIpDialog(ui::Window owner) {
    // A missing address leaves the control's own text.
    NativeAndWowSections views(kSections, kSectionSwitch, kOk,
                               {config::ReadRouterAddress, config::ChangeRouterAddress,
                                ConfirmChange, FillFromHost, true});
    ui::Dialog dialog = ui::NewDialog(owner, kRouterIpTitle, 44, 44, 325, 200, ui::kDialogStyle,
                                      ui::kWsExControlParent);
    ui::AddControls(dialog, kRows, kAddressClass);
    ui::SetDialogIcon(dialog, "#555");
    PendingClose() = Closing::None;
    const int result = ui::RunModal(
        dialog, [&views](ui::Dialog d, std::uint32_t message, ui::WParam wParam, ui::LParam) {
            if (BeforeSections(d, views, message, wParam)) return std::intptr_t{1};
            const std::intptr_t handled = views.Callback(d, message, wParam);
            if (message != ui::kWmDestroy) DropStaleLookups(d, views);
            return handled;
        });
    // Whatever was still in flight went with the dialog.
    for (int index : {NativeAndWowSections::kNative, NativeAndWowSections::kWow}) {
        Lookups(index).check.Drop();
        Lookups(index).fill.Drop();
        Lookups(index).fillButton = 0;
    }
    PendingClose() = Closing::None;
    return result;
}

}  // namespace orvano::dialogs
