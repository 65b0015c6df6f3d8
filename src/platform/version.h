// Version resources of files (version.dll).
#pragma once

#include <cstdint>
#include <string>

namespace orvano::platform {

// The fixed part of a version resource (VS_FIXEDFILEINFO).
struct FixedFileVersion {
    std::uint32_t fileMs = 0, fileLs = 0, productMs = 0, productLs = 0;
};

// GetFileVersionInfoSizeA, GetFileVersionInfoA and VerQueryValueA of the root block "\"
// (version.dll loaded from the system folder): true with the fixed part when the file has a
// version resource.
bool ReadFileVersion(const std::string& path, FixedFileVersion& version);

}  // namespace orvano::platform
