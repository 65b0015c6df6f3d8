#include "app/main_window.h"

#include <string>
#include <vector>

#include "app/main_window_commands.h"
#include "app/settings_file.h"
#include "config/endpoint.h"
#include "config/fax_settings.h"
#include "config/name_resolution.h"
#include "config/registry.h"
#include "deploy/capi_locations.h"
#include "deploy/deployment_dialog.h"
#include "sysinfo/listing.h"
#include "sysinfo/paths.h"
#include "sysinfo/text.h"
#include "sysinfo/windows_edition.h"
#include "ui/control_table.h"

namespace orvano::app {

using namespace mw;
using ui::ControlKind;
using ui::kDefaultColor;
using ui::Rgb;

namespace {

using ui::kFlatButton;
using ui::kNavy;
using ui::kRed;
using ui::kWhite;

constexpr std::uint32_t kEditStyle = 0x50010880;
constexpr std::uint32_t kEditCentred = 0x50010881;
constexpr std::int32_t kDarkBlue = Rgb(0, 64, 128);
constexpr std::uint32_t kListData = 0x37;      // read-only, hidden, system, folder, archive
constexpr std::uint32_t kListPrograms = 0x27;  // the same without folders
constexpr int kEditMargin = 2;

ui::ControlRow Edit(int id, int x, int y, int width, bool centred = false) {
    ui::ControlRow row{id, ControlKind::Edit, "", x, y, width, 10};
    row.style = centred ? kEditCentred : kEditStyle;
    row.backColor = kWhite;
    return row;
}

std::string Padded(const char* text) {
    return std::string(" ") + text + " ";
}

// The window's controls in creation (and tab) order.
std::vector<ui::ControlRow> Controls() {
    return {
        {kTitle, ControlKind::Label, " Orvano Tool Fritz!Fax ", 11, 2, 385, 10, 0x50000001, 0,
         Rgb(64, 128, 192)},
        {kWindowsFrame, ControlKind::Frame, "", 6, 9, 400, 37, 0, 0, 0x808080},
        {kMicrosoftLabel, ControlKind::Label, "Microsoft", 11, 19, 50, 10, 0},
        Edit(kEdition, 71, 19, 160),
        Edit(kInstallDate, 236, 19, 160),
        {kWindowsLabel, ControlKind::Label, "Windows", 11, 30, 50, 10, 0},
        Edit(kVersion, 71, 30, 160),
        Edit(kBrowser, 236, 30, 160),
        {kFaxFrame, ControlKind::Frame, "", 6, 48, 400, 48, 0},
        {kFaxLabel, ControlKind::Label, " Fritz!Fax ", 11, 58, 55, 10, 0x50000100},
        {kFaxSettingsLabel, ControlKind::Label, " Fritz!Fax - Erweiterte Einstellungen ... ISDN ",
         130, 58, 150, 10, 0x50000101, 0, kDarkBlue},
        {kFaxVersionLabel, ControlKind::Label, " Version: ", 316, 58, 35, 10, 0x50000100},
        Edit(kFaxVersion, 351, 58, 45),
        {kProgramPathLabel, ControlKind::Label, " Programmpfad:  ", 11, 69, 55, 10, 0x50000300},
        Edit(kProgramPath, 71, 69, 325),
        {kDataPathLabel, ControlKind::Label, " Datenpfad:  ", 11, 80, 44, 10, 0x50000300},
        {kDataFolderButton, ControlKind::Button, "...", 55, 80, 14, 10, kFlatButton},
        Edit(kDataPath, 71, 80, 320),
        {kMaskUserName, ControlKind::CheckBox, "", 392, 80, 10, 10, 0x50014D03},
        {kUserNameWarning, ControlKind::Label, " ! ", 401, 79, 3, 10, 0x50000301, 0, kRed},
        {kCapiFrame, ControlKind::Frame, "", 6, 98, 400, 48, 0},
        {kFaxCapiLabel, ControlKind::Label, " Fritz!: ", 11, 108, 55, 10, 0x50000100},
        Edit(kFaxCapiPath, 71, 108, 240),
        Edit(kFaxCapiVersion, 316, 108, 80, true),
        {kSystem32Label, ControlKind::Label, " System32: ", 11, 119, 55, 10, 0x50000100},
        Edit(kSystem32Path, 71, 119, 240),
        Edit(kSystem32Version, 316, 119, 80, true),
        {kSysWow64Label, ControlKind::Label, " SysWow64: ", 11, 130, 55, 10, 0x50000100},
        Edit(kSysWow64Path, 71, 130, 240),
        Edit(kSysWow64Version, 316, 130, 80, true),
        {kKeysFrame, ControlKind::Frame, "", 6, 148, 400, 48, 0},
        {kHkcuLabel, ControlKind::Label, " HKCU: ", 11, 158, 55, 10, 0x50000100},
        Edit(kHkcu, 71, 158, 185),
        {kHklmLabel, ControlKind::Label, " HKLM: ", 11, 169, 55, 10, 0x50000100},
        Edit(kHklm, 71, 169, 185),
        {kWowLabel, ControlKind::Label, " Wow6432Node: ", 11, 180, 55, 10, 0x50000100},
        Edit(kWow, 71, 180, 185),
        {kAddressLabel, ControlKind::Label, " IP-Adresse: ", 266, 158, 50, 10, 0x50000101},
        {kPortLabel, ControlKind::Label, " Port: ", 336, 158, 50, 10, 0x50000101},
        Edit(kAddress, 261, 169, 60, true),
        Edit(kPort, 326, 169, 70, true),
        Edit(kWowAddress, 261, 180, 60, true),
        Edit(kWowPort, 326, 180, 70, true),
        {kToolsFrame, ControlKind::Frame, "", 6, 198, 400, 65, 0},
        {kSettingsFrame, ControlKind::Frame, "", 258, 198, 67, 65, 0},
        {kLookUpFrame, ControlKind::Frame, "", 324, 198, 82, 65, 0},
        {kOrvanoLabel, ControlKind::Label, " Orvano ", 266, 209, 50, 10, 0x50000001},
        {kSettingLabel, ControlKind::Label, " Einstellung ", 266, 221, 50, 10, 0x50000001},
        {kAddressButton, ControlKind::Button, " IP-Adresse ", 266, 234, 50, 12, kFlatButton},
        {kPortButton, ControlKind::Button, " Port ", 266, 247, 50, 12, kFlatButton},
        {kLookUpButton1, ControlKind::Button, Padded(config::kRouterHostName1), 331, 208, 60, 12,
         kFlatButton},
        Edit(kLookUpResult1, 331, 221, 60, true),
        {kLookUpButton3, ControlKind::Button, Padded(config::kRouterHostName3), 331, 234, 60, 12,
         kFlatButton},
        Edit(kLookUpResult3, 331, 247, 60, true),
        {kTestFrame, ControlKind::Frame, "", 72, 198, 67, 65, 0},
        {kCapiCreateFrame, ControlKind::Frame, "", 6, 198, 67, 65, 0},
        {kCapiLabel, ControlKind::Label, " Capi2032.dll ", 14, 209, 50, 10, 0x50000001},
        {kCreateLabel, ControlKind::Label, " erstellen ", 14, 221, 50, 10, 0x50000001},
        {kCapiCreateButton, ControlKind::Button, " Erstellen ", 14, 247, 50, 12, kFlatButton},
        {kCapiTestLabel, ControlKind::Label, " Capi Test ", 80, 209, 50, 10, 0x50000001},
        {kStatusToolLabel, ControlKind::Label, " CAPIoTCP Status ", 73, 221, 64, 10, 0x50000101,
         kDarkBlue},
        {kTestToolCreateButton, ControlKind::Button, " Erstellen ", 80, 234, 50, 12, kFlatButton},
        {kTestToolButton, ControlKind::Button, " Capi Test ", 80, 247, 50, 12, kFlatButton},
        {kDbaseButton, ControlKind::Button, " Dambra Dateipfad ändern ", 159, 206, 80, 20,
         0x5001AF00},
        {kIsdnButton, ControlKind::Button, " Erweiterte Einstellungen ... ISDN ", 181, 279, 125, 15,
         0},
        {kQuitButton, ControlKind::Button, " Beenden ", 326, 279, 70, 15, 0},
        {kPhoneLabel, ControlKind::Label, " Per Telefon ", 6, 270, 150, 10, 0, 0, kNavy},
        {kPhoneOnLabel, ControlKind::Label, " Mit #96*3* CAPIoTCP starten (Orvano ein) ", 6, 280,
         150, 10, 0, 0, kNavy},
        {kPhoneOffLabel, ControlKind::Label, " Mit #96*2* CAPIoTCP beenden (Orvano aus) ", 6, 290,
         150, 10, 0, 0, kNavy},
        {kWarningFrame, ControlKind::Frame, "", 138, 198, 121, 32, 0},
        {kWarningTicker, ControlKind::Label, "", 144, 232, 110, 10, 0x50000301, 0, kRed},
        {kWarningLine, ControlKind::Line, "Line1", 139, 243, 120, 1, 0x50000010},
    };
}

// Registered in this order.
std::vector<ui::ToolTipRow> ToolTips() {
    const std::string lookUp = " IP-Adresse: ";
    return {
        {kDataFolderButton, " Ordner der Dbase Datenbank Datei: FritzFax.dbf "},
        {kFaxLabel, " AVM Programm Fritz!Fax "},
        {kFaxVersionLabel, " Fritz!Fax Version "},
        {kProgramPathLabel, " Programmpfad von Fritz!Fax "},
        {kDataPathLabel, " Datenpfad der FritzFax.dbf "},
        {kDataPath,
         " wenn leer dann diesen Button ... betätigen und den Ordner auswählen und mit OK "
         "eintragen. "},
        {kMaskUserName, " User Name to little Star and Back "},
        {kUserNameWarning, " User Name in Path "},
        {kFaxSettingsLabel,
         " Linke Maustaste -> Programm: Fritz!Fax - Erweiterte Einstellungen ... ISDN "},
        {kFaxCapiLabel, " Programm Ordner von Fritz!Fax "},
        {kSystem32Label, " Ordner Windows System32 "},
        {kSysWow64Label, " Ordner Windows SysWow64 "},
        {kFaxCapiVersion, " capi2032.dll Version "},
        {kSystem32Version, " capi2032.dll Version "},
        {kSysWow64Version, " capi2032.dll Version "},
        {kHkcuLabel, " Registry Eintrag: [HKEY_CURRENT_USER\\SOFTWARE\\AVM] "},
        {kHklmLabel, " Registry Eintrag: [HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM] "},
        {kWowLabel, " Registry Eintrag: [HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM] "},
        {kAddressLabel, " Orvano IP-Adresse "},
        {kPortLabel, " Orvano Port "},
        {kAddressButton, " Orvano IP-Adresse erstellen "},
        {kPortButton, " Orvano Port erstellen "},
        {kLookUpButton1, lookUp + config::kRouterHostName1 + " "},
        {kLookUpButton3, lookUp + config::kRouterHostName3 + " "},
        {kStatusToolLabel, " Linke Maustaste -> Programm: Statoro "},
        {kTestToolButton, " Programm: Teluso "},
        {kTestToolCreateButton, " Programm: Teluso erstellen "},
        {kDbaseButton, " Programm: Dambra Dateipfad ändern "},
        {kWarningTicker, " Linke Maustaste -> Fritz!Fax - Fehler Ländervorwahl "},
        {kCapiCreateButton, " Datei capi2032.dll erstellen oder löschen "},
        {kRegFileButton, " Reg Datei erstellen "},
        {kIsdnButton, " Fritz!Fax - Erweiterte Einstellungen ... ISDN "},
        {kQuitButton, " Programm Beenden "},
    };
}

MainWindowState& State() {
    return MainWindowStateOf();
}

void Set(ui::Dialog dialog, int id, const std::string& text) {
    ui::SetControlText(dialog, id, text);
}

// One capi2032.dll row: the folder, or the file's full path when one lies there, and its
// versions. Without a file, a refresh empties the version field; the opening leaves it.
void ShowCapiRow(ui::Dialog dialog, const std::string& folder, int pathId, int versionId,
                 bool refresh) {
    const bool there = deploy::CapiKindOf(folder) != deploy::CapiKind::None;
    if (there)
        deploy::ShowCapiVersion(dialog, versionId, folder);
    else if (refresh)
        Set(dialog, versionId, "");
    Set(dialog, pathId, there ? deploy::CapiFileIn(folder) : folder);
}

void ShowCapiRows(ui::Dialog dialog, bool refresh) {
    std::string system32, sysWow64;
    deploy::System32Folder(system32);
    ShowCapiRow(dialog, system32, kSystem32Path, kSystem32Version, refresh);
    deploy::SysWow64Folder(sysWow64);
    ShowCapiRow(dialog, sysWow64, kSysWow64Path, kSysWow64Version, refresh);
}

bool Exists(const std::string& path, std::uint32_t mask) {
    return sysinfo::ListingFindsEntry(path, mask);
}

void ShowFaxApplication(ui::Dialog dialog) {
    std::string version, programFolder, dataFolder;
    if (!config::ReadFaxApplication(version, programFolder, dataFolder)) {
        ui::EnableControl(dialog, kDataFolderButton, false);
        for (int id : {kFaxCapiPath, kFaxVersion, kProgramPath}) Set(dialog, id, "");
        ShowDataPath(dialog, "");
        return;
    }
    Set(dialog, kFaxVersion, version);
    ShowCapiRow(dialog, programFolder, kFaxCapiPath, kFaxCapiVersion, false);
    if (Exists(programFolder + "FriFax32.exe", kListData)) {
        programFolder += "FriFax32.exe";
        State().faxProgramFound = 1;
    }
    Set(dialog, kProgramPath, programFolder);
    if (!Exists(sysinfo::WithoutTrailing(dataFolder, "\\/"), kListData)) {
        Set(dialog, kDataPathLabel, " Datenpfad ->");
        ui::SetControlColor(dialog, kDataPathLabel, kRed, kDefaultColor);
        ui::StartTimer(dialog, kTimerBlink, 500);
    }
    if (Exists(dataFolder + "FritzFax.dbf", kListData)) dataFolder += "FritzFax.dbf";
    ShowDataPath(dialog, dataFolder);
    ui::EnableControl(dialog, kDataFolderButton, true);
}

void Open(ui::Dialog dialog) {
    const std::vector<ui::ToolTipRow> tips = ToolTips();
    ui::AddToolTips(dialog, tips.data(), tips.size());

    Set(dialog, kEdition, sysinfo::WindowsEditionName());
    Set(dialog, kVersion, sysinfo::WindowsVersionNumber() + " " + sysinfo::WindowsServicePack());
    Set(dialog, kInstallDate, sysinfo::WindowsInstallDate(config::ReadInstallSeconds()));
    Set(dialog, kBrowser, sysinfo::InternetExplorerVersion(config::ReadInternetExplorerVersion()));

    ShowCapiRows(dialog, false);
    ShowFaxApplication(dialog);

    ui::PostToWindow(dialog, kMsgRefreshVendorKeys, 0, 0);
    ui::PostToWindow(dialog, kMsgRefreshEndpoint, 0, 0);
    ui::PostToWindow(dialog, kMsgToolAction, 32, 0);
    ui::PostToWindow(dialog, kMsgToolAction, kTestToolCreateButton, 0);

    State().numbersStatus = config::DialledNumbersStatus();
    if (State().numbersStatus >= 2)
        ui::StartTimer(dialog, kTimerTicker, 200);
    else
        ui::ShowControl(dialog, kWarningTicker, false);
    ui::StartTimer(dialog, kTimerLookUp, 5000);
    ui::PostToWindow(dialog, kMsgUserNameMask, kMaskUserName, 0);
    if (Exists(sysinfo::ProgramFolder() + "Statoro.exe", kListPrograms))
        ui::ShowControl(dialog, kStatusToolLabel, true);
    if (State().faxProgramFound == 1)
        ui::PostToWindow(dialog, kMsgToolAction, kFaxSettingsLabel, 1);
    ui::StartTimer(dialog, kTimerWatch, 5000);
}

void RefreshEndpoint(ui::Dialog dialog) {
    struct Fields {
        config::RegistryView view;
        int address, port;
    } rows[] = {{config::RegistryView::Native, kAddress, kPort},
                {config::RegistryView::Wow6432Node, kWowAddress, kWowPort}};
    // A value of the wrong type is there, but the client cannot read it: said as such.
    auto shown = [](config::ValueRead found, int usable, const std::string& text) {
        if (found == config::ValueRead::WrongType) return std::string(config::kWrongTypeText);
        return usable ? text : std::string();
    };
    for (const Fields& row : rows) {
        std::string address, hex;
        config::ValueRead found;
        const int addressUsable = config::ReadRouterAddress(row.view, address, found);
        Set(dialog, row.address, shown(found, addressUsable, address));
        const int portUsable = config::ReadPort(row.view, hex, found);
        Set(dialog, row.port,
            shown(found, portUsable,
                  hex + " (" + std::to_string(config::HexTextNumber(hex)) + ")"));
    }
}

void RefreshCapiFolders(ui::Dialog dialog) {
    std::string faxFolder;
    deploy::FaxProgramFolder(faxFolder);
    ShowCapiRow(dialog, faxFolder, kFaxCapiPath, kFaxCapiVersion, true);
    ShowCapiRows(dialog, true);
}

void RefreshVendorKeys(ui::Dialog dialog) {
    Set(dialog, kHkcu, config::VendorKeyText(config::kVendorKeyUser));
    Set(dialog, kHklm, config::VendorKeyText(config::kVendorKeyMachine));
    Set(dialog, kWow, config::VendorKeyText(config::kVendorKeyWow6432Node));
}

// Only the display changes: the user's name in the data path behind stars, or back again.
// The field is always made from the stored path, never from what it shows.
void ApplyUserNameMask(ui::Dialog dialog) {
    std::string shown = State().dataPath;
    if (ui::GetCheck(dialog, kMaskUserName) == ui::kChecked) sysinfo::MaskUserName(shown, 1);
    if (shown != ui::GetControlText(dialog, kDataPath)) {
        Set(dialog, kDataPath, shown);
        ui::RedrawControl(dialog, kDataPath);
    }
    ui::ShowControl(dialog, kUserNameWarning, sysinfo::PathHasUserName(shown) == 1);
}

}  // namespace

MainWindowState& MainWindowStateOf() {
    static MainWindowState state;
    return state;
}

void ShowDataPath(ui::Dialog dialog, const std::string& path) {
    State().dataPath = path;
    ApplyUserNameMask(dialog);
}

std::intptr_t MainWindowCallback(ui::Dialog dialog, std::uint32_t message, ui::WParam wParam,
                                 ui::LParam lParam) {
    // A fresh state for every opening, before the placement is restored into it.
    if (message == ui::kWmInitDialog) State() = MainWindowState{};
    State().placement.Track(dialog, message, wParam);
    switch (message) {
        case ui::kWmInitDialog:
            Open(dialog);
            break;
        case kMsgRefreshEndpoint:
            RefreshEndpoint(dialog);
            break;
        case kMsgRefreshCapiFolders:
            RefreshCapiFolders(dialog);
            break;
        case kMsgRefreshVendorKeys:
            RefreshVendorKeys(dialog);
            break;
        case kMsgUserNameMask:
            if (wParam == static_cast<ui::WParam>(kMaskUserName)) ApplyUserNameMask(dialog);
            break;
        default:
            break;
    }
    // Everything else: commands, timers, companion programs and closing.
    HandleMainWindowMessage(dialog, message, wParam, lParam);
    return 0;
}

int ShowMainWindow() {
    ui::Dialog dialog = ui::NewDialog(0, kMainWindowTitle, 61, 15, 412, 310, ui::kMainWindowStyle,
                                      ui::kWsExControlParent);
    const std::vector<ui::ControlRow> controls = Controls();
    ui::AddControls(dialog, controls.data(), controls.size());
    ui::FontHandle bold = ui::CreateBoldDialogFont();
    ui::SetControlFont(dialog, kDataFolderButton, bold);
    ui::AddControl(dialog, ControlKind::Button, kRegFileButton, " Reg Datei ", 174, 247, 50, 12,
                   kFlatButton, 0);
    ui::SetControlColor(dialog, kRegFileButton, kDefaultColor, kDefaultColor);
    ui::SetDialogIcon(dialog, "#555");
    for (const ui::ControlRow& row : controls)
        if (row.kind == ControlKind::Edit) ui::SetEditMargins(dialog, row.id, kEditMargin);
    for (int id : {kUserNameWarning, kFaxSettingsLabel, kStatusToolLabel})
        ui::ShowControl(dialog, id, false);
    const int result = ui::RunModal(dialog, MainWindowCallback);
    ui::DeleteFont(bold);
    return result;
}

}  // namespace orvano::app
