// Payload records as bytes: the trailer, the stored file name, the body of a single resource.
// Nothing here touches the platform, so the record parser can be fuzzed on its own.
#include <cstring>

#include "deploy/lznt1.h"
#include "deploy/payload.h"
#include "sysinfo/text.h"

namespace orvano::deploy {

namespace {

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

std::uint64_t U64(const std::string& bytes, std::size_t at) {
    return U32(bytes, at) | (static_cast<std::uint64_t>(U32(bytes, at + 4)) << 32);
}

// A NUL-terminated text field, never read past its end.
std::string TextField(const std::string& bytes, std::size_t at, std::size_t size) {
    return sysinfo::CutAtNul(bytes.substr(at, size));
}

}  // namespace

bool ReadTrailer(const std::string& trailer, FileDescription& description) {
    if (trailer.size() != kTrailerSize || trailer.compare(0, 4, kTrailerSignature) != 0)
        return false;
    const std::string data = trailer.substr(4);
    description.attributes = U32(data, kAttributesAt);
    description.creationTime = U64(data, kCreationTimeAt);
    description.lastAccessTime = U64(data, kLastAccessTimeAt);
    description.lastWriteTime = U64(data, kLastWriteTimeAt);
    description.fileSize =
        (static_cast<std::uint64_t>(U32(data, kSizeHighAt)) << 32) | U32(data, kSizeLowAt);
    description.fileName = TextField(data, kFileNameAt, kFileNameSize);
    description.alternateName = TextField(data, kAlternateNameAt, kAlternateNameSize);
    return true;
}

std::string PayloadFileName(const std::string& storedName) {
    std::string name = sysinfo::CutAtNul(storedName);
    const std::size_t cut = name.find_last_of("\\/");
    if (cut != std::string::npos) name.erase(0, cut + 1);
    const std::string trimmed = sysinfo::TrimmedEnd(name);
    if (trimmed.empty() || trimmed == "." || trimmed == "..") return "";
    for (unsigned char c : name)
        if (c < 0x20 || std::strchr(":*?\"<>|", c)) return "";
    return name;
}

bool ReadSingleRecord(const std::string& resource, bool compressed, FileDescription& description,
                      std::string& body) {
    if (resource.size() <= kTrailerSize ||
        !ReadTrailer(resource.substr(resource.size() - kTrailerSize), description))
        return false;
    std::string stored = resource.substr(0, resource.size() - kTrailerSize);
    if (compressed) {
        std::string decompressed;
        DecompressLznt1(stored, decompressed);
        // A length that disagrees leaves the record as it was, and the size check refuses it.
        if (decompressed.size() == description.fileSize) stored = std::move(decompressed);
    }
    if (stored.size() != description.fileSize) return false;
    body = std::move(stored);
    return true;
}

}  // namespace orvano::deploy
