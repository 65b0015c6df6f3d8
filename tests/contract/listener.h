// A TCP port on 127.0.0.1 that the test process itself listens on, standing in for the
// router's CAPI service.
#pragma once

#include <cstdint>

namespace orvano::contract {

// Listens (backlog 4) on a port the system picks until the object goes; connections wait in
// the queue, which counts as taken. port() is 0 when no socket could be had.
class Listener {
  public:
    Listener();
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    std::uint16_t port() const { return port_; }

  private:
    std::uintptr_t socket_ = 0;
    std::uint16_t port_ = 0;
};

}  // namespace orvano::contract
