// The configuration layer against the real registry and name service, for what its unit
// tests take from the in-memory platform: the same results must come back here.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "config/endpoint.h"
#include "config/name_resolution.h"
#include "config/registry.h"
#include "platform/registry.h"
#include "sandbox.h"

namespace orvano::contract {
namespace {

namespace pf = orvano::platform;
using config::RegistryView;
using namespace std::string_literals;

const char kVendorKey[] = "SOFTWARE\\AVM";
const char kTwinVendorKey[] = "SOFTWARE\\Wow6432Node\\AVM";

class ConfigContract : public SandboxTest {};

struct Stored {
    long result = -1;
    std::uint32_t type = 0xdeadbeef;
    std::string bytes;
};

Stored ReadStored(RegKey root, const std::string& path, const char* name) {
    Stored stored;
    RegKey key = 0;
    // The key as spelled, also from a 32-bit process under WOW64, as the registry layer reads.
    if ((stored.result =
             pf::OpenKeyEx(root, path.c_str(), pf::kKeyQueryValue | pf::kKeyWow64_64Key, key)) != 0)
        return stored;
    std::uint32_t size = 0;
    stored.result = pf::QueryValueEx(key, name, &stored.type, nullptr, &size);
    stored.bytes.assign(size, '\0');
    if (stored.result == pf::kErrorSuccess && size > 0)
        stored.result = pf::QueryValueEx(
            key, name, &stored.type, reinterpret_cast<std::uint8_t*>(stored.bytes.data()), &size);
    pf::CloseKey(key);
    return stored;
}

TEST_F(ConfigContract, ATextValueOver255BytesReadsAsAbsent) {
    const std::string path = Path(pf::kHkeyCurrentUser);
    const struct {
        const char* name;
        std::size_t length;
        int flag;
    } cases[] = {{"Fits", 255, 1}, {"OneTooMany", 256, 0}, {"Long", 300, 0}};
    RegKey key = 0;
    ASSERT_EQ(pf::kErrorSuccess, pf::CreateKey(pf::kHkeyCurrentUser, path.c_str(), key));
    for (const auto& c : cases)
        ASSERT_EQ(pf::kErrorSuccess, SetRaw(key, c.name, pf::kRegSz, std::string(c.length, '7')));
    pf::CloseKey(key);

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = "sentinel";
        EXPECT_EQ(c.flag, config::ReadTextValue(pf::kHkeyCurrentUser, path, c.name, text));
        EXPECT_EQ(c.flag ? std::string(c.length, '7') : "", text);
    }
}

// The typed readers look at the stored type and length, never at what the bytes would mean
// as a number: a string "abc" is no DWORD 0x00636261, on Windows as in the memory platform.
TEST_F(ConfigContract, TypedReadsTellAValueOfAnotherType) {
    const std::string path = Path(pf::kHkeyCurrentUser);
    using R = config::ValueRead;
    const struct {
        const char* name;
        std::uint32_t type;
        std::string bytes;
        R dword;
        R string;
        const char* hex;
    } cases[] = {
        {"Dword", pf::kRegDword, "\xa7\x13\x00\x00"s, R::Read, R::WrongType, "000013a7"},
        {"SzAbc", pf::kRegSz, "abc\0"s, R::WrongType, R::Read, ""},
        {"Sz5031", pf::kRegSz, "5031\0"s, R::WrongType, R::Read, ""},
        {"Binary4", pf::kRegBinary, "\x01\x02\x00\x00"s, R::WrongType, R::WrongType, ""},
        {"ExpandSz", pf::kRegExpandSz, "1.2.3.4\0"s, R::WrongType, R::WrongType, ""},
        {"DwordOf2", pf::kRegDword, "\x88\x13"s, R::WrongType, R::WrongType, ""},
        {"DwordOf8", pf::kRegDword, "\x01\x00\x00\x00\x00\x00\x00\x00"s, R::WrongType, R::WrongType,
         ""},
    };
    RegKey key = 0;
    ASSERT_EQ(pf::kErrorSuccess, pf::CreateKey(pf::kHkeyCurrentUser, path.c_str(), key));
    for (const auto& c : cases)
        ASSERT_EQ(pf::kErrorSuccess, SetRaw(key, c.name, c.type, c.bytes)) << c.name;
    pf::CloseKey(key);

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string hex = "sentinel", text = "sentinel";
        std::uint32_t number = 0xdeadbeef;
        EXPECT_EQ(c.dword, config::ReadDword(pf::kHkeyCurrentUser, path, c.name, hex, number));
        EXPECT_EQ(c.hex, hex);
        EXPECT_EQ(c.string, config::ReadStringValue(pf::kHkeyCurrentUser, path, c.name, text));
    }
    std::string hex;
    std::uint32_t number = 0;
    EXPECT_EQ(R::Missing, config::ReadDword(pf::kHkeyCurrentUser, path, "Absent", hex, number));
}

// RegSetValueExA takes the NUL that follows the text in the caller's memory as part of the
// data, so the stored value is one byte longer than the text; reading it back gives the text.
TEST_F(ConfigContract, WriteTextValueStoresRegSzWithTheNulThatFollowsTheText) {
    const std::string path = Path(pf::kHkeyCurrentUser) + "\\AVMIGDCTRL";
    ASSERT_EQ(
        1, config::WriteTextValue(pf::kHkeyCurrentUser, path, "FoundFritzBoxes", "192.168.178.1"));
    Stored stored = ReadStored(pf::kHkeyCurrentUser, path, "FoundFritzBoxes");
    EXPECT_EQ(pf::kErrorSuccess, stored.result);
    EXPECT_EQ(pf::kRegSz, stored.type);
    EXPECT_EQ("192.168.178.1\0"s, stored.bytes);

    std::string text;
    EXPECT_EQ(1, config::ReadTextValue(pf::kHkeyCurrentUser, path, "FoundFritzBoxes", text));
    EXPECT_EQ("192.168.178.1", text);

    // With its NUL, a text of 255 characters no longer fits the 255-byte read: 254 is the
    // longest that comes back.
    for (std::size_t length : {254u, 255u}) {
        SCOPED_TRACE(length);
        const std::string written(length, '1');
        ASSERT_EQ(1, config::WriteTextValue(pf::kHkeyCurrentUser, path, "Long", written));
        text = "sentinel";
        const int flag = config::ReadTextValue(pf::kHkeyCurrentUser, path, "Long", text);
        EXPECT_EQ(length == 254 ? 1 : 0, flag);
        EXPECT_EQ(flag ? written : "", text);
    }
}

// The registry layer reads each path as spelled (native paths in the 64-bit view under
// WOW64); the checks beside it must look at the same keys.
constexpr std::uint32_t kAsSpelled = pf::kKeyWow64_64Key;

// The endpoint settings live at fixed places under HKLM\SOFTWARE\AVM. On a machine that has
// them already they are left alone; otherwise whatever the test creates goes again.
class EndpointContract : public ::testing::Test {
  protected:
    void SetUp() override {
        if (KeyExists(pf::kHkeyLocalMachine, kVendorKey, kAsSpelled) ||
            KeyExists(pf::kHkeyLocalMachine, kTwinVendorKey, kAsSpelled))
            GTEST_SKIP() << "this machine has router settings of its own";
        native_ = std::make_unique<CreatedPath>(pf::kHkeyLocalMachine, kVendorKey, kAsSpelled);
        twin_ = std::make_unique<CreatedPath>(pf::kHkeyLocalMachine, kTwinVendorKey, kAsSpelled);
    }

    // Both vendor keys did not exist before the test.
    static void RemoveVendorKeys() {
        DeleteTree(pf::kHkeyLocalMachine, kVendorKey, kAsSpelled);
        DeleteTree(pf::kHkeyLocalMachine, kTwinVendorKey, kAsSpelled);
    }

    std::unique_ptr<CreatedPath> native_;
    std::unique_ptr<CreatedPath> twin_;
};

struct Address {
    int flag;
    std::string text;
};

Address ReadAddress(RegistryView view) {
    Address address{-1, "sentinel"};
    address.flag = config::ReadRouterAddress(view, address.text);
    return address;
}

Address ReadPortText(RegistryView view) {
    Address port{-1, "sentinel"};
    port.flag = config::ReadPort(view, port.text);
    return port;
}

bool operator==(const Address& a, const Address& b) {
    return a.flag == b.flag && a.text == b.text;
}

void PrintTo(const Address& a, std::ostream* out) {
    *out << a.flag << " \"" << a.text << '"';
}

const struct {
    const char* name;
    RegistryView written;
    RegistryView other;
    const char* vendorKey;  // the vendor key of the written view
    int location;           // its vendor-key location
    int otherLocation;
} kViews[] = {
    {"native first", RegistryView::Native, RegistryView::Wow6432Node, kVendorKey, 2, 3},
    {"twin first", RegistryView::Wow6432Node, RegistryView::Native, kTwinVendorKey, 3, 2},
};

TEST_F(EndpointContract, RouterAddressesOfTheTwoViewsStayApart) {
    for (const auto& v : kViews) {
        SCOPED_TRACE(v.name);
        ASSERT_EQ(1, config::ChangeRouterAddress(v.written, "192.168.178.1", 1));
        EXPECT_EQ((Address{1, "192.168.178.1"}), ReadAddress(v.written));
        EXPECT_EQ((Address{0, ""}), ReadAddress(v.other));
        EXPECT_EQ(1, config::VendorKeyExists(v.location));
        EXPECT_EQ(0, config::VendorKeyExists(v.otherLocation));

        ASSERT_EQ(1, config::ChangeRouterAddress(v.other, "10.0.0.138", 1));
        EXPECT_EQ((Address{1, "192.168.178.1"}), ReadAddress(v.written));
        EXPECT_EQ((Address{1, "10.0.0.138"}), ReadAddress(v.other));

        // Deleting the only value removes AVMIGDCTRL but never the vendor key above it.
        ASSERT_EQ(1, config::ChangeRouterAddress(v.written, "", 4));
        EXPECT_EQ((Address{0, ""}), ReadAddress(v.written));
        EXPECT_EQ((Address{1, "10.0.0.138"}), ReadAddress(v.other));
        EXPECT_FALSE(
            KeyExists(pf::kHkeyLocalMachine, config::RouterAddressKey(v.written), kAsSpelled));
        EXPECT_TRUE(KeyExists(pf::kHkeyLocalMachine, v.vendorKey, kAsSpelled));

        ASSERT_EQ(1, config::ChangeRouterAddress(v.other, "", 4));
        EXPECT_EQ((Address{0, ""}), ReadAddress(v.other));
        EXPECT_EQ(0, config::RouterAddressStored());
        RemoveVendorKeys();
    }
}

// The first Port written in a view is the default 5031, whatever the other view holds.
TEST_F(EndpointContract, PortsOfTheTwoViewsStayApart) {
    for (const auto& v : kViews) {
        SCOPED_TRACE(v.name);
        ASSERT_EQ(1, config::ChangePort(v.written, "00001388", 1));
        EXPECT_EQ((Address{1, "000013a7"}), ReadPortText(v.written));
        EXPECT_EQ((Address{0, ""}), ReadPortText(v.other));

        ASSERT_EQ(1, config::ChangePort(v.written, "00001388", 1));
        ASSERT_EQ(1, config::ChangePort(v.other, "00001388", 1));
        EXPECT_EQ((Address{1, "00001388"}), ReadPortText(v.written));
        EXPECT_EQ((Address{1, "000013a7"}), ReadPortText(v.other));

        Stored stored = ReadStored(pf::kHkeyLocalMachine, config::PortKey(v.written), "Port");
        EXPECT_EQ(pf::kRegDword, stored.type);
        EXPECT_EQ("\x88\x13\0\0"s, stored.bytes);

        ASSERT_EQ(1, config::ChangePort(v.written, "", 4));
        EXPECT_EQ((Address{0, ""}), ReadPortText(v.written));
        EXPECT_EQ((Address{1, "000013a7"}), ReadPortText(v.other));
        EXPECT_FALSE(KeyExists(pf::kHkeyLocalMachine, config::PortKey(v.written), kAsSpelled));
        EXPECT_TRUE(KeyExists(pf::kHkeyLocalMachine, v.vendorKey, kAsSpelled));
        ASSERT_EQ(1, config::ChangePort(v.other, "", 4));
        RemoveVendorKeys();
    }
}

// Only names and addresses with the same answer everywhere: the local host, and dotted
// addresses, which need no name server.
TEST(NameResolutionContract, ResolvesAndConfirmsWithoutANameServer) {
    const struct {
        const char* name;
        int flag;
        const char* dotted;
    } forward[] = {
        {"localhost", 1, "127.0.0.1"},
        {" localhost ", 1, "127.0.0.1"},
        {"192.168.178.1", 1, "192.168.178.1"},
        {"0.0.0.0", 0, ""},
        {"", 0, ""},
    };
    for (const auto& f : forward) {
        SCOPED_TRACE(f.name);
        std::string dotted = "sentinel";
        EXPECT_EQ(f.flag, config::ResolveHostAddress(f.name, dotted));
        EXPECT_EQ(f.dotted, dotted);
    }
    EXPECT_EQ(config::AddressCheck::Confirmed, config::CheckAddress("127.0.0.1"));
    EXPECT_EQ(config::AddressCheck::NoAddress, config::CheckAddress("0.0.0.0"));
    EXPECT_EQ(config::AddressCheck::NotDotted, config::CheckAddress("127.0.0"));
}

}  // namespace
}  // namespace orvano::contract
