// Text services that follow the system's ANSI code page.
#pragma once

#include <string>

namespace orvano::platform {

// CharUpperBuffA over the whole text (the system's character tables; "ä" becomes "Ä").
std::string UpperCaseAnsi(const std::string& text);
// MultiByteToWideChar from the ANSI code page: the text as UTF-16LE bytes (no mark).
std::string AnsiToUtf16(const std::string& text);
// WideCharToMultiByte to the ANSI code page from UTF-16LE bytes (an odd last byte is dropped);
// characters the code page lacks become "?".
std::string Utf16ToAnsi(const std::string& bytes);

}  // namespace orvano::platform
