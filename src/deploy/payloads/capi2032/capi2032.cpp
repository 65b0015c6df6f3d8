// capi2032.dll, our placeholder of the CAPI 2.0 library for 32-bit Windows applications: the
// ten standard functions under their standard names and ordinals, no controller behind them.
//
// Built three ways: the two CAPI-over-TCP client builds (CAPI_OVER_TCP=1) find the router where
// the client keeps it, under HKEY_LOCAL_MACHINE\Software\AVM (for a 32-bit process on 64-bit
// Windows, its Wow6432Node twin); the ISDN-adapter build has no adapter.
//
// Every function tells the same story: CAPI is installed exactly when it can be used, that is
// while the router's CAPI service takes a TCP connection. Then CAPI_INSTALLED answers 0 and
// applications register and are released; otherwise both answer 0x1009. With no controller
// behind the placeholder, a registered application never receives a message: a wait for one
// ends when the application is released.
// winsock2.h must come before windows.h.
#include <winsock2.h>

#include <windows.h>

#include <cstring>

#include "variant.h"

namespace {

// CAPI info values.
constexpr DWORD kSuccess = 0x0000;
constexpr DWORD kTooManyApplications = 0x1001;
constexpr DWORD kNotInstalled = 0x1009;          // from CAPI_REGISTER and CAPI_INSTALLED
constexpr DWORD kIllegalApplication = 0x1101;    // the exchange functions: no such ApplID
constexpr DWORD kExchangeNotInstalled = 0x1109;  // the exchange functions: no CAPI at all
constexpr DWORD kIllegalCommand = 0x1102;
constexpr DWORD kQueueEmpty = 0x1104;
constexpr DWORD kOsResourceError = 0x1108;
constexpr DWORD kIllegalController = 0x2002;

constexpr DWORD kProfileSize = 64;
constexpr DWORD kManufacturerSize = 64;
constexpr DWORD kSerialSize = 8;

#if CAPI_OVER_TCP
// The client reads its endpoint from its own keys: the router's address(es) and the port of
// its CAPI service.
const char kClientKey[] = "Software\\AVM\\CAPIoTCP";
const char kRouterKey[] = "Software\\AVM\\AVMIGDCTRL";
constexpr DWORD kDefaultPort = 5031;
constexpr long kConnectTimeoutMs = 1500;

// The router's address: the first entry of "FoundFritzBoxes" (entries are separated by
// blanks, commas or semicolons); false when there is none.
bool RouterAddress(char* address, DWORD size) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRouterKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char text[256] = {};
    DWORD type = 0, length = sizeof text - 1;
    LONG status = RegQueryValueExA(key, "FoundFritzBoxes", nullptr, &type,
                                   reinterpret_cast<BYTE*>(text), &length);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    text[sizeof text - 1] = '\0';
    const char* start = text + std::strspn(text, " ,;");
    const std::size_t n = std::strcspn(start, " ,;");
    if (n == 0 || n >= size) return false;
    std::memcpy(address, start, n);
    address[n] = '\0';
    return true;
}

DWORD RouterPort() {
    HKEY key;
    DWORD port = kDefaultPort;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClientKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return port;
    DWORD value = 0, type = 0, length = sizeof value;
    if (RegQueryValueExA(key, "Port", nullptr, &type, reinterpret_cast<BYTE*>(&value), &length) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && value > 0 && value < 65536)
        port = value;
    RegCloseKey(key);
    return port;
}

// A TCP connection to the router's CAPI service is accepted within the time-out.
bool RouterAnswers() {
    char address[128];
    if (!RouterAddress(address, sizeof address)) return false;
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return false;
    bool answered = false;
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(RouterPort()));
    to.sin_addr.s_addr = inet_addr(address);
    if (to.sin_addr.s_addr == INADDR_NONE) {
        const hostent* host = gethostbyname(address);
        if (host && host->h_addrtype == AF_INET && host->h_addr_list[0])
            std::memcpy(&to.sin_addr, host->h_addr_list[0], sizeof to.sin_addr);
    }
    SOCKET s = to.sin_addr.s_addr == INADDR_NONE ? INVALID_SOCKET
                                                 : socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s != INVALID_SOCKET) {
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        if (connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) {
            answered = true;
        } else if (WSAGetLastError() == WSAEWOULDBLOCK) {
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(s, &writable);
            FD_SET(s, &failed);
            timeval wait = {kConnectTimeoutMs / 1000, (kConnectTimeoutMs % 1000) * 1000};
            if (select(0, nullptr, &writable, &failed, &wait) > 0 && FD_ISSET(s, &writable)) {
                int error = 0;
                int length = sizeof error;
                getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
                answered = error == 0;
            }
        }
        closesocket(s);
    }
    WSACleanup();
    return answered;
}
#endif

// Whether CAPI can be used now: the one answer behind CAPI_INSTALLED and CAPI_REGISTER.
bool Usable() {
#if CAPI_OVER_TCP
    return RouterAnswers();
#else
    return false;  // no adapter
#endif
}

// Registered applications: ApplID n is slot n - 1, taken while its value is 1. Each slot's
// event (manual reset) is set while the slot is free: it ends the waits for that application.
constexpr DWORD kMaxApplications = 8;
volatile LONG registered[kMaxApplications] = {};
HANDLE released[kMaxApplications] = {};

bool IsRegistered(DWORD applId) {
    return applId >= 1 && applId <= kMaxApplications && registered[applId - 1] == 1;
}

// What the exchange functions answer for an ApplID that is not registered.
DWORD UnknownApplication() {
    return Usable() ? kIllegalApplication : kExchangeNotInstalled;
}

// An application may release itself from another thread and unload the library at once,
// while a thread of it still waits here and has yet to return through this code. So the first
// wait pins the library for the rest of the process: a reference that the waiting thread
// dropped itself could unload the very code it returns through.
void KeepLoaded() {
    static volatile LONG pinned = 0;
    if (InterlockedExchange(&pinned, 1) == 1) return;
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&KeepLoaded), &self);
}

using IsGuiThreadFn = BOOL(WINAPI*)(BOOL);
using MsgWaitFn = DWORD(WINAPI*)(DWORD, const HANDLE*, BOOL, DWORD, DWORD);
using PeekFn = BOOL(WINAPI*)(MSG*, HWND, UINT, UINT, UINT);

template <class Fn>
Fn Find(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// Waits until the event is set. A thread with windows meanwhile handles the messages that
// other threads and programs send them, as SendMessage does while it waits: such a window
// can still be asked to close, or to release the application. user32 is only looked up, never
// loaded: a process without it has no windows.
void WaitFor(HANDLE event) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto isGuiThread = user32 ? Find<IsGuiThreadFn>(user32, "IsGUIThread") : nullptr;
    auto msgWait = user32 ? Find<MsgWaitFn>(user32, "MsgWaitForMultipleObjects") : nullptr;
    auto peek = user32 ? Find<PeekFn>(user32, "PeekMessageA") : nullptr;
    if (!isGuiThread || !msgWait || !peek || !isGuiThread(FALSE)) {
        WaitForSingleObject(event, INFINITE);
        return;
    }
    while (msgWait(1, &event, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        peek(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

extern "C" {

DWORD WINAPI CAPI_REGISTER(DWORD, DWORD, DWORD, DWORD, DWORD* applId) {
    if (!applId) return kOsResourceError;
    *applId = 0;
    if (!Usable()) return kNotInstalled;
    for (DWORD slot = 0; slot < kMaxApplications; ++slot) {
        if (InterlockedCompareExchange(&registered[slot], 1, 0) == 0) {
            ResetEvent(released[slot]);
            *applId = slot + 1;
            return kSuccess;
        }
    }
    return kTooManyApplications;
}

DWORD WINAPI CAPI_RELEASE(DWORD applId) {
    if (applId >= 1 && applId <= kMaxApplications &&
        InterlockedCompareExchange(&registered[applId - 1], 0, 1) == 1) {
        SetEvent(released[applId - 1]);
        return kSuccess;
    }
    return UnknownApplication();
}

// The placeholder carries no message anywhere: every command is one it does not know.
DWORD WINAPI CAPI_PUT_MESSAGE(DWORD applId, PVOID message) {
    if (!IsRegistered(applId)) return UnknownApplication();
    return message ? kIllegalCommand : kOsResourceError;
}

DWORD WINAPI CAPI_GET_MESSAGE(DWORD applId, PVOID* message) {
    if (message) *message = nullptr;
    if (!IsRegistered(applId)) return UnknownApplication();
    return message ? kQueueEmpty : kOsResourceError;
}

// Nothing ever arrives, so the wait ends only when the application is released.
DWORD WINAPI CAPI_WAIT_FOR_SIGNAL(DWORD applId) {
    if (!IsRegistered(applId)) return UnknownApplication();
    KeepLoaded();
    WaitFor(released[applId - 1]);
    return kIllegalApplication;
}

DWORD WINAPI CAPI_GET_MANUFACTURER(char* buffer) {
    if (!buffer) return kOsResourceError;
    std::memset(buffer, 0, kManufacturerSize);
    std::strncpy(buffer, CAPI_MANUFACTURER_TEXT, kManufacturerSize - 1);
    return kSuccess;
}

DWORD WINAPI CAPI_GET_VERSION(DWORD* capiMajor, DWORD* capiMinor, DWORD* manufacturerMajor,
                              DWORD* manufacturerMinor) {
    if (!capiMajor || !capiMinor || !manufacturerMajor || !manufacturerMinor)
        return kOsResourceError;
    *capiMajor = 2;
    *capiMinor = 0;
    *manufacturerMajor = CAPI_MANUFACTURER_MAJOR;
    *manufacturerMinor = CAPI_MANUFACTURER_MINOR;
    return kSuccess;
}

DWORD WINAPI CAPI_GET_SERIAL_NUMBER(char* buffer) {
    if (!buffer) return kOsResourceError;
    std::memset(buffer, 0, kSerialSize);  // no serial number: an empty text
    return kSuccess;
}

// Controller 0 asks for the number of controllers: there are none.
DWORD WINAPI CAPI_GET_PROFILE(PVOID buffer, DWORD controller) {
    if (!buffer) return kOsResourceError;
    if (controller != 0) return kIllegalController;
    std::memset(buffer, 0, kProfileSize);
    return kSuccess;
}

DWORD WINAPI CAPI_INSTALLED(void) {
    return Usable() ? kSuccess : kNotInstalled;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        for (HANDLE& event : released) {
            event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
            if (!event) return FALSE;
        }
    }
    // At the process's end the system closes them; only an unload closes them here.
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        for (HANDLE event : released)
            if (event) CloseHandle(event);
    }
    return TRUE;
}
