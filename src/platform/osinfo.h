// What the machine says about itself: Windows version, system metrics, processor, user name,
// Windows folder and environment.
#pragma once

#include <cstdint>
#include <string>

namespace orvano::platform {

struct OsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platformId = 0;
    std::string servicePack;  // cut at the first NUL, at most 127 characters
    std::uint16_t suiteMask = 0;
    std::uint8_t productType = 0;  // 1 workstation, 2 domain controller, 3 server
};

// RtlGetVersion (ntdll, looked up at run time), which reports the true version also to
// programs not declared compatible with it; GetVersionExA with OSVERSIONINFOEXA when it is
// missing. false when neither gives an answer.
bool GetOsVersion(OsVersion& version);
// GetSystemMetrics.
int GetSystemMetric(int index);
// wProcessorArchitecture of GetNativeSystemInfo (kernel32, looked up at run time), of
// GetSystemInfo where that is missing: 0 x86, 6 Itanium, 9 x64.
int NativeProcessorArchitecture();
// GetUserNameA with a 260-byte buffer: false when it fails.
bool UserName(std::string& name);
// GetWindowsDirectoryA with a 260-byte buffer: "" when it fails.
std::string WindowsFolder();
// GetEnvironmentVariableA: false when the variable is not set.
bool EnvironmentVariable(const std::string& name, std::string& value);

}  // namespace orvano::platform
