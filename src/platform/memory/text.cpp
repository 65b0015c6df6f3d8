// Upper-casing by the Windows-1252 tables, as CharUpperBuffA does on a Western system.
#include "platform/text.h"
#include "platform/memory/state.h"

namespace orvano::platform {

std::string UpperCaseAnsi(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) c = static_cast<char>(memory::UpperAnsi(static_cast<unsigned char>(c)));
    return upper;
}

}  // namespace orvano::platform
