// INI files through the private-profile calls, as the settings file relies on them: the
// bytes written, quotes and blanks on reading, buffer sizes, section replacement. Runs against
// the in-memory platform on the host and against kernel32 under Wine: both must agree.
// Files live beside the test program and are removed before and after each test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace orvano::contract {
namespace {

namespace pf = orvano::platform;
using namespace std::string_literals;

// The folder of the running test program, with its trailing "\".
std::string ProgramFolder() {
    std::string module = pf::ModuleFileName();
    return module.substr(0, module.rfind('\\') + 1);
}

std::string TestFileName(const std::string& extension) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return ProgramFolder() + "orvano_" + test->test_suite_name() + "_" + test->name() + extension;
}

class ProfileContract : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(ProgramFolder().empty());
        file_ = TestFileName(".ini");
        pf::RemoveFile(file_);
        ASSERT_FALSE(pf::FileExists(file_));
    }
    void TearDown() override { pf::RemoveFile(file_); }

    std::string Bytes() const {
        std::string bytes = "(no file)";
        pf::ReadWholeFile(file_, bytes);
        return bytes;
    }
    void PutBytes(const std::string& bytes) const { ASSERT_TRUE(pf::WriteWholeFile(file_, bytes)); }
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& fallback = "<default>") const {
        std::string text = "<untouched>";
        std::uint32_t count = pf::GetIniString(section, key, fallback, text, 260, file_);
        EXPECT_EQ(count, text.size());
        return text;
    }
    bool Write(const std::string& section, const std::string& key, const std::string& value) const {
        return pf::WriteIniString(section, key, value, file_);
    }

    std::string file_;
};

TEST_F(ProfileContract, SettingsFileCreatedWithDefaultsThenStampedHasTheseBytes) {
    // The program's own sequence: defaults first, then its version and date.
    ASSERT_TRUE(pf::WriteIniSection("HmWinPos", {"HmWinPosX=\r\n"}, file_));
    // The value's leading line break is dropped like any leading blank: no empty line.
    EXPECT_EQ("[HmWinPos]\r\nHmWinPosX=\r\n", Bytes());
    ASSERT_TRUE(Write("DateVersionInIni", "Version", "\"0.0.0.0\""));
    ASSERT_TRUE(Write("DateVersionInIni", "Date", "\"00000000\"\r\n"));
    ASSERT_TRUE(Write("Optionen", "AllProgExit", "\"1\"\r\n"));
    ASSERT_TRUE(Write("COMMAND", "CMD", "\"\"\r\n"));
    // Only the value written last still carries its CR LF; the others were read back trimmed.
    EXPECT_EQ(
        "[HmWinPos]\r\nHmWinPosX=\r\n"
        "[DateVersionInIni]\r\nVersion=\"0.0.0.0\"\r\nDate=\"00000000\"\r\n"
        "[Optionen]\r\nAllProgExit=\"1\"\r\n"
        "[COMMAND]\r\nCMD=\"\"\r\n\r\n",
        Bytes());
    ASSERT_TRUE(Write("DateVersionInIni", "Version", "\"2.1.0.6\""));
    ASSERT_TRUE(Write("DateVersionInIni", "Date", "\"10122009\""));
    EXPECT_EQ(
        "[HmWinPos]\r\nHmWinPosX=\r\n"
        "[DateVersionInIni]\r\nVersion=\"2.1.0.6\"\r\nDate=\"10122009\"\r\n"
        "[Optionen]\r\nAllProgExit=\"1\"\r\n"
        "[COMMAND]\r\nCMD=\"\"\r\n",
        Bytes());
    EXPECT_EQ("2.1.0.6", Read("DateVersionInIni", "Version"));
    EXPECT_EQ("10122009", Read("DateVersionInIni", "Date"));
    EXPECT_EQ("1", Read("Optionen", "AllProgExit"));
    EXPECT_EQ("", Read("COMMAND", "CMD"));
    EXPECT_EQ("", Read("HmWinPos", "HmWinPosX"));
    EXPECT_EQ("<default>", Read("HmWinPos", "HmWinPosY"));
}

TEST_F(ProfileContract, TheFirstWriteCreatesTheFileButNeverAFolder) {
    EXPECT_EQ("<default>", Read("S", "k"));
    EXPECT_FALSE(pf::FileExists(file_));  // reading creates nothing
    ASSERT_TRUE(Write("S", "k", "v"));
    EXPECT_EQ("[S]\r\nk=v\r\n", Bytes());

    const std::string lost = ProgramFolder() + "orvano_no_such_folder\\settings.ini";
    EXPECT_FALSE(pf::WriteIniString("S", "k", "v", lost));
    EXPECT_FALSE(pf::WriteIniSection("S", {"k=v"}, lost));
    EXPECT_FALSE(pf::FileExists(lost));
    std::string text;
    EXPECT_EQ(3u, pf::GetIniString("S", "k", "def", text, 260, lost));
    EXPECT_EQ("def", text);
}

TEST_F(ProfileContract, KeysAreReplacedInPlaceAndNewOnesGoToTheEndOfTheirSection) {
    ASSERT_TRUE(Write("Alpha", "One", "1"));
    ASSERT_TRUE(Write("Beta", "Two", "2"));
    ASSERT_TRUE(Write("Alpha", "Three", "3"));
    ASSERT_TRUE(Write("ALPHA", "one", "uno"));  // names match without regard to case
    EXPECT_EQ("[Alpha]\r\nOne=uno\r\nThree=3\r\n[Beta]\r\nTwo=2\r\n", Bytes());
    EXPECT_EQ("uno", Read("alpha", "ONE"));
    ASSERT_TRUE(Write("Alpha", "Three", ""));
    EXPECT_EQ("[Alpha]\r\nOne=uno\r\nThree=\r\n[Beta]\r\nTwo=2\r\n", Bytes());
    EXPECT_EQ("", Read("Alpha", "Three"));
}

TEST_F(ProfileContract, MatchingQuotesAroundAValueAreRemovedOnReading) {
    const struct {
        const char* written;
        const char* read;
    } cases[] = {
        {"\"quoted\"", "quoted"},
        {"'single'", "single"},
        {"\"\"", ""},
        {"\"", "\""},
        {"\"mixed'", "\"mixed'"},
        {"\"inner\"quote\"", "inner\"quote"},
        {"a \"b\"", "a \"b\""},
        {"  \"blanks outside\"  ", "blanks outside"},
        {"\" blanks inside \"", " blanks inside "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        ASSERT_TRUE(Write("Q", "Value", c.written));
        EXPECT_EQ(c.read, Read("Q", "Value"));
        ASSERT_TRUE(Write("Q", "Other", "x"));  // the file read back and written again
        EXPECT_EQ(c.read, Read("Q", "Value"));
    }
}

TEST_F(ProfileContract, BlanksAroundNamesAndValuesDoNotCount) {
    PutBytes(
        "; written by hand\r\n"
        "  [ Optionen ]  \r\n"
        "  AllProgExit  =   \"0\"  \t\r\n"
        "\r\n\r\n"
        "[COMMAND]\n"
        "CMD=   nodns  x  \n"
        "noequals\r\n");
    EXPECT_EQ("0", Read("Optionen", "AllProgExit"));
    EXPECT_EQ("0", Read(" Optionen ", " AllProgExit "));
    EXPECT_EQ("nodns  x", Read("COMMAND", "CMD"));
    EXPECT_EQ("<default>", Read("COMMAND", "noequals"));
    // A write brings the whole file into the profile functions' own form.
    ASSERT_TRUE(Write("Optionen", "New", "1"));
    EXPECT_EQ(
        "; written by hand\r\n"
        "[Optionen]\r\nAllProgExit=\"0\"\r\nNew=1\r\n"
        "[COMMAND]\r\nCMD=nodns  x\r\nnoequals\r\n",
        Bytes());
}

TEST_F(ProfileContract, LineBreaksInAWrittenValueReachTheFileAsGiven) {
    ASSERT_TRUE(Write("S", "Trailing", "\"1\"\r\n"));
    EXPECT_EQ("[S]\r\nTrailing=\"1\"\r\n\r\n", Bytes());
    EXPECT_EQ("1", Read("S", "Trailing"));
    ASSERT_TRUE(Write("S", "Next", "2"));
    EXPECT_EQ("[S]\r\nTrailing=\"1\"\r\nNext=2\r\n", Bytes());

    // Inside a value they start a line of their own, which then reads as a key.
    ASSERT_TRUE(Write("S", "Inner", "a\r\nInjected=yes"));
    EXPECT_EQ("[S]\r\nTrailing=\"1\"\r\nNext=2\r\nInner=a\r\nInjected=yes\r\n", Bytes());
    EXPECT_EQ("a", Read("S", "Inner"));
    EXPECT_EQ("yes", Read("S", "Injected"));
    // Leading blanks and line breaks of a value are dropped on writing.
    ASSERT_TRUE(Write("S", "Lead", " \r\n\tvalue"));
    EXPECT_EQ("value", Read("S", "Lead"));
}

TEST_F(ProfileContract, TheBufferSizeCutsTheText) {
    ASSERT_TRUE(Write("S", "Plain", "abcdefgh"));
    ASSERT_TRUE(Write("S", "Quoted", "\"abcdefgh\""));
    const struct {
        const char* key;
        std::uint32_t size;
        std::uint32_t count;
        const char* text;
    } cases[] = {
        {"Plain", 0, 0, ""},        {"Plain", 1, 0, ""},           {"Plain", 2, 1, "a"},
        {"Plain", 8, 7, "abcdefg"}, {"Plain", 9, 8, "abcdefgh"},   {"Plain", 260, 8, "abcdefgh"},
        {"Quoted", 5, 4, "abcd"},   {"Quoted", 10, 8, "abcdefgh"}, {"Quoted", 260, 8, "abcdefgh"},
        {"Missing", 4, 3, "def"},   {"Missing", 3, 2, "de"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key + " in "s + std::to_string(c.size));
        std::string text = "<untouched>";
        EXPECT_EQ(c.count, pf::GetIniString("S", c.key, "default", text, c.size, file_));
        EXPECT_EQ(c.text, text);
    }
}

TEST_F(ProfileContract, DefaultsLoseTrailingSpacesAndMatchingQuotes) {
    ASSERT_TRUE(Write("S", "Present", "value"));
    const struct {
        const char* fallback;
        const char* read;
    } cases[] = {
        {"1", "1"},
        {"0.0.0.0", "0.0.0.0"},
        {"", ""},
        {"  lead and trail  ", "  lead and trail"},
        {"\"quoted\"", "quoted"},
        {"'single'  ", "single"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fallback);
        EXPECT_EQ(c.read, Read("S", "Absent", c.fallback));
        EXPECT_EQ(c.read, Read("NoSection", "Present", c.fallback));
        EXPECT_EQ("value", Read("S", "Present", c.fallback));
    }
}

TEST_F(ProfileContract, ASectionWriteReplacesTheSectionWhereItStands) {
    PutBytes("[HmWinPos]\r\nHmWinPosX=120\r\nHmWinPosY=30\r\n[Optionen]\r\nAllProgExit=0\r\n");
    ASSERT_TRUE(
        pf::WriteIniSection("hmwinpos", {"HmWinPosX=\r\n", "no equals sign", "W = 5 "}, file_));
    EXPECT_EQ("[HmWinPos]\r\nHmWinPosX=\r\nW =5 \r\n[Optionen]\r\nAllProgExit=0\r\n", Bytes());
    EXPECT_EQ("<default>", Read("HmWinPos", "HmWinPosY"));
    EXPECT_EQ("5", Read("HmWinPos", "W"));
    // A missing section is added at the end; an empty line ends the list.
    ASSERT_TRUE(pf::WriteIniSection("New", {"a=1", "", "b=2"}, file_));
    EXPECT_EQ("[HmWinPos]\r\nHmWinPosX=\r\nW=5\r\n[Optionen]\r\nAllProgExit=0\r\n[New]\r\na=1\r\n",
              Bytes());
}

TEST_F(ProfileContract, ADeletedFileIsForgottenAtOnce) {
    ASSERT_TRUE(Write("HmWinPos", "HmWinPosX", "120"));
    ASSERT_TRUE(Write("Optionen", "AllProgExit", "0"));
    ASSERT_TRUE(pf::RemoveFile(file_));
    EXPECT_EQ("<default>", Read("HmWinPos", "HmWinPosX"));
    ASSERT_TRUE(pf::WriteIniSection("HmWinPos", {"HmWinPosX="}, file_));
    EXPECT_EQ("[HmWinPos]\r\nHmWinPosX=\r\n", Bytes());
}

}  // namespace
}  // namespace orvano::contract
