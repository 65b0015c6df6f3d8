#include "deploy/kept_copy.h"

#include <cstdlib>
#include <vector>

#include "deploy/capi_locations.h"
#include "deploy/payload.h"
#include "sysinfo/file_write.h"
#include "sysinfo/listing.h"

namespace orvano::deploy {

namespace p = orvano::platform;

namespace {

bool IsFile(const std::string& path, p::FileEntry& entry) {
    return p::FindFirstEntry(path, entry) && (entry.attributes & p::kFileAttributeDirectory) == 0;
}

bool IsFile(const std::string& path) {
    p::FileEntry entry;
    return IsFile(path, entry);
}

// The number a kept copy's name carries, 0 for any other name. Names compare without case.
int CopyNumber(const std::string& name) {
    const std::string first = kKeptCopyName;
    if (name.size() < first.size()) return 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        char a = name[i], b = first[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (a != b) return 0;
    }
    const std::string digits = name.substr(first.size());
    if (digits.empty()) return 1;
    if (digits.size() > 2 || digits[0] < '1' || digits[0] > '9') return 0;
    for (char c : digits)
        if (c < '0' || c > '9') return 0;
    const int number = std::atoi(digits.c_str());
    return number >= 2 ? number : 0;
}

// The numbers of the copies kept in `folder`, in the listing's order.
std::vector<int> KeptNumbers(const std::string& folder) {
    std::vector<int> numbers;
    std::vector<p::FileEntry> entries;
    if (folder.empty() || !p::ListEntries(folder + kKeptCopyName + "*", entries)) return numbers;
    for (const p::FileEntry& entry : entries) {
        const int number = CopyNumber(entry.name);
        if (number > 0 && (entry.attributes & p::kFileAttributeDirectory) == 0)
            numbers.push_back(number);
    }
    return numbers;
}

int Newest(const std::vector<int>& numbers) {
    int newest = 0;
    for (int number : numbers)
        if (number > newest) newest = number;
    return newest;
}

// Takes read-only off a file for as long as it is moved or stamped.
void Unprotect(const std::string& path) {
    p::SetAttributes(path, p::kFileAttributeArchive);
}

}  // namespace

std::string KeptCopyName(int number) {
    return number <= 1 ? std::string(kKeptCopyName) : kKeptCopyName + std::to_string(number);
}

int IsOwnCapi(const std::string& bytes) {
    for (const char* payload : {kCapiV3810Payload, kCapiV3830Payload, kCapiV51000Payload}) {
        FileDescription description;
        std::string body;
        if (ReadSingleRecord(LoadResourceBytes(payload), true, description, body) && body == bytes)
            return 1;
    }
    return 0;
}

int KeepForeignCapi(const std::string& folder, std::string& made, p::FileFailure& why) {
    made.clear();
    why = p::FileFailure::kNone;
    const std::string path = folder + kCapiFileName;
    p::FileEntry original;
    if (!IsFile(path, original)) return 1;
    std::string bytes;
    if (!p::ReadWholeFile(path, bytes, &why)) return 0;  // unread, it cannot be told apart
    if (IsOwnCapi(bytes)) return 1;
    const std::vector<int> numbers = KeptNumbers(folder);
    for (int number : numbers) {
        std::string older;
        if (p::ReadWholeFile(folder + KeptCopyName(number), older) && older == bytes) return 1;
    }
    const int number = Newest(numbers) + 1;
    if (number > kMostKeptCopies) {
        why = p::FileFailure::kOther;
        return 0;
    }
    const std::string kept = folder + KeptCopyName(number);
    if (!sysinfo::WriteFileReplacing(kept, bytes, &why)) return 0;
    // The copy is the file as it was: its times, then its attributes (read-only last).
    p::FileTimes times;
    if (p::ReadFileTimes(path, times)) p::SetFileTimes(kept, times);
    p::SetAttributes(kept, original.attributes);
    made = kept;
    return 1;
}

void DropKeptCopy(const std::string& made) {
    if (made.empty()) return;
    Unprotect(made);
    p::RemoveFile(made);
}

std::string KeptCopyIn(const std::string& folder) {
    const int newest = Newest(KeptNumbers(folder));
    return newest > 0 ? folder + KeptCopyName(newest) : "";
}

int CanRestoreKeptCopy(const std::string& folder) {
    if (KeptCopyIn(folder).empty()) return 0;
    const std::string path = folder + kCapiFileName;
    if (!sysinfo::ListingFindsEntry(path)) return 1;
    std::string bytes;
    return IsFile(path) && p::ReadWholeFile(path, bytes) && IsOwnCapi(bytes) ? 1 : 0;
}

int RestoreKeptCopy(const std::string& folder, p::FileFailure* why) {
    if (why) *why = p::FileFailure::kNone;
    if (!CanRestoreKeptCopy(folder)) return 0;
    const std::string kept = KeptCopyIn(folder);
    const std::string path = folder + kCapiFileName;
    p::FileEntry keptEntry, ours;
    p::FileTimes times;
    if (!IsFile(kept, keptEntry) || !p::ReadFileTimes(kept, times)) {
        if (why) *why = p::FileFailure::kOther;
        return 0;
    }
    // Our own copy may have been made read-only; it gives way to the one kept.
    const bool oursThere = IsFile(path, ours);
    if (oursThere) Unprotect(path);
    Unprotect(kept);
    if (!p::MoveReplacing(kept, path, why)) {
        p::SetAttributes(kept, keptEntry.attributes);
        if (oursThere) p::SetAttributes(path, ours.attributes);
        return 0;
    }
    // Stamped again: Windows may hand a name that was just replaced the creation time of the
    // file that had it before ("tunnelling").
    p::SetFileTimes(path, times);
    p::SetAttributes(path, keptEntry.attributes);
    return 1;
}

}  // namespace orvano::deploy
