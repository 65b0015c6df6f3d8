// Small text rules shared by every subsystem.
#pragma once

#include <cstddef>
#include <string>

namespace orvano::sysinfo {

// Character sets the program filters its texts by.
inline constexpr char kDigits[] = "0123456789";
inline constexpr char kAddressCharacters[] = "0123456789.";  // dotted IPv4 text
inline constexpr char kHexDigits[] = "0123456789abcdefABCDEF";

// NUL and blank characters removed at both ends.
std::string Trimmed(const std::string& text);
// NUL and blank characters removed at the end only.
std::string TrimmedEnd(const std::string& text);
// The text without any of `characters` at its end.
std::string WithoutTrailing(const std::string& text, const std::string& characters);
// Trailing NUL, blank, "\" and "/" characters removed: a folder path without its separators.
std::string WithoutTrailingSeparators(const std::string& text);

// The part before the first NUL.
std::string CutAtNul(const std::string& text);
// The text with every character outside `allowed` dropped.
std::string KeepOnly(const std::string& text, const std::string& allowed);
// true when the text holds at least one of "0"-"9".
bool HasDigit(const std::string& text);
// How often `c` occurs in the text.
std::size_t CountOf(const std::string& text, char c);

}  // namespace orvano::sysinfo
