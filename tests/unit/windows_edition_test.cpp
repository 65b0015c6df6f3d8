#include <gtest/gtest.h>

#include "config/registry.h"
#include "memory_fixture.h"
#include "platform/memory/osinfo_control.h"
#include "sysinfo/windows_edition.h"

namespace orvano::testing {
namespace {

using namespace orvano::sysinfo;
using platform::OsVersion;

constexpr std::uint8_t kWorkstation = 1, kServer = 3;
constexpr std::uint16_t kPersonal = 1 << 9;
constexpr int kX86 = 0, kItanium = 6, kX64 = 9, kArm = 5;

class WindowsEditionTest : public MemoryMachineTest {};

TEST_F(WindowsEditionTest, EveryReleaseHasItsCodeAndName) {
    struct Case {
        std::uint32_t platform, major, minor, build;
        std::uint8_t product;
        std::uint16_t suite;
        int architecture;
        int code;
        const char* name;
    } cases[] = {
        {0, 3, 10, 0, 0, 0, kX86, 0, "Windows 3.1"},
        {3, 5, 0, 0, 0, 0, kX86, 3, "Windows CE"},
        {1, 4, 0, 950, 0, 0, kX86, 140, "Windows 95"},
        {1, 4, 10, 1998, 0, 0, kX86, 141, "Windows 98"},
        {1, 4, 90, 3000, 0, 0, kX86, 149, "Windows ME"},
        {1, 4, 20, 0, 0, 0, kX86, 0, "Windows 3.1"},
        {2, 3, 0, 0, 0, 0, kX86, 230, "Windows NT 3.0"},
        {2, 3, 1, 0, 0, 0, kX86, 231, "Windows NT 3.1"},
        {2, 3, 51, 0, 0, 0, kX86, 0, "Windows 3.1"},
        {2, 4, 0, 1381, kWorkstation, 0, kX86, 240, "Windows NT 4.0"},
        {2, 5, 0, 2195, kWorkstation, 0, kX86, 250, "Windows 2000 Professional"},
        {2, 5, 0, 2195, kServer, 0, kX86, 250, "Windows 2000 Server"},
        {2, 5, 0, 2195, kServer, 1 << 1, kX86, 250, "Windows 2000 Advanced Server"},
        {2, 5, 0, 2195, kServer, (1 << 7) | (1 << 1), kX86, 250, "Windows 2000 Datacenter Server"},
        {2, 5, 1, 2600, kWorkstation, 0, kX86, 251, "Windows XP"},
        {2, 5, 1, 2600, kWorkstation, kPersonal, kX86, 251, "Windows XP Home Edition"},
        {2, 5, 1, 2600, kWorkstation, 1 << 8, kX86, 251, "Windows XP Professional"},
        {2, 5, 2, 3790, kWorkstation, 0, kX64, 252, "Windows XP Professional x64 Edition"},
        {2, 5, 2, 3790, kServer, 0, kX86, 252, "Windows 2003 Server"},
        {2, 5, 2, 3790, kServer, 0, kX64, 252, "Windows 2003 Server x64 Edition"},
        {2, 5, 2, 3790, kServer, 1 << 13, kX64, 252, "Windows Storage Server 2003 x64 Edition"},
        {2, 5, 2, 3790, kServer, (1 << 15) | (1 << 13), kX86, 252, "Windows Home Server"},
        {2, 5, 3, 0, kWorkstation, 0, kX86, 0, "Windows 3.1"},
        {2, 6, 0, 6002, kWorkstation, 0, kX86, 260, "Windows Vista, 32-bit"},
        {2, 6, 0, 6002, kWorkstation, kPersonal, kX64, 260, "Windows Vista Home, 64-bit"},
        {2, 6, 0, 6002, kServer, 0, kItanium, 261, "Windows 2008 Server, Itanium 64-bit"},
        {2, 6, 1, 7601, kServer, 0, kX64, 262, "Windows 2008 Server R2, 64-bit"},
        {2, 6, 1, 7601, kWorkstation, kPersonal, kX64, 270, "Windows 7 Home, 64-bit"},
        {2, 6, 1, 7600, kWorkstation, 1 << 8, kX86, 270, "Windows 7, 32-bit"},
        {2, 6, 1, 7000, kWorkstation, 0, kArm, 270, "Windows 7"},
        {2, 6, 1, 8000, kWorkstation, 0, kX64, 0, "Windows 3.1"},
        {2, 7, 0, 0, kWorkstation, 0, kX86, 270, "Windows 7, 32-bit"},
        {2, 7, 1, 0, kWorkstation, 0, kX86, 0, "Windows 3.1"},
        {2, 8, 0, 0, kWorkstation, 0, kX86, 999, "Unknown OS"},
        {2, 11, 0, 0, kWorkstation, 0, kX86, 999, "Unknown OS"},
        // Releases after Windows 7 get names of their own.
        {2, 6, 2, 9200, kWorkstation, 0, kX64, 280, "Windows 8, 64-bit"},
        {2, 6, 2, 9200, kServer, 0, kX64, 281, "Windows 2012 Server, 64-bit"},
        {2, 6, 3, 9600, kWorkstation, kPersonal, kX86, 290, "Windows 8.1, 32-bit"},
        {2, 6, 3, 9600, kServer, 0, kX64, 291, "Windows 2012 Server R2, 64-bit"},
        {2, 6, 4, 9841, kWorkstation, 0, kX64, 0, "Windows 3.1"},
        {2, 10, 0, 19045, kWorkstation, 0, kX64, 300, "Windows 10, 64-bit"},
        {2, 10, 0, 21999, kWorkstation, 0, kX86, 300, "Windows 10, 32-bit"},
        {2, 10, 0, 22000, kWorkstation, 0, kX64, 310, "Windows 11, 64-bit"},
        {2, 10, 0, 14393, kServer, 0, kX64, 301, "Windows 2016 Server, 64-bit"},
        {2, 10, 0, 17763, kServer, 0, kX64, 301, "Windows 2019 Server, 64-bit"},
        {2, 10, 0, 20348, 2, 0, kX64, 301, "Windows 2022 Server, 64-bit"},
        {2, 10, 0, 26100, kServer, 0, kX64, 301, "Windows 2025 Server, 64-bit"},
    };
    for (const Case& c : cases) {
        mem::SetOsVersion({c.major, c.minor, c.build, c.platform, "", c.suite, c.product});
        mem::SetProcessorArchitecture(c.architecture);
        EXPECT_EQ(WindowsVersionCode(), c.code) << c.name;
        EXPECT_EQ(WindowsEditionName(), c.name) << c.major << "." << c.minor << "." << c.build;
    }
}

TEST_F(WindowsEditionTest, XpAnd2003AskTheSystemMetrics) {
    struct Case {
        int metric;
        std::uint32_t minor;
        std::uint8_t product;
        const char* name;
    } cases[] = {
        {87, 1, kWorkstation, "Windows XP Media Center Edition"},
        {88, 1, kWorkstation, "Windows XP Starter Edition"},
        {86, 1, kWorkstation, "Windows XP Tablet PC Edition"},
        {89, 2, kServer, "Windows 2003 Server R2"},
    };
    for (const Case& c : cases) {
        mem::Reset();
        mem::SetOsVersion({5, c.minor, 2600, 2, "", kPersonal, c.product});
        mem::SetProcessorArchitecture(kX86);
        mem::SetSystemMetric(c.metric, 1);
        EXPECT_EQ(WindowsEditionName(), c.name);
    }
    // Media Center wins over the others, as it is asked first.
    mem::SetOsVersion({5, 1, 2600, 2, "", kPersonal, kWorkstation});
    mem::SetSystemMetric(86, 1);
    mem::SetSystemMetric(87, 1);
    EXPECT_EQ(WindowsEditionName(), "Windows XP Media Center Edition");
}

TEST_F(WindowsEditionTest, VersionTextsOnlyForKnownPlatforms) {
    mem::SetOsVersion({6, 1, 7601, 2, "  Service Pack 1 ", 0, kWorkstation});
    EXPECT_EQ(WindowsVersionNumber(), "6.1.7601");
    EXPECT_EQ(WindowsServicePack(), "Service Pack 1");
    mem::SetOsVersion({4, 10, 0x040A0AE2, 1, " A ", 0, 0});  // the 9x build field carries more
    EXPECT_EQ(WindowsVersionNumber(), "4.10.67767010");
    EXPECT_EQ(WindowsServicePack(), "A");
    mem::SetOsVersion({5, 0, 0, 3, "x", 0, 0});
    EXPECT_EQ(WindowsVersionNumber(), "");
    EXPECT_EQ(WindowsServicePack(), "");
    mem::SetOsVersion({0, 0, 0, 0xFFFFFFFF, "", 0, 0});  // no version information at all
    EXPECT_EQ(WindowsVersionCode(), 0);
    EXPECT_EQ(ProductType(), 0);
}

TEST_F(WindowsEditionTest, InstallDateIsUtcInGermanFormat) {
    const char* native = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    const char* twin = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion";
    EXPECT_EQ(WindowsInstallDate(config::ReadInstallSeconds()), "");
    mem::PutDword(config::kLocalMachine, twin, "InstallDate",
                  1268644364);  // 2010-03-15 09:12:44 UTC
    EXPECT_EQ(WindowsInstallDate(config::ReadInstallSeconds()), "15.03.2010   09:12:44") << "falls back to the 32-bit key";
    mem::PutDword(config::kLocalMachine, native, "InstallDate", 0xFFFFFFFF);
    EXPECT_EQ(WindowsInstallDate(config::ReadInstallSeconds()), "07.02.2106   06:28:15") << "the whole unsigned range";
    mem::PutDword(config::kLocalMachine, native, "InstallDate", 0);
    EXPECT_EQ(WindowsInstallDate(config::ReadInstallSeconds()), "") << "a stored 0 means unknown";
}

TEST_F(WindowsEditionTest, InternetExplorerVersionIsTrimmed) {
    const char* key = "Software\\Microsoft\\Internet Explorer";
    EXPECT_EQ(InternetExplorerVersion(config::ReadInternetExplorerVersion()), "");
    mem::PutText(config::kLocalMachine, key, "Version", std::string(" 8.0.7601.17514 \0junk", 21));
    EXPECT_EQ(InternetExplorerVersion(config::ReadInternetExplorerVersion()), "Internet Explorer Version 8.0.7601.17514");
    mem::PutText(config::kLocalMachine, key, "Version", "   ");
    EXPECT_EQ(InternetExplorerVersion(config::ReadInternetExplorerVersion()), "");
}

}  // namespace
}  // namespace orvano::testing
