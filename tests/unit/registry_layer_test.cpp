#include <gtest/gtest.h>

#include "config/registry.h"
#include "memory_fixture.h"

namespace orvano::testing {
namespace {

using namespace orvano::config;
using platform::kRegBinary;
using platform::kRegDword;
using platform::kRegExpandSz;
using platform::kRegSz;
using Call = mem::Call;

constexpr char kKey[] = "Software\\Orvano\\Test";

class RegistryLayerTest : public MemoryMachineTest {};

TEST_F(RegistryLayerTest, VendorKeyTextNamesOnlyKeysThatExist) {
    EXPECT_EQ(VendorKeyText(2), "");
    mem::CreateKeyPath(kLocalMachine, "SOFTWARE\\AVM");
    mem::CreateKeyPath(kCurrentUser, "software\\avm");
    struct Case {
        int location;
        const char* text;
    } cases[] = {
        {1, "HKEY_CURRENT_USER\\SOFTWARE\\AVM"},
        {2, "HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM"},
        {3, ""},  // the Wow6432Node twin is absent
        {0, ""},
        {7, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VendorKeyText(c.location), c.text) << "location " << c.location;
        EXPECT_EQ(VendorKeyExists(c.location), c.text[0] ? 1 : 0) << "location " << c.location;
    }
    mem::CreateKeyPath(kLocalMachine, "SOFTWARE\\Wow6432Node\\AVM");
    EXPECT_EQ(VendorKeyText(3), "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM");
}

TEST_F(RegistryLayerTest, TextReadsFailRatherThanTruncate) {
    struct Case {
        std::string stored;
        int flag;
        std::string text;
    } cases[] = {
        {"192.168.178.1", 1, "192.168.178.1"},
        {std::string(255, 'x'), 1, std::string(255, 'x')},  // fills the buffer, no NUL
        {std::string(256, 'x'), 0, ""},
        {std::string(300, 'x'), 0, ""},
        {std::string("abc\0def", 7), 1, "abc"},
        {"", 1, ""},
    };
    for (const Case& c : cases) {
        mem::PutValue(kCurrentUser, kKey, "Value", kRegSz, Bytes(c.stored));
        std::string text = "sentinel";
        EXPECT_EQ(ReadTextValue(kCurrentUser, kKey, "value", text), c.flag) << c.stored.size();
        EXPECT_EQ(text, c.text) << c.stored.size();
    }
    std::string text = "sentinel";
    EXPECT_EQ(ReadTextValue(kCurrentUser, kKey, "Missing", text), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(ReadTextValue(kCurrentUser, "Software\\NoSuchKey", "Value", text), 0);
}

// Each typed reader takes only its own type; what else is stored under the name is there,
// but never read as a number or a text. The untyped text reader still takes any type.
TEST_F(RegistryLayerTest, TypedReadsTellAValueOfAnotherTypeFromAMissingOne) {
    constexpr std::uint32_t kQword = 11;
    const auto missing = ValueRead::Missing, read = ValueRead::Read, wrong = ValueRead::WrongType;
    struct Case {
        const char* what;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        ValueRead dword;
        std::string hex;  // and its number
        ValueRead string;
        int anyText;
    } cases[] = {
        {"dword 5031", kRegDword, {0xA7, 0x13, 0, 0}, read, "000013a7", wrong, 1},
        {"dword 0", kRegDword, {0, 0, 0, 0}, read, "00000000", wrong, 1},
        {"dword top", kRegDword, {0xFC, 0xFF, 0xFF, 0xFF}, read, "fffffffc", wrong, 1},
        {"dword of 2 bytes", kRegDword, {0x13, 0x88}, wrong, "", wrong, 1},
        {"dword of 8 bytes", kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}, wrong, "", wrong, 1},
        {"empty dword", kRegDword, {}, wrong, "", wrong, 1},
        {"binary of 4", kRegBinary, {0x01, 0x02, 0, 0}, wrong, "", wrong, 1},
        {"string abc", kRegSz, {'a', 'b', 'c', 0}, wrong, "", read, 1},
        {"string 5031", kRegSz, {'5', '0', '3', '1', 0}, wrong, "", read, 1},
        {"expand string",
         kRegExpandSz,
         {'1', '.', '2', '.', '3', '.', '4', 0},
         wrong,
         "",
         wrong,
         1},
        {"qword", kQword, {1, 0, 0, 0, 0, 0, 0, 0}, wrong, "", wrong, 1},
        {"long binary", kRegBinary, std::vector<std::uint8_t>(300, '1'), wrong, "", wrong, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mem::PutValue(kLocalMachine, kKey, "Port", c.type, c.data);
        std::string hex = "sentinel";
        std::uint32_t number = 0xDEADBEEF;
        EXPECT_EQ(ReadDword(kLocalMachine, kKey, "Port", hex, number), c.dword);
        EXPECT_EQ(hex, c.hex);
        EXPECT_EQ(number, HexTextNumber(c.hex));
        EXPECT_EQ(ReadDwordValue(kLocalMachine, kKey, "port", hex, number), c.dword == read);
        std::string text = "sentinel";
        EXPECT_EQ(ReadStringValue(kLocalMachine, kKey, "Port", text), c.string);
        if (c.string != read) {
            EXPECT_EQ(text, "");
        }
        EXPECT_EQ(ReadTextValue(kLocalMachine, kKey, "Port", text), c.anyText);
    }
    std::string hex = "sentinel", text = "sentinel";
    std::uint32_t number = 1;
    EXPECT_EQ(ReadDword(kLocalMachine, kKey, "Absent", hex, number), missing);
    EXPECT_EQ(ReadStringValue(kLocalMachine, "Software\\NoSuchKey", "Port", text), missing);
    // A text too long for the buffer counts as absent, as for the untyped reader.
    mem::PutValue(kLocalMachine, kKey, "Long", kRegSz, std::vector<std::uint8_t>(300, 'x'));
    EXPECT_EQ(ReadStringValue(kLocalMachine, kKey, "Long", text), missing);
    EXPECT_EQ(std::make_pair(hex, text), std::make_pair(std::string(), std::string()));
}

TEST_F(RegistryLayerTest, HexTextIsFilteredThenReadAsOneNumber) {
    struct Case {
        const char* text;
        std::uint32_t number;
    } cases[] = {
        {"000013A7", 5031},
        {"000013a7", 5031},
        {"x13a7", 0x13A7},
        {"&H13a7", 0x13A7},
        {"", 0},
        {"zz", 0},
        {"ffffffff", 0xFFFFFFFF},
        {"123456789", 0x23456789},  // longer than 8 digits: the low 32 bits
        {" 1 3 8 8 ", 0x1388},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HexTextNumber(c.text), c.number) << c.text;
        ASSERT_EQ(WriteDwordValue(kLocalMachine, kKey, "Port", c.text), 1);
        auto stored = mem::GetValue(kLocalMachine, kKey, "Port");
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->type, kRegDword);
        std::string hex;
        std::uint32_t number = 0;
        ASSERT_EQ(ReadDwordValue(kLocalMachine, kKey, "Port", hex, number), 1);
        EXPECT_EQ(number, c.number) << c.text;
        EXPECT_EQ(hex, DwordText(c.number));
    }
    EXPECT_EQ(DwordText(5031), "000013a7");
}

TEST_F(RegistryLayerTest, TextWritesCreateTheKeyAndStoreNoNul) {
    ASSERT_FALSE(mem::KeyExists(kLocalMachine, "SOFTWARE\\AVM"));
    EXPECT_EQ(WriteTextValue(kLocalMachine, "SOFTWARE\\AVM\\AVMIGDCTRL", "FoundFritzBoxes",
                             "192.168.178.1"),
              1);
    auto stored = mem::GetValue(kLocalMachine, "SOFTWARE\\AVM\\AVMIGDCTRL", "FoundFritzBoxes");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, kRegSz);
    EXPECT_EQ(stored->data, StoredText("192.168.178.1"));  // 13 bytes given
    EXPECT_EQ(mem::CallCount(Call::CreateKey), 1);

    // An existing key is opened, not created again; the value is replaced in place.
    EXPECT_EQ(
        WriteTextValue(kLocalMachine, "SOFTWARE\\AVM\\AVMIGDCTRL", "foundfritzboxes", "10.0.0.1"),
        1);
    EXPECT_EQ(mem::CallCount(Call::CreateKey), 1);
    ASSERT_EQ(mem::ValuesOf(kLocalMachine, "SOFTWARE\\AVM\\AVMIGDCTRL").size(), 1u);
    EXPECT_EQ(mem::ValuesOf(kLocalMachine, "SOFTWARE\\AVM\\AVMIGDCTRL")[0].data,
              StoredText("10.0.0.1"));
}

TEST_F(RegistryLayerTest, FailedWritesLeaveWhatWasStored) {
    struct Case {
        const char* what;
        void (*arrange)();
    } cases[] = {
        {"set fails", [] { mem::FailCall(Call::SetValueEx); }},
        {"key can be neither opened nor created",
         [] {
             mem::FailCall(Call::OpenKey);
             mem::FailCall(Call::CreateKey);
         }},
        {"no administrator rights", [] { mem::SetReadOnly(kLocalMachine, true); }},
    };
    for (const Case& c : cases) {
        mem::Reset();
        mem::PutText(kLocalMachine, kKey, "Value", "old");
        c.arrange();
        EXPECT_EQ(WriteTextValue(kLocalMachine, kKey, "Value", "new"), 0) << c.what;
        c.arrange();
        EXPECT_EQ(WriteDwordValue(kLocalMachine, kKey, "Value", "1"), 0) << c.what;
        std::string text;
        EXPECT_EQ(ReadTextValue(kLocalMachine, kKey, "Value", text), 1) << c.what;
        EXPECT_EQ(text, "old") << c.what;
    }
    // A key that could not be created is not there afterwards.
    EXPECT_EQ(WriteTextValue(kLocalMachine, "SOFTWARE\\Fresh", "Value", "new"), 0);
    EXPECT_FALSE(mem::KeyExists(kLocalMachine, "SOFTWARE\\Fresh"));
}

TEST_F(RegistryLayerTest, DeletingTheLastValueRemovesItsKeyButNeverTheParent) {
    mem::PutText(kLocalMachine, "SOFTWARE\\AVM\\AVMIGDCTRL", "FoundFritzBoxes", "1.2.3.4");
    mem::PutText(kLocalMachine, "SOFTWARE\\AVM\\CAPIoTCP", "Other", "x");
    mem::PutDword(kLocalMachine, "SOFTWARE\\AVM\\CAPIoTCP", "Port", 5031);

    EXPECT_EQ(DeleteValue(kLocalMachine, "SOFTWARE\\AVM\\AVMIGDCTRL", "FoundFritzBoxes"), 1);
    EXPECT_FALSE(mem::KeyExists(kLocalMachine, "SOFTWARE\\AVM\\AVMIGDCTRL"));
    EXPECT_TRUE(mem::KeyExists(kLocalMachine, "SOFTWARE\\AVM"));

    EXPECT_EQ(DeleteValue(kLocalMachine, "SOFTWARE\\AVM\\CAPIoTCP", "Port"), 1);
    EXPECT_TRUE(mem::KeyExists(kLocalMachine, "SOFTWARE\\AVM\\CAPIoTCP"));
    EXPECT_TRUE(mem::GetValue(kLocalMachine, "SOFTWARE\\AVM\\CAPIoTCP", "Other"));

    // A missing value, or a deletion that fails, keeps everything as it is.
    EXPECT_EQ(DeleteValue(kLocalMachine, "SOFTWARE\\AVM\\CAPIoTCP", "Port"), 0);
    mem::FailCall(Call::DeleteValue);
    EXPECT_EQ(DeleteValue(kLocalMachine, "SOFTWARE\\AVM\\CAPIoTCP", "Other"), 0);
    EXPECT_TRUE(mem::GetValue(kLocalMachine, "SOFTWARE\\AVM\\CAPIoTCP", "Other"));
    EXPECT_EQ(DeleteValue(kLocalMachine, "SOFTWARE\\AVM\\Missing", "Port"), 0);
}

TEST_F(RegistryLayerTest, OnlyEmptyKeysAreDeleted) {
    mem::CreateKeyPath(kCurrentUser, "Software\\A\\Child");
    EXPECT_EQ(DeleteKeyIfEmpty(kCurrentUser, "Software\\A"), 0);
    EXPECT_TRUE(mem::KeyExists(kCurrentUser, "Software\\A"));
    EXPECT_EQ(DeleteKeyIfEmpty(kCurrentUser, "Software\\A\\Child"), 1);
    EXPECT_FALSE(mem::KeyExists(kCurrentUser, "Software\\A\\Child"));
    EXPECT_TRUE(mem::KeyExists(kCurrentUser, "Software\\A"));
    EXPECT_EQ(DeleteKeyIfEmpty(kCurrentUser, "Software\\A\\Child"), 0);  // gone already

    mem::PutText(kCurrentUser, "Software\\B", "Value", "x");
    EXPECT_EQ(DeleteKeyIfEmpty(kCurrentUser, "Software\\B"), 0);

    // A value whose name is longer than the enumeration buffer still makes the key non-empty.
    mem::PutText(kCurrentUser, "Software\\C", std::string(2000, 'n'), "x");
    EXPECT_EQ(DeleteKeyIfEmpty(kCurrentUser, "Software\\C"), 0);
    EXPECT_TRUE(mem::KeyExists(kCurrentUser, "Software\\C"));

    // A key that cannot be looked into is not taken for empty.
    mem::FailCall(Call::OpenKeyEx);
    EXPECT_EQ(DeleteKeyIfEmpty(kCurrentUser, "Software\\B"), 0);
    EXPECT_TRUE(mem::GetValue(kCurrentUser, "Software\\B", "Value"));

    int before = mem::RegistryCallCount();
    EXPECT_EQ(DeleteKeyIfEmpty(kCurrentUser, std::string("  \0 ", 4)), 0);
    EXPECT_EQ(DeleteKeyIfEmpty(kCurrentUser, ""), 0);
    EXPECT_EQ(mem::RegistryCallCount(), before);
}

TEST_F(RegistryLayerTest, PrefixListingKeepsTextValuesInRegistryOrder) {
    const char* key = "Software\\FaxApp\\Numbers";
    mem::PutText(kCurrentUser, key, "Nummer1", "030 123");
    mem::PutDword(kCurrentUser, key, "Nummer3", 7);
    mem::PutText(kCurrentUser, key, "Name", "nope");
    mem::PutText(kCurrentUser, key, "nummer2", std::string("+49 30\0tail", 11));
    mem::PutText(kCurrentUser, key, " NUMMER4", "blank before the name");
    mem::PutText(kCurrentUser, key, "Num", "shorter than the prefix");

    std::vector<std::string> names{"stale"}, data{"stale"};
    int count = -1;
    EXPECT_EQ(ListStringValuesByPrefix(kCurrentUser, key, " Nummer ", names, data, count), 1);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(names, (std::vector<std::string>{"Nummer1", "nummer2", " NUMMER4"}));
    EXPECT_EQ(data, (std::vector<std::string>{"030 123", "+49 30", "blank before the name"}));

    // Upper-casing follows the ANSI tables: ä matches Ä.
    mem::PutText(kCurrentUser, "Software\\Umlaut", "Änderung1", "x");
    EXPECT_EQ(ListStringValuesByPrefix(kCurrentUser, "Software\\Umlaut", "änd", names, data, count),
              1);
    EXPECT_EQ(count, 1);

    EXPECT_EQ(ListStringValuesByPrefix(kCurrentUser, key, "Zahl", names, data, count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(data.empty());
}

TEST_F(RegistryLayerTest, PrefixListingBoundsAndSkips) {
    const char* key = "Software\\FaxApp\\Numbers";
    mem::PutText(kCurrentUser, key, "Nummer1", std::string(5000, '7'));
    mem::PutText(kCurrentUser, key, "Nummer2", "second");
    std::vector<std::string> names, data;
    int count = 0;
    ASSERT_EQ(ListStringValuesByPrefix(kCurrentUser, key, "Nummer", names, data, count), 1);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(data[0], std::string(1023, '7'));

    // A value whose data cannot be read is skipped; the rest are still listed.
    mem::FailCall(Call::QueryValueEx);
    ASSERT_EQ(ListStringValuesByPrefix(kCurrentUser, key, "Nummer", names, data, count), 1);
    EXPECT_EQ(names, std::vector<std::string>{"Nummer2"});

    int before = mem::RegistryCallCount();
    EXPECT_EQ(ListStringValuesByPrefix(kCurrentUser, key, "  ", names, data, count), 0);
    EXPECT_EQ(ListStringValuesByPrefix(kCurrentUser, " ", "Nummer", names, data, count), 0);
    EXPECT_EQ(mem::RegistryCallCount(), before);
    EXPECT_EQ(
        ListStringValuesByPrefix(kCurrentUser, "Software\\None", "Nummer", names, data, count), 0);
}

}  // namespace
}  // namespace orvano::testing
