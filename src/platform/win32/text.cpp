// Text services of the system's ANSI code page on Windows.
#include "platform/text.h"

#include <windows.h>

namespace orvano::platform {

// CharUpperBuffA over a copy of the whole text, NUL bytes included.
std::string UpperCaseAnsi(const std::string& text) {
    std::string upper = text;
    if (!upper.empty()) CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

// MultiByteToWideChar(CP_ACP, 0, ...), the result as little-endian bytes.
std::string AnsiToUtf16(const std::string& text) {
    if (text.empty()) return "";
    const int size = static_cast<int>(text.size());
    const int count = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (count <= 0) return "";
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), count);
    std::string bytes;
    for (wchar_t c : wide) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

// WideCharToMultiByte(CP_ACP, 0, ...) with the default character for what does not fit.
std::string Utf16ToAnsi(const std::string& bytes) {
    std::wstring wide;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                     static_cast<unsigned char>(bytes[i + 1]) << 8);
    if (wide.empty()) return "";
    const int size = static_cast<int>(wide.size());
    const int count =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (count <= 0) return "";
    std::string text(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), count, nullptr, nullptr);
    return text;
}

}  // namespace orvano::platform
