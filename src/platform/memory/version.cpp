// Version resources of the in-memory machine's files: read from the file's own bytes, as a
// program image carries them (an "MZ" image holding a VS_FIXEDFILEINFO block).
#include <cstring>

#include "platform/files.h"
#include "platform/version.h"

namespace orvano::platform {

namespace {

std::uint32_t Dword(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

}  // namespace

bool ReadFileVersion(const std::string& path, FixedFileVersion& version) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes) || bytes.compare(0, 2, "MZ") != 0) return false;
    static const char kSignature[] = "\xBD\x04\xEF\xFE";
    for (std::size_t at = bytes.find(kSignature, 0, 4); at != std::string::npos;
         at = bytes.find(kSignature, at + 1, 4)) {
        if (at % 4 != 0 || at + 24 > bytes.size()) continue;
        version = {Dword(bytes, at + 8), Dword(bytes, at + 12), Dword(bytes, at + 16),
                   Dword(bytes, at + 20)};
        return true;
    }
    return false;
}

}  // namespace orvano::platform
