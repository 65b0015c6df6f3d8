#include <gtest/gtest.h>

#include "app/main_window.h"
#include "config/fax_settings.h"
#include "config/registry.h"
#include "headless_fixture.h"
#include "platform/memory/osinfo_control.h"
#include "ui/headless/script.h"

namespace orvano::testing {
namespace {

using namespace orvano::app;
using namespace orvano::app::mw;
using config::kCurrentUser;
using config::kLocalMachine;

std::string Image(std::uint32_t fileMs, std::uint32_t productMs, const std::string& extra = "") {
    std::string bytes = "MZ" + std::string(62, '\0');
    const std::uint32_t fixed[] = {0xFEEF04BD, 0x00010000, fileMs, 0x00010000, productMs, 0, 0,
                                   0,          0,          0,      0,          0,         0};
    bytes.append(reinterpret_cast<const char*>(fixed), sizeof fixed);
    return bytes + extra;
}

class MainWindowTest : public HeadlessTest {
  protected:

    // A machine with the fax application, its program folder holding FriFax32.exe and an
    // ISDN capi2032.dll, the client in System32, no SysWow64, and router settings.
    static void PrepareInstalledMachine() {
        mem::CreateFolder("C:\\Windows\\System32");
        mem::PutFile("C:\\Windows\\System32\\capi2032.dll",
                     Image(0x00030008, 0x00030000, "Software\\AVM\\CAPIoTCP"));
        mem::PutFile("C:\\Programme\\FRITZ!\\FriFax32.exe", "MZ");
        mem::PutFile("C:\\Programme\\FRITZ!\\capi2032.dll", Image(0x0005000A, 0x00020002));
        mem::PutText(kCurrentUser, config::kFaxUserProgramKey, "SystemDir",
                     "C:\\Programme\\FRITZ!");
        mem::PutText(kCurrentUser, config::kFaxUserKey, "Version", "3.07.04");
        mem::PutText(kCurrentUser, config::kFaxUserKey, "DatenDir", "C:\\Users\\Max\\Daten\\Max");
        mem::PutFile("C:\\Users\\Max\\Daten\\Max\\FritzFax.dbf", "");
        mem::PutText(kLocalMachine, "SOFTWARE\\AVM\\AVMIGDCTRL", "FoundFritzBoxes",
                     "192.168.178.1");
        mem::PutDword(kLocalMachine, "SOFTWARE\\AVM\\CAPIoTCP", "Port", 5031);
        mem::PutText(kLocalMachine, "SOFTWARE\\Wow6432Node\\AVM\\AVMIGDCTRL", "FoundFritzBoxes",
                     "192.168.178");
        mem::PutDword(kLocalMachine, "SOFTWARE\\Wow6432Node\\AVM\\CAPIoTCP", "Port", 0);
        mem::PutDword(kLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                      "InstallDate", 1268644364);
        mem::PutText(kLocalMachine, "Software\\Microsoft\\Internet Explorer", "Version",
                     "8.0.7601.17514");
    }

    // Runs the main window with the given steps, then closes it by its close box.
    static ui::Dialog Run(std::vector<hl::Step> steps) {
        ui::Dialog window = 0;
        hl::AddStep([&] { window = hl::FindDialog(kMainWindowTitle); });
        hl::AddSteps(std::move(steps));
        hl::AddStep([&] { hl::PressCloseBox(hl::FindDialog(kMainWindowTitle)); });
        EXPECT_EQ(ShowMainWindow(), 0);
        return window;
    }

    static std::string Text(ui::Dialog window, int id) { return hl::ControlOf(window, id)->text; }
};

TEST_F(MainWindowTest, OpeningFillsEveryField) {
    PrepareInstalledMachine();
    std::map<int, std::string> seen;
    std::vector<bool> visible;
    ui::Dialog window = Run({[&] {
        ui::Dialog w = hl::FindDialog(kMainWindowTitle);
        for (int id : {kEdition,
                       kVersion,
                       kInstallDate,
                       kBrowser,
                       kFaxVersion,
                       kProgramPath,
                       kDataPath,
                       kFaxCapiPath,
                       kFaxCapiVersion,
                       kSystem32Path,
                       kSystem32Version,
                       kSysWow64Path,
                       kSysWow64Version,
                       kHkcu,
                       kHklm,
                       kWow,
                       kAddress,
                       kPort,
                       kWowAddress,
                       kWowPort,
                       kDataPathLabel})
            seen[id] = ui::GetControlText(w, id);
        visible = {ui::ControlVisible(w, kUserNameWarning), ui::ControlVisible(w, kWarningTicker),
                   ui::ControlVisible(w, kFaxSettingsLabel),
                   ui::ControlEnabled(w, kDataFolderButton)};
    }});
    std::map<int, std::string> expected = {
        {kEdition, "Windows 7, 64-bit"},
        {kVersion, "6.1.7601 Service Pack 1"},
        {kInstallDate, "15.03.2010   09:12:44"},
        {kBrowser, "Internet Explorer Version 8.0.7601.17514"},
        {kFaxVersion, "3.07.04"},
        {kProgramPath, "C:\\Programme\\FRITZ!\\FriFax32.exe"},
        {kDataPath, "C:\\Users\\Max\\Daten\\Max\\FritzFax.dbf"},
        {kFaxCapiPath, "C:\\Programme\\FRITZ!\\capi2032.dll"},
        {kFaxCapiVersion, "5.10.1.0 / 2.2.0.0"},
        {kSystem32Path, "C:\\Windows\\System32\\capi2032.dll"},
        {kSystem32Version, "3.8.1.0 / 3.0.0.0 CoT"},
        {kSysWow64Path, ""},
        {kSysWow64Version, ""},
        {kHkcu, "HKEY_CURRENT_USER\\SOFTWARE\\AVM"},
        {kHklm, "HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM"},
        {kWow, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM"},
        {kAddress, "192.168.178.1"},
        {kPort, "000013a7 (5031)"},
        {kWowAddress, ""},
        {kWowPort, ""},
        {kDataPathLabel, " Datenpfad:  "},
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(visible, (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(MainWindowStateOf().faxProgramFound, 1);

    // The opening posted, in this order, its refreshes and tool actions.
    std::vector<std::pair<std::uint32_t, ui::WParam>> posted;
    for (const hl::Delivered& d : hl::DialogOf(window)->received)
        if (d.message >= kMsgRefreshEndpoint) posted.push_back({d.message, d.wParam});
    EXPECT_EQ(posted, (std::vector<std::pair<std::uint32_t, ui::WParam>>{
                          {kMsgRefreshVendorKeys, 0},
                          {kMsgRefreshEndpoint, 0},
                          {kMsgToolAction, 32},
                          {kMsgToolAction, kTestToolCreateButton},
                          {kMsgUserNameMask, kMaskUserName},
                          {kMsgToolAction, kFaxSettingsLabel}}));
    EXPECT_TRUE(hl::Problems().empty()) << hl::Problems().front();
}

TEST_F(MainWindowTest, WithoutTheFaxApplicationItsRowsStayEmpty) {
    mem::CreateFolder("C:\\Windows\\System32");
    hl::AnswerMessageBox(ui::kIdOk);  // no capi2032.dll anywhere: "Ohne Capi kein Fax"
    mem::PutText(kCurrentUser, config::kFaxUserNumbersKey, "Nummer1", "+49 30 1");
    std::vector<std::string> texts;
    bool chooserEnabled = true, tickerVisible = false;
    Run({[&] {
        ui::Dialog w = hl::FindDialog(kMainWindowTitle);
        for (int id :
             {kFaxCapiPath, kFaxVersion, kProgramPath, kDataPath, kSystem32Path, kHkcu, kPort})
            texts.push_back(ui::GetControlText(w, id));
        chooserEnabled = ui::ControlEnabled(w, kDataFolderButton);
        tickerVisible = ui::ControlVisible(w, kWarningTicker);
    }});
    EXPECT_EQ(texts, (std::vector<std::string>{"", "", "", "", "C:\\Windows\\System32\\",
                                               "HKEY_CURRENT_USER\\SOFTWARE\\AVM", ""}));
    EXPECT_FALSE(chooserEnabled);
    EXPECT_TRUE(tickerVisible) << "a number with a country code";
    EXPECT_EQ(MainWindowStateOf().faxProgramFound, 0);
    EXPECT_EQ(MainWindowStateOf().numbersStatus, 5);
}

TEST_F(MainWindowTest, UserNameIsMaskedAndShownAgain) {
    PrepareInstalledMachine();
    std::vector<std::string> paths;
    std::vector<bool> warnings;
    auto look = [&] {
        ui::Dialog w = hl::FindDialog(kMainWindowTitle);
        paths.push_back(ui::GetControlText(w, kDataPath));
        warnings.push_back(ui::ControlVisible(w, kUserNameWarning));
    };
    auto toggle = [&] {
        ui::Dialog w = hl::FindDialog(kMainWindowTitle);
        hl::Click(w, kMaskUserName);
        ui::PostToWindow(w, kMsgUserNameMask, kMaskUserName, 0);
    };
    Run({look, toggle, look, toggle, look, toggle, look});
    const std::string plain = "C:\\Users\\Max\\Daten\\Max\\FritzFax.dbf";
    const std::string masked = "C:\\Users\\***\\Daten\\***\\FritzFax.dbf";
    EXPECT_EQ(paths, (std::vector<std::string>{plain, masked, plain, masked}));
    EXPECT_EQ(warnings, (std::vector<bool>{true, false, true, false}));
}

// While the folder is missing the blink writes the stored path every 500 ms: with the box
// ticked the field must still never show the name, and the browser starts at the real folder.
TEST_F(MainWindowTest, TheMaskHoldsWhileTheDataFolderIsMissing) {
    PrepareInstalledMachine();
    mem::PutText(kCurrentUser, config::kFaxUserKey, "DatenDir", "C:\\Users\\max\\Weg\\");
    hl::AnswerFolderBrowser(std::nullopt);
    std::vector<std::string> shown;
    std::vector<bool> warnings;
    auto look = [&] {
        ui::Dialog w = hl::FindDialog(kMainWindowTitle);
        shown.push_back(ui::GetControlText(w, kDataPath));
        warnings.push_back(ui::ControlVisible(w, kUserNameWarning));
    };
    Run({look, [] { hl::Click(hl::FindDialog(kMainWindowTitle), kMaskUserName); }, look,
         [&] {
             for (int i = 0; i < 3; ++i) {
                 hl::AdvanceClock(500);
                 look();
             }
         },
         [] { hl::Click(hl::FindDialog(kMainWindowTitle), kDataFolderButton); },
         [] { hl::Click(hl::FindDialog(kMainWindowTitle), kMaskUserName); }, look});
    const std::string plain = "C:\\Users\\max\\Weg\\";
    const std::string masked = "C:\\Users\\***\\Weg\\";
    // Empty until the first blink has read the stored folder.
    EXPECT_EQ(shown, (std::vector<std::string>{"", "", masked, masked, masked, plain}));
    EXPECT_EQ(warnings, (std::vector<bool>{false, false, false, false, false, true}))
        << "the name in another letter case is the user's";
    ASSERT_EQ(hl::FolderBrowsers().size(), 1u);
    EXPECT_EQ(hl::FolderBrowsers()[0].startFolder, "C:\\Users\\max\\Weg");
    EXPECT_EQ(hl::FolderBrowsers()[0].title, "C:\\Users\\max\\Weg");
    EXPECT_EQ(hl::FolderBrowsers()[0].statusForStart, "C:\\Users\\max\\Weg\\")
        << "the selected folder is shown in folder form";
}

TEST_F(MainWindowTest, AMissingDataFolderMakesItsLabelBlink) {
    PrepareInstalledMachine();
    mem::PutText(kCurrentUser, config::kFaxUserKey, "DatenDir", "C:\\Weg\\Daten\\");
    ui::Dialog window = Run({[] { hl::AdvanceClock(1000); }});
    EXPECT_EQ(Text(window, kDataPathLabel), " Datenpfad ->");
    EXPECT_EQ(hl::ControlOf(window, kDataPathLabel)->textColor, ui::Rgb(255, 0, 0));
    EXPECT_EQ(Text(window, kDataPath), "C:\\Weg\\Daten\\")
        << "the blinking reads the stored folder";
    int blinks = 0;
    for (const hl::Delivered& d : hl::DialogOf(window)->received)
        if (d.message == ui::kWmTimer && d.wParam == kTimerBlink) ++blinks;
    EXPECT_EQ(blinks, 2) << "every 500 ms";
}

TEST_F(MainWindowTest, RefreshesReadWhatIsStoredNow) {
    PrepareInstalledMachine();
    std::vector<std::string> texts;
    Run({[&] {
             mem::PutDword(kLocalMachine, "SOFTWARE\\Wow6432Node\\AVM\\CAPIoTCP", "Port", 0x10000);
             mem::PutText(kLocalMachine, "SOFTWARE\\Wow6432Node\\AVM\\AVMIGDCTRL",
                          "FoundFritzBoxes", "10.0.0.1");
             mem::PutText(kLocalMachine, "SOFTWARE\\AVM\\AVMIGDCTRL", "FoundFritzBoxes",
                          "1.2.3.4.5");
             mem::PutFile("C:\\Programme\\FRITZ!\\capi2032.dll", "no longer a library");
             mem::PutFile("C:\\Windows\\System32\\capi2032.dll", Image(0x0005000A, 0x00020002));
             ui::Dialog w = hl::FindDialog(kMainWindowTitle);
             ui::PostToWindow(w, kMsgRefreshEndpoint, 0, 0);
             ui::PostToWindow(w, kMsgRefreshCapiFolders, 0, 0);
         },
         [&] {
             ui::Dialog w = hl::FindDialog(kMainWindowTitle);
             for (int id : {kAddress, kWowAddress, kWowPort, kFaxCapiPath, kFaxCapiVersion,
                            kSystem32Version})
                 texts.push_back(ui::GetControlText(w, id));
         }});
    EXPECT_EQ(texts, (std::vector<std::string>{"", "10.0.0.1", "00010000 (65536)",
                                               "C:\\Programme\\FRITZ!\\capi2032.dll",
                                               "5.10.1.0 / 2.2.0.0", "5.10.1.0 / 2.2.0.0"}));
}

// The port as a string ("Port"="5031" from a hand-written .reg line) or as binary data is not
// read as a number, nor is an address stored as anything but a string: each says it is there
// but of the wrong type, while a missing value or a Port 0 leaves its field empty.
TEST_F(MainWindowTest, ValuesOfTheWrongTypeAreShownAsSuch) {
    using platform::kRegBinary;
    using platform::kRegDword;
    using platform::kRegExpandSz;
    using platform::kRegSz;
    const char* wrong = config::kWrongTypeText;
    struct Case {
        const char* key;
        const char* name;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        int field;
        std::string shown;
    } cases[] = {
        {"SOFTWARE\\AVM\\CAPIoTCP", "Port", kRegSz, StoredText("abc"), kPort, wrong},
        {"SOFTWARE\\AVM\\CAPIoTCP", "Port", kRegSz, StoredText("5031"), kPort, wrong},
        {"SOFTWARE\\Wow6432Node\\AVM\\CAPIoTCP", "Port", kRegBinary, {1, 2, 0, 0}, kWowPort, wrong},
        {"SOFTWARE\\AVM\\CAPIoTCP",
         "Port",
         kRegDword,
         {0xA7, 0x13, 0, 0, 0, 0, 0, 0},
         kPort,
         wrong},
        {"SOFTWARE\\AVM\\CAPIoTCP",
         "Port",
         kRegDword,
         {0xA7, 0x13, 0, 0},
         kPort,
         "000013a7 (5031)"},
        {"SOFTWARE\\AVM\\CAPIoTCP", "Port", kRegDword, {0, 0, 0, 0}, kPort, ""},
        {"SOFTWARE\\AVM\\AVMIGDCTRL", "FoundFritzBoxes", kRegBinary, StoredText("10.0.0.1"),
         kAddress, wrong},
        {"SOFTWARE\\Wow6432Node\\AVM\\AVMIGDCTRL", "FoundFritzBoxes", kRegExpandSz,
         StoredText("10.0.0.1"), kWowAddress, wrong},
        {"SOFTWARE\\AVM\\AVMIGDCTRL", "FoundFritzBoxes", kRegDword, {10, 0, 0, 1}, kAddress, wrong},
        {"SOFTWARE\\AVM\\AVMIGDCTRL", "FoundFritzBoxes", kRegSz, StoredText("10.0.0"), kAddress,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + std::to_string(c.type) + " " + c.shown);
        mem::Reset();
        hl::Reset();
        mem::PutValue(kLocalMachine, c.key, c.name, c.type, c.data);
        hl::AnswerMessageBox(ui::kIdOk);  // no capi2032.dll anywhere: "Ohne Capi kein Fax"
        ui::Dialog window = Run({});
        EXPECT_EQ(Text(window, c.field), c.shown);
        for (int id : {kAddress, kPort, kWowAddress, kWowPort}) {
            if (id != c.field) {
                EXPECT_EQ(Text(window, id), "") << id;
            }
        }
        EXPECT_EQ(mem::GetValue(kLocalMachine, c.key, c.name)->data, c.data);
    }
}

TEST_F(MainWindowTest, LayoutFollowsItsTable) {
    hl::AnswerMessageBox(ui::kIdOk);  // no capi2032.dll anywhere: "Ohne Capi kein Fax"
    ui::Dialog window = Run({});
    const hl::DialogState* state = hl::DialogOf(window);
    EXPECT_EQ(state->icon, "#555");
    EXPECT_EQ(state->width, 412);
    EXPECT_EQ(state->height, 310);
    const hl::ControlState* chooser = hl::ControlOf(window, kDataFolderButton);
    EXPECT_NE(chooser->font, 0u);
    EXPECT_EQ(chooser->toolTip, " Ordner der Dbase Datenbank Datei: FritzFax.dbf ");
    const hl::ControlState* path = hl::ControlOf(window, kDataPath);
    EXPECT_EQ(path->style, 0x50010880u);
    EXPECT_EQ(path->backColor, 0xFFFFFF);
    EXPECT_EQ(path->marginLeft, 2);
    EXPECT_EQ(path->marginRight, 2);
    EXPECT_EQ(hl::ControlOf(window, kLookUpButton1)->text, " fritz.box ");
    EXPECT_EQ(hl::ControlOf(window, kLookUpButton3)->toolTip, " IP-Adresse: fritz.nas ");
    EXPECT_EQ(hl::ControlOf(window, kMaskUserName)->style, 0x50014D03u);
    EXPECT_EQ(hl::ControlOf(window, kRegFileButton)->text, " Reg Datei ");
    EXPECT_EQ(hl::ControlOf(window, kWarningLine)->style, 0x50000010u);
}

}  // namespace
}  // namespace orvano::testing
