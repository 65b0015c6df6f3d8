// Writing a whole file so that it is never left half-written.
#pragma once

#include <string>

namespace orvano::sysinfo {

// Writes the bytes to a temporary file in the target's folder and moves it over the target.
// A target that cannot be replaced stays as it was. true when the target now holds the bytes.
bool WriteFileReplacing(const std::string& path, const std::string& bytes);

}  // namespace orvano::sysinfo
