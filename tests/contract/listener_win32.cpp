// Windows: a real listening socket on 127.0.0.1.
#include <winsock2.h>

#include "listener.h"

namespace orvano::contract {

Listener::Listener() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof at;
    if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
        listen(s, 4) != 0 || getsockname(s, reinterpret_cast<sockaddr*>(&at), &length) != 0) {
        if (s != INVALID_SOCKET) closesocket(s);
        WSACleanup();
        return;
    }
    socket_ = s;
    port_ = ntohs(at.sin_port);
}

Listener::~Listener() {
    if (port_ == 0) return;
    closesocket(static_cast<SOCKET>(socket_));
    WSACleanup();
}

}  // namespace orvano::contract
