// Upper-casing by the Windows-1252 tables, as CharUpperBuffA does on a Western system.
#include "platform/text.h"
#include "platform/memory/state.h"

namespace orvano::platform {

std::string UpperCaseAnsi(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) c = static_cast<char>(memory::UpperAnsi(static_cast<unsigned char>(c)));
    return upper;
}

namespace {

// Windows-1252 at 0x80..0x9F; every other byte is the Unicode character of its number.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Widened(unsigned char c) {
    return c >= 0x80 && c <= 0x9F ? kHighControls[c - 0x80] : c;
}

char Narrowed(char16_t c) {
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
    return c <= 0xFF && !(c >= 0x80 && c <= 0x9F) ? static_cast<char>(c) : '?';
}

}  // namespace

std::string AnsiToUtf16(const std::string& text) {
    std::string bytes;
    for (char c : text) {
        char16_t wide = Widened(static_cast<unsigned char>(c));
        bytes += static_cast<char>(wide & 0xFF);
        bytes += static_cast<char>(wide >> 8);
    }
    return bytes;
}

std::string Utf16ToAnsi(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += Narrowed(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                               static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

}  // namespace orvano::platform
