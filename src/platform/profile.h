// INI files through the private-profile calls of kernel32, ANSI forms. The file is read and
// written whole on every call; nothing of it is kept between calls. Names avoid the A/W
// macros of windows.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvano::platform {

// GetPrivateProfileStringA(section, key, defaultText, buffer, size, file): the count of
// characters copied, which is size - 1 when the buffer cut the text; text gets them. A value
// in matching double or single quotes comes back without them; a missing key gives the default.
std::uint32_t GetIniString(const std::string& section, const std::string& key,
                           const std::string& defaultText, std::string& text, std::uint32_t size,
                           const std::string& file);
// WritePrivateProfileStringA(section, key, value, file): replaces the key in place or appends
// it to its section, adding the section (at the end) and the file when missing.
bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file);
// WritePrivateProfileSectionA(section, "line\0line\0\0", file): the section's keys become the
// given "key=value" lines; an empty line ends the list, a line without "=" is skipped.
bool WriteIniSection(const std::string& section, const std::vector<std::string>& lines,
                     const std::string& file);

}  // namespace orvano::platform
