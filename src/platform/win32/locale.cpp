// Dates and times formatted by the system's locale tables.
#include "platform/locale.h"

#include <windows.h>

#include <cstring>

namespace orvano::platform {

namespace {

SYSTEMTIME ToSystemTime(const SystemTime& t) {
    SYSTEMTIME s{};
    s.wYear = static_cast<WORD>(t.year);
    s.wMonth = static_cast<WORD>(t.month);
    s.wDayOfWeek = static_cast<WORD>(t.dayOfWeek);
    s.wDay = static_cast<WORD>(t.day);
    s.wHour = static_cast<WORD>(t.hour);
    s.wMinute = static_cast<WORD>(t.minute);
    s.wSecond = static_cast<WORD>(t.second);
    s.wMilliseconds = static_cast<WORD>(t.milliseconds);
    return s;
}

}  // namespace

// FileTimeToSystemTime.
bool FileTimeToSystemTime(std::uint64_t fileTime, SystemTime& time) {
    FILETIME file{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME s{};
    if (!::FileTimeToSystemTime(&file, &s)) return false;
    time = {s.wYear, s.wMonth,  s.wDayOfWeek, s.wDay,
            s.wHour, s.wMinute, s.wSecond,    s.wMilliseconds};
    return true;
}

// GetDateFormatA(locale, flags, &time, NULL, buffer, 64).
std::string FormatDate(std::uint32_t locale, std::uint32_t flags, const SystemTime& time) {
    SYSTEMTIME s = ToSystemTime(time);
    char buffer[64] = {};
    if (GetDateFormatA(locale, flags, &s, nullptr, buffer, sizeof buffer) == 0) return "";
    return std::string(buffer, strnlen(buffer, sizeof buffer));
}

// GetTimeFormatA(locale, flags, &time, NULL, buffer, 64).
std::string FormatTime(std::uint32_t locale, std::uint32_t flags, const SystemTime& time) {
    SYSTEMTIME s = ToSystemTime(time);
    char buffer[64] = {};
    if (GetTimeFormatA(locale, flags, &s, nullptr, buffer, sizeof buffer) == 0) return "";
    return std::string(buffer, strnlen(buffer, sizeof buffer));
}

}  // namespace orvano::platform
