#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/startup.h"
#include "headless_fixture.h"
#include "platform/system.h"
#include "ui/headless/script.h"

namespace orvano::testing {
namespace {

using namespace orvano::app;

constexpr char kIni[] = "C:\\Orvano\\Orvano.ini";

class StartupTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        mem::SetNameServiceOn(false);  // the probes fail unless a test says otherwise
    }

    // True when the main window opened (and was closed again by the script).
    static bool StartsWith(const std::string& commandLine) {
        bool opened = false;
        hl::AddStep([&] {
            ui::Dialog window = hl::FindDialog(kMainWindowTitle);
            opened = window != 0;
            hl::PressCloseBox(window);
        });
        hl::AnswerMessageBox(ui::kIdOk);
        EXPECT_EQ(RunProgram(commandLine), 0);
        if (!opened) hl::Reset();  // the unused step and answer
        return opened;
    }

    static void StoreCommand(const std::string& command) {
        mem::PutFile(kIni,
                     "[DateVersionInIni]\r\nVersion=\"2.1.0.6\"\r\nDate=\"10122009\"\r\n[COMMAND]"
                     "\r\nCMD=\"" +
                         command + "\"\r\n");
    }
};

TEST_F(StartupTest, ASecondInstanceIsRefusedAndTheFirstLeftAlone) {
    ui::Window first = hl::AddForeignWindow(kMainWindowTitle);
    hl::AnswerMessageBox(ui::kIdOk);
    EXPECT_EQ(RunProgram("OHNE"), 0);
    ASSERT_EQ(hl::MessageBoxes().size(), 1u);
    EXPECT_EQ(hl::MessageBoxes()[0].text, "Fehler, das Programm kann nur 1 mal Gestartet werdern.");
    EXPECT_EQ(hl::MessageBoxes()[0].caption, " Fehler! ");
    EXPECT_EQ(hl::MessageBoxes()[0].flags, 0x10030u);
    EXPECT_EQ(hl::MessageBoxes()[0].owner, 0u);
    EXPECT_FALSE(hl::ForeignOf(first)->foreground);
    EXPECT_TRUE(hl::ForeignOf(first)->received.empty());
    EXPECT_FALSE(mem::FileBytes(kIni)) << "refused before the settings file is touched";
}

// A first start still busy with its probes has no window yet; its mutex refuses the second.
TEST_F(StartupTest, TheInstanceMutexRefusesAStartBeforeTheFirstWindowExists) {
    mem::HoldNamedMutex(kInstanceMutexName);
    hl::AnswerMessageBox(ui::kIdOk);
    EXPECT_EQ(RunProgram("OHNE"), 0);
    ASSERT_EQ(hl::MessageBoxes().size(), 1u);
    EXPECT_EQ(hl::MessageBoxes()[0].text, kSecondInstanceText);
    EXPECT_FALSE(mem::FileBytes(kIni)) << "refused before the settings file is touched";

    // Once the first has ended, and after each run of its own, the program starts again.
    platform::ReleaseNamedMutex(kInstanceMutexName);
    EXPECT_TRUE(StartsWith("OHNE"));
    EXPECT_TRUE(StartsWith("OHNE"));
}

TEST_F(StartupTest, WithoutNameServiceTheProgramEndsAfterStamping) {
    hl::AnswerMessageBox(ui::kIdOk);
    EXPECT_EQ(RunProgram("  "), 0);
    ASSERT_EQ(hl::MessageBoxes().size(), 1u);
    EXPECT_EQ(hl::MessageBoxes()[0].text, " DNS Server nicht gefunden, Programm beendet ");
    EXPECT_EQ(hl::MessageBoxes()[0].caption, " Info DNS ");
    EXPECT_EQ(hl::MessageBoxes()[0].flags, 0x12000u);
    const std::string ini = mem::FileBytes(kIni).value_or("");
    EXPECT_NE(ini.find("Version=\"2.1.0.6\""), std::string::npos);
    EXPECT_NE(ini.find("HmWinPosX=\r\n"), std::string::npos);
    EXPECT_EQ(ini.find("HmWinPosY"), std::string::npos) << "no window position without a window";
}

TEST_F(StartupTest, TheKeywordOrAWorkingNameStartsTheProgram) {
    struct Case {
        const char* storedCommand;  // nullptr: none stored
        std::string commandLine;
        bool starts;
    } cases[] = {
        {nullptr, "OHNE", true},
        {nullptr, std::string(" \0ohne  ", 8), true},
        {nullptr, "OHNEX", false},
        {nullptr, "", false},
        {"OHNE", "nichts", true},  // the stored command wins ...
        {" ohne ", "", true},
        {"nichts", "OHNE", false},         // ... also over the keyword on the command line
        {nullptr, "router.intern", true},  // a name that resolves both ways
        {nullptr, "10.0.0.2", false},      // no reverse entry
        {"router.intern", "", true},
    };
    for (const Case& c : cases) {
        mem::Reset();
        hl::Reset();
        mem::SetNameServiceOn(true);
        mem::AddHost("router.intern", {{10, 0, 0, 1}});
        mem::AddReverse({10, 0, 0, 1}, "router.intern");
        if (c.storedCommand) StoreCommand(c.storedCommand);
        EXPECT_EQ(StartsWith(c.commandLine), c.starts)
            << (c.storedCommand ? c.storedCommand : "-") << " / " << c.commandLine;
    }
}

TEST_F(StartupTest, TheVendorsHostCountsAsAWorkingNameService) {
    mem::SetNameServiceOn(true);
    mem::AddHost(kNameServiceProbe2, {{212, 42, 244, 122}});
    mem::AddReverse({212, 42, 244, 122}, "www.avm.de");
    EXPECT_TRUE(StartsWith(""));
    // The forum is asked too, by its host name, side by side with the vendor's host.
    EXPECT_GE(mem::CallCount(mem::Call::GetHostByName), 2);
}

TEST_F(StartupTest, TheVerdictComesWithinTheDeadlineWhateverTheNameServerDoes) {
    const platform::Ipv4 vendor = {212, 42, 244, 122};
    struct Case {
        const char* what;
        unsigned forwardDelay, reverseDelay;  // of the name server, for every probe
        bool reverseKnown;
        std::string commandLine;
        bool starts;
        std::uint64_t verdictAt;
    } cases[] = {
        {"quick name server", 0, 0, true, "", true, 0},
        {"slow name server: forward and reverse in turn", 1000, 1200, true, "", true, 2200},
        // Each question has a deadline of its own: a slow server that answers every one in
        // time counts as working.
        {"1.8 s a question", 1800, 1800, true, "", true, 3600},
        {"2.5 s a question", 2500, 2500, true, "", true, 5000},
        {"never answers", mem::kNeverAnswers, mem::kNeverAnswers, true, "", false, 3000},
        {"forward answered after its deadline", 3100, 0, true, "", false, 3000},
        {"answers forward, never reverse", 100, mem::kNeverAnswers, true, "", false, 3100},
        {"reverse answered after its deadline", 2500, 3100, true, "", false, 5500},
        {"reverse unknown: the verdict comes when every probe has failed", 100, 200, false, "",
         false, 300},
        {"never answers, the keyword", mem::kNeverAnswers, mem::kNeverAnswers, true, " ohne ", true,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mem::Reset();
        hl::Reset();
        mem::AddHost(kNameServiceProbe2, {vendor});
        if (c.reverseKnown) mem::AddReverse(vendor, "www.avm.de");
        mem::SetNameServerDelay(c.forwardDelay);
        mem::SetReverseLookupDelay(vendor, c.reverseDelay);
        std::uint64_t openedAt = 0;
        hl::AddStep([&] {
            openedAt = hl::Now();
            hl::PressCloseBox(hl::FindDialog(kMainWindowTitle));
        });
        hl::AnswerMessageBox(ui::kIdOk);
        EXPECT_EQ(RunProgram(c.commandLine), 0);
        if (c.starts) {
            EXPECT_EQ(openedAt, c.verdictAt);
            for (const auto& box : hl::MessageBoxes()) EXPECT_NE(box.text, kNoNameServiceText);
        } else {
            ASSERT_EQ(hl::MessageBoxes().size(), 1u);
            EXPECT_EQ(hl::MessageBoxes()[0].text, kNoNameServiceText);
            EXPECT_EQ(hl::MessageBoxes()[0].at, c.verdictAt);
        }
        if (c.commandLine == " ohne ") {
            EXPECT_EQ(mem::CallCount(mem::Call::GetHostByName), 0) << "nothing to wait for";
        }
    }
}

TEST_F(StartupTest, TheForumIsProbedByItsHostName) {
    // A web address never resolves; the forum's host does.
    mem::SetNameServiceOn(true);
    mem::AddHost("https://www.ip-phone-forum.de/", {{10, 9, 9, 9}});
    mem::AddHost("www.ip-phone-forum.de", {{185, 36, 25, 10}});
    mem::AddReverse({185, 36, 25, 10}, "www.ip-phone-forum.de");
    EXPECT_TRUE(StartsWith(""));
}

}  // namespace
}  // namespace orvano::testing
