// The settings file: its name, the stamp that recreates it for another version, and the
// options read from it, on the in-memory machine.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/settings_file.h"
#include "headless_fixture.h"
#include "platform/profile.h"
#include "ui/headless/script.h"

namespace orvano::testing {
namespace {

namespace app = orvano::app;
namespace p = orvano::platform;
using Call = mem::Call;

constexpr char kIni[] = "C:\\Orvano\\Orvano.ini";

// What a fresh start leaves, byte for byte as the profile calls write it.
const std::string kFreshFile =
    "[HmWinPos]\r\nHmWinPosX=\r\n"
    "[DateVersionInIni]\r\nVersion=\"2.1.0.6\"\r\nDate=\"10122009\"\r\n"
    "[Optionen]\r\nAllProgExit=\"1\"\r\n"
    "[COMMAND]\r\nCMD=\"\"\r\n";

// A file as an earlier start of some version left it, with a window position.
std::string StampedFile(const std::string& version, const std::string& date) {
    return "[HmWinPos]\r\nHmWinPosX=120\r\nHmWinPosY=30\r\nHmWinPosW=400\r\nHmWinPosH=300\r\n"
           "HmWinPosMinm=0\r\n[DateVersionInIni]\r\nVersion=" +
           version + "\r\nDate=" + date + "\r\n[Optionen]\r\nAllProgExit=\"0\"\r\n";
}

class SettingsFileTest : public HeadlessTest {
  protected:
    void TearDown() override {
        // Failures of the settings file are never reported to the user.
        EXPECT_TRUE(hl::MessageBoxes().empty());
        HeadlessTest::TearDown();
    }
    static std::string Bytes(const std::string& path = kIni) {
        return mem::FileBytes(path).value_or("(no file)");
    }
};

TEST_F(SettingsFileTest, TheFileSitsBesideTheExecutableAndNeverReplacesIt) {
    const struct {
        std::string module;
        std::string settings;
    } cases[] = {
        {"C:\\Tools\\Orvano.exe", "C:\\Tools\\Orvano.ini"},
        {"C:\\TOOLS\\ORVANO.EXE", "C:\\TOOLS\\ORVANO.ini"},
        {"C:\\Tools\\Orvano.eXe", "C:\\Tools\\Orvano.ini"},
        {"C:\\Tools.exe\\Orvano.exe", "C:\\Tools.exe\\Orvano.ini"},
        // Any other name keeps its whole self and gets ".ini" added.
        {"C:\\Tools\\Orvano", "C:\\Tools\\Orvano.ini"},
        {"C:\\Tools\\Orvanoexe", "C:\\Tools\\Orvanoexe.ini"},
        {"C:\\Tools\\Orvano.com", "C:\\Tools\\Orvano.com.ini"},
        {"C:\\Tools\\Orvano.exe.bak", "C:\\Tools\\Orvano.exe.bak.ini"},
        {"C:\\Tools\\Orvano.ini", "C:\\Tools\\Orvano.ini.ini"},
        // A path too long for the program to learn leaves it without a settings file.
        {"C:\\" + std::string(600, 'x') + ".exe", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.module);
        mem::Reset();
        mem::SetModulePath(c.module);
        EXPECT_EQ(c.settings, app::SettingsFilePath());
    }

    // Stamping a program named without ".exe" leaves the program's bytes alone.
    mem::Reset();
    mem::PutFile("C:\\Tools\\Orvano", "MZ program");
    mem::SetModulePath("C:\\Tools\\Orvano");
    EXPECT_EQ(1, app::StampSettingsFile("10122009", "2.1.0.6"));
    EXPECT_EQ("MZ program", Bytes("C:\\Tools\\Orvano"));
    EXPECT_EQ(kFreshFile, Bytes("C:\\Tools\\Orvano.ini"));
}

TEST_F(SettingsFileTest, FirstStartCreatesTheDefaultsThenStampsThem) {
    EXPECT_EQ(1, app::StampSettingsFile("10122009", "2.1.0.6"));
    EXPECT_EQ(kFreshFile, Bytes());
    EXPECT_EQ(1, mem::CallCount(Call::WriteIniSection));
    EXPECT_EQ(6, mem::CallCount(Call::WriteIniString));  // five defaults, two of them stamped
    EXPECT_EQ(0, mem::CallCount(Call::RemoveFile));
    EXPECT_EQ(0u, mem::SleptMilliseconds());
    // Nothing else is created beside the program.
    EXPECT_EQ((std::vector<std::string>{"C:\\Orvano\\Orvano.exe", kIni}), mem::ListFiles());
}

TEST_F(SettingsFileTest, AFailedStampWriteLeavesTheDefaultsInForce) {
    mem::FailCall(Call::WriteIniString, 5);  // the version stamp
    EXPECT_EQ(0, app::StampSettingsFile("10122009", "2.1.0.6"));
    EXPECT_EQ(
        "[HmWinPos]\r\nHmWinPosX=\r\n"
        "[DateVersionInIni]\r\nVersion=\"0.0.0.0\"\r\nDate=\"10122009\"\r\n"
        "[Optionen]\r\nAllProgExit=\"1\"\r\n"
        "[COMMAND]\r\nCMD=\"\"\r\n",
        Bytes());
    std::string value;
    EXPECT_EQ(1, app::ReadAllProgExit(value));
    EXPECT_EQ("1", value);
    // The next start sees the default version and starts over.
    EXPECT_EQ(1, app::StampSettingsFile("10122009", "2.1.0.6"));
    EXPECT_EQ(kFreshFile, Bytes());
    EXPECT_EQ(1, mem::CallCount(Call::RemoveFile));
}

TEST_F(SettingsFileTest, AFolderThatTakesNoFileLeavesEveryDefaultInForce) {
    mem::SetModulePath("C:\\Gone\\Orvano.exe");  // a folder that does not exist
    EXPECT_EQ(0, app::StampSettingsFile("10122009", "2.1.0.6"));
    EXPECT_EQ((std::vector<std::string>{"C:\\Orvano\\Orvano.exe"}), mem::ListFiles());
    std::string value = "untouched", command = "old";
    EXPECT_EQ(0, app::ReadAllProgExit(value));
    EXPECT_EQ("untouched", value);
    EXPECT_EQ(0, app::ReadStartCommand(command));
    EXPECT_EQ("", command);

    // Every write failing in a folder that exists: the same.
    mem::Reset();
    for (int i = 0; i < 6; ++i) mem::FailCall(Call::WriteIniString, 1);
    mem::FailCall(Call::WriteIniSection);
    EXPECT_EQ(0, app::StampSettingsFile("10122009", "2.1.0.6"));
    EXPECT_FALSE(mem::FileBytes(kIni));
}

TEST_F(SettingsFileTest, AnotherStampReplacesTheWholeFile) {
    const struct {
        const char* version;
        const char* date;
        bool kept;
    } cases[] = {
        {"\"2.1.0.6\"", "\"10122009\"", true},
        {"2.1.0.6", "10122009", true},                   // quotes are not needed
        {"\"v2.1.0.6 final\"", "\"10.12.2009\"", true},  // only digits and dots count
        {"\"2.1.0.5\"", "\"10122009\"", false},
        {"\"2.1.0.6\"", "\"09122009\"", false},
        {"\"2.1.0.6.0\"", "\"10122009\"", false},
        {"\"0.0.0.0\"", "\"10122009\"", false},  // the default stamp never matches
        {"\"2.1.0.6\"", "\"00000000\"", false},
        {"\"\"", "\"10122009\"", false},
        {"\"2.1.0.6\"", "\"nodate\"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version + std::string(" ") + c.date);
        mem::Reset();
        const std::string before = StampedFile(c.version, c.date);
        mem::PutFile(kIni, before);
        EXPECT_EQ(1, app::StampSettingsFile("10122009", "2.1.0.6"));
        if (c.kept) {
            EXPECT_EQ(before, Bytes());
            EXPECT_EQ(0, mem::CallCount(Call::RemoveFile));
            EXPECT_EQ(0, mem::CallCount(Call::WriteIniString));
        } else {
            // Deleted, given a moment, and made anew: the window position and options go.
            EXPECT_EQ(kFreshFile, Bytes());
            EXPECT_EQ(1, mem::CallCount(Call::RemoveFile));
            EXPECT_EQ(100u, mem::SleptMilliseconds());
        }
    }
}

TEST_F(SettingsFileTest, AFileThatCannotBeDeletedIsStampedWhereItIs) {
    mem::PutFile(kIni, StampedFile("\"2.1.0.5\"", "\"10122009\""));
    mem::FailCall(Call::RemoveFile);
    EXPECT_EQ(1, app::StampSettingsFile("10122009", "2.1.0.6"));
    // Defaults are only made for a missing file; the old position stays.
    EXPECT_EQ(0, mem::CallCount(Call::WriteIniSection));
    std::string text;
    p::GetIniString("HmWinPos", "HmWinPosX", "", text, 260, kIni);
    EXPECT_EQ("120", text);
    p::GetIniString("DateVersionInIni", "Version", "", text, 260, kIni);
    EXPECT_EQ("2.1.0.6", text);
}

TEST_F(SettingsFileTest, TheStampWrittenIsReducedToDigitsAndDots) {
    EXPECT_EQ(1, app::StampSettingsFile("10.12.2009", "Version 2.1.0.6 (final)"));
    std::string version, date;
    p::GetIniString("DateVersionInIni", "Version", "", version, 520, kIni);
    p::GetIniString("DateVersionInIni", "Date", "", date, 520, kIni);
    EXPECT_EQ("2.1.0.6", version);
    EXPECT_EQ("10122009", date);
    // A program without a usable stamp recreates the file at every start.
    EXPECT_EQ(0, app::StampSettingsFile("", "2.1.0.6"));
    EXPECT_EQ(0, app::StampSettingsFile("", "2.1.0.6"));
    EXPECT_EQ(2, mem::CallCount(Call::RemoveFile));
    EXPECT_EQ(0, app::StampSettingsFile("10122009", "0.0.0.0"));
    EXPECT_EQ(0, app::StampSettingsFile("10122009", "0.0.0.0"));
    EXPECT_EQ(4, mem::CallCount(Call::RemoveFile));
}

TEST_F(SettingsFileTest, AllProgExitCountsOnlyItsZerosAndOnes) {
    const struct {
        std::optional<std::string> line;  // nullopt: no such key
        int result;
        const char* value;
    } cases[] = {
        {"AllProgExit=\"1\"", 1, "1"},    {"AllProgExit=\"0\"", 1, "0"},
        {"AllProgExit=10", 1, "10"},  // not "1": the companion programs stay open
        {"AllProgExit= 1 (ja) ", 1, "1"}, {"AllProgExit=\"\"", 0, "untouched"},
        {"AllProgExit=", 0, "untouched"}, {"AllProgExit=nein", 0, "untouched"},
        {"AllProgExit", 1, "1"},  // a name alone has no value: the default "1" counts
        {std::nullopt, 1, "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.value_or("(missing)"));
        mem::Reset();
        mem::PutFile(kIni, "[Optionen]\r\n" + c.line.value_or("Other=0") + "\r\n");
        std::string value = "untouched";
        EXPECT_EQ(c.result, app::ReadAllProgExit(value));
        EXPECT_EQ(c.value, value);
    }
    mem::Reset();  // no file at all
    std::string value = "untouched";
    EXPECT_EQ(0, app::ReadAllProgExit(value));
    EXPECT_EQ("untouched", value);
}

TEST_F(SettingsFileTest, TheStartCommandIsTrimmed) {
    const struct {
        std::optional<std::string> line;
        int result;
        const char* command;
    } cases[] = {
        {"CMD=nodns", 1, "nodns"},
        {"CMD=\"  nodns  \"", 1, "nodns"},  // blanks inside the quotes go too
        {"CMD=\"two words\"", 1, "two words"},
        {"CMD=\"\"", 0, ""},
        {"CMD=\"   \"", 0, ""},
        {"CMD=", 0, ""},
        {std::nullopt, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.value_or("(missing)"));
        mem::Reset();
        mem::PutFile(kIni, "[COMMAND]\r\n" + c.line.value_or("Other=x") + "\r\n");
        std::string command = "old";
        EXPECT_EQ(c.result, app::ReadStartCommand(command));
        EXPECT_EQ(c.command, command);
    }
    mem::Reset();
    std::string command = "old";
    EXPECT_EQ(0, app::ReadStartCommand(command));
    EXPECT_EQ("", command);
    // What a fresh file holds is no command.
    EXPECT_EQ(1, app::StampSettingsFile("10122009", "2.1.0.6"));
    EXPECT_EQ(0, app::ReadStartCommand(command));
}

}  // namespace
}  // namespace orvano::testing
