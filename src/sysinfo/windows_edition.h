// Which Windows the program runs on, as the main window's top frame shows it.
#pragma once

#include <cstdint>
#include <string>

namespace orvano::sysinfo {

// The version codes WindowsVersionCode gives.
namespace windows_code {
// Win32s and every version that no code below names share code 0, and with it the name
// "Windows 3.1": a caller cannot tell "not recognised" from Win32s, nor can the name.
inline constexpr int kWin32sOrUnrecognised = 0;
inline constexpr int kWindowsCe = 3;
inline constexpr int kWindows95 = 140, kWindows98 = 141, kWindowsMe = 149;
inline constexpr int kNt30 = 230, kNt31 = 231, kNt40 = 240;
inline constexpr int kWindows2000 = 250, kWindowsXp = 251, kWindows2003 = 252;
inline constexpr int kVista = 260, kServer2008 = 261, kServer2008R2 = 262, kWindows7 = 270;
// The releases after Windows 7, which would otherwise all read as code 0.
inline constexpr int kWindows8 = 280, kServer2012 = 281, kWindows81 = 290, kServer2012R2 = 291;
inline constexpr int kWindows10 = 300, kServer2016AndLater = 301, kWindows11 = 310;
// An NT major version no code knows: "Unknown OS".
inline constexpr int kUnknownNt = 999;
}  // namespace windows_code

// The version code of the running Windows (windows_code).
int WindowsVersionCode();
// The edition name with its bit width, e.g. "Windows 7 Home, 64-bit".
std::string WindowsEditionName();
// "major.minor.build", e.g. 6.1.7601; "" for an unknown platform.
std::string WindowsVersionNumber();
// The service-pack text without surrounding blanks, e.g. "Service Pack 1".
std::string WindowsServicePack();
// When Windows was installed (config::ReadInstallSeconds), in UTC, German format:
// "15.03.2010   09:12:44"; "" for 0.
std::string WindowsInstallDate(std::uint32_t seconds);
// "Internet Explorer Version " and the stored version without surrounding blanks, or "".
std::string InternetExplorerVersion(const std::string& stored);
// 1 workstation, 2 domain controller, 3 server; 0 when unknown.
int ProductType();
// 1 on 64-bit Windows (the program runs under WOW64, or the processor is a 64-bit one), where
// the registry has its 32-bit view under Wow6432Node; 0 on 32-bit Windows.
int SixtyFourBitWindows();

}  // namespace orvano::sysinfo
