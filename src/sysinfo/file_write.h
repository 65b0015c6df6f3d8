// Writing a whole file so that it is never left half-written.
#pragma once

#include <string>

#include "platform/files.h"

namespace orvano::sysinfo {

// Writes the bytes to a temporary file in the target's folder and moves it over the target.
// A target that cannot be replaced stays as it was. true when the target now holds the bytes;
// otherwise `why`, when given, says what stood in the way.
bool WriteFileReplacing(const std::string& path, const std::string& bytes,
                        platform::FileFailure* why = nullptr);

}  // namespace orvano::sysinfo
