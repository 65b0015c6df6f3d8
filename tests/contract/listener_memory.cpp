// The in-memory machine: the port takes connections while the object lives and refuses them
// afterwards, as a real one whose listener has closed.
#include "listener.h"
#include "platform/memory/control.h"

namespace orvano::contract {

namespace {
constexpr platform::Ipv4 kLoopback = {127, 0, 0, 1};
std::uint16_t nextPort = 40000;
}  // namespace

Listener::Listener() : port_(nextPort++) {
    platform::memory::SetTcpAnswer(kLoopback, port_, platform::TcpAnswer::Accepted);
}

Listener::~Listener() {
    platform::memory::SetTcpAnswer(kLoopback, port_, platform::TcpAnswer::Refused);
}

}  // namespace orvano::contract
