// The registry port as the configuration layer relies on it. Runs against the in-memory
// platform on the host and against the real registry under Wine: both must agree.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/system.h"
#include "sandbox.h"

namespace orvano::contract {
namespace {

namespace pf = orvano::platform;
using namespace std::string_literals;

// Outputs are primed with these, so that "left alone" differs from "set to zero".
constexpr std::uint32_t kSentinel = 0xdeadbeef;
constexpr RegKey kBadHandle = 0xdeadbeef;
// Buffers are filled with kFill and followed by one kGuard byte that no call may touch.
constexpr std::uint8_t kFill = 0xaa;
constexpr std::uint8_t kGuard = 0xbd;

// Closes the key on every path out of a test.
class OpenedKey {
  public:
    explicit OpenedKey(RegKey key = 0) : key_(key) {}
    ~OpenedKey() {
        if (key_ != 0 && key_ != kBadHandle) pf::CloseKey(key_);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    RegKey get() const { return key_; }

  private:
    RegKey key_;
};

RegKey Create(RegKey root, const std::string& path) {
    RegKey key = kBadHandle;
    EXPECT_EQ(pf::kErrorSuccess, pf::CreateKey(root, path.c_str(), key)) << path;
    return key;
}

RegKey Open(RegKey root, const std::string& path, std::uint32_t access) {
    RegKey key = kBadHandle;
    EXPECT_EQ(pf::kErrorSuccess, pf::OpenKeyEx(root, path.c_str(), access, key)) << path;
    return key;
}

// A byte buffer of the given size with its guard byte behind it.
class Guarded {
  public:
    explicit Guarded(std::size_t size) : bytes_(size, kFill) { bytes_.push_back(kGuard); }
    std::uint8_t* data() { return bytes_.data(); }
    char* chars() { return reinterpret_cast<char*>(bytes_.data()); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(bytes_.size() - 1); }
    std::string Text(std::size_t count) const {
        return std::string(bytes_.begin(), bytes_.begin() + count);
    }
    std::uint8_t at(std::size_t index) const { return bytes_.at(index); }
    bool GuardIntact() const { return bytes_.back() == kGuard; }

  private:
    std::vector<std::uint8_t> bytes_;
};

struct Query {
    long result = -1;
    std::uint32_t type = kSentinel;
    std::uint32_t size = kSentinel;
};

// QueryValueEx offering the whole guarded buffer.
Query QueryInto(RegKey key, const char* name, Guarded& buffer) {
    Query query;
    query.size = buffer.size();
    query.result = pf::QueryValueEx(key, name, &query.type, buffer.data(), &query.size);
    EXPECT_TRUE(buffer.GuardIntact()) << "written past the buffer";
    return query;
}

// QueryValueEx with a null data pointer: the size only.
Query QuerySize(RegKey key, const char* name) {
    Query query;
    query.result = pf::QueryValueEx(key, name, &query.type, nullptr, &query.size);
    return query;
}

// ---------------------------------------------------------------------------------------

class RegistryContract : public SandboxTest {};

TEST_F(RegistryContract, EachRootHoldsItsOwnKeys) {
    const struct {
        RegKey root;
        std::string text;
    } roots[] = {{pf::kHkeyCurrentUser, "user"}, {pf::kHkeyLocalMachine, "machine"}};
    for (const auto& r : roots) {
        OpenedKey key(Create(r.root, Path(r.root)));
        ASSERT_EQ(pf::kErrorSuccess, SetRaw(key.get(), "Where", pf::kRegSz, r.text));
    }
    for (const auto& r : roots) {
        SCOPED_TRACE(r.text);
        OpenedKey key(Open(r.root, Path(r.root), pf::kKeyQueryValue));
        Guarded buffer(16);
        Query query = QueryInto(key.get(), "Where", buffer);
        EXPECT_EQ(pf::kErrorSuccess, query.result);
        EXPECT_EQ(r.text, buffer.Text(query.size));
    }
}

TEST_F(RegistryContract, NamesAreCaseInsensitiveAndKeepTheSpellingFirstGiven) {
    const std::string path = Path(pf::kHkeyCurrentUser);
    {
        OpenedKey key(Create(pf::kHkeyCurrentUser, path + "\\Mixed\\CaseKey"));
        ASSERT_EQ(pf::kErrorSuccess, SetRaw(key.get(), "ValueName", pf::kRegSz, "first"));
        // Another spelling replaces the value instead of adding a second one.
        ASSERT_EQ(pf::kErrorSuccess, SetRaw(key.get(), "VALUENAME", pf::kRegSz, "second"));
        // Creating an existing key under another spelling opens it.
        OpenedKey again(Create(pf::kHkeyCurrentUser, path + "\\MIXED\\casekey"));
    }
    const struct {
        const char* key;
        const char* value;
    } spellings[] = {
        {"\\Mixed\\CaseKey", "ValueName"},
        {"\\MIXED\\CASEKEY", "VALUENAME"},
        {"\\mixed\\casekey", "valuename"},
        {"\\mIxEd\\CaSeKeY", "vAlUeNaMe"},
    };
    for (const auto& s : spellings) {
        SCOPED_TRACE(s.key + " "s + s.value);
        OpenedKey key(Open(pf::kHkeyCurrentUser, path + s.key, pf::kKeyQueryValue));
        Guarded buffer(16);
        Query query = QueryInto(key.get(), s.value, buffer);
        EXPECT_EQ(pf::kErrorSuccess, query.result);
        EXPECT_EQ("second", buffer.Text(query.size));
    }

    OpenedKey key(Open(pf::kHkeyCurrentUser, path + "\\Mixed\\CaseKey", pf::kKeyAllAccess));
    char name[32];
    std::uint32_t nameSize = sizeof name;
    ASSERT_EQ(pf::kErrorSuccess,
              pf::EnumValue(key.get(), 0, name, &nameSize, nullptr, nullptr, nullptr));
    EXPECT_EQ("ValueName"s, name);
    nameSize = sizeof name;
    EXPECT_EQ(pf::kErrorNoMoreItems,
              pf::EnumValue(key.get(), 1, name, &nameSize, nullptr, nullptr, nullptr));
    OpenedKey parent(Open(pf::kHkeyCurrentUser, path + "\\mixed", pf::kKeyEnumerateSubKeys));
    ASSERT_EQ(pf::kErrorSuccess, pf::EnumKey(parent.get(), 0, name, sizeof name));
    EXPECT_EQ("CaseKey"s, name);

    EXPECT_EQ(pf::kErrorSuccess, pf::DeleteValue(key.get(), "VALUENAME"));
    EXPECT_EQ(pf::kErrorFileNotFound, QuerySize(key.get(), "ValueName").result);
}

TEST_F(RegistryContract, ValuesKeepTheirTypeAndBytes) {
    const struct {
        const char* name;
        std::uint32_t type;
        std::string bytes;
    } values[] = {
        {"Sz", pf::kRegSz, "192.168.178.1"s},
        {"ExpandSz", pf::kRegExpandSz, "%WINDIR%\\system32"s},
        {"MultiSz", pf::kRegMultiSz, "eins\0zwei\0\0"s},
        {"Binary", pf::kRegBinary, "\x00\x01\xfe\xff"s},
        {"Dword", pf::kRegDword, "\xa7\x13\x00\x00"s},
        {"None", pf::kRegNone, ""s},
    };
    OpenedKey key(Create(pf::kHkeyCurrentUser, Path(pf::kHkeyCurrentUser)));
    for (const auto& v : values)
        ASSERT_EQ(pf::kErrorSuccess, SetRaw(key.get(), v.name, v.type, v.bytes));
    for (const auto& v : values) {
        SCOPED_TRACE(v.name);
        Guarded buffer(v.bytes.size());
        Query query = QueryInto(key.get(), v.name, buffer);
        EXPECT_EQ(pf::kErrorSuccess, query.result);
        EXPECT_EQ(v.type, query.type);
        EXPECT_EQ(v.bytes.size(), query.size);
        EXPECT_EQ(v.bytes, buffer.Text(v.bytes.size()));
    }
}

TEST_F(RegistryContract, QueryValueExFailsWithMoreDataAndTheSizeNeeded) {
    const struct {
        const char* name;
        std::uint32_t type;
        std::size_t length;    // bytes stored
        std::uint32_t buffer;  // bytes offered
        long result;
    } cases[] = {
        {"Binary4In4", pf::kRegBinary, 4, 4, pf::kErrorSuccess},  // a DWORD read ignores the type
        {"Binary3In4", pf::kRegBinary, 3, 4, pf::kErrorSuccess},  // shorter data is fine
        {"Binary6In4", pf::kRegBinary, 6, 4, pf::kErrorMoreData},
        {"Dword4In4", pf::kRegDword, 4, 4, pf::kErrorSuccess},
        {"Text255In255", pf::kRegSz, 255, 255, pf::kErrorSuccess},
        {"Text256In255", pf::kRegSz, 256, 255, pf::kErrorMoreData},
        {"Text300In255", pf::kRegSz, 300, 255, pf::kErrorMoreData},
        {"Text1In0", pf::kRegSz, 1, 0, pf::kErrorMoreData},
    };
    OpenedKey key(Create(pf::kHkeyCurrentUser, Path(pf::kHkeyCurrentUser)));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes(c.length, 'x');
        ASSERT_EQ(pf::kErrorSuccess, SetRaw(key.get(), c.name, c.type, bytes));

        Guarded buffer(c.buffer);
        Query query = QueryInto(key.get(), c.name, buffer);
        EXPECT_EQ(c.result, query.result);
        EXPECT_EQ(c.length, query.size);
        if (c.result == pf::kErrorSuccess) {
            EXPECT_EQ(c.type, query.type);
            EXPECT_EQ(bytes, buffer.Text(c.length));
        }

        // With no data pointer, only the size (and type) come back.
        Query sizeOnly = QuerySize(key.get(), c.name);
        EXPECT_EQ(pf::kErrorSuccess, sizeOnly.result);
        EXPECT_EQ(c.type, sizeOnly.type);
        EXPECT_EQ(c.length, sizeOnly.size);
    }
}

TEST_F(RegistryContract, QueryValueExOfAMissingValueOrWithoutASizeFails) {
    OpenedKey key(Create(pf::kHkeyCurrentUser, Path(pf::kHkeyCurrentUser)));
    ASSERT_EQ(pf::kErrorSuccess, SetRaw(key.get(), "Present", pf::kRegDword, "\x01\x00\x00\x00"s));

    Guarded buffer(4);
    EXPECT_EQ(pf::kErrorFileNotFound, QueryInto(key.get(), "Absent", buffer).result);
    EXPECT_EQ(kFill, buffer.at(0));

    std::uint32_t type = kSentinel;
    EXPECT_EQ(pf::kErrorInvalidParameter,
              pf::QueryValueEx(key.get(), "Present", &type, buffer.data(), nullptr));
}

// Windows counts a NUL found right after string data as part of it, and appends one on
// reading where the buffer has room: writers that pass text.size() store the NUL too.
TEST_F(RegistryContract, StringDataWrittenWithoutItsNul) {
    const struct {
        const char* name;
        std::uint32_t type;
        std::string source;  // the caller's bytes; only the first 3 are given as the data
        std::string stored;
    } cases[] = {
        {"SzNulBehind", pf::kRegSz, "abc\0"s, "abc\0"s},
        {"SzMoreBehind", pf::kRegSz, "abcX"s, "abc"s},
        {"BinaryNulBehind", pf::kRegBinary, "abc\0"s, "abc"s},
    };
    OpenedKey key(Create(pf::kHkeyCurrentUser, Path(pf::kHkeyCurrentUser)));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(pf::kErrorSuccess,
                  pf::SetValueEx(key.get(), c.name, c.type,
                                 reinterpret_cast<const std::uint8_t*>(c.source.data()), 3));
        Guarded exact(c.stored.size());
        Query query = QueryInto(key.get(), c.name, exact);
        EXPECT_EQ(pf::kErrorSuccess, query.result);
        EXPECT_EQ(c.stored.size(), query.size);
        EXPECT_EQ(c.stored, exact.Text(c.stored.size()));
    }

    // Reading "abc" (no NUL) into a larger buffer: the same size, and a NUL after the data.
    Guarded roomy(6);
    Query query = QueryInto(key.get(), "SzMoreBehind", roomy);
    EXPECT_EQ(pf::kErrorSuccess, query.result);
    EXPECT_EQ(3u, query.size);
    EXPECT_EQ("abc\0"s, roomy.Text(4));
    EXPECT_EQ(kFill, roomy.at(4));
}

TEST_F(RegistryContract, OpeningAMissingKeyFailsAndNullsTheHandle) {
    const std::string path = Path(pf::kHkeyCurrentUser);
    OpenedKey existing(Create(pf::kHkeyCurrentUser, path));
    const struct {
        const char* name;
        std::string path;
        long result;
    } cases[] = {
        {"Missing", path + "\\Missing", pf::kErrorFileNotFound},
        {"MissingParent", path + "\\Missing\\Child", pf::kErrorFileNotFound},
        {"LeadingBackslash", "\\" + path, pf::kErrorBadPathname},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegKey key = kBadHandle;
        EXPECT_EQ(c.result,
                  pf::OpenKeyEx(pf::kHkeyCurrentUser, c.path.c_str(), pf::kKeyQueryValue, key));
        EXPECT_EQ(0u, key);
        key = kBadHandle;
        EXPECT_EQ(c.result, pf::OpenKey(pf::kHkeyCurrentUser, c.path.c_str(), key));
        EXPECT_EQ(0u, key);
    }
    RegKey key = kBadHandle;
    EXPECT_EQ(pf::kErrorBadPathname,
              pf::CreateKey(pf::kHkeyCurrentUser, ("\\" + path).c_str(), key));
    EXPECT_EQ(0u, key);
}

TEST_F(RegistryContract, CreateKeyMakesMissingParentsAndOpensExistingKeys) {
    const std::string path = Path(pf::kHkeyLocalMachine);
    {
        OpenedKey key(Create(pf::kHkeyLocalMachine, path + "\\One\\Two\\Three"));
        ASSERT_EQ(pf::kErrorSuccess, SetRaw(key.get(), "Kept", pf::kRegSz, "yes"));
    }
    for (const char* part : {"\\One", "\\One\\Two", "\\One\\Two\\Three"})
        EXPECT_TRUE(KeyExists(pf::kHkeyLocalMachine, path + part)) << part;

    // Both create calls open an existing key with its values, and so does OpenKey, whose
    // handle allows writing.
    RegKey created = kBadHandle;
    ASSERT_EQ(pf::kErrorSuccess,
              pf::CreateKey(pf::kHkeyLocalMachine, (path + "\\One\\Two\\Three").c_str(), created));
    OpenedKey createdKey(created);
    RegKey createdEx = kBadHandle;
    ASSERT_EQ(pf::kErrorSuccess,
              pf::CreateKeyEx(pf::kHkeyLocalMachine, (path + "\\One\\Two\\Three").c_str(),
                              pf::kKeyQueryValue, createdEx));
    OpenedKey createdExKey(createdEx);
    RegKey opened = kBadHandle;
    ASSERT_EQ(pf::kErrorSuccess,
              pf::OpenKey(pf::kHkeyLocalMachine, (path + "\\One\\Two\\Three").c_str(), opened));
    OpenedKey openedKey(opened);
    for (RegKey key : {created, createdEx, opened}) EXPECT_EQ(3u, QuerySize(key, "Kept").size);
    EXPECT_EQ(pf::kErrorSuccess, SetRaw(opened, "Written", pf::kRegSz, "through OpenKey"));
}

TEST_F(RegistryContract, SettingOrDeletingValuesNeedsSetValueAccess) {
    const std::string path = Path(pf::kHkeyCurrentUser);
    {
        OpenedKey key(Create(pf::kHkeyCurrentUser, path));
        ASSERT_EQ(pf::kErrorSuccess, SetRaw(key.get(), "Value", pf::kRegSz, "kept"));
    }
    const struct {
        std::uint32_t access;
        long result;
    } cases[] = {
        {pf::kKeyQueryValue, pf::kErrorAccessDenied},
        {pf::kKeyQueryValue | pf::kKeySetValue, pf::kErrorSuccess},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.access);
        OpenedKey key(Open(pf::kHkeyCurrentUser, path, c.access));
        EXPECT_EQ(c.result, SetRaw(key.get(), "Other", pf::kRegSz, "new"));
        EXPECT_EQ(c.result, pf::DeleteValue(key.get(), "Other"));
        EXPECT_EQ(pf::kErrorSuccess, QuerySize(key.get(), "Value").result);
    }
    OpenedKey key(Open(pf::kHkeyCurrentUser, path, pf::kKeyQueryValue | pf::kKeySetValue));
    EXPECT_EQ(pf::kErrorSuccess, pf::DeleteValue(key.get(), "Value"));
    EXPECT_EQ(pf::kErrorFileNotFound, QuerySize(key.get(), "Value").result);
    EXPECT_EQ(pf::kErrorFileNotFound, pf::DeleteValue(key.get(), "Value"));
}

TEST_F(RegistryContract, DeleteKeyRemovesOnlyAKeyWithoutSubkeys) {
    const std::string path = Path(pf::kHkeyLocalMachine);
    pf::CloseKey(Create(pf::kHkeyLocalMachine, path + "\\Parent\\Child"));
    {
        OpenedKey values(Create(pf::kHkeyLocalMachine, path + "\\Values"));
        ASSERT_EQ(pf::kErrorSuccess, SetRaw(values.get(), "Port", pf::kRegDword, "\xa7\x13\0\0"s));
    }
    EXPECT_EQ(pf::kErrorAccessDenied,
              pf::DeleteKey(pf::kHkeyLocalMachine, (path + "\\Parent").c_str()));
    EXPECT_TRUE(KeyExists(pf::kHkeyLocalMachine, path + "\\Parent\\Child"));

    EXPECT_EQ(pf::kErrorSuccess,
              pf::DeleteKey(pf::kHkeyLocalMachine, (path + "\\Parent\\Child").c_str()));
    EXPECT_FALSE(KeyExists(pf::kHkeyLocalMachine, path + "\\Parent\\Child"));
    EXPECT_TRUE(KeyExists(pf::kHkeyLocalMachine, path + "\\Parent"));

    EXPECT_EQ(pf::kErrorSuccess, pf::DeleteKey(pf::kHkeyLocalMachine, (path + "\\Values").c_str()));
    EXPECT_FALSE(KeyExists(pf::kHkeyLocalMachine, path + "\\Values"));
    EXPECT_EQ(pf::kErrorFileNotFound,
              pf::DeleteKey(pf::kHkeyLocalMachine, (path + "\\Values").c_str()));
}

// Removing an empty key opens it first and deletes it by path while the handle is open.
TEST_F(RegistryContract, AKeyDeletedWhileOpenLeavesAHandleThatOnlyCloses) {
    const std::string path = Path(pf::kHkeyCurrentUser) + "\\Doomed";
    RegKey key = Create(pf::kHkeyCurrentUser, path);
    ASSERT_EQ(pf::kErrorSuccess, SetRaw(key, "Value", pf::kRegSz, "x"));
    EXPECT_EQ(pf::kErrorSuccess, pf::DeleteKey(pf::kHkeyCurrentUser, path.c_str()));
    EXPECT_FALSE(KeyExists(pf::kHkeyCurrentUser, path));

    EXPECT_EQ(pf::kErrorKeyDeleted, QuerySize(key, "Value").result);
    EXPECT_EQ(pf::kErrorKeyDeleted, SetRaw(key, "Value", pf::kRegSz, "y"));
    EXPECT_EQ(pf::kErrorSuccess, pf::CloseKey(key));
    EXPECT_FALSE(KeyExists(pf::kHkeyCurrentUser, path));
}

TEST_F(RegistryContract, CloseKeyOfTheNullHandleFails) {
    EXPECT_EQ(pf::kErrorInvalidHandle, pf::CloseKey(0));
    RegKey key = Create(pf::kHkeyCurrentUser, Path(pf::kHkeyCurrentUser));
    EXPECT_EQ(pf::kErrorSuccess, pf::CloseKey(key));
}

// Windows enumerates values in creation order, Wine sorted by name: created in
// alphabetical order, both give the same order.
TEST_F(RegistryContract, EnumValueReportsNamesTypesAndSizesUpToTheEnd) {
    const struct {
        std::string name;
        std::uint32_t type;
        std::string bytes;
    } values[] = {
        {"Name", pf::kRegSz, "Fax"},
        {"Nummer1", pf::kRegSz, "0301234"},
        {"nummer2", pf::kRegSz, ""},
        {"Nummer3", pf::kRegDword, "\x05\0\0\0"s},
        {std::string(1023, 'w'), pf::kRegBinary, "\x01"},  // the longest a 1024-byte buffer takes
    };
    OpenedKey key(Create(pf::kHkeyCurrentUser, Path(pf::kHkeyCurrentUser)));
    for (const auto& v : values)
        ASSERT_EQ(pf::kErrorSuccess, SetRaw(key.get(), v.name.c_str(), v.type, v.bytes));

    std::uint32_t index = 0;
    for (const auto& v : values) {
        SCOPED_TRACE(index);
        Guarded name(1024);
        std::uint32_t nameSize = name.size();
        std::uint32_t type = kSentinel;
        std::uint32_t dataSize = kSentinel;
        EXPECT_EQ(pf::kErrorSuccess, pf::EnumValue(key.get(), index, name.chars(), &nameSize, &type,
                                                   nullptr, &dataSize));
        EXPECT_EQ(v.name.size(), nameSize);
        EXPECT_EQ(v.name + '\0', name.Text(v.name.size() + 1));
        EXPECT_EQ(v.type, type);
        EXPECT_EQ(v.bytes.size(), dataSize);
        EXPECT_TRUE(name.GuardIntact());

        // Nothing but the name asked for, as when counting values.
        nameSize = name.size();
        EXPECT_EQ(pf::kErrorSuccess, pf::EnumValue(key.get(), index, name.chars(), &nameSize,
                                                   nullptr, nullptr, nullptr));
        ++index;
    }
    char name[16];
    std::uint32_t nameSize = sizeof name;
    EXPECT_EQ(pf::kErrorNoMoreItems,
              pf::EnumValue(key.get(), index, name, &nameSize, nullptr, nullptr, nullptr));
    EXPECT_EQ(pf::kErrorNoMoreItems,
              pf::EnumValue(key.get(), index + 7, name, &nameSize, nullptr, nullptr, nullptr));
}

TEST_F(RegistryContract, EnumValueNeedsRoomForTheNameAndItsNul) {
    const struct {
        std::size_t nameLength;
        std::uint32_t buffer;  // characters offered, NUL included
        long result;
    } cases[] = {
        {7, 7, pf::kErrorMoreData},
        {7, 8, pf::kErrorSuccess},
        {1023, 1024, pf::kErrorSuccess},
        {1024, 1024, pf::kErrorMoreData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nameLength);
        const std::string path = Path(pf::kHkeyCurrentUser) + "\\" + std::to_string(c.nameLength);
        OpenedKey key(Create(pf::kHkeyCurrentUser, path));
        const std::string valueName(c.nameLength, 'n');
        ASSERT_EQ(pf::kErrorSuccess, SetRaw(key.get(), valueName.c_str(), pf::kRegSz, "12345"));

        Guarded name(c.buffer);
        std::uint32_t nameSize = c.buffer;
        std::uint32_t type = kSentinel;
        std::uint32_t dataSize = kSentinel;
        EXPECT_EQ(c.result,
                  pf::EnumValue(key.get(), 0, name.chars(), &nameSize, &type, nullptr, &dataSize));
        EXPECT_TRUE(name.GuardIntact());
        if (c.result == pf::kErrorSuccess) {
            EXPECT_EQ(c.nameLength, nameSize);
            EXPECT_EQ(valueName, name.Text(c.nameLength));
            EXPECT_EQ(pf::kRegSz, type);
            EXPECT_EQ(5u, dataSize);
        } else {
            EXPECT_EQ(c.buffer, nameSize);  // left as it was
        }
    }
}

// Windows sorts subkeys by their upper-case names, Wine by their lower-case names; for
// letters and digits (the only names used here) that is the same order.
TEST_F(RegistryContract, EnumKeyListsSubkeysSortedWithoutCase) {
    const std::string path = Path(pf::kHkeyCurrentUser);
    for (const char* name : {"delta", "Charlie", "ALPHA", "bravo2", "Bravo1"})
        pf::CloseKey(Create(pf::kHkeyCurrentUser, path + "\\" + name));
    OpenedKey key(Open(pf::kHkeyCurrentUser, path, pf::kKeyEnumerateSubKeys));

    std::vector<std::string> names;
    char name[1024];
    std::uint32_t index = 0;
    for (; pf::EnumKey(key.get(), index, name, sizeof name) == pf::kErrorSuccess; ++index)
        names.emplace_back(name);
    EXPECT_EQ((std::vector<std::string>{"ALPHA", "Bravo1", "bravo2", "Charlie", "delta"}), names);
    EXPECT_EQ(pf::kErrorNoMoreItems, pf::EnumKey(key.get(), index, name, sizeof name));
}

TEST_F(RegistryContract, EnumKeyNeedsRoomForTheNameAndItsNul) {
    const std::string path = Path(pf::kHkeyCurrentUser);
    pf::CloseKey(Create(pf::kHkeyCurrentUser, path + "\\Subkey7"));
    OpenedKey key(Open(pf::kHkeyCurrentUser, path, pf::kKeyEnumerateSubKeys));
    const struct {
        std::uint32_t buffer;
        long result;
    } cases[] = {{7, pf::kErrorMoreData}, {8, pf::kErrorSuccess}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buffer);
        Guarded name(c.buffer);
        EXPECT_EQ(c.result, pf::EnumKey(key.get(), 0, name.chars(), c.buffer));
        EXPECT_TRUE(name.GuardIntact());
        if (c.result == pf::kErrorSuccess) {
            EXPECT_EQ("Subkey7\0"s, name.Text(8));
        }
    }
}

// The configuration layer asks for the 64-bit view when it runs under WOW64; a 64-bit
// process (these tests) sees no redirection with or without the flag.
TEST_F(RegistryContract, The64BitViewFlagChangesNothingForA64BitProcess) {
    if (pf::IsWow64Process())
        GTEST_SKIP() << "a 32-bit process: Wow64Contract checks both view flags for it";
    const std::string path = Path(pf::kHkeyLocalMachine) + "\\View";
    const std::uint32_t view = pf::kKeyWow64_64Key;

    RegKey created = kBadHandle;
    ASSERT_EQ(pf::kErrorSuccess, pf::CreateKeyEx(pf::kHkeyLocalMachine, path.c_str(),
                                                 pf::kKeyAllAccess | view, created));
    EXPECT_EQ(pf::kErrorSuccess, SetRaw(created, "Port", pf::kRegDword, "\xa7\x13\0\0"s));
    pf::CloseKey(created);

    EXPECT_TRUE(KeyExists(pf::kHkeyLocalMachine, path));
    EXPECT_FALSE(KeyExists(pf::kHkeyLocalMachine, TwinPath() + "\\View"));
    {
        OpenedKey opened(Open(pf::kHkeyLocalMachine, path, pf::kKeyQueryValue | view));
        EXPECT_EQ(4u, QuerySize(opened.get(), "Port").size);
    }

    EXPECT_EQ(pf::kErrorSuccess, pf::DeleteKeyEx(pf::kHkeyLocalMachine, path.c_str(), view));
    EXPECT_FALSE(KeyExists(pf::kHkeyLocalMachine, path));

    // Without a view flag, DeleteKeyEx is DeleteKey.
    pf::CloseKey(Create(pf::kHkeyLocalMachine, path));
    EXPECT_EQ(pf::kErrorSuccess, pf::DeleteKeyEx(pf::kHkeyLocalMachine, path.c_str(), 0));
    EXPECT_FALSE(KeyExists(pf::kHkeyLocalMachine, path));
}

}  // namespace
}  // namespace orvano::contract
