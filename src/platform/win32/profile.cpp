// The private-profile calls on Windows.
#include "platform/profile.h"

#include <windows.h>

#include <vector>

namespace orvano::platform {

// GetPrivateProfileStringA(section, key, defaultText, buffer, size, file).
std::uint32_t GetIniString(const std::string& section, const std::string& key,
                           const std::string& defaultText, std::string& text, std::uint32_t size,
                           const std::string& file) {
    std::vector<char> buffer(size + 1, '\0');
    DWORD count = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(),
                                           buffer.data(), size, file.c_str());
    if (count > size) count = size;  // never trust a count past the buffer
    text.assign(buffer.data(), count);
    return count;
}

// WritePrivateProfileStringA(section, key, value, file).
bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
           FALSE;
}

// WritePrivateProfileSectionA(section, block, file) with the lines as a double-NUL block.
bool WriteIniSection(const std::string& section, const std::vector<std::string>& lines,
                     const std::string& file) {
    std::string block;
    for (const std::string& line : lines) {
        block.append(line.c_str());
        block.push_back('\0');
    }
    block.push_back('\0');
    return WritePrivateProfileSectionA(section.c_str(), block.c_str(), file.c_str()) != FALSE;
}

}  // namespace orvano::platform
