// The machine's self-description on Windows.
#include "platform/osinfo.h"

#include <windows.h>

#include <cstring>

namespace orvano::platform {

namespace {

template <class Fn>
Fn Lookup(const char* module, const char* name) {
    HMODULE handle = GetModuleHandleA(module);
    if (!handle) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

// RTL_OSVERSIONINFOEXW, declared here so that no DDK header is needed.
struct RtlVersionInfo {
    ULONG size;
    ULONG major, minor, build, platformId;
    WCHAR servicePack[128];
    USHORT servicePackMajor, servicePackMinor, suiteMask;
    UCHAR productType, reserved;
};
using RtlGetVersionFn = LONG(WINAPI*)(RtlVersionInfo*);
using GetNativeSystemInfoFn = void(WINAPI*)(SYSTEM_INFO*);

std::string Narrow(const WCHAR* text) {
    char buffer[256] = {};
    int length =
        WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return length > 0 ? std::string(buffer, strnlen(buffer, sizeof buffer)) : std::string();
}

}  // namespace

// RtlGetVersion, else GetVersionExA(OSVERSIONINFOEXA).
bool GetOsVersion(OsVersion& version) {
    if (auto rtlGetVersion = Lookup<RtlGetVersionFn>("ntdll.dll", "RtlGetVersion")) {
        RtlVersionInfo info{};
        info.size = sizeof info;
        if (rtlGetVersion(&info) == 0) {
            version = {info.major,
                       info.minor,
                       info.build,
                       info.platformId,
                       Narrow(info.servicePack),
                       info.suiteMask,
                       info.productType};
            return true;
        }
    }
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
    version = {info.dwMajorVersion,
               info.dwMinorVersion,
               info.dwBuildNumber,
               info.dwPlatformId,
               std::string(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof info.szCSDVersion)),
               info.wSuiteMask,
               info.wProductType};
    return true;
}

// GetSystemMetrics(index).
int GetSystemMetric(int index) {
    return GetSystemMetrics(index);
}

// GetNativeSystemInfo, else GetSystemInfo: wProcessorArchitecture.
int NativeProcessorArchitecture() {
    SYSTEM_INFO info{};
    if (auto native = Lookup<GetNativeSystemInfoFn>("kernel32.dll", "GetNativeSystemInfo"))
        native(&info);
    else
        GetSystemInfo(&info);
    return info.wProcessorArchitecture;
}

// GetUserNameA with 260 bytes.
bool UserName(std::string& name) {
    char buffer[260] = {};
    DWORD size = sizeof buffer;
    if (!GetUserNameA(buffer, &size)) return false;
    name.assign(buffer, strnlen(buffer, sizeof buffer));
    return true;
}

// GetWindowsDirectoryA with 260 bytes.
std::string WindowsFolder() {
    char buffer[260] = {};
    UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return "";
    return std::string(buffer, length);
}

// GetEnvironmentVariableA, with a buffer grown to the size it asks for.
bool EnvironmentVariable(const std::string& name, std::string& value) {
    DWORD needed = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (needed == 0) return false;
    std::string buffer(needed, '\0');
    DWORD length = GetEnvironmentVariableA(name.c_str(), buffer.data(), needed);
    if (length == 0 || length >= needed) return false;
    value.assign(buffer.data(), length);
    return true;
}

}  // namespace orvano::platform
