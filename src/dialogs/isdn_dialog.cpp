#include "dialogs/isdn_dialog.h"

#include <string>

#include "config/endpoint.h"
#include "config/fax_settings.h"
#include "config/registry.h"
#include "deploy/capi_locations.h"
#include "dialogs/registry_entry_dialog.h"
#include "sysinfo/text.h"
#include "sysinfo/windows_edition.h"
#include "ui/control_table.h"
#include "ui/dialog_handlers.h"

namespace orvano::dialogs {

using namespace isdn;
using config::FaxSetting;
using ui::ControlKind;

namespace {

using ui::kFlatButton;

constexpr std::uint32_t kEtchedLine = 0x50000010;
constexpr std::uint32_t kGroupHead = 0x50030D09;    // first radio button of a group
constexpr std::uint32_t kNumberStyle = 0x50012080;  // ES_NUMBER, ES_AUTOHSCROLL, WS_TABSTOP
constexpr int kNumberCharacters = 10;
constexpr std::uint32_t kHiddenCentredLabel = ui::kCentredLabel & ~ui::kWsVisible;

constexpr char kRouterIsdnValue[] = "ffffffff";
constexpr char kRouterAnalogValue[] = "fffffffe";
constexpr char kRouterInternetValue[] = "fffffffd";
constexpr char kAnalogFaxValue[] = "00000004";
constexpr char kIsdnFaxValue[] = "00000011";

// The controls in creation (and tab) order; the button 2230 lies over the label 2220.
const ui::ControlRow kRows[] = {
    {kRouterFrame, ControlKind::Frame, " Fritz!Box ", 15, 10, 230, 65, 0, 0},
    {kFritzBoxUser, ControlKind::CheckBox, " FritzBox HKCU ", 25, 21, 65, 10, 0, 0},
    {kLine1, ControlKind::Line, "Line1", 17, 34, 228, 1, kEtchedLine, 0},
    {kFritzBoxMachine, ControlKind::CheckBox, " FritzBox HKLM ", 25, 40, 65, 10, 0, 0},
    {kNewDriverMachine, ControlKind::CheckBox, " NeueTreiber2003 HKLM ", 105, 40, 95, 10, 0, 0},
    {kLine2, ControlKind::Line, "Line2", 17, 55, 228, 1, kEtchedLine, 0},
    {kFritzBoxMachineWow, ControlKind::CheckBox, " FritzBox HKLM ", 25, 60, 65, 10, 0, 0},
    {kNewDriverMachineWow, ControlKind::CheckBox, " NeueTreiber2003 HKLM ", 105, 60, 95, 10, 0, 0},
    {kWowSwitch, ControlKind::CheckBox, " 6432 ", 205, 60, 35, 10, 0, 0},
    {kControllerFrame, ControlKind::Frame, " ISDN-Controller ", 15, 80, 230, 90, 0, 0},
    {kControllerFax, ControlKind::CheckBox, " Telefax-G3-Dienst des ISDN-Controllers benutzen ", 25,
     94, 175, 10, 0, 0},
    {kController, ControlKind::Radio, " ISDN-Controller ", 25, 109, 70, 10, kGroupHead, 0},
    {kControllerNumber, ControlKind::Edit, "1", 105, 109, 50, 10, kNumberStyle,
     ui::kWsExStaticEdge},
    {kInternetHint, ControlKind::Label, " ( 5 = Internet ) ", 165, 110, 50, 10, 0, 0},
    {kInternetButton, ControlKind::Button, " ( 5 = Internet ) ", 165, 108, 60, 12, kFlatButton, 0},
    {kRouterIsdn, ControlKind::Radio, " FRITZ!Box Amtsanschluss ISDN ", 25, 124, 130, 10, 0, 0},
    {kRouterAnalog, ControlKind::Radio, " FRITZ!Box Amtsanschluss Analog ", 25, 139, 130, 10, 0, 0},
    {kRouterInternet, ControlKind::Radio, " FRITZ!Box Internet ", 25, 154, 130, 10, 0, 0},
    {kAdvancedFrame, ControlKind::Frame, " Erweiterte ISDN-Einstellungen ", 15, 175, 230, 105, 0,
     0},
    {kServiceFrame, ControlKind::Frame, " ISDN-Dienst ", 25, 190, 210, 45, 0, 0},
    {kAnalogFax, ControlKind::Radio, " Analoges Fax (Standard) ", 35, 204, 100, 10, kGroupHead, 0},
    {kIsdnFax, ControlKind::Radio, " ISDN-Fax ", 35, 219, 100, 10, 0, 0},
    {kIndicatorFrame, ControlKind::Frame, " Dienstekennung ", 25, 240, 210, 30, 0, 0},
    {kSpeech, ControlKind::CheckBox, " Faxempfang auch bei Dienstekennung \"Sprache\" ", 35, 254,
     180, 10, 0, 0},
    {kRegFile, ControlKind::Button, " Reg Datei ", 15, 289, 45, 12, kFlatButton, 0},
    {kBack, ControlKind::Button, " Zurück ", 110, 288, 55, 15, 0, 0},
    {kApply, ControlKind::Button, " Übernehmen ", 180, 288, 55, 15, 0, 0},
    {kWrongTypes, ControlKind::Label, "", 15, 1, 230, 9, kHiddenCentredLabel, 0, ui::kRed},
};

const ui::ToolTipRow kTips[] = {
    {kFritzBoxUser, " Controller Auswahl der FRITZ!Box "},
    {kWowSwitch, " Registry Eintrag: [HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM] "},
    {kControllerFax,
     " Bei G3 sollte beim ISDN Adapter ein Haken sein, bei der FRITZ!Box ? muss man Testen "},
    {kController, " Einstellung Controller ISDN Adapter: ISDN = 1 "},
    {kControllerNumber,
     " Einstellung Controller für FRITZ!Box: ISDN = 1, Analog = 4, Internet = 5 "},
    {kInternetButton, " Einstellung Controller 5 für FRITZ!Box Internet "},
    {kRegFile, " Reg Datei der Einstellungen erstellen "},
    {kBack, " Zurück, nicht Speichern "},
    {kApply, " Einstellungen in die Registry Speichern "},
};

// A check box and the setting it stands for.
struct Flag {
    int id;
    FaxSetting setting;
};

// The router's three lines and the stored value each one stands for.
struct RouterLine {
    int id;
    const char* value;
};
constexpr RouterLine kRouterLines[] = {{kRouterIsdn, kRouterIsdnValue},
                                       {kRouterAnalog, kRouterAnalogValue},
                                       {kRouterInternet, kRouterInternetValue}};

constexpr int kSettingCount = static_cast<int>(FaxSetting::UsePlusMapper) + 1;

// Only one ISDN dialog is open at a time.
struct State {
    // The user chose a controller or typed a number since the last reload. Until then the
    // stored value is left alone, also one the dialog could not have produced itself.
    bool controllerTouched = false;
    // Settings stored with the wrong type at the last reload and not chosen anew by the user
    // since: the fax application cannot read them, but neither " Übernehmen " nor the
    // export puts a value there that nobody chose.
    bool kept[kSettingCount] = {};
};

State& TheState() {
    static State state;
    return state;
}

bool& Kept(FaxSetting setting) {
    return TheState().kept[static_cast<int>(setting)];
}

// The settings in the order the dialog shows them, as the user knows them from it.
struct SettingName {
    FaxSetting setting;
    const char* name;
};
constexpr SettingName kSettingNames[] = {
    {FaxSetting::FritzBoxUser, "FritzBox HKCU"},
    {FaxSetting::FritzBoxMachine, "FritzBox HKLM"},
    {FaxSetting::NeueTreiber2003Machine, "NeueTreiber2003 HKLM"},
    {FaxSetting::FritzBoxMachineWow, "FritzBox 6432"},
    {FaxSetting::NeueTreiber2003MachineWow, "NeueTreiber2003 6432"},
    {FaxSetting::ControllerFax, "ControllerFax"},
    {FaxSetting::CapiController, "CapiController"},
    {FaxSetting::Cip, "Cip"},
    {FaxSetting::Speech, "Speech"},
};

// The check box of each flag setting.
constexpr Flag kFlags[] = {{kFritzBoxUser, FaxSetting::FritzBoxUser},
                           {kFritzBoxMachine, FaxSetting::FritzBoxMachine},
                           {kNewDriverMachine, FaxSetting::NeueTreiber2003Machine},
                           {kFritzBoxMachineWow, FaxSetting::FritzBoxMachineWow},
                           {kNewDriverMachineWow, FaxSetting::NeueTreiber2003MachineWow},
                           {kControllerFax, FaxSetting::ControllerFax},
                           {kSpeech, FaxSetting::Speech}};

// Reads a setting and notes whether it is stored with the wrong type.
int ReadSetting(FaxSetting setting, std::string& hex) {
    config::ValueRead found;
    const int result = config::ReadFaxSetting(setting, hex, found);
    Kept(setting) = found == config::ValueRead::WrongType;
    return result;
}

// Writes a setting, unless it holds a value of the wrong type that the user left alone.
void WriteSetting(FaxSetting setting, const std::string& hex) {
    if (!Kept(setting)) config::WriteFaxSetting(setting, hex);
}

// " falscher Typ -> Cip, Speech ", or nothing.
void ShowWrongTypes(ui::Dialog dialog) {
    std::string names;
    for (const SettingName& entry : kSettingNames)
        if (Kept(entry.setting)) names += (names.empty() ? "" : ", ") + std::string(entry.name);
    ui::SetControlText(dialog, kWrongTypes,
                       names.empty() ? "" : config::kWrongTypeText + ("-> " + names + " "));
    ui::ShowControl(dialog, kWrongTypes, !names.empty());
}

bool Checked(ui::Dialog dialog, int id) {
    return ui::GetCheck(dialog, id) == ui::kChecked;
}

std::string FlagText(ui::Dialog dialog, int id) {
    return Checked(dialog, id) ? "1" : "0";
}

std::string FlagHex(ui::Dialog dialog, int id) {
    return Checked(dialog, id) ? "00000001" : "00000000";
}

void SetNumberText(ui::Dialog dialog, const std::string& text) {
    ui::SetTextByProgram(dialog, kControllerNumber, text);
}

void SetNumberEditable(ui::Dialog dialog, bool editable) {
    ui::SetEditReadOnly(dialog, kControllerNumber, !editable);
}

// The digits of the text as a number; absurdly long digit runs stop growing above 32 bits.
std::uint64_t DigitsNumber(const std::string& text) {
    std::uint64_t number = 0;
    for (char c : sysinfo::KeepOnly(text, sysinfo::kDigits)) {
        number = number * 10 + static_cast<std::uint64_t>(c - '0');
        if (number > 0xFFFFFFFFull) return 0x100000000ull;
    }
    return number;
}

// The FRITZ!Box Internet line needs a router address and the CAPI-over-TCP client.
bool InternetPossible() {
    return config::RouterAddressStored() != 0 && deploy::FirstCapiOverTcpLocation().has_value();
}

// The stored "CapiController" for the selected choice; "" when nothing is selected. A number
// of 0 (or none) in the box becomes controller 1, in the box too.
std::string ControllerText(ui::Dialog dialog) {
    if (Checked(dialog, kController)) {
        std::uint64_t number = DigitsNumber(ui::GetControlText(dialog, kControllerNumber));
        if (number == 0) {
            number = 1;
            SetNumberText(dialog, "1");
        }
        // The box keeps typed numbers far lower; this only guards against a wider text.
        if (number > 0xFFFFFFFFull) number = kMaxControllerNumber;
        return config::DwordText(static_cast<std::uint32_t>(number));
    }
    for (const RouterLine& line : kRouterLines)
        if (Checked(dialog, line.id)) return line.value;
    return "";
}

std::string ServiceText(ui::Dialog dialog) {
    if (Checked(dialog, kAnalogFax)) return kAnalogFaxValue;
    if (Checked(dialog, kIsdnFax)) return kIsdnFaxValue;
    return "";
}

void EnableRouterLines(ui::Dialog dialog, bool enabled) {
    for (const RouterLine& line : kRouterLines) ui::EnableControl(dialog, line.id, enabled);
}

// Fills every control from the registry.
void Reload(ui::Dialog dialog) {
    std::string hex;
    ui::EnableControl(dialog, kApply, false);
    TheState().controllerTouched = false;

    const int user = ReadSetting(FaxSetting::FritzBoxUser, hex);
    ui::SetCheck(dialog, kFritzBoxUser, user);
    EnableRouterLines(dialog, user == 1);

    const Flag machineFlags[] = {{kFritzBoxMachine, FaxSetting::FritzBoxMachine},
                                 {kNewDriverMachine, FaxSetting::NeueTreiber2003Machine},
                                 {kFritzBoxMachineWow, FaxSetting::FritzBoxMachineWow},
                                 {kNewDriverMachineWow, FaxSetting::NeueTreiber2003MachineWow}};
    for (const Flag& flag : machineFlags)
        ui::SetCheck(dialog, flag.id, ReadSetting(flag.setting, hex));

    if (config::VendorKeyExists(config::kVendorKeyWow6432Node) == 0) {
        ui::EnableControl(dialog, kFritzBoxMachineWow, false);
        ui::EnableControl(dialog, kNewDriverMachineWow, false);
        // On 64-bit Windows the 32-bit fax application reads the Wow6432Node pair, so it can
        // be chosen before the 32-bit vendor key exists; the first write makes the path.
        if (sysinfo::SixtyFourBitWindows() == 0) ui::EnableControl(dialog, kWowSwitch, false);
    } else {
        ui::EnableControl(dialog, kFritzBoxMachine, false);
        ui::EnableControl(dialog, kNewDriverMachine, false);
        ui::SetCheck(dialog, kWowSwitch, ui::kChecked);
        // The checked box names the pair that is edited, so that pair must be usable, also
        // after the user had switched to the other pair before "Übernehmen".
        ui::EnableControl(dialog, kFritzBoxMachineWow, true);
        ui::EnableControl(dialog, kNewDriverMachineWow, true);
    }

    ui::SetCheck(dialog, kControllerFax, ReadSetting(FaxSetting::ControllerFax, hex));

    SetNumberEditable(dialog, false);
    if (ReadSetting(FaxSetting::CapiController, hex) == 1) {
        int selected = kController;
        for (const RouterLine& line : kRouterLines)
            if (hex == line.value) selected = line.id;
        ui::SetOption(dialog, kController, kRouterInternet, selected);
        if (selected == kController) {
            // Unsigned: a signed "-4" would come back from the box as 4.
            SetNumberText(dialog, std::to_string(config::HexTextNumber(hex)));
            SetNumberEditable(dialog, true);
        }
    }

    if (!InternetPossible()) ui::EnableControl(dialog, kRouterInternet, false);

    if (ReadSetting(FaxSetting::Cip, hex) == 1) {
        if (hex == kAnalogFaxValue) ui::SetOption(dialog, kAnalogFax, kIsdnFax, kAnalogFax);
        if (hex == kIsdnFaxValue) ui::SetOption(dialog, kAnalogFax, kIsdnFax, kIsdnFax);
    }

    ui::SetCheck(dialog, kSpeech, ReadSetting(FaxSetting::Speech, hex));
    ShowWrongTypes(dialog);
}

// " Übernehmen ": every choice goes to the registry, then the dialog shows what was stored.
void Apply(ui::Dialog dialog) {
    WriteSetting(FaxSetting::FritzBoxUser, FlagText(dialog, kFritzBoxUser));
    if (Checked(dialog, kWowSwitch)) {
        WriteSetting(FaxSetting::FritzBoxMachineWow, FlagText(dialog, kFritzBoxMachineWow));
        WriteSetting(FaxSetting::NeueTreiber2003MachineWow, FlagText(dialog, kNewDriverMachineWow));
    } else {
        WriteSetting(FaxSetting::FritzBoxMachine, FlagText(dialog, kFritzBoxMachine));
        WriteSetting(FaxSetting::NeueTreiber2003Machine, FlagText(dialog, kNewDriverMachine));
    }
    WriteSetting(FaxSetting::ControllerFax, FlagText(dialog, kControllerFax));
    if (TheState().controllerTouched) {
        const std::string controller = ControllerText(dialog);
        if (!controller.empty()) WriteSetting(FaxSetting::CapiController, controller);
    }
    const std::string service = ServiceText(dialog);
    if (!service.empty()) WriteSetting(FaxSetting::Cip, service);
    WriteSetting(FaxSetting::Speech, FlagText(dialog, kSpeech));

    ui::EnableControl(dialog, kApply, false);
    ui::SendToWindow(dialog, kReload, 0, 0);
}

// The registry script of the choices as they are in the dialog now.
std::string ExportText(ui::Dialog dialog) {
    const bool wow = Checked(dialog, kWowSwitch);
    std::string text;
    auto line = [&text](const std::string& content) { text += content + kCrLf; };
    // A setting of the wrong type that the user left alone has no value in the dialog: its
    // line stays out, and importing the file leaves it as it is.
    auto value = [&line](FaxSetting setting, const std::string& hex) {
        if (!Kept(setting) && !hex.empty())
            line(RegNumberValueLine(config::FaxSettingName(setting), hex));
    };
    if (wow) {
        line(config::fax::kMachineKeyLineWow);
        value(FaxSetting::FritzBoxMachineWow, FlagHex(dialog, kFritzBoxMachineWow));
        value(FaxSetting::NeueTreiber2003MachineWow, FlagHex(dialog, kNewDriverMachineWow));
    } else {
        line(config::fax::kMachineKeyLine);
        value(FaxSetting::FritzBoxMachine, FlagHex(dialog, kFritzBoxMachine));
        value(FaxSetting::NeueTreiber2003Machine, FlagHex(dialog, kNewDriverMachine));
    }
    line("");
    line(config::fax::kUserKeyLine);
    value(FaxSetting::ControllerFax, FlagHex(dialog, kControllerFax));
    value(FaxSetting::FritzBoxUser, FlagHex(dialog, kFritzBoxUser));
    // "dword:" with no digits would make the whole script unimportable.
    value(FaxSetting::CapiController, ControllerText(dialog));
    value(FaxSetting::Cip, ServiceText(dialog));
    value(FaxSetting::Speech, FlagHex(dialog, kSpeech));
    // The body's last line has no line end of its own.
    return text.substr(0, text.size() - 2);
}

void Export(ui::Dialog dialog) {
    ClearPendingRegText();
    SetPendingRegText(ExportText(dialog));
    ShowRegistryEntryDialog(dialog,
                            Checked(dialog, kWowSwitch) ? RegEntry::IsdnWow : RegEntry::Isdn);
    ui::FocusControl(dialog, kBack);
}

// The user changed the controller number: cap it, and allow writing only a real controller.
void NumberChanged(ui::Dialog dialog) {
    TheState().controllerTouched = true;
    Kept(FaxSetting::CapiController) = false;
    if (DigitsNumber(ui::GetControlText(dialog, kControllerNumber)) > kMaxControllerNumber)
        SetNumberText(dialog, std::to_string(kMaxControllerNumber));
    const std::string text = sysinfo::TrimmedEnd(ui::GetControlText(dialog, kControllerNumber));
    ui::EnableControl(dialog, kApply, !text.empty() && DigitsNumber(text) != 0);
}

void UserSwitched(ui::Dialog dialog) {
    if (Checked(dialog, kFritzBoxUser)) {
        ui::EnableControl(dialog, kRouterIsdn, true);
        ui::EnableControl(dialog, kRouterAnalog, true);
        ui::EnableControl(dialog, kRouterInternet, InternetPossible());
    } else {
        EnableRouterLines(dialog, false);
    }
    ui::EnableControl(dialog, kApply, true);
}

void WowSwitched(ui::Dialog dialog) {
    const bool wow = Checked(dialog, kWowSwitch);
    ui::EnableControl(dialog, kFritzBoxMachine, !wow);
    ui::EnableControl(dialog, kNewDriverMachine, !wow);
    ui::EnableControl(dialog, kFritzBoxMachineWow, wow);
    ui::EnableControl(dialog, kNewDriverMachineWow, wow);
}

// Picks a controller choice; the number box is editable only for a numbered controller.
void ChooseController(ui::Dialog dialog, int id) {
    TheState().controllerTouched = true;
    Kept(FaxSetting::CapiController) = false;
    ui::SetOption(dialog, kController, kRouterInternet, id);
    SetNumberEditable(dialog, id == kController);
    ui::EnableControl(dialog, kApply, true);
}

// A click on a flag's box or a service button is the user's choice of a new value.
void Chosen(int id, std::uint32_t code) {
    if (code > 1) return;
    for (const Flag& flag : kFlags)
        if (flag.id == id) Kept(flag.setting) = false;
    if (id == kAnalogFax || id == kIsdnFax) Kept(FaxSetting::Cip) = false;
}

// A command whatever its notification: true when it is handled.
bool Change(ui::Dialog dialog, int id, std::uint32_t code) {
    Chosen(id, code);
    switch (id) {
        case kFritzBoxUser:
            UserSwitched(dialog);
            return true;
        case kFritzBoxMachine:
        case kNewDriverMachine:
        case kFritzBoxMachineWow:
        case kNewDriverMachineWow:
        case kControllerFax:
        case kAnalogFax:
        case kIsdnFax:
        case kSpeech:
            ui::EnableControl(dialog, kApply, true);
            return true;
        case kWowSwitch:
            WowSwitched(dialog);
            return true;
        case kController:
            ChooseController(dialog, kController);
            return true;
        case kControllerNumber:
            if (code == ui::kEnChange && !ui::TextSetByProgram()) NumberChanged(dialog);
            return true;
        case kRouterIsdn:
        case kRouterAnalog:
        case kRouterInternet:
            SetNumberText(dialog, "1");
            ChooseController(dialog, id);
            return true;
        default:
            return false;
    }
}

void Click(ui::Dialog dialog, int id) {
    switch (id) {
        case kInternetButton:
            ChooseController(dialog, kController);
            SetNumberText(dialog, "5");
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

int ShowIsdnDialog(ui::Window owner) {
    TheState() = State{};
    ui::Dialog dialog =
        ui::NewDialog(owner, kIsdnTitle, 60, 2, 260, 310, ui::kDialogStyle, ui::kWsExControlParent);
    // From the corner of the main window's client area, below its title bar.
    int ownerX = 0, ownerY = 0;
    ui::GetClientLocation(owner, ownerX, ownerY);
    ui::SetDialogLocation(dialog, ownerX + 66, ownerY - 15);
    ui::SetDialogIcon(dialog, "#555");
    ui::AddControls(dialog, kRows);
    ui::SendToWindow(ui::ControlWindow(dialog, kControllerNumber), ui::kEmLimitText,
                     kNumberCharacters, 0);
    ui::SetEditMargins(dialog, kControllerNumber, 2);
    return ui::RunDialog(dialog, {.open =
                                      [](ui::Dialog d) {
                                          ui::AddToolTips(d, kTips);
                                          ui::PostToWindow(d, kReload, 0, 0);
                                      },
                                  .reloadMessage = kReload,
                                  .reload = Reload,
                                  .command = Change,
                                  .click = Click,
                                  .closeId = kBack});
}

}  // namespace orvano::dialogs
