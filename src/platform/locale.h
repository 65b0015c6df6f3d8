// Dates and times as the system's locale tables write them.
#pragma once

#include <cstdint>
#include <string>

namespace orvano::platform {

struct SystemTime {
    int year = 0, month = 0, dayOfWeek = 0, day = 0, hour = 0, minute = 0, second = 0,
        milliseconds = 0;
};

inline constexpr std::uint32_t kLocaleGerman = 7;
inline constexpr std::uint32_t kDateShortDate = 0x1;
inline constexpr std::uint32_t kTimeForce24HourFormat = 0x8;

// FileTimeToSystemTime (UTC in, UTC out): false for a time it cannot convert.
bool FileTimeToSystemTime(std::uint64_t fileTime, SystemTime& time);
// GetDateFormatA with the locale's default format and a 64-character buffer; "" on failure.
std::string FormatDate(std::uint32_t locale, std::uint32_t flags, const SystemTime& time);
// GetTimeFormatA with the locale's default format and a 64-character buffer; "" on failure.
std::string FormatTime(std::uint32_t locale, std::uint32_t flags, const SystemTime& time);

}  // namespace orvano::platform
