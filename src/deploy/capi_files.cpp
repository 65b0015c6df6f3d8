// The file operations behind the deployment dialog: writing one of the program's own
// capi2032.dll builds, deleting, and keeping a copy of one that is not ours so that it can be
// put back.
#include <cstdlib>
#include <vector>

#include "deploy/capi_locations.h"
#include "deploy/payload.h"
#include "platform/file_users.h"
#include "platform/files.h"
#include "sysinfo/file_write.h"
#include "sysinfo/listing.h"

namespace orvano::deploy {

namespace p = orvano::platform;
using sysinfo::ListingFindsEntry;

// Kept copies of a capi2032.dll that is not ours.

namespace {

// More copies than this at one place are not made: the file then stays.
constexpr int kMostKeptCopies = 99;

bool IsFile(const std::string& path, p::FileEntry& entry) {
    return p::FindFirstEntry(path, entry) && (entry.attributes & p::kFileAttributeDirectory) == 0;
}

bool IsFile(const std::string& path) {
    p::FileEntry entry;
    return IsFile(path, entry);
}

// The name of the kept copy with this number (1: kKeptCopyName, 2: "...gesichert2", ...).
std::string KeptCopyName(int number) {
    return number <= 1 ? std::string(kKeptCopyName) : kKeptCopyName + std::to_string(number);
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

// Before capi2032.dll in `folder` (ending in "\") is replaced or deleted: 1 when it may go (it
// is absent, one of ours, the same bytes are kept already, or it is now kept under the next
// number with its attributes and times; `made` then gets the new copy's path, else ""). 0 when
// it must stay because no copy could be made; `why` says what stood in the way.
int KeepForeignCapi(const std::string& folder, std::string& made, p::FileFailure& why) {
    made.clear();
    why = p::FileFailure::kNone;
    const std::string path = CapiFileIn(folder);
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

// Removes a copy that KeepForeignCapi has just made, when the file it was made of stays after
// all: a copy is only kept of a file that is gone.
void DropKeptCopy(const std::string& made) {
    if (made.empty()) return;
    Unprotect(made);
    p::RemoveFile(made);
}

// The full path of the newest copy kept in `folder`, "" when there is none.
std::string KeptCopyIn(const std::string& folder) {
    const int newest = Newest(KeptNumbers(folder));
    return newest > 0 ? folder + KeptCopyName(newest) : "";
}

// 1 when the newest copy kept in `folder` can go back: there is one, and capi2032.dll is
// absent or one of ours.
int CanRestoreKeptCopy(const std::string& folder) {
    if (KeptCopyIn(folder).empty()) return 0;
    const std::string path = CapiFileIn(folder);
    if (!sysinfo::ListingFindsEntry(path)) return 1;
    std::string bytes;
    return IsFile(path) && p::ReadWholeFile(path, bytes) && IsOwnCapi(bytes) ? 1 : 0;
}

// Moves the newest kept copy back over capi2032.dll (when CanRestoreKeptCopy), and gives it
// the attributes and times it was kept with; 1 when it is back. Otherwise `why` says what
// stood in the way (kNone: nothing to put back).
int RestoreKeptCopyIn(const std::string& folder, p::FileFailure& why) {
    why = p::FileFailure::kNone;
    if (!CanRestoreKeptCopy(folder)) return 0;
    const std::string kept = KeptCopyIn(folder);
    const std::string path = CapiFileIn(folder);
    p::FileEntry keptEntry, ours;
    p::FileTimes times;
    if (!IsFile(kept, keptEntry) || !p::ReadFileTimes(kept, times)) {
        why = p::FileFailure::kOther;
        return 0;
    }
    // Our own copy may have been made read-only; it gives way to the one kept.
    const bool oursThere = IsFile(path, ours);
    if (oursThere) Unprotect(path);
    Unprotect(kept);
    if (!p::MoveReplacing(kept, path, &why)) {
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

// The folder of KeptCopyToRestore, "" when no place holds a copy.
std::string FolderWithKeptCopy() {
    std::string first;
    for (CapiPlace place : kSearchOrder) {
        std::string folder;
        if (!CapiLocationFolder(place, folder) || KeptCopyIn(folder).empty()) continue;
        if (CanRestoreKeptCopy(folder)) return folder;
        if (first.empty()) first = folder;
    }
    return first;
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

KeptCopy KeptCopyToRestore() {
    const std::string folder = FolderWithKeptCopy();
    KeptCopy copy;
    copy.path = KeptCopyIn(folder);
    copy.restorable = CanRestoreKeptCopy(folder) == 1;
    return copy;
}

// Create, delete and restore, and the line that says why a file stays as it was.

namespace {

enum class Undone { kDelete, kReplace, kRestore };

std::string Reason(p::FileFailure why, const std::string& path) {
    switch (why) {
        case p::FileFailure::kInUse: {
            std::string text = "wird benutzt";
            const std::vector<std::string> programs = p::ProgramsUsingFile(path);
            for (std::size_t i = 0; i < programs.size(); ++i)
                text += (i == 0 ? " von " : ", ") + programs[i];
            return text;
        }
        case p::FileFailure::kAccessDenied:
            return "keine Rechte";
        default:
            return "";
    }
}

// " Nicht gelöscht, wird benutzt von FRITZ!fax: C:\...\capi2032.dll", " Nicht ersetzt, keine
// Rechte: ...", " Nicht zurückgeholt: ..." (no reason known), in the manner of the line that
// names a kept copy. When the copy that had to be kept first could not be made, the reason
// follows " Sicherung nicht möglich". A file in use is named with the programs holding it,
// where Windows can tell.
std::string FailureLine(Undone what, const std::string& path, p::FileFailure why,
                        bool copyFailed = false) {
    std::string line = what == Undone::kDelete    ? " Nicht gelöscht"
                       : what == Undone::kReplace ? " Nicht ersetzt"
                                                  : " Nicht zurückgeholt";
    const std::string reason = Reason(why, path);
    if (copyFailed) {
        line += ", Sicherung nicht möglich";
        if (!reason.empty()) line += " (" + reason + ")";
    } else if (!reason.empty()) {
        line += ", " + reason;
    }
    return line + ": " + path;
}

void Tell(std::string* problem, const std::string& line) {
    if (problem) *problem = line;
}

}  // namespace

Created CreateCapiFile(CapiPlace place, const char* payload, std::string& problem) {
    problem.clear();
    std::string folder;
    if (!payload || !CapiLocationFolder(place, folder)) return Created::kNotTried;
    const std::string path = CapiFileIn(folder);
    std::string made;
    p::FileFailure why;
    if (!KeepForeignCapi(folder, made, why)) {
        problem = FailureLine(Undone::kReplace, path, why, true);
        return Created::kStays;
    }
    if (ExtractPayloadInto(payload, folder, &why)) return Created::kWritten;
    DropKeptCopy(made);
    // A file that stays as it was has not been written, though one of its name is there.
    if (ListingFindsEntry(path)) {
        problem = FailureLine(Undone::kReplace, path, why);
        return Created::kStays;
    }
    return Created::kNotWritten;
}

int DeleteCapi(CapiPlace place, std::string* problem) {
    Tell(problem, "");
    std::string folder;
    if (!CapiLocationFolder(place, folder) || !ListingFindsEntry(folder)) return 0;
    const std::string path = CapiFileIn(folder);
    p::FileEntry entry;
    if (!p::FindFirstEntry(path, entry) || (entry.attributes & p::kFileAttributeDirectory) != 0)
        return 0;
    std::string made;
    p::FileFailure why;
    if (!KeepForeignCapi(folder, made, why)) {
        Tell(problem, FailureLine(Undone::kDelete, path, why, true));
        return 0;
    }
    // Archive only: a read-only copy could not be deleted.
    p::SetAttributes(path, p::kFileAttributeArchive);
    p::RemoveFile(path, &why);
    if (!ListingFindsEntry(path)) return 1;
    // Still there (in use, no rights): it keeps the attributes it had, and needs no copy.
    p::SetAttributes(path, entry.attributes);
    DropKeptCopy(made);
    Tell(problem, FailureLine(Undone::kDelete, path, why));
    return 0;
}

int RestoreKeptCopy(std::string* problem) {
    Tell(problem, "");
    const std::string folder = FolderWithKeptCopy();
    p::FileFailure why;
    if (RestoreKeptCopyIn(folder, why)) return 1;
    Tell(problem, FailureLine(Undone::kRestore, CapiFileIn(folder), why));
    return 0;
}

}  // namespace orvano::deploy
