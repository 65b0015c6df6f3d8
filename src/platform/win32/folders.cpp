#include "platform/folders.h"

#include <windows.h>

namespace orvano::platform {

// CreateDirectoryA(path, NULL).
bool MakeFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

// RemoveDirectoryA(path).
bool RemoveFolder(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) != 0;
}

}  // namespace orvano::platform
