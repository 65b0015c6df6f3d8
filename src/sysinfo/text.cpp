#include "sysinfo/text.h"

#include <algorithm>

namespace orvano::sysinfo {

namespace {
bool IsPad(char c) {
    return c == '\0' || c == ' ';
}
}  // namespace

std::string Trimmed(const std::string& text) {
    auto first = std::find_if_not(text.begin(), text.end(), IsPad);
    auto last = std::find_if_not(text.rbegin(), text.rend(), IsPad).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string TrimmedEnd(const std::string& text) {
    return std::string(text.begin(), std::find_if_not(text.rbegin(), text.rend(), IsPad).base());
}

std::string WithoutTrailing(const std::string& text, const std::string& characters) {
    const std::size_t end = text.find_last_not_of(characters);
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string WithoutTrailingSeparators(const std::string& text) {
    return WithoutTrailing(text, std::string("\0 \\/", 4));
}

std::string CutAtNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

std::string KeepOnly(const std::string& text, const std::string& allowed) {
    std::string kept;
    for (char c : text)
        if (allowed.find(c) != std::string::npos) kept += c;
    return kept;
}

bool HasDigit(const std::string& text) {
    return text.find_first_of(kDigits) != std::string::npos;
}

std::size_t CountOf(const std::string& text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

}  // namespace orvano::sysinfo
