#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/main_window_commands.h"
#include "config/fax_settings.h"
#include "config/name_resolution.h"
#include "config/registry.h"
#include "headless_fixture.h"
#include "platform/files.h"
#include "platform/memory/osinfo_control.h"
#include "ui/headless/script.h"

namespace orvano::testing {
namespace {

using namespace orvano::app;
using namespace orvano::app::mw;
using config::kCurrentUser;

class MainWindowCommandsTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        // A capi2032.dll somewhere, so that the opening has nothing to complain about.
        mem::PutFile("C:\\Windows\\System32\\capi2032.dll", "MZ");
    }

    static ui::Dialog Window() { return hl::FindDialog(kMainWindowTitle); }
    static std::string Text(int id) { return ui::GetControlText(Window(), id); }

    // Runs the main window with the steps; the title bar's close box ends it when it is
    // still open afterwards.
    static void Run(std::vector<hl::Step> steps) {
        hl::AddSteps(std::move(steps));
        hl::AddStep([] {
            if (Window()) hl::PressCloseBox(Window());
        });
        ShowMainWindow();
    }
};

TEST_F(MainWindowCommandsTest, TheWarningScrollsAndComesBackToItsStart) {
    mem::PutText(kCurrentUser, config::kFaxUserNumbersKey, "Nummer1", "030-1234");
    const std::string text = "--> Fehler, zuletzt gewählte Rufnummern ";
    std::vector<std::string> seen;
    Run({[&] {
        hl::AdvanceClock(200);
        seen.push_back(Text(kWarningTicker));
        hl::AdvanceClock(200);
        seen.push_back(Text(kWarningTicker));
        hl::AdvanceClock(200 * static_cast<unsigned>(text.size() - 1));
        seen.push_back(Text(kWarningTicker));
    }});
    EXPECT_EQ(seen, (std::vector<std::string>{text, text.substr(1) + text.front(), text}));
}

TEST_F(MainWindowCommandsTest, TheDataPathBlinksUntilTheFolderIsThere) {
    mem::PutFile("C:\\Fax\\FriFax32.exe", "MZ");
    mem::PutText(kCurrentUser, config::kFaxUserProgramKey, "SystemDir", "C:\\Fax");
    mem::PutText(kCurrentUser, config::kFaxUserKey, "DatenDir", "C:\\Daten");
    std::vector<std::string> labels;
    Run({[&] {
        for (int i = 0; i < 2; ++i) {
            hl::AdvanceClock(500);
            labels.push_back(Text(kDataPathLabel));
        }
        mem::PutFile("C:\\Daten\\FritzFax.dbf", "");
        hl::AdvanceClock(500);
        labels.push_back(Text(kDataPathLabel) + "|" + Text(kDataPath));
        hl::AdvanceClock(2000);
        labels.push_back(Text(kDataPathLabel));
    }});
    EXPECT_EQ(labels, (std::vector<std::string>{" Datenpfad:  ", " Datenpfad ->",
                                                " Datenpfad:  |C:\\Daten\\", " Datenpfad:  "}));
}

TEST_F(MainWindowCommandsTest, RouterNamesAreLookedUpOnceAfterFiveSeconds) {
    mem::AddHost(config::kRouterHostName2, {{192, 168, 1, 1}});
    mem::AddHost(config::kRouterHostName3, {{192, 168, 178, 1}});
    std::vector<std::string> seen;
    int lookups = 0;
    Run({[&] {
        hl::AdvanceClock(4999);
        seen.push_back(Text(kLookUpResult1));
        hl::AdvanceClock(1);
        seen.push_back(Text(kLookUpResult1));
        seen.push_back(Text(kLookUpResult3));
        lookups = mem::CallCount(mem::Call::GetHostByName);
        hl::AdvanceClock(20000);
    }});
    // The first name fails and the second stands in for it, marked by apostrophes.
    EXPECT_EQ(seen, (std::vector<std::string>{"", "'192.168.1.1'", "192.168.178.1"}));
    EXPECT_EQ(mem::CallCount(mem::Call::GetHostByName), lookups) << "the timer looks up once";
}

TEST_F(MainWindowCommandsTest, RouterNamesFillTheirFieldsWhenTheNameServiceAnswers) {
    // fritz.box and fritz.nas take their time; www.fritz.box stands in for fritz.box.
    struct Case {
        const char* what;
        unsigned first, second, third;  // delays; kNeverAnswers: no answer at all
        std::vector<std::string> at6000, at9000, at12000;  // fields 3066 and 3068
    } cases[] = {
        {"answers within a second",
         1000,
         0,
         1000,
         {"192.168.178.1", "192.168.178.20"},
         {"192.168.178.1", "192.168.178.20"},
         {"192.168.178.1", "192.168.178.20"}},
        {"first name unanswered: the second stands in after its deadline",
         mem::kNeverAnswers,
         2000,
         500,
         {"x", "192.168.178.20"},
         {"x", "192.168.178.20"},
         {"'192.168.1.1'", "192.168.178.20"}},
        {"nothing answers: emptied when the deadlines have passed",
         mem::kNeverAnswers,
         mem::kNeverAnswers,
         mem::kNeverAnswers,
         {"x", "y"},
         {"x", ""},
         {"", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mem::Reset();
        hl::Reset();
        mem::PutFile("C:\\Windows\\System32\\capi2032.dll", "MZ");
        mem::AddHost(config::kRouterHostName1, {{192, 168, 178, 1}});
        mem::AddHost(config::kRouterHostName2, {{192, 168, 1, 1}});
        mem::AddHost(config::kRouterHostName3, {{192, 168, 178, 20}});
        mem::SetLookupDelay(config::kRouterHostName1, c.first);
        mem::SetLookupDelay(config::kRouterHostName2, c.second);
        mem::SetLookupDelay(config::kRouterHostName3, c.third);
        std::vector<std::vector<std::string>> seen;
        std::vector<std::uint64_t> tickerAt;
        Run({[&] {
            ui::SetControlText(Window(), kLookUpResult1, "x");
            ui::SetControlText(Window(), kLookUpResult3, "y");
            for (std::uint64_t at : {6000, 9000, 12000}) {
                hl::AdvanceClock(static_cast<unsigned>(at - hl::Now()));
                seen.push_back({Text(kLookUpResult1), Text(kLookUpResult3)});
            }
            // The window went on with its own work meanwhile: the watch timer came on time.
            int watches = 0;
            for (const auto& d : hl::DialogOf(Window())->received)
                if (d.message == ui::kWmTimer && d.wParam == kTimerWatch) ++watches;
            EXPECT_EQ(watches, 2);
        }});
        EXPECT_EQ(seen, (std::vector<std::vector<std::string>>{c.at6000, c.at9000, c.at12000}));
        EXPECT_FALSE(mem::BusyCursorShown());
    }
}

TEST_F(MainWindowCommandsTest, ALookUpInFlightWhenTheWindowClosesReachesNoOne) {
    mem::SetNameServerDelay(mem::kNeverAnswers);
    Run({[&] {
        hl::Click(Window(), kLookUpButton1);
        hl::AdvanceClock(1000);
        EXPECT_TRUE(mem::BusyCursorShown()) << "the window works on while it waits";
        EXPECT_EQ(hl::JobsPending(), 1u);
    }});
    EXPECT_EQ(hl::JobsPending(), 0u);
    EXPECT_FALSE(mem::BusyCursorShown());
    hl::AdvanceClock(30000);
    EXPECT_TRUE(hl::Problems().empty());
}

TEST_F(MainWindowCommandsTest, TheStatusToolLabelFollowsItsFile) {
    std::vector<bool> shown;
    Run({[&] {
        shown.push_back(ui::ControlVisible(Window(), kStatusToolLabel));
        mem::PutFile("C:\\Orvano\\Statoro.exe", "MZ");
        hl::AdvanceClock(5000);
        shown.push_back(ui::ControlVisible(Window(), kStatusToolLabel));
        platform::RemoveFile("C:\\Orvano\\Statoro.exe");
        hl::AdvanceClock(5000);
        shown.push_back(ui::ControlVisible(Window(), kStatusToolLabel));
    }});
    EXPECT_EQ(shown, (std::vector<bool>{false, true, false}));
}

TEST_F(MainWindowCommandsTest, QuittingAsksAndNeinKeepsTheWindowAndItsFocus) {
    bool stillOpen = false;
    int focus = 0;
    hl::AnswerMessageBox(ui::kIdNo);
    hl::AnswerMessageBox(ui::kIdYes);
    hl::AddSteps({[&] { hl::Click(Window(), kQuitButton); },
                  [&] {
                      stillOpen = Window() != 0;
                      focus = hl::FocusedId(Window());
                      hl::Click(Window(), kQuitButton);
                  }});
    ShowMainWindow();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(focus, kQuitButton);
    ASSERT_EQ(hl::MessageBoxes().size(), 2u);
    EXPECT_EQ(hl::MessageBoxes()[0].text, " ? Programm beenden : JA / NEIN ");
    EXPECT_EQ(hl::MessageBoxes()[0].caption, " Info");
    EXPECT_EQ(hl::MessageBoxes()[0].flags, 0x12004u);
    EXPECT_FALSE(hl::FindDialog(kMainWindowTitle));
    EXPECT_TRUE(hl::Problems().empty()) << hl::Problems().front();
}

TEST_F(MainWindowCommandsTest, ClosingClosesTheCompanionsUnlessTheCollectionKeepsThem) {
    for (bool collection : {false, true}) {
        mem::Reset();
        hl::Reset();
        mem::PutFile("C:\\Windows\\System32\\capi2032.dll", "MZ");
        ui::Window teluso = hl::AddForeignWindow(" Teluso");
        ui::Window statoro = hl::AddForeignWindow(" Statoro");
        if (collection) hl::AddForeignWindow(" Quendra Tools");
        Run({});  // the close box: no question asked
        for (ui::Window window : {teluso, statoro}) {
            const auto& received = hl::ForeignOf(window)->received;
            EXPECT_EQ(received.size(), collection ? 0u : 1u) << collection;
            if (!collection && !received.empty()) {
                EXPECT_EQ(received[0].message, ui::kWmSysCommand);
                EXPECT_EQ(received[0].wParam, ui::kScClose);
            }
        }
        EXPECT_TRUE(hl::MessageBoxes().empty());
    }
    // AllProgExit "0" keeps them open.
    mem::Reset();
    hl::Reset();
    mem::PutFile("C:\\Windows\\System32\\capi2032.dll", "MZ");
    mem::PutFile("C:\\Orvano\\Orvano.ini", "[Optionen]\r\nAllProgExit=\"0\"\r\n");
    ui::Window teluso = hl::AddForeignWindow(" Teluso");
    Run({});
    EXPECT_TRUE(hl::ForeignOf(teluso)->received.empty());
}

TEST_F(MainWindowCommandsTest, MissingFilesAreReported) {
    for (int i = 0; i < 3; ++i) hl::AnswerMessageBox(ui::kIdOk);
    Run({[] { hl::Click(Window(), kTestToolButton); }, [] { hl::Click(Window(), kDbaseButton); }});
    ASSERT_GE(hl::MessageBoxes().size(), 2u);
    EXPECT_EQ(hl::MessageBoxes()[0].text, "Teluso.exe  ->  Fehlt ");
    EXPECT_EQ(hl::MessageBoxes()[0].caption, " Sorry");
    EXPECT_EQ(hl::MessageBoxes()[0].flags, 0x12000u);
    EXPECT_EQ(hl::MessageBoxes()[1].text, "Dambra.exe  ->  Fehlt ");
}

TEST_F(MainWindowCommandsTest, NoCapiLibraryAnywhereIsReportedAtOpening) {
    platform::RemoveFile("C:\\Windows\\System32\\capi2032.dll");
    hl::AnswerMessageBox(ui::kIdOk);
    Run({});
    ASSERT_EQ(hl::MessageBoxes().size(), 1u);
    EXPECT_EQ(hl::MessageBoxes()[0].text,
              "Sorry -> Ohne Capi kein Fax !\r\n\r\ncapi2032.dll  ->  Fehlt ");
}

TEST_F(MainWindowCommandsTest, CompanionsAreStartedOrBroughtForward) {
    mem::PutFile("C:\\Orvano\\Teluso.exe", "MZ");
    mem::PutFile("C:\\Orvano\\Dambra.exe", "MZ");
    ui::Window dambra = hl::AddForeignWindow(" Dambra Dateipfad ändern", true);
    hl::SetShellExecuteResult(
        42, [](const hl::ShellRecord&) { hl::AddForeignWindow(" Teluso", true); });
    ui::Dialog main = 0;
    Run({[&] {
             main = Window();
             hl::Click(Window(), kTestToolButton);
         },
         [] { hl::Click(Window(), kDbaseButton); }});
    ASSERT_EQ(hl::ShellExecutes().size(), 1u);
    EXPECT_EQ(hl::ShellExecutes()[0].file, "C:\\Orvano\\Teluso.exe");
    EXPECT_EQ(hl::ShellExecutes()[0].showCommand, ui::kSwShow);
    EXPECT_EQ(hl::ShellExecutes()[0].owner, main) << "the shell's messages need an owner";
    EXPECT_FALSE(hl::ForeignOf(ui::FindWindowByTitle(" Teluso"))->minimized)
        << "restored after starting";
    EXPECT_FALSE(hl::ForeignOf(dambra)->minimized);
    EXPECT_TRUE(hl::ForeignOf(dambra)->foreground);
}

TEST_F(MainWindowCommandsTest, TheFaxApplicationLabelFollowsItsWindowAndOpensItsSettings) {
    mem::PutFile("C:\\Fax\\FriFax32.exe", "MZ");
    mem::PutText(kCurrentUser, config::kFaxUserProgramKey, "SystemDir", "C:\\Fax");
    ui::Window fax = 0;
    std::vector<bool> shown;
    Run({[&] {
             shown.push_back(ui::ControlVisible(Window(), kFaxSettingsLabel));
             fax = hl::AddForeignWindow("FRITZ!fax", true);
             hl::AdvanceClock(5000);
             shown.push_back(ui::ControlVisible(Window(), kFaxSettingsLabel));
         },
         [&] { hl::Click(Window(), kFaxSettingsLabel); }});
    EXPECT_EQ(shown, (std::vector<bool>{false, true}));
    const auto& received = hl::ForeignOf(fax)->received;
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, ui::kWmCommand);
    EXPECT_EQ(received[0].wParam, kFaxSettingsCommand);
    EXPECT_FALSE(hl::ForeignOf(fax)->minimized);
}

TEST_F(MainWindowCommandsTest, AFaxApplicationThatNeverShowsItsWindowIsSentNothing) {
    mem::PutFile("C:\\Fax\\FriFax32.exe", "MZ");
    mem::PutText(kCurrentUser, config::kFaxUserProgramKey, "SystemDir", "C:\\Fax");
    Run({[] {
        // The label shows while the window exists; the program ends before the click.
        ui::Window fax = hl::AddForeignWindow("FRITZ!fax");
        hl::AdvanceClock(5000);
        hl::RemoveForeignWindow(fax);
        hl::Click(Window(), kFaxSettingsLabel);
    }});
    EXPECT_TRUE(hl::Problems().empty()) << hl::Problems().front();
}

// WM_CLOSE from another program or from the session ending: the clean-up runs once and the
// window really ends, instead of staying open with its timers stopped.
TEST_F(MainWindowCommandsTest, AWindowClosedFromOutsideClosesTheWholeWay) {
    ui::Window teluso = hl::AddForeignWindow(" Teluso");
    ui::Dialog window = 0;
    hl::AddStep([&] {
        window = Window();
        ui::PostToWindow(window, ui::kWmClose, 0, 0);
    });
    EXPECT_EQ(ShowMainWindow(), 0);
    EXPECT_TRUE(hl::Problems().empty()) << hl::Problems().front();
    EXPECT_EQ(Window(), 0u) << "the window has ended";
    EXPECT_EQ(hl::StepsLeft(), 0u);
    EXPECT_EQ(hl::ForeignOf(teluso)->received.size(), 1u) << "companions asked to close once";
    EXPECT_TRUE(mem::FileBytes("C:\\Orvano\\Orvano.ini").value_or("").find("HmWinPosX=") !=
                std::string::npos)
        << "the placement is saved";
    int destroyed = 0;
    for (const hl::Delivered& d : hl::DialogOf(window)->received)
        destroyed += d.message == ui::kWmDestroy;
    EXPECT_EQ(destroyed, 1);
}

TEST_F(MainWindowCommandsTest, TheRegFileMenuOffersTheTwoBuiltInScripts) {
    hl::AnswerPopupMenu(2952);
    std::string opened;
    Run({[] {
             ui::FocusControl(Window(), kRegFileButton);
             hl::Click(Window(), kRegFileButton);
         },
         [&] {
             opened = hl::DialogOf(hl::ActiveDialog())->title;
             hl::Click(hl::ActiveDialog(), 8705);
         }});
    ASSERT_EQ(hl::PopupMenus().size(), 1u);
    EXPECT_EQ(hl::PopupMenus()[0].items[0].text, "FB_IP_1921681781.reg");
    EXPECT_EQ(hl::PopupMenus()[0].items[1].id, 2952);
    EXPECT_EQ(opened, " Registry Eintrag");
}

}  // namespace
}  // namespace orvano::testing
