#include "deploy/payload.h"

#include <cstring>

#include "platform/files.h"
#include "platform/resources.h"
#include "sysinfo/listing.h"
#include "sysinfo/text.h"

namespace orvano::deploy {

namespace p = orvano::platform;

namespace {

bool EndsWith(const std::string& text, const char* end) {
    const std::size_t n = std::strlen(end);
    return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

// Resource names are ASCII; the resource table keeps them in upper case.
std::string UpperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// A file, not a folder, lies at exactly this path.
bool FileIsThere(const std::string& path) {
    p::FileEntry entry;
    return p::FileExists(path) && p::FindFirstEntry(path, entry) &&
           (entry.attributes & p::kFileAttributeDirectory) == 0;
}

// The body of a trailer-only resource: the uncompressed file in a resource of its own, whose
// name drops the "_WFD" or "WFD" of this one.
bool SeparateBody(const std::string& upperName, const FileDescription& record, std::string& body) {
    std::string bodyName;
    if (EndsWith(upperName, "BIN_WFD")) {
        bodyName = upperName.substr(0, upperName.size() - 4);
    } else if (EndsWith(upperName, "BINWFD")) {
        bodyName = upperName.substr(0, upperName.size() - 3);
    } else {
        return false;
    }
    body = LoadResourceBytes(bodyName);
    return !body.empty() && body.size() == record.fileSize;
}

}  // namespace

std::string LoadResourceBytes(const std::string& name) {
    std::string bytes;
    if (!p::ReadDataResource(name, bytes)) bytes.clear();
    return bytes;
}

int ExtractPayload(const std::string& resourceName, const std::string& folder,
                   p::FileFailure* why) {
    if (why) *why = p::FileFailure::kNone;
    const std::string upperName = UpperAscii(sysinfo::TrimmedEnd(resourceName));
    const bool compressed = EndsWith(upperName, "WFD_NTC");
    if (!compressed && !EndsWith(upperName, "WFD")) return 0;

    // Anything but a folder with entries means the current directory.
    std::string prefix = sysinfo::TrimmedEnd(folder);
    if (prefix.empty() || prefix.back() != '\\' || !sysinfo::ListingFindsEntry(prefix))
        prefix.clear();

    const std::string resource = LoadResourceBytes(sysinfo::CutAtNul(resourceName));
    FileDescription record;
    std::string body;
    if (resource.size() == kTrailerSize) {
        if (!ReadTrailer(resource, record) || !SeparateBody(upperName, record, body)) return 0;
    } else if (resource.size() > kTrailerSize) {
        if (!ReadSingleRecord(resource, compressed, record, body)) return 0;
    } else {
        return 0;
    }

    const std::string name = PayloadFileName(record.fileName);
    if (name.empty()) return 0;
    const std::string target = prefix + name;
    // Written complete beside the target first: the target is either replaced whole or left
    // as it was, never half written.
    // A target that stays as it was is not written, even though a file of its name is there.
    const std::string temporary = prefix + "~" + name + ".tmp";
    if (!p::WriteWholeFile(temporary, body, why) || !p::MoveReplacing(temporary, target, why)) {
        p::RemoveFile(temporary);
        return 0;
    }
    // Stamped after the move: Windows hands a name that was just replaced the creation time
    // of the file that had it before ("tunnelling").
    const std::uint64_t stamp = record.lastWriteTime;
    p::SetFileTimes(target, p::FileTimes{stamp, stamp, stamp});
    p::SetAttributes(target, record.attributes);
    return FileIsThere(target) ? 1 : 0;
}

int ExtractPayloadInto(const std::string& resourceName, const std::string& folder,
                       p::FileFailure* why) {
    if (why) *why = p::FileFailure::kNone;
    if (folder.empty() || !sysinfo::ListingFindsEntry(folder)) return 0;
    return ExtractPayload(resourceName, folder, why);
}

}  // namespace orvano::deploy
