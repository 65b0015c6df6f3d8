#include <gtest/gtest.h>

#include "config/fax_settings.h"
#include "config/registry.h"
#include "memory_fixture.h"

namespace orvano::testing {
namespace {

using namespace orvano::config;

class FaxSettingsTest : public MemoryMachineTest {
  protected:
    static std::optional<std::uint32_t> Stored(RegKey root, const char* key, const char* value) {
        auto stored = mem::GetValue(root, key, value);
        if (!stored || stored->type != platform::kRegDword || stored->data.size() != 4)
            return std::nullopt;
        const auto& d = stored->data;
        return d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24;
    }
};

TEST_F(FaxSettingsTest, ProgramAndDataFoldersMustBeThere) {
    mem::CreateFolder("C:\\Programme\\FRITZ!");
    mem::PutFile("C:\\Daten\\Fax\\FritzFax.dbf", "");
    mem::CreateFolder("C:\\Daten\\Leer");
    struct Case {
        const char* systemDir;
        const char* datenDir;
        int result;
        const char* program;
        const char* data;
    } cases[] = {
        {"C:\\Programme\\FRITZ!", "C:\\Daten\\Fax\\", 1, "C:\\Programme\\FRITZ!\\",
         "C:\\Daten\\Fax\\"},
        {"c:\\programme\\fritz!", "C:\\Daten\\Fax", 1, "c:\\programme\\fritz!\\",
         "C:\\Daten\\Fax\\"},
        // Stored with its "\", a folder is looked into: an empty one counts as missing.
        {"C:\\Programme\\FRITZ!", "C:\\Daten\\Leer\\", 1, "C:\\Programme\\FRITZ!\\", ""},
        {"C:\\Programme\\Fehlt", "C:\\Daten\\Fehlt", 0, "", ""},
        {"", "", 0, "", ""},
        {"C:\\Programme\\*", "C:\\Daten\\F?x", 0, "", ""},  // a pattern is no folder
    };
    for (const Case& c : cases) {
        mem::PutText(kCurrentUser, kFaxUserProgramKey, "SystemDir", c.systemDir);
        mem::PutText(kCurrentUser, kFaxUserKey, "DatenDir", c.datenDir);
        mem::PutText(kCurrentUser, kFaxUserKey, "Version", "FRITZ!fax 3.07.04 ");
        std::string version = "old", program = "old", data = "old";
        EXPECT_EQ(ReadFaxApplication(version, program, data), c.result) << c.systemDir;
        EXPECT_EQ(program, c.program) << c.systemDir;
        EXPECT_EQ(data, c.data) << c.datenDir;
        EXPECT_EQ(version, "3.07.04");
    }
}

TEST_F(FaxSettingsTest, UnreadableValuesLeaveTheirArgumentsAlone) {
    std::string version = "v", program = "p", data = "d";
    EXPECT_EQ(ReadFaxApplication(version, program, data), 0);
    EXPECT_EQ(program, "p");
    EXPECT_EQ(data, "d") << "no fax key: nothing more is read";
    EXPECT_EQ(version, "v");

    mem::CreateKeyPath(kCurrentUser, kFaxUserKey);
    EXPECT_EQ(ReadFaxApplication(version, program, data), 0);
    EXPECT_EQ(data, "d") << "no DatenDir value";
    EXPECT_EQ(version, "") << "the fax key is there, its version is not";
}

TEST_F(FaxSettingsTest, SettingsReadAboveZeroAndHandOutTheirHex) {
    EXPECT_EQ(WriteFaxSetting(FaxSetting::CapiController, "fffffffe"), 1);
    struct Case {
        std::uint32_t stored;
        int result;
        const char* hex;
    } cases[] = {{0xFFFFFFFE, 1, "fffffffe"}, {0, 0, "00000000"}, {5, 1, "00000005"}};
    for (const Case& c : cases) {
        mem::PutDword(kCurrentUser, kFaxUserKey, "CapiController", c.stored);
        std::string hex = "sentinel";
        EXPECT_EQ(ReadFaxSetting(FaxSetting::CapiController, hex), c.result);
        EXPECT_EQ(hex, c.hex);
    }
    std::string hex = "sentinel";
    EXPECT_EQ(ReadFaxSetting(FaxSetting::Speech, hex), 0);
    EXPECT_EQ(hex, "");
}

TEST_F(FaxSettingsTest, FirstWritesStoreTheApplicationsChoice) {
    struct Case {
        FaxSetting setting;
        RegKey root;
        const char* key;
        const char* value;
        const char* asked;
        std::uint32_t first;
    } cases[] = {
        {FaxSetting::CapiController, kCurrentUser, kFaxUserKey, "CapiController", "00000004", 1},
        {FaxSetting::CapiController, kCurrentUser, kFaxUserKey, "CapiController", "ffffffff",
         0xFFFFFFFF},
        {FaxSetting::CapiController, kCurrentUser, kFaxUserKey, "CapiController", "FFFFFFFD",
         0xFFFFFFFD},
        {FaxSetting::CapiController, kCurrentUser, kFaxUserKey, "CapiController", "fffffffc", 1},
        {FaxSetting::Cip, kCurrentUser, kFaxUserKey, "Cip", "00000011", 0x11},
        {FaxSetting::Cip, kCurrentUser, kFaxUserKey, "Cip", "00000007", 4},
        {FaxSetting::ControllerFax, kCurrentUser, kFaxUserKey, "ControllerFax", "00000000", 0},
        {FaxSetting::ControllerFax, kCurrentUser, kFaxUserKey, "ControllerFax", "00000002", 1},
        {FaxSetting::Speech, kCurrentUser, kFaxUserKey, "Speech", "1", 1},
        {FaxSetting::Speech, kCurrentUser, kFaxUserKey, "Speech", "00000002", 0},
        {FaxSetting::FritzBoxUser, kCurrentUser, kFaxUserKey, "FritzBox", "00000002", 0},
        {FaxSetting::FritzBoxMachine, kLocalMachine, kFaxMachineKey, "FritzBox", "00000001", 1},
        {FaxSetting::NeueTreiber2003Machine, kLocalMachine, kFaxMachineKey, "NeueTreiber2003",
         "00000001", 1},
        {FaxSetting::FritzBoxMachineWow, kLocalMachine, kFaxMachineKeyWow, "FritzBox", "00000001",
         1},
        {FaxSetting::NeueTreiber2003MachineWow, kLocalMachine, kFaxMachineKeyWow, "NeueTreiber2003",
         "0000000a", 0},
        {FaxSetting::UsePlusMapper, kCurrentUser, kFaxUserProgramKey, "UsePlusMapper", "00000001",
         1},
    };
    for (const Case& c : cases) {
        mem::Reset();
        EXPECT_EQ(WriteFaxSetting(c.setting, c.asked), 1) << c.value << " " << c.asked;
        EXPECT_EQ(Stored(c.root, c.key, c.value), c.first) << c.value << " " << c.asked;
        // Now that the value exists, it takes what is asked for.
        EXPECT_EQ(WriteFaxSetting(c.setting, c.asked), 1);
        EXPECT_EQ(Stored(c.root, c.key, c.value), HexTextNumber(c.asked))
            << c.value << " " << c.asked;
    }
    // A stored 0 counts as present.
    mem::Reset();
    mem::PutDword(kCurrentUser, kFaxUserKey, "Cip", 0);
    EXPECT_EQ(WriteFaxSetting(FaxSetting::Cip, "00000007"), 1);
    EXPECT_EQ(Stored(kCurrentUser, kFaxUserKey, "Cip"), 7u);
}

TEST_F(FaxSettingsTest, PlusMapperAndDataFolderKeepOnlyWhatCounts) {
    EXPECT_EQ(WritePlusMapper(" 00 "), 1);
    EXPECT_EQ(mem::GetValue(kCurrentUser, kFaxUserProgramKey, "PlusMapper")->data,
              StoredText("00"));
    std::string digits = "sentinel";
    mem::PutText(kCurrentUser, kFaxUserProgramKey, "PlusMapper", " +49 ");
    EXPECT_EQ(ReadPlusMapper(digits), 1);
    EXPECT_EQ(digits, "49");
    mem::PutText(kCurrentUser, kFaxUserProgramKey, "PlusMapper", "+");
    EXPECT_EQ(ReadPlusMapper(digits), 0);
    EXPECT_EQ(digits, "");

    std::string folder = "old";
    EXPECT_EQ(ReadDataFolder(folder), 0);
    EXPECT_EQ(folder, "old");
    EXPECT_EQ(WriteDataFolder("  D:\\Fax\\Daten "), 1);
    EXPECT_EQ(mem::GetValue(kCurrentUser, kFaxUserKey, "DatenDir")->data,
              StoredText("D:\\Fax\\Daten"));
    EXPECT_EQ(ReadDataFolder(folder), 1) << "no check on disk";
    EXPECT_EQ(folder, "D:\\Fax\\Daten\\");
    mem::PutText(kCurrentUser, kFaxUserKey, "DatenDir", "C:\\Programme\\FRITZ!/ ");
    EXPECT_EQ(ReadDataFolder(folder), 1);
    EXPECT_EQ(folder, "C:\\Programme\\FRITZ!\\");
    mem::PutText(kCurrentUser, kFaxUserKey, "DatenDir", "  ");
    EXPECT_EQ(ReadDataFolder(folder), 0);
}

TEST_F(FaxSettingsTest, NumbersAreJudgedOneByOne) {
    struct Case {
        std::vector<std::string> numbers;
        int status;
    } cases[] = {
        {{"0301234", "0049 30 1234"}, 1},
        {{"0301234", "+49301234"}, 5},
        {{"0301234", "030-1234"}, 2},
        {{"+49301234", "abc"}, 6},
        {{"49+301234"}, 2},
        {{"++49301234"}, 2},
        {{"030/1234"}, 2},
        {{"+"}, 2},
        {{"   "}, 2},
        {{""}, 2},
        {{" +49 30 123 "}, 5},
    };
    for (const Case& c : cases) {
        mem::Reset();
        for (std::size_t i = 0; i < c.numbers.size(); ++i)
            mem::PutText(kCurrentUser, kFaxUserNumbersKey, "Nummer" + std::to_string(i + 1),
                         c.numbers[i]);
        EXPECT_EQ(DialledNumbersStatus(), c.status) << c.numbers[0];
    }
}

TEST_F(FaxSettingsTest, OnlyTextValuesNamedNummerAreNumbers) {
    std::vector<std::string> numbers{"unchanged"};
    int count = -1;
    EXPECT_EQ(ReadDialledNumbers(numbers, count), 0);
    mem::PutDword(kCurrentUser, kFaxUserNumbersKey, "Nummer1", 5);
    mem::PutText(kCurrentUser, kFaxUserNumbersKey, "Name", "0301234");
    EXPECT_EQ(ReadDialledNumbers(numbers, count), 0);
    EXPECT_EQ(numbers, std::vector<std::string>{"unchanged"});
    EXPECT_EQ(count, -1);

    mem::PutText(kCurrentUser, kFaxUserNumbersKey, "NUMMER7", " 0301234 ");
    mem::PutText(kCurrentUser, kFaxUserNumbersKey, "Nummer8", "+49 30 1");
    EXPECT_EQ(ReadDialledNumbers(numbers, count), 5);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(numbers, (std::vector<std::string>{"0301234", "+49 30 1"}));
}

}  // namespace
}  // namespace orvano::testing
