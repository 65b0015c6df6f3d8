#include "deploy/kept_copy.h"

#include "deploy/capi_locations.h"
#include "deploy/payload.h"
#include "platform/files.h"
#include "sysinfo/file_write.h"
#include "sysinfo/listing.h"

namespace orvano::deploy {

namespace p = orvano::platform;

namespace {

bool IsFile(const std::string& path) {
    p::FileEntry entry;
    return p::FindFirstEntry(path, entry) && (entry.attributes & p::kFileAttributeDirectory) == 0;
}

}  // namespace

int IsOwnCapi(const std::string& bytes) {
    for (const char* payload : {kCapiV3810Payload, kCapiV3830Payload, kCapiV51000Payload}) {
        FileDescription description;
        std::string body;
        if (ReadSingleRecord(LoadResourceBytes(payload), true, description, body) && body == bytes)
            return 1;
    }
    return 0;
}

int KeepForeignCapi(const std::string& folder) {
    const std::string path = folder + kCapiFileName;
    if (!IsFile(path)) return 1;
    std::string bytes;
    if (!p::ReadWholeFile(path, bytes)) return 0;  // unread, it cannot be told apart
    if (IsOwnCapi(bytes)) return 1;
    const std::string kept = folder + kKeptCopyName;
    std::string older;
    if (sysinfo::ListingFindsEntry(kept))
        return p::ReadWholeFile(kept, older) && older == bytes ? 1 : 0;
    if (!sysinfo::WriteFileReplacing(kept, bytes)) return 0;
    p::FileTimes times;
    if (p::ReadFileTimes(path, times)) p::SetFileTimes(kept, times);
    return 1;
}

std::string KeptCopyIn(const std::string& folder) {
    if (folder.empty()) return "";
    const std::string kept = folder + kKeptCopyName;
    return IsFile(kept) ? kept : "";
}

int CanRestoreKeptCopy(const std::string& folder) {
    if (KeptCopyIn(folder).empty()) return 0;
    const std::string path = folder + kCapiFileName;
    if (!sysinfo::ListingFindsEntry(path)) return 1;
    std::string bytes;
    return IsFile(path) && p::ReadWholeFile(path, bytes) && IsOwnCapi(bytes) ? 1 : 0;
}

int RestoreKeptCopy(const std::string& folder) {
    if (!CanRestoreKeptCopy(folder)) return 0;
    const std::string path = folder + kCapiFileName;
    // Our own copy may have been made read-only; it gives way to the one kept.
    if (sysinfo::ListingFindsEntry(path)) p::SetAttributes(path, p::kFileAttributeArchive);
    return p::MoveReplacing(folder + kKeptCopyName, path) ? 1 : 0;
}

}  // namespace orvano::deploy
