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
#include "ui/dialog_handlers.h"

namespace orvano::dialogs {

using namespace router_ip;
using config::RegistryView;
using ui::ControlKind;

namespace {

using ui::kCentredLabel;
using ui::kFlatButton;
using ui::kNavy;
using ui::kRed;
using ui::kTitleBlue;

constexpr std::uint32_t kAddressStyle = 0x50010000;
constexpr char kAddressClass[] = "SysIPAddress32";
constexpr char kNoAddress[] = "255.255.255.255";

namespace client = config::client;

constexpr SectionIds kNativeIds = {
    kFrame,     kKeyName,     kMissing,    kValueName,        kAddress, 0,
    kChange,    kChangeAsked, kChangeYes,  kChangeNo,         kDelete,  kDeleteAsked,
    kDeleteYes, kDeleteNo,    kPresetName, {kHost12, kHost3}, kRegFile};
constexpr SectionIds kWowIds = {kWowFrame,      kWowKeyName,
                                kWowMissing,    kWowValueName,
                                kWowAddress,    0,
                                kWowChange,     kWowChangeAsked,
                                kWowChangeYes,  kWowChangeNo,
                                kWowDelete,     kWowDeleteAsked,
                                kWowDeleteYes,  kWowDeleteNo,
                                kWowPresetName, {kWowHost12, kWowHost3},
                                kWowRegFile};
// The address control is always writable; it is what the questions keep from the user.
constexpr ViewSection kSections[] = {
    MakeSection(RegistryView::Native, RegEntry::RouterAddress, kNativeIds, false),
    MakeSection(RegistryView::Wow6432Node, RegEntry::RouterAddressWow, kWowIds, false)};

const SectionLook kLook = {
    {client::kAddressKey, client::kAddressKeyWow},
    15,
    {210, 260},
    ui::Blanked(client::kAddressValue),
    {0, ControlKind::Custom, kNoAddress, 80, 43, 68, 12, kAddressStyle, ui::kWsExClientEdge},
    {},
    {{0, ControlKind::Button, ui::Blanked(config::kRouterHostName1), 90, 61, 50, 12, kFlatButton},
     {0, ControlKind::Button, ui::Blanked(config::kRouterHostName3), 90, 73, 50, 12, kFlatButton}}};

// The controls in creation (and tab) order.
std::vector<ui::ControlRow> Rows() {
    return DialogRows(
        {kTitle, ControlKind::Label, " Orvano IP-Adresse in Windows Registry Speichern ", 4, 4, 316,
         10, kCentredLabel, 0, kTitleBlue},
        kSections, kLook,
        {{kSectionSwitch, ControlKind::CheckBox, " Wow6432Node ", 242, 155, 70, 10},
         {kOk, ControlKind::Button, "OK", 135, 178, 55, 15},
         {kAddressHint, ControlKind::Label, " IP-Adresse: ", 5, 175, 125, 10, 0, 0, kNavy},
         {kLineHint, ControlKind::Label,
          ui::Blanked(RegTextValueLine(client::kAddressValue, "xxx.xxx.xxx.xxx")), 5, 185, 125, 10,
          0, 0, kNavy},
         {kStatus, ControlKind::Label, "", 195, 176, 128, 20, 0, 0, kNavy}});
}

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
        views.Click(dialog, kOk);
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
void FillFromHost(ui::Dialog dialog, const NativeAndWowSections& views, int index, int pressed) {
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
                               {config::ReadRouterAddress, config::ChangeRouterAddress, true});
    ui::Dialog dialog = ui::NewDialog(owner, kRouterIpTitle, 44, 44, 325, 200, ui::kDialogStyle,
                                      ui::kWsExControlParent);
    const std::vector<ui::ControlRow> rows = Rows();
    ui::AddControls(dialog, rows.data(), rows.size(), kAddressClass);
    ui::SetDialogIcon(dialog, "#555");
    PendingClose() = Closing::None;
    const ui::DialogHandlers handlers = SectionHandlers(
        views, [&views](ui::Dialog d, int index) { ConfirmChange(d, views, index); },
        [&views](ui::Dialog d, int index, int pressed) { FillFromHost(d, views, index, pressed); });
    const ui::DialogCallback handle = ui::HandlersCallback(handlers);
    const int result =
        ui::RunModal(dialog, [&views, &handle](ui::Dialog d, std::uint32_t message,
                                               ui::WParam wParam, ui::LParam lParam) {
            if (BeforeSections(d, views, message, wParam)) return std::intptr_t{1};
            const std::intptr_t handled = handle(d, message, wParam, lParam);
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
