#include <gtest/gtest.h>

#include "config/endpoint.h"
#include "config/registry.h"
#include "memory_fixture.h"

namespace orvano::testing {
namespace {

using namespace orvano::config;
using platform::kRegDword;
using platform::kRegSz;

constexpr RegistryView kViews[] = {RegistryView::Native, RegistryView::Wow6432Node};

class EndpointTest : public MemoryMachineTest {
  protected:
    static std::optional<std::uint32_t> StoredPort(RegistryView view) {
        auto value = mem::GetValue(kLocalMachine, PortKey(view), "Port");
        if (!value || value->type != kRegDword || value->data.size() != 4) return std::nullopt;
        const auto& d = value->data;
        return d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24;
    }
};

TEST_F(EndpointTest, AddressNeedsExactlyThreeDotsAndIsFiltered) {
    struct Case {
        const char* stored;
        int flag;
        const char* address;
    } cases[] = {
        {"192.168.178.1", 1, "192.168.178.1"},
        {" 192.168.178.1 ", 1, "192.168.178.1"},
        {"192.168.178", 0, ""},
        {"1.2.3.4.5", 0, ""},
        {"a.b.c.d", 1, "..."},
        {"fritz.box", 0, ""},
    };
    for (RegistryView view : kViews) {
        for (const Case& c : cases) {
            mem::PutText(kLocalMachine, RouterAddressKey(view), "FoundFritzBoxes", c.stored);
            std::string address = "sentinel";
            EXPECT_EQ(ReadRouterAddress(view, address), c.flag) << c.stored;
            EXPECT_EQ(address, c.address) << c.stored;
            // Reading never repairs what is stored.
            EXPECT_EQ(mem::GetValue(kLocalMachine, RouterAddressKey(view), "FoundFritzBoxes")->data,
                      Bytes(c.stored));
        }
    }
    std::string address = "sentinel";
    mem::Reset();
    EXPECT_EQ(ReadRouterAddress(RegistryView::Native, address), 0);
    EXPECT_EQ(address, "");
}

TEST_F(EndpointTest, PortIsValidAboveZeroButAlwaysHandedOut) {
    struct Case {
        std::uint32_t stored;
        int flag;
        const char* hex;
    } cases[] = {
        {5031, 1, "000013a7"},
        {0x00010000, 1, "00010000"},
        {0, 0, "00000000"},
        {0xFFFFFFFF, 1, "ffffffff"},  // unsigned: not a negative number
    };
    for (const Case& c : cases) {
        mem::PutDword(kLocalMachine, PortKey(RegistryView::Wow6432Node), "Port", c.stored);
        std::string hex = "sentinel";
        EXPECT_EQ(ReadPort(RegistryView::Wow6432Node, hex), c.flag) << c.hex;
        EXPECT_EQ(hex, c.hex);
    }
    std::string hex = "sentinel";
    EXPECT_EQ(ReadPort(RegistryView::Native, hex), 0);
    EXPECT_EQ(hex, "");
}

TEST_F(EndpointTest, FirstPortWriteStoresTheDefault) {
    for (RegistryView view : kViews) {
        EXPECT_EQ(ChangePort(view, "00001388", kActionWrite), 1);
        EXPECT_EQ(StoredPort(view), 5031u) << "no Port yet: the default goes in";
        EXPECT_EQ(ChangePort(view, "00001388", kActionWrite), 1);
        EXPECT_EQ(StoredPort(view), 5000u);
        std::string hex;
        EXPECT_EQ(ReadPort(view, hex), 1);
        EXPECT_EQ(hex, "00001388");
    }
    // A stored 0 is a present value: it is overwritten with what was asked for.
    mem::Reset();
    mem::PutDword(kLocalMachine, PortKey(RegistryView::Native), "Port", 0);
    EXPECT_EQ(ChangePort(RegistryView::Native, "00001388", kActionWrite), 1);
    EXPECT_EQ(StoredPort(RegistryView::Native), 5000u);
}

// A hand-written .reg line "Port"="5031" stores a string the client cannot read: such a value
// is there, but it is neither a port nor an address, and only a confirmed write replaces it
// (as a missing one: the port's first write stores the default).
TEST_F(EndpointTest, AValueOfTheWrongTypeIsThereButNeverRead) {
    using platform::kRegBinary;
    using platform::kRegExpandSz;
    struct Case {
        const char* what;
        bool port;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    } cases[] = {
        {"port as string abc", true, kRegSz, StoredText("abc")},
        {"port as string 5031", true, kRegSz, StoredText("5031")},
        {"port as binary", true, kRegBinary, {0x01, 0x02, 0, 0}},
        {"port dword of 2 bytes", true, kRegDword, {0xA7, 0x13}},
        {"address as dword", false, kRegDword, {1, 2, 3, 4}},
        {"address as binary text", false, kRegBinary, StoredText("192.168.178.1")},
        {"address as expandable string", false, kRegExpandSz, StoredText("192.168.178.1")},
    };
    for (RegistryView view : kViews) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            mem::Reset();
            const char* key = c.port ? PortKey(view) : RouterAddressKey(view);
            const char* name = c.port ? "Port" : "FoundFritzBoxes";
            mem::PutValue(kLocalMachine, key, name, c.type, c.data);
            std::string text = "sentinel";
            ValueRead found = ValueRead::Read;
            EXPECT_EQ(c.port ? ReadPort(view, text, found) : ReadRouterAddress(view, text, found),
                      0);
            EXPECT_EQ(found, ValueRead::WrongType);
            EXPECT_EQ(text, "");
            EXPECT_EQ(RouterAddressStored(), 0);
            EXPECT_EQ(mem::GetValue(kLocalMachine, key, name)->data, c.data) << "left as stored";

            EXPECT_EQ(c.port ? ChangePort(view, "00001388", kActionWrite)
                             : ChangeRouterAddress(view, "10.0.0.1", kActionWrite),
                      1);
            EXPECT_EQ(c.port ? ReadPort(view, text, found) : ReadRouterAddress(view, text, found),
                      1);
            EXPECT_EQ(found, ValueRead::Read);
            EXPECT_EQ(text, c.port ? "000013a7" : "10.0.0.1");
        }
    }
}

TEST_F(EndpointTest, AddressWritesAreFilteredButNotValidated) {
    EXPECT_EQ(ChangeRouterAddress(RegistryView::Native, "192.168.178.1", kActionWrite), 1);
    auto stored = mem::GetValue(kLocalMachine, "SOFTWARE\\AVM\\AVMIGDCTRL", "FoundFritzBoxes");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, kRegSz);
    EXPECT_EQ(stored->data, StoredText("192.168.178.1"));

    struct Case {
        std::string given;
        std::string stored;
    } cases[] = {
        {" 10.0.0.1x ", "10.0.0.1"},
        {"fritz.box", "."},  // the caller validates; this layer only filters
        {std::string(300, '1'), std::string(254, '1')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChangeRouterAddress(RegistryView::Wow6432Node, c.given, kActionWrite), 1);
        EXPECT_EQ(mem::GetValue(kLocalMachine, RouterAddressKey(RegistryView::Wow6432Node),
                                "FoundFritzBoxes")
                      ->data,
                  StoredText(c.stored));
    }
}

TEST_F(EndpointTest, DeletingRemovesAnEmptiedKeyOnly) {
    for (RegistryView view : kViews) {
        ASSERT_EQ(ChangeRouterAddress(view, "192.168.178.1", kActionWrite), 1);
        ASSERT_EQ(ChangePort(view, "", kActionWrite), 1);
        mem::PutText(kLocalMachine, PortKey(view), "Other", "kept");

        EXPECT_EQ(ChangeRouterAddress(view, "", kActionDelete), 1);
        EXPECT_FALSE(mem::KeyExists(kLocalMachine, RouterAddressKey(view)));
        EXPECT_EQ(ChangePort(view, "", kActionDelete), 1);
        EXPECT_TRUE(mem::KeyExists(kLocalMachine, PortKey(view)));
        EXPECT_FALSE(StoredPort(view));
        EXPECT_EQ(ChangePort(view, "", kActionDelete), 0) << "nothing left to delete";
    }
    EXPECT_TRUE(mem::KeyExists(kLocalMachine, "SOFTWARE\\AVM"));
    EXPECT_TRUE(mem::KeyExists(kLocalMachine, "SOFTWARE\\Wow6432Node\\AVM"));
}

TEST_F(EndpointTest, UnknownActionsTouchNothing) {
    mem::PutText(kLocalMachine, RouterAddressKey(RegistryView::Native), "FoundFritzBoxes",
                 "1.2.3.4");
    mem::PutDword(kLocalMachine, PortKey(RegistryView::Native), "Port", 5031);
    int before = mem::RegistryCallCount();
    for (int action : {0, 2, 3, 5, -1}) {
        EXPECT_EQ(ChangeRouterAddress(RegistryView::Native, "5.6.7.8", action), 0) << action;
        EXPECT_EQ(ChangePort(RegistryView::Native, "00001388", action), 0) << action;
    }
    EXPECT_EQ(mem::RegistryCallCount(), before);
}

TEST_F(EndpointTest, ViewsAreIndependent) {
    for (auto kind : {mem::ProcessKind::Native, mem::ProcessKind::Wow64Process}) {
        mem::Reset();
        mem::SetProcessKind(kind);
        for (RegistryView view : kViews) {
            RegistryView twin =
                view == RegistryView::Native ? RegistryView::Wow6432Node : RegistryView::Native;
            mem::PutText(kLocalMachine, RouterAddressKey(twin), "FoundFritzBoxes", "9.9.9.9");
            mem::PutDword(kLocalMachine, PortKey(twin), "Port", 4711);

            ASSERT_EQ(ChangeRouterAddress(view, "1.2.3.4", kActionWrite), 1);
            ASSERT_EQ(ChangePort(view, "", kActionWrite), 1);
            std::string text;
            EXPECT_EQ(ReadRouterAddress(view, text), 1);
            EXPECT_EQ(text, "1.2.3.4");
            EXPECT_EQ(ReadRouterAddress(twin, text), 1);
            EXPECT_EQ(text, "9.9.9.9") << "the twin was written through";
            EXPECT_EQ(StoredPort(twin), 4711u);

            ASSERT_EQ(ChangeRouterAddress(view, "", kActionDelete), 1);
            ASSERT_EQ(ChangePort(view, "", kActionDelete), 1);
            EXPECT_EQ(ReadRouterAddress(twin, text), 1);
            EXPECT_EQ(StoredPort(twin), 4711u);
        }
    }
}

TEST_F(EndpointTest, Wow64ProcessReachesTheNativeKeys) {
    // What a 32-bit program would see with no view flag: both "views" one key.
    mem::SetProcessKind(mem::ProcessKind::Wow64Process);
    ASSERT_EQ(ChangeRouterAddress(RegistryView::Native, "1.2.3.4", kActionWrite), 1);
    EXPECT_TRUE(mem::GetValue(kLocalMachine, "SOFTWARE\\AVM\\AVMIGDCTRL", "FoundFritzBoxes"));
    EXPECT_FALSE(mem::KeyExists(kLocalMachine, "SOFTWARE\\Wow6432Node\\AVM"));

    mem::CreateKeyPath(kLocalMachine, "SOFTWARE\\Wow6432Node\\AVM");
    mem::CreateKeyPath(kLocalMachine, "SOFTWARE\\AVM");
    EXPECT_EQ(VendorKeyExists(kVendorKeyMachine), 1);
    mem::Reset();
    mem::SetProcessKind(mem::ProcessKind::Wow64Process);
    mem::CreateKeyPath(kLocalMachine, "SOFTWARE\\Wow6432Node\\AVM");
    EXPECT_EQ(VendorKeyExists(kVendorKeyMachine), 0) << "the 32-bit twin is not the native key";
    EXPECT_EQ(VendorKeyExists(kVendorKeyWow6432Node), 1);
}

TEST_F(EndpointTest, RouterAddressStoredInEitherView) {
    EXPECT_EQ(RouterAddressStored(), 0);
    mem::PutText(kLocalMachine, RouterAddressKey(RegistryView::Native), "FoundFritzBoxes", "1.2.3");
    EXPECT_EQ(RouterAddressStored(), 0);
    mem::PutText(kLocalMachine, RouterAddressKey(RegistryView::Wow6432Node), "FoundFritzBoxes",
                 "1.2.3.4");
    EXPECT_EQ(RouterAddressStored(), 1);
}

TEST_F(EndpointTest, AFailedWriteShowsWhatIsReallyStored) {
    mem::PutDword(kLocalMachine, PortKey(RegistryView::Native), "Port", 5031);
    mem::FailCall(mem::Call::SetValueEx);
    EXPECT_EQ(ChangePort(RegistryView::Native, "00001388", kActionWrite), 0);
    std::string hex;
    EXPECT_EQ(ReadPort(RegistryView::Native, hex), 1);
    EXPECT_EQ(hex, "000013a7");

    mem::SetReadOnly(kLocalMachine, true);
    EXPECT_EQ(ChangeRouterAddress(RegistryView::Native, "1.2.3.4", kActionWrite), 0);
    EXPECT_EQ(ChangePort(RegistryView::Native, "", kActionDelete), 0);
    EXPECT_FALSE(mem::KeyExists(kLocalMachine, RouterAddressKey(RegistryView::Native)));
    EXPECT_EQ(StoredPort(RegistryView::Native), 5031u);
}

}  // namespace
}  // namespace orvano::testing
