// Text services that follow the system's ANSI code page.
#pragma once

#include <string>

namespace orvano::platform {

// CharUpperBuffA over the whole text (the system's character tables; "ä" becomes "Ä").
std::string UpperCaseAnsi(const std::string& text);

}  // namespace orvano::platform
