// A TCP connection tried with a deadline, as the CAPI-over-TCP client makes it to the router.
#pragma once

#include <cstdint>

#include "platform/resolver.h"

namespace orvano::platform {

// How an address answered a connection to a port.
enum class TcpAnswer {
    Accepted,     // the connection was taken
    Refused,      // something at the address answered, but nothing takes connections there
    NoAnswer,     // nothing came back before the deadline
    Unreachable,  // the network says the address cannot be reached (or no socket was had)
};

// socket, a non-blocking connect and select with the deadline, then closesocket (Winsock 2,
// ws2_32.dll loaded from the system folder and started for this call alone): how the address
// answered within `milliseconds`. It never waits longer than the deadline.
TcpAnswer ConnectWithin(const Ipv4& address, std::uint16_t port, std::uint32_t milliseconds);

}  // namespace orvano::platform
