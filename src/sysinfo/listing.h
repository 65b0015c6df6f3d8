// Whether a file or folder is there, told the way the program has always told it: by a
// directory listing of the exact path.
#pragma once

#include <cstdint>
#include <string>

namespace orvano::sysinfo {

// Attribute masks of a listing: which kinds of entry besides plain files it reports.
inline constexpr std::uint32_t kListReadOnly = 0x01;
inline constexpr std::uint32_t kListHidden = 0x02;
inline constexpr std::uint32_t kListSystem = 0x04;
inline constexpr std::uint32_t kListFolder = 0x10;
inline constexpr std::uint32_t kListArchive = 0x20;
inline constexpr std::uint32_t kListEverything = 0x37;

// True when a listing of the path finds an entry. A path ending in "\" lists the folder's own
// entries ("." and ".." not counted); any other path names one file or folder. An entry that
// is hidden, system or a folder counts only when the mask lets it; wildcards never count as
// found names.
bool ListingFindsEntry(const std::string& path, std::uint32_t mask = kListEverything);

}  // namespace orvano::sysinfo
