// TCP connections on the in-memory machine: each endpoint answers as a test set it up.
#include <utility>

#include "platform/memory/state.h"
#include "platform/tcp.h"

namespace orvano::platform {

TcpAnswer ConnectWithin(const Ipv4& address, std::uint16_t port, std::uint32_t milliseconds) {
    auto& m = memory::TheMachine();
    const auto it = m.tcpAnswers.find({address, port});
    if (it == m.tcpAnswers.end() || it->second.first == TcpAnswer::NoAnswer ||
        it->second.second > milliseconds) {
        m.connectTime += milliseconds;
        return TcpAnswer::NoAnswer;
    }
    m.connectTime += it->second.second;
    return it->second.first;
}

}  // namespace orvano::platform

namespace orvano::platform::memory {

void SetTcpAnswer(const Ipv4& address, std::uint16_t port, TcpAnswer answer,
                  unsigned milliseconds) {
    TheMachine().tcpAnswers[{address, port}] = {answer, milliseconds};
}

std::uint64_t TakeConnectTime() {
    return std::exchange(TheMachine().connectTime, 0);
}

}  // namespace orvano::platform::memory
