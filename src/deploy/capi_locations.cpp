// Where the capi2032.dll places are, what lies there and its versions. The file operations on
// them (create, delete, keep, restore) are in capi_files.cpp, so that the test tool can look
// at the places without carrying the program's payloads.
#include "deploy/capi_locations.h"

#include "config/fax_settings.h"
#include "platform/files.h"
#include "platform/osinfo.h"
#include "platform/version.h"
#include "sysinfo/listing.h"
#include "sysinfo/text.h"

namespace orvano::deploy {
namespace p = orvano::platform;
using sysinfo::ListingFindsEntry;
using sysinfo::Trimmed;

namespace {

constexpr std::size_t kMaxPath = 259;

std::string WithoutTrailingSlashes(const std::string& text) {
    return sysinfo::WithoutTrailing(text, "\\/");
}

// The directory entry of exactly this path is a folder. A pattern is never a folder.
bool IsFolder(const std::string& path) {
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
    p::FileEntry entry;
    return p::FindFirstEntry(path, entry) && (entry.attributes & p::kFileAttributeDirectory) != 0 &&
           !entry.name.empty();
}

int WindowsSubfolder(const char* name, std::string& folder) {
    folder.clear();
    std::string path = WithoutTrailingSlashes(Trimmed(p::WindowsFolder())) + "\\" + name;
    if (!IsFolder(path)) return 0;
    folder = path + "\\";
    return 1;
}

// The kind of the capi2032.dll in a folder whose listing finds something; none when it has
// none or it cannot be read.
CapiKind KindInFolder(const std::string& folder) {
    if (Trimmed(folder).empty() || !ListingFindsEntry(folder)) return CapiKind::None;
    const std::string path = sysinfo::WithoutTrailingSeparators(folder) + "\\" + kCapiFileName;
    if (!ListingFindsEntry(path)) return CapiKind::None;
    std::string bytes;
    if (!p::ReadWholeFile(path, bytes)) return CapiKind::None;
    return bytes.find(kCapiOverTcpMarker) != std::string::npos ? CapiKind::OverTcp
                                                               : CapiKind::Other;
}

bool HoldsCapi(const std::string& folder) {
    return !folder.empty() && ListingFindsEntry(folder) &&
           ListingFindsEntry(sysinfo::WithoutTrailingSeparators(folder) + "\\" + kCapiFileName);
}

std::string VersionText(std::uint32_t high, std::uint32_t low) {
    return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." +
           std::to_string(low >> 16) + "." + std::to_string(low & 0xFFFF);
}

}  // namespace

int CheckFolder(std::string& folder) {
    const std::string cleaned = WithoutTrailingSlashes(Trimmed(folder));
    if (!IsFolder(cleaned)) return 0;
    folder = cleaned + "\\";
    return 1;
}

int System32Folder(std::string& folder) {
    return WindowsSubfolder("System32", folder);
}

int SysWow64Folder(std::string& folder) {
    return WindowsSubfolder("SysWow64", folder);
}

int FaxProgramFolder(std::string& folder) {
    std::string version, program, data;
    config::ReadFaxApplication(version, program, data);
    folder.clear();
    if (program.empty() || !CheckFolder(program)) return 0;
    folder = program;
    return 1;
}

int CapiLocationFolder(CapiPlace place, std::string& folder) {
    switch (place) {
        case CapiPlace::FaxProgram:
            return FaxProgramFolder(folder);
        case CapiPlace::SysWow64:
            return SysWow64Folder(folder);
        case CapiPlace::System32:
            return System32Folder(folder);
    }
    folder.clear();
    return 0;
}

CapiKind CapiKindOf(const std::string& folder) {
    return KindInFolder(folder);
}

std::string CapiFileIn(const std::string& folder) {
    return folder + kCapiFileName;
}

int CapiKindAt(CapiPlace place, CapiKind wantedKind) {
    std::string folder;
    if (!CapiLocationFolder(place, folder)) return 0;
    const CapiKind kind = KindInFolder(folder);
    return kind != CapiKind::None && kind == wantedKind ? 1 : 0;
}

std::optional<CapiPlace> FirstCapiLocation() {
    for (CapiPlace place : kSearchOrder) {
        std::string folder;
        CapiLocationFolder(place, folder);
        if (HoldsCapi(folder)) return place;
    }
    return std::nullopt;
}

std::optional<CapiPlace> FirstCapiOverTcpLocation() {
    for (CapiPlace place : kSearchOrder) {
        std::string folder;
        CapiLocationFolder(place, folder);
        if (!folder.empty() && KindInFolder(folder) == CapiKind::OverTcp) return place;
    }
    return std::nullopt;
}

int CapiFileVersion(const std::string& folder, std::string& fileVersion,
                    std::string& productVersion) {
    if (Trimmed(folder).empty() || !ListingFindsEntry(folder)) return 0;
    const std::string path = sysinfo::WithoutTrailingSeparators(folder) + "\\" + kCapiFileName;
    // A longer path would have been cut to another file's name.
    if (path.size() > kMaxPath || !ListingFindsEntry(path)) return 0;
    p::FixedFileVersion version;
    if (!p::ReadFileVersion(path, version)) return 0;
    fileVersion = VersionText(version.fileMs, version.fileLs);
    productVersion = VersionText(version.productMs, version.productLs);
    return 1;
}

int CapiVersionText(const std::string& folder, std::string& text) {
    text.clear();
    std::string fileVersion, productVersion;
    if (!CapiFileVersion(folder, fileVersion, productVersion)) return 0;
    text = fileVersion + " / " + productVersion +
           (CapiKindOf(folder) == CapiKind::OverTcp ? " CoT" : "");
    return 1;
}

}  // namespace orvano::deploy
