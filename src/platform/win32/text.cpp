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

}  // namespace orvano::platform
