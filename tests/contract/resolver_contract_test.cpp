// Winsock as the name-resolution code relies on it. On the host the in-memory name service
// answers; under Wine the machine's own (hosts file, then DNS), so only names and addresses
// with the same answer everywhere are used. The unknown name and address fail within a
// millisecond here; on a machine with no name server at all they fail at once.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/resolver.h"

namespace orvano::contract {
namespace {

namespace pf = orvano::platform;

const pf::Ipv4 kSentinelAddress = {0xde, 0xad, 0xbe, 0xef};

// Winsock started for the length of one test.
class WinsockSession {
  public:
    WinsockSession() { result_ = pf::WsaStartup(0x0202, version_); }
    ~WinsockSession() {
        if (result_ == 0) pf::WsaCleanup();
    }
    int result() const { return result_; }
    std::uint16_t version() const { return version_; }

  private:
    int result_ = -1;
    std::uint16_t version_ = 0xbeef;
};

TEST(ResolverContract, StartupGrantsVersionTwoAndNests) {
    WinsockSession outer;
    ASSERT_EQ(0, outer.result());
    EXPECT_EQ(2, outer.version() & 0xff);
    std::uint16_t version = 0xbeef;
    ASSERT_EQ(0, pf::WsaStartup(0x0202, version));
    EXPECT_EQ(0, pf::WsaCleanup());

    // Still started once: lookups go on working.
    std::vector<pf::Ipv4> addresses;
    EXPECT_TRUE(pf::GetHostByName("localhost", addresses));
}

TEST(ResolverContract, GetHostByNameGivesTheAddressesFirstOneFirst) {
    const struct {
        const char* name;
        bool found;
        pf::Ipv4 first;
    } cases[] = {
        {"localhost", true, {127, 0, 0, 1}},
        {"LOCALHOST", true, {127, 0, 0, 1}},
        {"192.168.178.1", true, {192, 168, 178, 1}},  // a dotted address needs no name server
        {"0.0.0.0", true, {0, 0, 0, 0}},
        {"orvano-no-such-host.invalid", false, {}},
        {"http://192.168.178.1/", false, {}},  // a web address is no host name
    };
    WinsockSession session;
    ASSERT_EQ(0, session.result());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<pf::Ipv4> addresses = {kSentinelAddress};
        EXPECT_EQ(c.found, pf::GetHostByName(c.name, addresses));
        if (!c.found) continue;
        ASSERT_FALSE(addresses.empty());
        EXPECT_EQ(c.first, addresses.front());
        EXPECT_NE(kSentinelAddress, addresses.back());
    }
}

TEST(ResolverContract, GetHostByAddrGivesTheOfficialName) {
    WinsockSession session;
    ASSERT_EQ(0, session.result());
    std::string name = "sentinel";
    ASSERT_TRUE(pf::GetHostByAddr({127, 0, 0, 1}, name));
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(std::string::npos, name.find("sentinel"));

    // A documentation address (TEST-NET-1) has no reverse entry.
    EXPECT_FALSE(pf::GetHostByAddr({192, 0, 2, 1}, name));
}

// Windows fails gethostbyaddr as well without Winsock started; Wine answers it anyway, so
// only the forward lookup is pinned.
TEST(ResolverContract, GetHostByNameNeedsWinsockStarted) {
    std::vector<pf::Ipv4> addresses;
    EXPECT_FALSE(pf::GetHostByName("localhost", addresses));
    {
        WinsockSession session;
        ASSERT_EQ(0, session.result());
        EXPECT_TRUE(pf::GetHostByName("localhost", addresses));
    }
    EXPECT_FALSE(pf::GetHostByName("localhost", addresses));
}

// The test tool's lookup: Winsock is started on the lookup's own thread, so the caller starts
// nothing, and it answers as GetHostByName does, within its deadline.
TEST(ResolverContract, ALookupWithADeadlineAnswersAsGetHostByName) {
    const struct {
        const char* name;
        pf::LookupResult result;
        pf::Ipv4 first;
    } cases[] = {
        {"localhost", pf::LookupResult::Found, {127, 0, 0, 1}},
        {"192.168.178.1", pf::LookupResult::Found, {192, 168, 178, 1}},
        {"orvano-no-such-host.invalid", pf::LookupResult::NotFound, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<pf::Ipv4> addresses = {kSentinelAddress};
        EXPECT_EQ(c.result, pf::GetHostByNameWithin(c.name, addresses, 2000));
        if (c.result == pf::LookupResult::Found) {
            ASSERT_FALSE(addresses.empty());
            EXPECT_EQ(c.first, addresses.front());
        } else {
            EXPECT_TRUE(addresses.empty());
        }
    }
}

}  // namespace
}  // namespace orvano::contract
