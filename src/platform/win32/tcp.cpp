// A TCP connection with a deadline on Windows: a non-blocking connect, then select.
#include "platform/tcp.h"

// winsock2.h gives the types only (WIN32_LEAN_AND_MEAN keeps windows.h from pulling in
// winsock.h); no Winsock function is linked.
#include <windows.h>
#include <winsock2.h>

#include <cstring>

#include "platform/win32/system_library.h"

namespace orvano::platform {

namespace {

using win32::Find;

using StartupFn = int(WSAAPI*)(WORD, LPWSADATA);
using CleanupFn = int(WSAAPI*)();
using SocketFn = SOCKET(WSAAPI*)(int, int, int);
using CloseFn = int(WSAAPI*)(SOCKET);
using IoctlFn = int(WSAAPI*)(SOCKET, long, u_long*);
using ConnectFn = int(WSAAPI*)(SOCKET, const sockaddr*, int);
using SelectFn = int(WSAAPI*)(int, fd_set*, fd_set*, fd_set*, const timeval*);
using OptionFn = int(WSAAPI*)(SOCKET, int, int, char*, int*);
using LastErrorFn = int(WSAAPI*)();

// Loaded by full path and kept, as the name service's library is: nothing of Winsock is
// imported, so no ws2_32.dll beside the program is ever taken.
struct Winsock2 {
    StartupFn startup = nullptr;
    CleanupFn cleanup = nullptr;
    SocketFn socket = nullptr;
    CloseFn close = nullptr;
    IoctlFn ioctl = nullptr;
    ConnectFn connect = nullptr;
    SelectFn select = nullptr;
    OptionFn option = nullptr;
    LastErrorFn lastError = nullptr;

    bool Complete() const {
        return startup && cleanup && socket && close && ioctl && connect && select && option &&
               lastError;
    }
};

Winsock2 Load() {
    Winsock2 w;
    HMODULE library = win32::LoadFromSystemFolder("ws2_32.dll");
    if (!library) return w;
    w.startup = Find<StartupFn>(library, "WSAStartup");
    w.cleanup = Find<CleanupFn>(library, "WSACleanup");
    w.socket = Find<SocketFn>(library, "socket");
    w.close = Find<CloseFn>(library, "closesocket");
    w.ioctl = Find<IoctlFn>(library, "ioctlsocket");
    w.connect = Find<ConnectFn>(library, "connect");
    w.select = Find<SelectFn>(library, "select");
    w.option = Find<OptionFn>(library, "getsockopt");
    w.lastError = Find<LastErrorFn>(library, "WSAGetLastError");
    return w;
}

const Winsock2& TheWinsock2() {
    static const Winsock2 winsock = Load();
    return winsock;
}

TcpAnswer FromError(int error) {
    switch (error) {
        case 0:
            return TcpAnswer::Accepted;
        case WSAECONNREFUSED:
            return TcpAnswer::Refused;
        case WSAETIMEDOUT:
            return TcpAnswer::NoAnswer;
        default:
            return TcpAnswer::Unreachable;
    }
}

// FD_ISSET without __WSAFDIsSet, which would import ws2_32.dll.
bool InSet(const fd_set& set, SOCKET s) {
    for (u_int i = 0; i < set.fd_count; ++i)
        if (set.fd_array[i] == s) return true;
    return false;
}

TcpAnswer Connect(const Winsock2& w, SOCKET s, const sockaddr_in& to, std::uint32_t milliseconds) {
    u_long nonBlocking = 1;
    if (w.ioctl(s, FIONBIO, &nonBlocking) != 0) return TcpAnswer::Unreachable;
    if (w.connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
        return TcpAnswer::Accepted;
    const int error = w.lastError();
    if (error != WSAEWOULDBLOCK) return FromError(error);
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    const timeval wait = {static_cast<long>(milliseconds / 1000),
                          static_cast<long>(milliseconds % 1000) * 1000};
    const int ready = w.select(0, nullptr, &writable, &failed, &wait);
    if (ready == 0) return TcpAnswer::NoAnswer;
    if (ready < 0) return TcpAnswer::Unreachable;
    int result = 0;
    int length = sizeof result;
    if (w.option(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&result), &length) != 0)
        return TcpAnswer::Unreachable;
    // A refused connection shows in the failed set with its error, a taken one as writable.
    if (result == 0 && !InSet(writable, s)) return TcpAnswer::Unreachable;
    return FromError(result);
}

}  // namespace

TcpAnswer ConnectWithin(const Ipv4& address, std::uint16_t port, std::uint32_t milliseconds) {
    const Winsock2& w = TheWinsock2();
    WSADATA data{};
    if (!w.Complete() || w.startup(MAKEWORD(2, 2), &data) != 0) return TcpAnswer::Unreachable;
    TcpAnswer answer = TcpAnswer::Unreachable;
    const SOCKET s = w.socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s != INVALID_SOCKET) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = static_cast<u_short>((port >> 8) | ((port & 0xFF) << 8));
        std::memcpy(&to.sin_addr, address.data(), address.size());
        answer = Connect(w, s, to, milliseconds);
        w.close(s);
    }
    w.cleanup();
    return answer;
}

}  // namespace orvano::platform
