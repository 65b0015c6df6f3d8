// What the program takes from the machine's self-description and its locale tables.
#include <gtest/gtest.h>

#include "platform/locale.h"
#include "platform/osinfo.h"
#include "sysinfo/windows_edition.h"

namespace orvano::contract {
namespace {

namespace pf = orvano::platform;

TEST(OsInfoContract, VersionAndMachineFacts) {
    pf::OsVersion version;
    version.platformId = 0xdeadbeef;
    ASSERT_TRUE(pf::GetOsVersion(version));
    EXPECT_EQ(version.platformId, 2u);
    EXPECT_GE(version.major, 5u);
    EXPECT_GT(version.build, 0u);
    EXPECT_EQ(version.servicePack.find('\0'), std::string::npos);
    const int architecture = pf::NativeProcessorArchitecture();
    EXPECT_TRUE(architecture == 0 || architecture == 9 || architecture == 12) << architecture;

    std::string name = "sentinel";
    ASSERT_TRUE(pf::UserName(name));
    EXPECT_FALSE(name.empty());
    EXPECT_NE(name, "sentinel");

    const std::string windows = pf::WindowsFolder();
    ASSERT_GE(windows.size(), 3u);
    EXPECT_EQ(windows.substr(1, 2), ":\\");
    EXPECT_NE(windows.back(), '\\');

    std::string value = "sentinel";
    EXPECT_FALSE(pf::EnvironmentVariable("ORVANO_NOT_SET_ANYWHERE", value));
    EXPECT_EQ(value, "sentinel");
}

TEST(OsInfoContract, EditionTextsAreNeverEmptyOnARealSystem) {
    EXPECT_FALSE(sysinfo::WindowsEditionName().empty());
    EXPECT_NE(sysinfo::WindowsVersionNumber().find('.'), std::string::npos);
}

TEST(LocaleContract, FileTimesAreConvertedWithoutTimeZone) {
    struct Case {
        std::uint64_t fileTime;
        pf::SystemTime expected;
    } cases[] = {
        {134774ull * 864000000000ull, {1970, 1, 4, 1, 0, 0, 0, 0}},
        {134774ull * 864000000000ull + 1268644364ull * 10000000ull + 1230000,
         {2010, 3, 1, 15, 9, 12, 44, 123}},
        {134774ull * 864000000000ull + 0xFFFFFFFFull * 10000000ull, {2106, 2, 0, 7, 6, 28, 15, 0}},
        {0, {1601, 1, 1, 1, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        pf::SystemTime t;
        ASSERT_TRUE(pf::FileTimeToSystemTime(c.fileTime, t)) << c.fileTime;
        EXPECT_EQ(t.year, c.expected.year);
        EXPECT_EQ(t.month, c.expected.month);
        EXPECT_EQ(t.dayOfWeek, c.expected.dayOfWeek) << c.fileTime;
        EXPECT_EQ(t.day, c.expected.day);
        EXPECT_EQ(t.hour, c.expected.hour);
        EXPECT_EQ(t.minute, c.expected.minute);
        EXPECT_EQ(t.second, c.expected.second);
        EXPECT_EQ(t.milliseconds, c.expected.milliseconds);
    }
    pf::SystemTime t;
    EXPECT_FALSE(pf::FileTimeToSystemTime(0x8000000000000000ull, t));
}

// German Windows writes the short date as dd.MM.yyyy; Wine 8's tables say d.M.yyyy, so the
// dates here have two-digit days and months, on which both agree.
TEST(LocaleContract, GermanShortDateAndTwentyFourHourTime) {
    const pf::SystemTime morning{2010, 12, 3, 15, 9, 2, 4, 0};
    EXPECT_EQ(pf::FormatDate(pf::kLocaleGerman, pf::kDateShortDate, morning), "15.12.2010");
    EXPECT_EQ(pf::FormatTime(pf::kLocaleGerman, pf::kTimeForce24HourFormat, morning), "09:02:04");
    const pf::SystemTime evening{2106, 10, 0, 27, 23, 5, 0, 0};
    EXPECT_EQ(pf::FormatDate(pf::kLocaleGerman, pf::kDateShortDate, evening), "27.10.2106");
    EXPECT_EQ(pf::FormatTime(pf::kLocaleGerman, pf::kTimeForce24HourFormat, evening), "23:05:00");
    const pf::SystemTime invalid{2010, 13, 0, 40, 0, 0, 0, 0};
    EXPECT_EQ(pf::FormatDate(pf::kLocaleGerman, pf::kDateShortDate, invalid), "");
}

}  // namespace
}  // namespace orvano::contract
