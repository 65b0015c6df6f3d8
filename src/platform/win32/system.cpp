// Facts about the running process on Windows.
#include "platform/system.h"

#include <windows.h>

#include <map>

namespace orvano::platform {

namespace {

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

// kernel32 has IsWow64Process only from XP SP2 on, so it is looked up, never imported.
IsWow64ProcessFn FindIsWow64Process() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return nullptr;
    FARPROC proc = GetProcAddress(kernel, "IsWow64Process");
    return reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

// IsWow64Process(GetCurrentProcess(), &wow64); a system without the call runs no WOW64.
bool IsWow64Process() {
    static const IsWow64ProcessFn isWow64Process = FindIsWow64Process();
    BOOL wow64 = FALSE;
    if (!isWow64Process || !isWow64Process(GetCurrentProcess(), &wow64)) return false;
    return wow64 != FALSE;
}

// GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"): Wine's ntdll, loaded in
// every process, exports it; Windows' never does. Asked once, the answer cannot change.
bool RunningUnderWine() {
    static const bool wine = [] {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

// GetModuleFileNameA(NULL, buffer, 520). A name that fills the buffer was cut (XP leaves it
// without its NUL), so it counts as unknown.
std::string ModuleFileName() {
    char buffer[520];
    DWORD count = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (count == 0 || count >= sizeof buffer) return "";
    return std::string(buffer, count);
}

// Sleep(milliseconds).
void Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

namespace {
std::map<std::string, HANDLE>& TakenMutexes() {
    static std::map<std::string, HANDLE> taken;
    return taken;
}
}  // namespace

// CreateMutexA(NULL, FALSE, name); the handle stays open while the mutex is to be held.
bool TakeNamedMutex(const std::string& name) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (mutex && error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    if (mutex) TakenMutexes()[name] = mutex;
    return mutex || error != ERROR_ACCESS_DENIED;
}

void ReleaseNamedMutex(const std::string& name) {
    auto taken = TakenMutexes().find(name);
    if (taken == TakenMutexes().end()) return;
    CloseHandle(taken->second);
    TakenMutexes().erase(taken);
}

// SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32), else SetDllDirectoryA("").
void RestrictLibrarySearch() {
    using SetDefaultFn = BOOL(WINAPI*)(DWORD);
    using SetDirectoryFn = BOOL(WINAPI*)(LPCSTR);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    constexpr DWORD kSearchSystem32 = 0x00000800;
    auto setDefault = reinterpret_cast<SetDefaultFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault && setDefault(kSearchSystem32)) return;
    // Without it (XP, Vista and 7 before KB2533623) at least the current folder goes.
    auto setDirectory = reinterpret_cast<SetDirectoryFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDirectory) setDirectory("");
}

}  // namespace orvano::platform
