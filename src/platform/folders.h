// Folders as kernel32 creates and removes them.
#pragma once

#include <string>

namespace orvano::platform {

// CreateDirectoryA with no security attributes: false when the parent is missing or the
// name is taken.
bool MakeFolder(const std::string& path);
// RemoveDirectoryA: false unless the folder exists and is empty.
bool RemoveFolder(const std::string& path);

}  // namespace orvano::platform
