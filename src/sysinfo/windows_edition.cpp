#include "sysinfo/windows_edition.h"

#include <cstdint>

#include "platform/locale.h"
#include "platform/osinfo.h"
#include "platform/system.h"
#include "sysinfo/text.h"

namespace orvano::sysinfo {

namespace p = orvano::platform;

namespace {

constexpr std::uint8_t kWorkstation = 1;
constexpr std::uint16_t kSuiteEnterprise = 1 << 1;
constexpr std::uint16_t kSuiteDatacenter = 1 << 7;
constexpr std::uint16_t kSuiteSingleUserTs = 1 << 8;
constexpr std::uint16_t kSuitePersonal = 1 << 9;
constexpr std::uint16_t kSuiteStorageServer = 1 << 13;
constexpr std::uint16_t kSuiteWhServer = 1 << 15;
constexpr int kSmTabletPc = 86;
constexpr int kSmMediaCenter = 87;
constexpr int kSmStarter = 88;
constexpr int kSmServerR2 = 89;
constexpr int kArchitectureX86 = 0;
constexpr int kArchitectureItanium = 6;
constexpr int kArchitectureX64 = 9;
constexpr int kArchitectureArm64 = 12;
constexpr int kFirstWindows11Build = 22000;

using namespace windows_code;
constexpr int kNone = kWin32sOrUnrecognised;
constexpr std::uint32_t kPlatformWin9x = 1, kPlatformNt = 2, kPlatformCe = 3;

p::OsVersion Version() {
    p::OsVersion version;
    if (!p::GetOsVersion(version)) version = {};
    return version;
}

int CodeOf(const p::OsVersion& v) {
    const bool workstation = v.productType == kWorkstation;
    if (v.platformId == kPlatformCe) return kWindowsCe;
    if (v.platformId == kPlatformWin9x && v.major == 4) {
        if (v.minor == 0) return kWindows95;
        if (v.minor == 10) return kWindows98;
        if (v.minor == 90) return kWindowsMe;
        return kNone;
    }
    if (v.platformId != kPlatformNt) return kNone;
    switch (v.major) {
        case 3:
            return v.minor == 0 ? kNt30 : v.minor == 1 ? kNt31 : kNone;
        case 4:
            return v.minor == 0 ? kNt40 : kNone;
        case 5:
            return v.minor <= 2 ? static_cast<int>(kWindows2000 + v.minor) : kNone;
        case 6:
            if (v.minor == 0) return workstation ? kVista : kServer2008;
            if (v.minor == 1) {
                if (!workstation) return kServer2008R2;
                return v.build >= 7000 && v.build <= 7999 ? kWindows7 : kNone;
            }
            if (v.minor == 2) return workstation ? kWindows8 : kServer2012;
            if (v.minor == 3) return workstation ? kWindows81 : kServer2012R2;
            return kNone;
        case 7:
            return v.minor == 0 ? kWindows7 : kNone;
        case 10:
            if (v.minor != 0) return kNone;
            if (!workstation) return kServer2016AndLater;
            return v.build >= kFirstWindows11Build ? kWindows11 : kWindows10;
        default:
            return kUnknownNt;
    }
}

std::string ServerAfter2012(std::uint32_t build) {
    if (build >= 26100) return "Windows 2025 Server";
    if (build >= 20348) return "Windows 2022 Server";
    if (build >= 17763) return "Windows 2019 Server";
    return "Windows 2016 Server";
}

std::string NameOf(int code, const p::OsVersion& v, int architecture) {
    const bool workstation = v.productType == kWorkstation;
    const bool home = (v.suiteMask & kSuitePersonal) != 0;
    switch (code) {
        case kWin32sOrUnrecognised:
            return "Windows 3.1";
        case kWindowsCe:
            return "Windows CE";
        case kWindows95:
            return "Windows 95";
        case kWindows98:
            return "Windows 98";
        case kWindowsMe:
            return "Windows ME";
        case kNt30:
            return "Windows NT 3.0";
        case kNt31:
            return "Windows NT 3.1";
        case kNt40:
            return "Windows NT 4.0";
        case kWindows2000:
            if (workstation) return "Windows 2000 Professional";
            if (v.suiteMask & kSuiteDatacenter) return "Windows 2000 Datacenter Server";
            if (v.suiteMask & kSuiteEnterprise) return "Windows 2000 Advanced Server";
            return "Windows 2000 Server";
        case kWindowsXp:
            if (p::GetSystemMetric(kSmMediaCenter)) return "Windows XP Media Center Edition";
            if (p::GetSystemMetric(kSmStarter)) return "Windows XP Starter Edition";
            if (p::GetSystemMetric(kSmTabletPc)) return "Windows XP Tablet PC Edition";
            if (home) return "Windows XP Home Edition";
            if (v.suiteMask & kSuiteSingleUserTs) return "Windows XP Professional";
            return "Windows XP";
        case kWindows2003: {
            std::string name;
            if (v.suiteMask & kSuiteWhServer)
                name = "Windows Home Server";
            else if (v.suiteMask & kSuiteStorageServer)
                name = "Windows Storage Server 2003";
            else if (workstation && architecture == kArchitectureX64)
                name = "Windows XP Professional x64 Edition";
            else if (p::GetSystemMetric(kSmServerR2))
                name = "Windows 2003 Server R2";
            else
                name = "Windows 2003 Server";
            if (!workstation && architecture == kArchitectureX64) name += " x64 Edition";
            return name;
        }
        case kVista:
            return home ? "Windows Vista Home" : "Windows Vista";
        case kServer2008:
            return "Windows 2008 Server";
        case kServer2008R2:
            return "Windows 2008 Server R2";
        case kWindows7:
            return home ? "Windows 7 Home" : "Windows 7";
        case kWindows8:
            return "Windows 8";
        case kServer2012:
            return "Windows 2012 Server";
        case kWindows81:
            return "Windows 8.1";
        case kServer2012R2:
            return "Windows 2012 Server R2";
        case kWindows10:
            return "Windows 10";
        case kWindows11:
            return "Windows 11";
        case kServer2016AndLater:
            return ServerAfter2012(v.build);
        default:
            return "Unknown OS";
    }
}

bool TakesBitWidth(int code) {
    return (code >= kVista && code <= kWindows7) || (code >= kWindows8 && code <= kWindows11);
}

std::string BitWidth(int architecture) {
    switch (architecture) {
        case kArchitectureX64:
            return ", 64-bit";
        case kArchitectureX86:
            return ", 32-bit";
        case kArchitectureItanium:
            return ", Itanium 64-bit";
        default:
            return "";
    }
}

bool KnownPlatform(const p::OsVersion& v) {
    return v.platformId <= kPlatformNt;
}

}  // namespace

int WindowsVersionCode() {
    return CodeOf(Version());
}

std::string WindowsEditionName() {
    const p::OsVersion version = Version();
    const int code = CodeOf(version);
    const int architecture = p::NativeProcessorArchitecture();
    std::string name = NameOf(code, version, architecture);
    if (TakesBitWidth(code)) name += BitWidth(architecture);
    return name;
}

int SixtyFourBitWindows() {
    const int architecture = p::NativeProcessorArchitecture();
    return p::IsWow64Process() || architecture == kArchitectureX64 ||
                   architecture == kArchitectureItanium || architecture == kArchitectureArm64
               ? 1
               : 0;
}

std::string WindowsVersionNumber() {
    const p::OsVersion v = Version();
    if (!KnownPlatform(v)) return "";
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build);
}

std::string WindowsServicePack() {
    const p::OsVersion v = Version();
    return KnownPlatform(v) ? Trimmed(v.servicePack) : "";
}

std::string WindowsInstallDate(std::uint32_t seconds) {
    if (seconds == 0) return "";
    constexpr std::uint64_t kTicksFrom1601To1970 = 134774ull * 864000000000ull;
    p::SystemTime time;
    if (!p::FileTimeToSystemTime(kTicksFrom1601To1970 + seconds * 10000000ull, time)) return "";
    return p::FormatDate(p::kLocaleGerman, p::kDateShortDate, time) + "   " +
           p::FormatTime(p::kLocaleGerman, p::kTimeForce24HourFormat, time);
}

std::string InternetExplorerVersion(const std::string& stored) {
    const std::string version = Trimmed(stored);
    return version.empty() ? "" : "Internet Explorer Version " + version;
}

int ProductType() {
    return Version().productType;
}

}  // namespace orvano::sysinfo
