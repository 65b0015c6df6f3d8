#include <gtest/gtest.h>

#include "config/name_resolution.h"
#include "memory_fixture.h"

namespace orvano::testing {
namespace {

using namespace orvano::config;
using Call = mem::Call;

class NameResolutionTest : public MemoryMachineTest {
  protected:
    void SetUp() override {
        MemoryMachineTest::SetUp();
        mem::AddHost("fritz.box", {{192, 168, 178, 1}, {10, 0, 0, 1}});
        mem::AddReverse({192, 168, 178, 1}, "fritz.box");
        mem::AddHost("http://fritz.box/", {{172, 16, 0, 9}});
        mem::AddHost("zero.example", {{0, 0, 0, 0}});
        mem::AddHost("empty.example", {});
        mem::AddReverse({192, 168, 178, 2}, "  ");
    }
    void TearDown() override {
        EXPECT_EQ(mem::WinsockUsers(), 0) << "Winsock left initialised";
        MemoryMachineTest::TearDown();
    }
};

TEST_F(NameResolutionTest, ResolvesToTheFirstAddress) {
    struct Case {
        std::string name;
        int flag;
        const char* dotted;
    } cases[] = {
        {"fritz.box", 1, "192.168.178.1"},
        {"  FRITZ.BOX \0", 1, "192.168.178.1"},
        {"192.168.178.1", 1, "192.168.178.1"},
        {"http://fritz.box/", 1, "172.16.0.9"},  // handed over unchanged, nothing stripped
        {"http://unknown/", 0, ""},
        {"zero.example", 0, ""},
        {"empty.example", 0, ""},
        {"0.0.0.0", 0, ""},
        {"no.such.host", 0, ""},
    };
    for (const Case& c : cases) {
        std::string dotted = "sentinel";
        EXPECT_EQ(ResolveHostAddress(c.name, dotted), c.flag) << c.name;
        EXPECT_EQ(dotted, c.dotted) << c.name;
    }
}

TEST_F(NameResolutionTest, BlankNamesNeverStartWinsock) {
    for (std::string name : {std::string(), std::string("   "), std::string("\0 \0", 3)}) {
        std::string dotted = "sentinel";
        EXPECT_EQ(ResolveHostAddress(name, dotted), 0);
        EXPECT_EQ(dotted, "");
    }
    EXPECT_EQ(mem::CallCount(Call::WsaStartup), 0);
}

TEST_F(NameResolutionTest, WinsockMustBeVersionTwoAndIsAlwaysReleased) {
    std::string dotted;
    mem::FailCall(Call::WsaStartup);
    EXPECT_EQ(ResolveHostAddress("fritz.box", dotted), 0);
    EXPECT_EQ(mem::CallCount(Call::WsaCleanup), 0) << "nothing to release after a failed start";

    mem::SetWinsockVersion(0x0101);
    EXPECT_EQ(ResolveHostAddress("fritz.box", dotted), 0);
    EXPECT_NE(CheckAddress("192.168.178.1"), AddressCheck::Confirmed);
    EXPECT_EQ(mem::CallCount(Call::GetHostByName), 0);

    mem::SetWinsockVersion(0x0202);
    EXPECT_EQ(ResolveHostAddress("fritz.box", dotted), 1);
    EXPECT_EQ(CheckAddress("192.168.178.1"), AddressCheck::Confirmed);
    // One start-up per lookup: forward, then forward and reverse.
    EXPECT_EQ(mem::CallCount(Call::WsaStartup), 1 + 2 + 3);
}

TEST_F(NameResolutionTest, NoNameServiceMeansNoRouter) {
    mem::SetNameServiceOn(false);
    std::string dotted = "sentinel";
    EXPECT_EQ(ResolveHostAddress(kRouterHostName1, dotted), 0);
    EXPECT_EQ(dotted, "");
    EXPECT_EQ(CheckAddress("192.168.178.1"), AddressCheck::NoHostName)
        << "no reverse entry without a name service";
}

TEST_F(NameResolutionTest, ConfirmationNeedsForwardAndReverse) {
    struct Case {
        std::string address;
        int flag;
        bool looksUp;
    } cases[] = {
        {"192.168.178.1", 1, true}, {" 192.168.178.1\0", 1, true},
        {"192.168.178.3", 0, true},  // no reverse entry
        {"192.168.178.2", 0, true},  // reverse entry with a blank name
        {"0.0.0.0", 0, true},       {"1.2.3.4.5", 0, false},
        {"192.168.178", 0, false},  {"", 0, false},
    };
    for (const Case& c : cases) {
        int lookups = mem::CallCount(Call::GetHostByName);
        EXPECT_EQ(CheckAddress(c.address) == AddressCheck::Confirmed ? 1 : 0, c.flag)
            << c.address;
        EXPECT_EQ(mem::CallCount(Call::GetHostByName) > lookups, c.looksUp) << c.address;
    }
}

TEST_F(NameResolutionTest, RouterHostNamesAreTriedAsTheyStand) {
    mem::AddHost(kRouterHostName2, {{192, 168, 1, 1}});
    std::string dotted;
    EXPECT_EQ(ResolveHostAddress(kRouterHostName2, dotted), 1);
    EXPECT_EQ(dotted, "192.168.1.1");
    EXPECT_EQ(ResolveHostAddress(kRouterHostName3, dotted), 0);
}

TEST_F(NameResolutionTest, CheckTellsWhyAndTheNameServerTakesItsTime) {
    // The name server takes 400 ms a question; dotted addresses need none for the forward
    // step, and a server that never answers leaves the resolver to give up by itself.
    struct Case {
        std::string address;
        unsigned reverseDelay;
        AddressCheck found;
        std::uint64_t took;
    } cases[] = {
        {"192.168.178.1", 400, AddressCheck::Confirmed, 400},
        {"fritz.box.local.", 400, AddressCheck::NoAddress, 400},  // three dots, but a name
        {"192.168.178.3", 400, AddressCheck::NoHostName, 400},
        {"192.168.178.1", mem::kNeverAnswers, AddressCheck::NoHostName, mem::kResolverGivesUp},
        {"0.0.0.0", 400, AddressCheck::NoAddress, 0},
        {"192.168.178", 400, AddressCheck::NotDotted, 0},
    };
    mem::SetNameServerDelay(400);
    for (const Case& c : cases) {
        mem::SetReverseLookupDelay({192, 168, 178, 1}, c.reverseDelay);
        mem::TakeLookupTime();
        auto changes = mem::CursorChanges().size();
        EXPECT_EQ(CheckAddress(c.address), c.found) << c.address;
        EXPECT_EQ(mem::TakeLookupTime(), c.took) << c.address;
        EXPECT_EQ(mem::CursorChanges().size(), changes) << "no cursor off the window's thread";
        // The same in two questions, each of which may be given a deadline of its own.
        std::string dotted = "sentinel";
        const AddressCheck forward = CheckForward(c.address, dotted);
        EXPECT_EQ(dotted.empty(), forward != AddressCheck::Confirmed) << c.address;
        mem::TakeLookupTime();
        EXPECT_EQ(forward == AddressCheck::Confirmed ? CheckReverse(dotted) : forward, c.found)
            << c.address;
        EXPECT_EQ(mem::TakeLookupTime(), forward == AddressCheck::Confirmed ? c.took : 0u)
            << "a dotted address costs the name server only its reverse question";
    }
    // A reverse question only for an address as the forward one gives it.
    for (const char* text : {"", "192.168.178", "192.168.178.1.", "192.168.178.256",
                             "192.168.1780.1", " 192.168.178.1", "0.0.0.0"}) {
        EXPECT_EQ(CheckReverse(text), AddressCheck::NoHostName) << text;
        EXPECT_EQ(mem::TakeLookupTime(), 0u) << text;
    }
    // A name of its own goes before the general delay; the machine's own names too.
    mem::SetLookupDelay("FRITZ.BOX", 50);
    std::string dotted;
    mem::TakeLookupTime();
    EXPECT_EQ(ResolveHostAddress("fritz.box", dotted), 1);
    EXPECT_EQ(mem::TakeLookupTime(), 50u);
    mem::SetLookupDelay("fritz.box", mem::kNeverAnswers);
    EXPECT_EQ(ResolveHostAddress("fritz.box", dotted), 0);
    EXPECT_EQ(mem::TakeLookupTime(), mem::kResolverGivesUp);
    // Without a name service nothing is asked and nothing waits.
    mem::SetNameServiceOn(false);
    EXPECT_EQ(ResolveHostAddress("fritz.box", dotted), 0);
    EXPECT_EQ(mem::TakeLookupTime(), 0u);
}

}  // namespace
}  // namespace orvano::testing
