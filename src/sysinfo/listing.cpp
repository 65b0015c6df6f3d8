#include "sysinfo/listing.h"

#include <vector>

#include "platform/files.h"

namespace orvano::sysinfo {

namespace {

constexpr std::uint32_t kSpecialKinds = kListHidden | kListSystem | kListFolder;

// Plain, read-only and archived entries always count; hidden ones, system ones and folders
// only when the mask asks for them.
bool Counts(const platform::FileEntry& entry, std::uint32_t mask) {
    return (entry.attributes & kSpecialKinds & ~mask) == 0;
}

}  // namespace

bool ListingFindsEntry(const std::string& path, std::uint32_t mask) {
    if (path.empty()) return false;
    if (path.back() == '\\') {
        std::vector<platform::FileEntry> entries;
        if (!platform::ListEntries(path + "*", entries)) return false;
        for (const platform::FileEntry& entry : entries)
            if (entry.name != "." && entry.name != ".." && Counts(entry, mask)) return true;
        return false;
    }
    // A pattern would report whichever other entry matched it.
    if (path.find_first_of("*?<>\"") != std::string::npos) return false;
    platform::FileEntry entry;
    return platform::FindFirstEntry(path, entry) && Counts(entry, mask);
}

}  // namespace orvano::sysinfo
