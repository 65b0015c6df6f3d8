// The name service on Windows: Winsock 1.1 (WSOCK32.DLL), loaded from the system folder.
#include "platform/resolver.h"

// winsock2.h gives the types only (WIN32_LEAN_AND_MEAN keeps windows.h from pulling in
// winsock.h); no Winsock function is linked.
#include <windows.h>
#include <winsock2.h>

#include <cstring>

#include "platform/win32/system_library.h"

namespace orvano::platform {

namespace {

using win32::Find;
using win32::LoadFromSystemFolder;

using StartupFn = int(WSAAPI*)(WORD, LPWSADATA);
using CleanupFn = int(WSAAPI*)();
using ByNameFn = hostent*(WSAAPI*)(const char*);
using ByAddrFn = hostent*(WSAAPI*)(const char*, int, int);

// The program runs elevated and must never pick up a wsock32.dll planted beside it, so
// nothing of Winsock is imported: the library is loaded by its full path and stays loaded.
struct Winsock {
    StartupFn startup = nullptr;
    CleanupFn cleanup = nullptr;
    ByNameFn byName = nullptr;
    ByAddrFn byAddr = nullptr;

    bool Complete() const { return startup && cleanup && byName && byAddr; }
};

Winsock Load() {
    Winsock winsock;
    HMODULE library = LoadFromSystemFolder("wsock32.dll");
    if (!library) return winsock;
    winsock.startup = Find<StartupFn>(library, "WSAStartup");
    winsock.cleanup = Find<CleanupFn>(library, "WSACleanup");
    winsock.byName = Find<ByNameFn>(library, "gethostbyname");
    winsock.byAddr = Find<ByAddrFn>(library, "gethostbyaddr");
    return winsock;
}

const Winsock& TheWinsock() {
    static const Winsock winsock = Load();
    return winsock;
}

}  // namespace

// WSAStartup(requested, &data); WSASYSNOTREADY when Winsock could not be loaded.
int WsaStartup(std::uint16_t requested, std::uint16_t& version) {
    const Winsock& winsock = TheWinsock();
    if (!winsock.Complete()) return WSASYSNOTREADY;
    WSADATA data{};
    int result = winsock.startup(requested, &data);
    if (result == 0) version = data.wVersion;
    return result;
}

// WSACleanup(); SOCKET_ERROR when Winsock could not be loaded.
int WsaCleanup() {
    const Winsock& winsock = TheWinsock();
    if (!winsock.Complete()) return SOCKET_ERROR;
    return winsock.cleanup();
}

// gethostbyname(name); only 4-byte AF_INET entries are taken.
bool GetHostByName(const std::string& name, std::vector<Ipv4>& addresses) {
    addresses.clear();
    const Winsock& winsock = TheWinsock();
    if (!winsock.Complete()) return false;
    const hostent* host = winsock.byName(name.c_str());
    if (!host) return false;
    if (host->h_addrtype != AF_INET || host->h_length != 4 || !host->h_addr_list) return true;
    for (char** entry = host->h_addr_list; *entry; ++entry) {
        Ipv4 address;
        std::memcpy(address.data(), *entry, address.size());
        addresses.push_back(address);
    }
    return true;
}

// gethostbyaddr(address, 4, AF_INET).
bool GetHostByAddr(const Ipv4& address, std::string& name) {
    name.clear();
    const Winsock& winsock = TheWinsock();
    if (!winsock.Complete()) return false;
    const hostent* host = winsock.byAddr(reinterpret_cast<const char*>(address.data()), 4, AF_INET);
    if (!host) return false;
    if (host->h_name) name = host->h_name;
    return true;
}

namespace {

// One lookup handed to its own thread. The waiting side and the thread each hold a reference,
// so a lookup that outlives its deadline still finds its block when it ends.
struct LookupJob {
    std::string name;
    std::vector<Ipv4> addresses;
    bool found = false;
    HANDLE done = nullptr;
    volatile LONG references = 2;
};

void Release(LookupJob* job) {
    if (InterlockedDecrement(&job->references) != 0) return;
    CloseHandle(job->done);
    delete job;
}

DWORD WINAPI RunLookup(void* argument) {
    LookupJob* job = static_cast<LookupJob*>(argument);
    std::uint16_t version = 0;
    if (WsaStartup(0x0202, version) == 0) {
        job->found = GetHostByName(job->name, job->addresses);
        WsaCleanup();
    }
    SetEvent(job->done);
    Release(job);
    return 0;
}

}  // namespace

LookupResult GetHostByNameWithin(const std::string& name, std::vector<Ipv4>& addresses,
                                 std::uint32_t milliseconds) {
    addresses.clear();
    LookupJob* job = new LookupJob;
    job->name = name;
    job->done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = job->done ? CreateThread(nullptr, 0, RunLookup, job, 0, nullptr) : nullptr;
    if (!thread) {
        if (job->done) CloseHandle(job->done);
        delete job;
        return LookupResult::NoAnswer;
    }
    CloseHandle(thread);
    LookupResult result = LookupResult::NoAnswer;
    if (WaitForSingleObject(job->done, milliseconds) == WAIT_OBJECT_0) {
        result =
            job->found && !job->addresses.empty() ? LookupResult::Found : LookupResult::NotFound;
        if (result == LookupResult::Found) addresses = job->addresses;
    }
    Release(job);
    return result;
}

}  // namespace orvano::platform
