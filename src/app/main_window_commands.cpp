#include "app/main_window_commands.h"

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/settings_file.h"
#include "config/fax_settings.h"
#include "config/name_resolution.h"
#include "deploy/capi_locations.h"
#include "deploy/deployment_dialog.h"
#include "dialogs/isdn_dialog.h"
#include "dialogs/name_lookups.h"
#include "dialogs/numbers_dialog.h"
#include "dialogs/port_dialog.h"
#include "dialogs/registry_entry_dialog.h"
#include "dialogs/registry_export.h"
#include "dialogs/router_ip_dialog.h"
#include "platform/osinfo.h"
#include "sysinfo/listing.h"
#include "sysinfo/paths.h"
#include "sysinfo/text.h"
#include "ui/control_table.h"
#include "ui/focus_memory.h"

namespace orvano::app {

using namespace mw;

namespace {

using ui::kRed;

constexpr std::uint32_t kListData = 0x37;
constexpr std::uint32_t kListPrograms = 0x27;
constexpr int kActionCapiCheck = 32;
constexpr char kDataPathText[] = " Datenpfad:  ";
constexpr char kDataPathMissingText[] = " Datenpfad ->";
constexpr char kSorry[] = " Sorry";

MainWindowState& TheState() {
    return MainWindowStateOf();
}

struct Companion {
    int action;
    const char* file;
    const char* title;
};

constexpr Companion kCompanions[] = {
    {kStatusToolLabel, kStatusToolFile, " Statoro"},
    {kTestToolButton, kTestToolFile, " Teluso"},
    {kDbaseButton, kDbaseToolFile, " Dambra Dateipfad ändern"},
};

bool ProgramThere(const char* file) {
    return sysinfo::ListingFindsEntry(sysinfo::ProgramFolder() + file, kListPrograms);
}

void Info(ui::Dialog dialog, const std::string& text) {
    ui::ShowMessageBox(dialog, text, kSorry, ui::kMbInfo);
}

bool IsClick(ui::WParam wParam) {
    return ui::CommandCode(wParam) <= 1;
}

// Waits up to about 2.5 seconds for a window with exactly this title and restores it when it
// is minimised.
void WaitAndRestore(const std::string& title) {
    ui::Window window = 0;
    for (int i = 0; i < 25 && !window; ++i) {
        ui::Wait(100);
        window = ui::FindWindowByTitle(title);
    }
    if (window && ui::IsMinimized(window)) {
        ui::BringToForeground(window);
        ui::ShowWindowAs(window, ui::kSwRestore);
    }
}

void StartOrRaise(ui::Dialog dialog, const Companion& companion) {
    if (!ProgramThere(companion.file)) {
        Info(dialog, std::string(companion.file) + "  ->  Fehlt ");
        return;
    }
    if (ui::Window window = ui::FindWindowByTitle(companion.title)) {
        ui::BringToForeground(window);
        ui::ShowWindowAs(window, ui::kSwRestore);
        return;
    }
    ui::ShellExecute(dialog, "", sysinfo::ProgramFolder() + companion.file, "", "", ui::kSwShow);
    WaitAndRestore(companion.title);
}

void FaxApplication(ui::Dialog dialog, ui::LParam lParam) {
    ui::Window window = ui::FindWindowByTitle(kFaxWindowTitle);
    if (lParam == 1) {
        ui::ShowControl(dialog, kFaxSettingsLabel, window != 0);
        return;
    }
    if (!window) WaitAndRestore(kFaxWindowTitle);
    window = ui::FindWindowByTitle(kFaxWindowTitle);
    // The fax application may never show its window; nothing goes to a window that is not.
    if (!window) return;
    ui::BringToForeground(window);
    ui::ShowWindowAs(window, ui::kSwRestore);
    ui::Wait(100);
    ui::PostToWindow(window, ui::kWmCommand, kFaxSettingsCommand, 0);
}

void TestTool(ui::Dialog dialog, ui::LParam lParam) {
    if (ProgramThere(kTestToolFile)) {
        ui::ShowControl(dialog, kTestToolCreateButton, false);
        return;
    }
    if (lParam != 1) return;
    deploy::DeployTestTool(dialog);
    ui::ShowControl(dialog, kTestToolCreateButton, !ProgramThere(kTestToolFile));
}

void ToolAction(ui::Dialog dialog, ui::WParam code, ui::LParam lParam) {
    switch (code) {
        case kActionCapiCheck:
            if (!deploy::FirstCapiLocation()) {
                Info(dialog, "Sorry -> Ohne Capi kein Fax !\r\n\r\ncapi2032.dll  ->  Fehlt ");
                ui::FocusControl(dialog, kQuitButton);
            }
            return;
        case kFaxSettingsLabel:
            FaxApplication(dialog, lParam);
            return;
        case kTestToolCreateButton:
            TestTool(dialog, lParam);
            return;
        default:
            for (const Companion& companion : kCompanions)
                if (static_cast<ui::WParam>(companion.action) == code)
                    StartOrRaise(dialog, companion);
    }
}

// The router look-ups of the two result fields, each answered when the name service answers.
dialogs::NameLookup& RouterLookUp(int field) {
    static dialogs::NameLookup lookUps[2];
    return lookUps[field == kLookUpResult1 ? 0 : 1];
}

void LookUp(ui::Dialog dialog, const char* name, const char* fallback, int field) {
    std::vector<std::string> names = {name};
    if (fallback) names.push_back(fallback);
    RouterLookUp(field).Resolve(
        dialog, names, [dialog, field](int index, const std::string& address, bool) {
            if (index == 0)
                ui::SetControlText(dialog, field, address);
            else if (index == 1)
                ui::SetControlText(dialog, field,
                                   "'" + address + "'");  // found under the second name
            else
                ui::SetControlText(dialog, field, "");
        });
}

void ShowDataPathLabel(ui::Dialog dialog, bool missing) {
    ui::SetControlText(dialog, kDataPathLabel, missing ? kDataPathMissingText : kDataPathText);
    ui::SetControlColor(dialog, kDataPathLabel, missing ? kRed : ui::kDefaultColor,
                        ui::kDefaultColor);
}

// A folder under the user's application data where the fax application keeps its data.
std::string ProposedDataFolder() {
    std::string appData;
    if (!platform::EnvironmentVariable("APPDATA", appData)) return "";
    const std::string sub =
        sysinfo::ListingFindsEntry(appData + "\\Roaming", kListData) ? "\\Roaming" : "";
    for (const char* tail : {"\\Fritz!\\Fax", "\\FRITZ!fax für FRITZ!Box\\Fax", "\\FRITZ!fax\\Fax"})
        if (sysinfo::ListingFindsEntry(appData + sub + tail, kListData))
            return appData + sub + tail;
    return "";
}

// The folder browser at `start`, showing below its tree the selected folder in folder form: the
// chosen folder, "" when the user cancels.
std::string BrowseForFolder(ui::Window owner, const std::string& start) {
    auto folderForm = [](const std::string& selected) {
        std::string folder = selected;
        sysinfo::ToFolderForm(folder);
        return folder;
    };
    std::string chosen;
    if (!ui::ShowFolderBrowser(owner, start, start, folderForm, chosen)) return "";
    return sysinfo::CutAtNul(chosen);
}

void ChooseDataFolder(ui::Dialog dialog) {
    const std::string blanks("\0 ", 2);
    // The stored path: the field may show it masked.
    std::string text = TheState().dataPath;
    if (sysinfo::ToUpper(sysinfo::FileNamePart(text)) == sysinfo::ToUpper("FritzFax.dbf"))
        text = sysinfo::FolderPart(text);
    text = sysinfo::WithoutTrailing(text, blanks + "\\");
    if (text.empty()) text = ProposedDataFolder();
    std::string chosen = sysinfo::Trimmed(BrowseForFolder(dialog, sysinfo::Trimmed(text)));
    if (!chosen.empty() &&
        config::WriteDataFolder(sysinfo::WithoutTrailing(chosen, blanks + "\\"))) {
        sysinfo::ToFolderForm(chosen);
        if (sysinfo::ListingFindsEntry(chosen + "FritzFax.dbf", kListData))
            chosen += "FritzFax.dbf";
        ShowDataPath(dialog, chosen);
        ui::StopTimer(dialog, kTimerBlink);
        ShowDataPathLabel(dialog, false);
        ui::RedrawControl(dialog, kDataPathLabel);
    }
    ui::FocusControl(dialog, kQuitButton);
}

void RegFileMenu(ui::Dialog dialog) {
    const ui::PixelRect rect = ui::WindowRect(ui::FocusedWindow());
    ui::ShowPopupMenu(dialog,
                      {{kMenuDefaults, dialogs::RegFileName(dialogs::RegEntry::Defaults)},
                       {kMenuDefaultsWow, dialogs::RegFileName(dialogs::RegEntry::DefaultsWow)}},
                      rect.right, rect.top);
}

void AskToQuit(ui::Dialog dialog) {
    if (ui::ShowMessageBox(dialog, kQuitQuestion, " Info", ui::kMbQuestion) == ui::kIdYes) {
        ui::CloseDialog(dialog, 0);
        return;
    }
    ui::SetFocusWindow(ui::FocusedWindow());
}

void AfterDialog(ui::Dialog dialog,
                 std::initializer_list<std::pair<std::uint32_t, ui::WParam>> posts, int focus) {
    for (const auto& [message, wParam] : posts) ui::PostToWindow(dialog, message, wParam, 0);
    ui::FocusControl(dialog, focus);
}

void Command(ui::Dialog dialog, ui::WParam wParam) {
    const int id = ui::CommandId(wParam);
    const std::uint32_t code = ui::CommandCode(wParam);
    if (id == kMaskUserName) {  // any notification
        ui::SendToWindow(dialog, kMsgUserNameMask, kMaskUserName, 0);
        return;
    }
    // Labels: a click or a double-click, as the row says.
    switch (id) {
        case kFaxSettingsLabel:
            if (code == ui::kStnClicked) {
                ui::Wait(100);
                ui::SendToWindow(dialog, kMsgToolAction, kFaxSettingsLabel, 0);
            }
            return;
        case kAddressLabel:
            if (code == ui::kStnDblClk) ui::PostToWindow(dialog, ui::kWmCommand, kAddressButton, 0);
            return;
        case kPortLabel:
            if (code == ui::kStnDblClk) ui::PostToWindow(dialog, ui::kWmCommand, kPortButton, 0);
            return;
        case kStatusToolLabel:
            if (code == ui::kStnClicked)
                ui::SendToWindow(dialog, kMsgToolAction, kStatusToolLabel, 0);
            return;
        case kWarningTicker:
            if (code == ui::kStnClicked) {
                dialogs::ShowNumbersDialog(dialog);
                ui::FocusControl(dialog, kWarningTicker);
            }
            return;
        default:
            break;
    }
    if (!IsClick(wParam)) return;
    switch (id) {
        case kRegFileButton:
            if (ui::ControlIdOf(ui::FocusedWindow()) == kRegFileButton) RegFileMenu(dialog);
            break;
        case kMenuDefaults:
        case kMenuDefaultsWow:
            dialogs::ShowRegistryEntryDialog(dialog, id == kMenuDefaults
                                                         ? dialogs::RegEntry::Defaults
                                                         : dialogs::RegEntry::DefaultsWow);
            ui::FocusControl(dialog, kRegFileButton);
            break;
        case kDataFolderButton:
            ChooseDataFolder(dialog);
            break;
        case kLookUpButton1:
            LookUp(dialog, config::kRouterHostName1, config::kRouterHostName2, kLookUpResult1);
            break;
        case kLookUpButton3:
            LookUp(dialog, config::kRouterHostName3, nullptr, kLookUpResult3);
            break;
        case kIsdnButton:
            dialogs::ShowIsdnDialog(dialog);
            ui::FocusControl(dialog, kIsdnButton);
            break;
        case kQuitButton:
            AskToQuit(dialog);
            break;
        case kAddressButton:
            dialogs::ShowRouterIpDialog(dialog);
            AfterDialog(dialog, {{kMsgRefreshEndpoint, 0}, {kMsgRefreshVendorKeys, 0}},
                        kAddressButton);
            break;
        case kPortButton:
            dialogs::ShowPortDialog(dialog);
            AfterDialog(dialog, {{kMsgRefreshEndpoint, 0}, {kMsgRefreshVendorKeys, 0}},
                        kPortButton);
            break;
        case kCapiCreateButton:
            deploy::ShowCapiDeployDialog(dialog);
            AfterDialog(dialog, {{kMsgRefreshCapiFolders, 0}, {kMsgToolAction, kActionCapiCheck}},
                        kCapiCreateButton);
            break;
        case kTestToolButton:
            ui::SendToWindow(dialog, kMsgToolAction, kTestToolButton, 0);
            break;
        case kTestToolCreateButton:
            ui::SendToWindow(dialog, kMsgToolAction, kTestToolCreateButton, 1);
            ui::FocusControl(dialog, kTestToolCreateButton);
            break;
        case kDbaseButton:
            ui::SendToWindow(dialog, kMsgToolAction, kDbaseButton, 0);
            break;
        default:
            break;
    }
}

void Ticker(ui::Dialog dialog) {
    const std::string text = MainWindowStateOf().numbersStatus == 5
                                 ? "--> Fehler, Ländervorwahl zuletzt gewählte Rufnummern "
                                 : "--> Fehler, zuletzt gewählte Rufnummern ";
    std::size_t& position = TheState().tickerPosition;
    if (++position > text.size()) position = 1;
    ui::SetControlText(dialog, kWarningTicker,
                       text.substr(position - 1) + text.substr(0, position - 1));
}

void Blink(ui::Dialog dialog) {
    int& phase = TheState().blinkPhase;
    ShowDataPathLabel(dialog, phase != 0);
    phase = phase == 0 ? 1 : 0;
    std::string folder;
    if (config::ReadDataFolder(folder)) ShowDataPath(dialog, folder);
    if (sysinfo::ListingFindsEntry(TheState().dataPath, kListData)) {
        ui::StopTimer(dialog, kTimerBlink);
        ShowDataPathLabel(dialog, false);
    }
    ui::RedrawControl(dialog, kDataPathLabel);
}

void Timer(ui::Dialog dialog, ui::WParam id) {
    switch (id) {
        case kTimerLookUp:
            ui::PostToWindow(dialog, ui::kWmCommand, kLookUpButton1, 0);
            ui::PostToWindow(dialog, ui::kWmCommand, kLookUpButton3, 0);
            ui::StopTimer(dialog, kTimerLookUp);
            break;
        case kTimerTicker:
            Ticker(dialog);
            break;
        case kTimerBlink:
            Blink(dialog);
            break;
        case kTimerWatch:
            if (MainWindowStateOf().faxProgramFound == 1)
                ui::SendToWindow(dialog, kMsgToolAction, kFaxSettingsLabel, 1);
            ui::ShowControl(dialog, kStatusToolLabel, ProgramThere(kStatusToolFile));
            break;
        default:
            break;
    }
}

// Closing the main window closes the companion programs too, when the settings say so and
// no tool collection is there that keeps them.
void CloseCompanions() {
    std::string value;
    if (!ReadAllProgExit(value) || value != "1" || ui::FindWindowByTitle(kToolCollectionTitle))
        return;
    for (const char* title : {" Teluso", " Statoro", " Dambra Dateipfad ändern"})
        if (ui::Window window = ui::FindWindowByTitle(title))
            ui::PostToWindow(window, ui::kWmSysCommand, ui::kScClose, 0);
}

}  // namespace

void HandleMainWindowMessage(ui::Dialog dialog, std::uint32_t message, ui::WParam wParam,
                             ui::LParam lParam) {
    switch (message) {
        case ui::kWmCommand:
            Command(dialog, wParam);
            break;
        case kMsgToolAction:
            ToolAction(dialog, wParam, lParam);
            break;
        case ui::kWmTimer:
            Timer(dialog, wParam);
            break;
        case ui::kWmNcActivate:
            TheState().focus.OnNcActivate(wParam);
            break;
        case ui::kWmClose:
            CloseCompanions();
            break;
        case ui::kWmDestroy:
            for (std::uintptr_t timer : {kTimerLookUp, kTimerTicker, kTimerBlink, kTimerWatch})
                ui::StopTimer(dialog, timer);
            for (int field : {kLookUpResult1, kLookUpResult3}) RouterLookUp(field).Drop();
            break;
        default:
            break;
    }
}

}  // namespace orvano::app
