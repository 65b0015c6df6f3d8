// A TCP connection with a deadline, as the test tool makes it to the router: a port someone
// listens on takes it, a port nobody listens on refuses it at once, well within the deadline.
#include <gtest/gtest.h>

#include "listener.h"
#include "platform/tcp.h"

namespace orvano::contract {
namespace {

namespace pf = orvano::platform;

constexpr pf::Ipv4 kLoopback = {127, 0, 0, 1};

TEST(TcpContract, AListeningPortTakesTheConnectionAClosedOneRefusesIt) {
    std::uint16_t port = 0;
    {
        Listener listener;
        port = listener.port();
        ASSERT_NE(0, port);
        EXPECT_EQ(pf::TcpAnswer::Accepted, pf::ConnectWithin(kLoopback, port, 2500));
        EXPECT_EQ(pf::TcpAnswer::Accepted, pf::ConnectWithin(kLoopback, port, 2500));
    }
    EXPECT_EQ(pf::TcpAnswer::Refused, pf::ConnectWithin(kLoopback, port, 2500));
}

}  // namespace
}  // namespace orvano::contract
