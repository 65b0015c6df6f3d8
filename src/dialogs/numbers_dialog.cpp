#include "dialogs/numbers_dialog.h"

#include <string>
#include <vector>

#include "config/fax_settings.h"
#include "config/registry.h"
#include "dialogs/registry_entry_dialog.h"
#include "sysinfo/text.h"
#include "ui/control_table.h"
#include "ui/dialog_handlers.h"

namespace orvano::dialogs {

using namespace numbers_dialog;
using config::FaxSetting;
using ui::ControlKind;
using ui::kDefaultColor;

namespace {

using ui::kCentredLabel;
using ui::kFlatButton;
using ui::kRightLabel;
using ui::kTitleBlue;
using ui::kWhite;

// Vertical scroll bar, tab stop, no integral height, notify; unsorted, so the numbers keep
// the registry's order.
constexpr std::uint32_t kListStyle = 0x50210101;
// Digits only, read-only until the option is checked, horizontal auto-scroll.
constexpr std::uint32_t kReplacementStyle = 0x50002880;
constexpr int kReplacementLimit = 16;
constexpr int kFieldMargin = 2;

// The controls in creation (and tab) order.
const ui::ControlRow kRows[] = {
    {kTitle, ControlKind::Label, " FRITZ!Fax - Anwendung die Registerkarte \"Nebenstelle\" ", 10, 5,
     220, 10, kCentredLabel, 0, kTitleBlue},
    {kHintFrame, ControlKind::Frame, "", 10, 15, 220, 45},
    {kHintCountryCode, ControlKind::Label,
     " Die gewählte Telefonnummer enthält eine Ländervorwahl ", 15, 24, 210, 10},
    {kHintExample, ControlKind::Label, " (z.B. \"+49\" oder \"0049\") ", 15, 34, 210, 10},
    {kHintUseZero, ControlKind::Label, " Statt der Ländervorwahl nur die 0 verwenden ", 15, 44, 210,
     10},
    {kListFrame, ControlKind::Frame, "", 10, 65, 220, 75},
    {kListCaption, ControlKind::Label, " Zuletzt gewählte Rufnummern Anzeigen ", 15, 73, 210, 10},
    {kShow, ControlKind::Button, " Anzeigen -> ", 15, 95, 50, 12, kFlatButton},
    {kHide, ControlKind::Button, " x -> ", 15, 110, 50, 12, kFlatButton},
    {kList, ControlKind::ListBox, "", 74, 85, 150, 50, kListStyle, ui::kWsExStaticEdge},
    {kOptionFrame, ControlKind::Frame, " Rufnummern ", 10, 145, 220, 30},
    {kUsePlusMapper, ControlKind::CheckBox, " '+*-Zeichen in der Rufnummer ersetzen durch", 25, 157,
     165, 10},
    {kPlusMapper, ControlKind::Edit, "", 190, 157, 20, 10, kReplacementStyle, ui::kWsExStaticEdge,
     kDefaultColor, kWhite},
    {kRegFile, ControlKind::Button, " Reg Datei ", 15, 183, 45, 12, kFlatButton},
    {kOk, ControlKind::Button, " OK ", 95, 182, 50, 15},
    {kApply, ControlKind::Button, " Übernehmen ", 165, 182, 55, 15},
    // On the option frame's top edge, right-aligned, hidden until needed.
    {kWrongType, ControlKind::Label, config::kWrongTypeText, 160, 145, 65, 9,
     kRightLabel & ~ui::kWsVisible, 0, ui::kRed},
};

// Registered in this order.
const ui::ToolTipRow kTips[] = {
    {kShow, " Rufnummern Anzeigen "},
    {kHide, " Rufnummern nicht Anzeigen "},
    {kUsePlusMapper, " + in der Ländervorwahl durch 00 ersetzen "},
    {kPlusMapper, " + zu 00 "},
    {kRegFile, " Reg Datei der Einstellungen erstellen "},
    {kOk, " Zurück, nicht Speichern "},
    {kApply, " Einstellungen in die Registry Speichern "},
};

// Only one numbers dialog is open at a time.
struct State {
    // "UsePlusMapper" was stored with the wrong type at the last reload and the user has not
    // chosen the option since: it is neither written nor exported.
    bool optionKept = false;
};

State& TheState() {
    static State state;
    return state;
}

bool PlusOptionChecked(ui::Dialog dialog) {
    return ui::GetCheck(dialog, kUsePlusMapper) == ui::kChecked;
}

// The option checked with no digits to put in place of the "+" would make the fax application
// drop the "+" and dial the country code as a local number: such a state is never exported.
bool Exportable(ui::Dialog dialog) {
    return !PlusOptionChecked(dialog) || sysinfo::HasDigit(ui::GetControlText(dialog, kPlusMapper));
}

void EnableExport(ui::Dialog dialog) {
    ui::EnableControl(dialog, kRegFile, Exportable(dialog));
}

// For the same reason " Übernehmen " needs at least one digit.
void EnableApplyByDigits(ui::Dialog dialog) {
    ui::EnableControl(dialog, kApply, sysinfo::HasDigit(ui::GetControlText(dialog, kPlusMapper)));
    EnableExport(dialog);
}

void Reload(ui::Dialog dialog) {
    std::string hex;
    config::ValueRead found;
    const int use = config::ReadFaxSetting(FaxSetting::UsePlusMapper, hex, found);
    TheState().optionKept = found == config::ValueRead::WrongType;
    ui::ShowControl(dialog, kWrongType, TheState().optionKept);
    ui::SetCheck(dialog, kUsePlusMapper, use);
    ui::SetEditReadOnly(dialog, kPlusMapper, use != 1);
    std::string digits;
    config::ReadPlusMapper(digits);
    ui::SetTextByProgram(dialog, kPlusMapper, digits);
    EnableExport(dialog);
}

void Open(ui::Dialog dialog) {
    ui::AddToolTips(dialog, kTips);
    ui::EnableControl(dialog, kApply, false);
    std::vector<std::string> numbers;
    int count = 0;
    if (config::ReadDialledNumbers(numbers, count) == 0) {
        ui::EnableControl(dialog, kShow, false);
        ui::EnableControl(dialog, kHide, false);
    }
    ui::PostToWindow(dialog, kReloadMessage, 0, 0);
}

void ClearList(ui::Dialog dialog) {
    ui::SendToWindow(ui::ControlWindow(dialog, kList), ui::kLbResetContent, 0, 0);
}

// The lines for the numbers as read and their verdict.
std::vector<std::string> DialledNumberLines(int status, const std::vector<std::string>& numbers) {
    std::vector<std::string> lines;
    if (status >= 2) lines.push_back(kFaultyListHead);
    for (const std::string& number : numbers) {
        if (config::IsPlusNumber(number))
            lines.push_back(" Ländervorwahl --> " + number + " <-- Fehler! ");
        else if (!config::IsDigitsOnly(number))
            lines.push_back(" Fehler! --> " + number + " <-- Fehler! ");
        else
            lines.push_back(number);
    }
    return lines;
}

// The body of the export: the option as the check box shows it (left out while a value of
// the wrong type is kept), the replacement's digits.
std::string PlusOptionRegText(bool usePlusMapper, bool optionKept, const std::string& replacement) {
    std::string text = std::string(config::fax::kUserProgramKeyLine) + kCrLf;
    if (!optionKept)
        text += RegNumberValueLine(config::fax::kUsePlusMapper,
                                   usePlusMapper ? "00000001" : "00000000") +
                kCrLf;
    return text + RegTextValueLine(config::fax::kPlusMapper,
                                   sysinfo::KeepOnly(replacement, sysinfo::kDigits));
}

// The list is read afresh each time; when nothing can be read it keeps what it shows.
void ShowNumbers(ui::Dialog dialog) {
    std::vector<std::string> numbers;
    int count = 0;
    const int status = config::ReadDialledNumbers(numbers, count);
    if (status == 0) return;
    ClearList(dialog);
    for (const std::string& line : DialledNumberLines(status, numbers))
        ui::AddListItem(dialog, kList, line);
}

void SwitchPlusOption(ui::Dialog dialog) {
    ui::SetEditReadOnly(dialog, kPlusMapper, !PlusOptionChecked(dialog));
    EnableApplyByDigits(dialog);
}

void Apply(ui::Dialog dialog) {
    const bool use = PlusOptionChecked(dialog);
    if (!TheState().optionKept) config::WriteFaxSetting(FaxSetting::UsePlusMapper, use ? "1" : "0");
    // The button is only enabled with a digit in the field; never store an empty replacement.
    const std::string replacement = ui::GetControlText(dialog, kPlusMapper);
    if (sysinfo::HasDigit(replacement)) config::WritePlusMapper(replacement);
    ui::EnableControl(dialog, kApply, false);
    ui::PostToWindow(dialog, kReloadMessage, 0, 0);
}

void Export(ui::Dialog dialog) {
    if (!Exportable(dialog)) return;
    ClearPendingRegText();
    SetPendingRegText(PlusOptionRegText(PlusOptionChecked(dialog), TheState().optionKept,
                                        ui::GetControlText(dialog, kPlusMapper)));
    ShowRegistryEntryDialog(dialog, RegEntry::CountryCode);
    ui::FocusControl(dialog, kRegFile);
}

// A command whatever its notification: true when it is handled.
bool Change(ui::Dialog dialog, int id, std::uint32_t code) {
    if (id == kUsePlusMapper) {
        if (code <= 1) TheState().optionKept = false;  // the user chose the option
        SwitchPlusOption(dialog);
        return true;
    }
    if (id == kPlusMapper) {
        // Only the user's own edits; the field changing under Reload is no modification.
        if (code == ui::kEnChange && !ui::TextSetByProgram()) EnableApplyByDigits(dialog);
        return true;
    }
    return false;
}

void Click(ui::Dialog dialog, int id) {
    switch (id) {
        case kShow:
            ShowNumbers(dialog);
            break;
        case kHide:
            ClearList(dialog);
            break;
        case kApply:
            Apply(dialog);
            break;
        case kRegFile:
            Export(dialog);
            break;
        default:
            break;
    }
}

}  // namespace

int ShowNumbersDialog(ui::Window owner) {
    TheState() = State{};
    ui::Dialog dialog = ui::NewDialog(owner, kNumbersTitle, 80, 41, 239, 204, ui::kDialogStyle,
                                      ui::kWsExControlParent);
    ui::AddControls(dialog, kRows);
    ui::SetEditMargins(dialog, kPlusMapper, kFieldMargin);
    ui::SendToWindow(ui::ControlWindow(dialog, kPlusMapper), ui::kEmLimitText, kReplacementLimit,
                     0);
    ui::SetDialogIcon(dialog, "#555");
    ui::RunDialog(dialog, {.open = Open,
                           .reloadMessage = kReloadMessage,
                           .reload = Reload,
                           .command = Change,
                           .click = Click,
                           .closeId = kOk});
    return 0;
}

}  // namespace orvano::dialogs
