// Dates and times of the in-memory machine: the German formats of its locale tables
// ("dd.MM.yyyy", "HH:mm:ss") for every locale.
#include <cstdio>

#include "platform/locale.h"

namespace orvano::platform {

namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kDaysFrom1601To1970 = 134774;

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

bool Valid(const SystemTime& t) {
    return t.year >= 1601 && t.year <= 30827 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= 31 && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 &&
           t.second >= 0 && t.second < 60;
}

}  // namespace

bool FileTimeToSystemTime(std::uint64_t fileTime, SystemTime& time) {
    if (fileTime >= 0x8000000000000000ull) return false;
    const std::uint64_t seconds = fileTime / kTicksPerSecond;
    const std::int64_t days = static_cast<std::int64_t>(seconds / 86400) - kDaysFrom1601To1970;
    const std::uint64_t secondOfDay = seconds % 86400;
    CivilFromDays(days, time.year, time.month, time.day);
    time.dayOfWeek = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday (4)
    time.hour = static_cast<int>(secondOfDay / 3600);
    time.minute = static_cast<int>(secondOfDay / 60 % 60);
    time.second = static_cast<int>(secondOfDay % 60);
    time.milliseconds = static_cast<int>(fileTime / 10000 % 1000);
    return true;
}

std::string FormatDate(std::uint32_t /*locale*/, std::uint32_t /*flags*/, const SystemTime& time) {
    if (!Valid(time)) return "";
    char text[64];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", time.day, time.month, time.year);
    return text;
}

std::string FormatTime(std::uint32_t /*locale*/, std::uint32_t /*flags*/, const SystemTime& time) {
    if (!Valid(time)) return "";
    char text[64];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}

}  // namespace orvano::platform
