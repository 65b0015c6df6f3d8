// The in-memory file system: folders and files by full path, with attributes and contents.
// Listings follow the FindFirstFileA rules the program meets: wildcards in the last part
// only, "." and ".." first in a folder's own listing, names compared without regard to case.
#include <algorithm>

#include "platform/file_users.h"
#include "platform/files.h"
#include "platform/memory/state.h"
#include "platform/osinfo.h"

namespace orvano::platform::memory {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Windows drops trailing dots and blanks from every name of a path ("a.ini." is "a.ini").
std::string WithoutTrailingDots(std::string name) {
    if (name == "." || name == "..") return name;
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return name;
}

std::vector<std::string> Parts(const std::string& path, std::size_t from) {
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = from; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += path[i];
        }
    }
    return parts;
}

}  // namespace

std::string NormalPath(const std::string& path) {
    bool drive = path.size() >= 2 && path[1] == ':' &&
                 ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    // A relative path ("name", "sub\\name") starts at the current folder.
    const std::string& current = TheMachine().currentFolder;
    if (!drive && !path.empty() && !IsSeparator(path[0]) && !current.empty())
        return NormalPath(current + "\\" + path);
    if (!drive || (path.size() > 2 && !IsSeparator(path[2]))) return "";
    std::vector<std::string> names;
    for (const std::string& raw : Parts(path, 2)) {
        std::string name = WithoutTrailingDots(raw);
        if (name == ".") continue;
        if (name == "..") {
            if (!names.empty()) names.pop_back();
            continue;
        }
        if (name.empty()) return "";  // a name of dots or blanks only
        names.push_back(name);
    }
    std::string normal(1, static_cast<char>(UpperAnsi(static_cast<unsigned char>(path[0]))));
    normal += ':';
    for (const std::string& name : names) normal += "\\" + name;
    return normal;
}

namespace {

// `normal` with the folder `from` (a normal path) at its start replaced by `to`; "" when it
// does not start with that folder.
std::string Replaced(const std::string& normal, const std::string& from, const std::string& to) {
    if (from.empty() || normal.size() < from.size()) return "";
    if (!SameNoCase(normal.substr(0, from.size()), from)) return "";
    if (normal.size() > from.size() && normal[from.size()] != '\\') return "";
    return to + normal.substr(from.size());
}

}  // namespace

std::string ProcessPath(const std::string& path) {
    const std::string normal = NormalPath(path);
    if (normal.empty() || TheMachine().processKind != ProcessKind::Wow64Process) return normal;
    const std::string windows = NormalPath(platform::WindowsFolder());
    if (windows.empty()) return normal;
    const std::string system32 = windows + "\\System32";
    if (std::string to = Replaced(normal, system32, windows + "\\SysWOW64"); !to.empty()) return to;
    if (std::string to = Replaced(normal, windows + "\\Sysnative", system32); !to.empty())
        return to;
    return normal;
}

std::string ParentOf(const std::string& normal) {
    std::size_t last = normal.rfind('\\');
    return last == std::string::npos ? "" : normal.substr(0, last);
}

FileNode* FindNode(const std::string& normal) {
    if (normal.empty()) return nullptr;
    auto& files = TheMachine().files;
    auto it = files.find(normal);
    return it == files.end() ? nullptr : &it->second;
}

FileNode* MakeFile(const std::string& normal) {
    FileNode* folder = FindNode(ParentOf(normal));
    if (!folder || !folder->directory) return nullptr;
    if (FileNode* node = FindNode(normal)) return node->directory ? nullptr : node;
    return &TheMachine().files.emplace(normal, FileNode{}).first->second;
}

}  // namespace orvano::platform::memory

namespace orvano::platform {

using memory::Call;
using memory::CallFails;
using memory::FileNode;
using memory::FindNode;
using memory::NormalPath;
using memory::ParentOf;
using memory::ProcessPath;
using memory::TheMachine;

namespace {

unsigned char Upper(char c) {
    return memory::UpperAnsi(static_cast<unsigned char>(c));
}

// Wildcard match of a whole name: "*" any run, "?" and ">" one character; a final ".*" also
// matches no extension at all, so "*.*" lists every name. "<" and '"' (the other DOS
// wildcards) are taken as characters no name holds.
bool Matches(const char* pattern, const char* name) {
    for (;; ++pattern, ++name) {
        if (*pattern == '*') {
            for (;; ++name) {
                if (Matches(pattern + 1, name)) return true;
                if (*name == '\0') return false;
            }
        }
        if (*name == '\0') return *pattern == '\0' || std::string(pattern) == ".*";
        if (*pattern == '\0' || *pattern == '<' || *pattern == '"') return false;
        if (*pattern != '?' && *pattern != '>' && Upper(*pattern) != Upper(*name)) return false;
    }
}

// The listing of a pattern: the folder must exist; its last part selects the entries.
std::vector<FileEntry> Listing(const std::string& pattern) {
    std::vector<FileEntry> entries;
    if (pattern.empty() || pattern.back() == '\\' || pattern.back() == '/') return entries;
    const std::string& current = TheMachine().currentFolder;
    bool relative =
        !(pattern.size() >= 2 && pattern[1] == ':') && pattern[0] != '\\' && pattern[0] != '/';
    if (relative && !current.empty()) return Listing(current + "\\" + pattern);
    std::size_t cut = pattern.find_last_of("\\/");
    if (cut == std::string::npos) return entries;
    // Only the folder is redirected: listing "<Windows>\System32" itself finds the entry
    // in the Windows folder, and no listing of the Windows folder shows "Sysnative".
    std::string folder = memory::ProcessPath(pattern.substr(0, cut + 1));
    std::string wanted = pattern.substr(cut + 1);
    if (wanted != "." && wanted != "..") {
        while (!wanted.empty() && (wanted.back() == '.' || wanted.back() == ' ')) wanted.pop_back();
    }
    const FileNode* node = FindNode(folder);
    if (!node || !node->directory || wanted.empty()) return entries;
    bool wild = wanted.find_first_of("*?<>\"") != std::string::npos;
    if (!wild) {
        // A plain name: the entry itself ("." and ".." resolve to folders, never a root).
        std::string exact = NormalPath(folder + "\\" + wanted);
        const FileNode* found = FindNode(exact);
        if (!found || ParentOf(exact).empty()) return entries;
        std::string stored = TheMachine().files.find(exact)->first;
        entries.push_back({stored.substr(stored.rfind('\\') + 1), found->attributes});
        return entries;
    }
    if (!ParentOf(folder).empty()) {
        for (const char* dots : {".", ".."})
            if (Matches(wanted.c_str(), dots)) entries.push_back({dots, kFileAttributeDirectory});
    }
    for (const auto& [path, file] : TheMachine().files) {
        if (ParentOf(path).empty() || !memory::SameNoCase(ParentOf(path), folder)) continue;
        std::string name = path.substr(path.rfind('\\') + 1);
        if (Matches(wanted.c_str(), name.c_str())) entries.push_back({name, file.attributes});
    }
    return entries;
}

}  // namespace

bool FindFirstEntry(const std::string& pattern, FileEntry& entry) {
    long error = 0;
    if (CallFails(Call::FindFirstEntry, error)) return false;
    std::vector<FileEntry> entries = Listing(pattern);
    if (entries.empty()) return false;
    entry = entries.front();
    return true;
}

bool ListEntries(const std::string& pattern, std::vector<FileEntry>& entries) {
    entries.clear();
    long error = 0;
    if (CallFails(Call::FindFirstEntry, error)) return false;
    entries = Listing(pattern);
    return !entries.empty();
}

namespace {

bool Fail(FileFailure* why, FileFailure failure) {
    if (why) *why = failure;
    return false;
}

bool Succeed(FileFailure* why) {
    if (why) *why = FileFailure::kNone;
    return true;
}

// A planned failure: its error code as the reason Windows would give.
bool FailsAsPlanned(Call call, FileFailure* why) {
    long error = 0;
    if (!CallFails(call, error)) return false;
    Fail(why, error == kErrorAccessDenied               ? FileFailure::kAccessDenied
              : error == memory::kErrorSharingViolation ? FileFailure::kInUse
                                                        : FileFailure::kOther);
    return true;
}

bool HasWildcard(const std::string& path) {
    return path.find_first_of("*?<>\"") != std::string::npos;
}

// Why an existing file cannot be written, replaced or deleted; kNone when it can. A folder
// refuses as Windows refuses it, with ERROR_ACCESS_DENIED.
FileFailure Unchangeable(const FileNode& node) {
    if (node.inUse) return FileFailure::kInUse;
    if (node.directory || (node.attributes & kFileAttributeReadOnly))
        return FileFailure::kAccessDenied;
    return FileFailure::kNone;
}

}  // namespace

bool RemoveFile(const std::string& path, FileFailure* why) {
    if (FailsAsPlanned(Call::RemoveFile, why)) return false;
    if (HasWildcard(path)) return Fail(why, FileFailure::kOther);
    std::string normal = ProcessPath(path);
    const FileNode* node = FindNode(normal);
    if (!node) return Fail(why, FileFailure::kOther);
    if (FileFailure failure = Unchangeable(*node); failure != FileFailure::kNone)
        return Fail(why, failure);
    TheMachine().files.erase(normal);
    return Succeed(why);
}

bool ReadWholeFile(const std::string& path, std::string& bytes, FileFailure* why) {
    if (FailsAsPlanned(Call::ReadWholeFile, why)) return false;
    const FileNode* node = FindNode(ProcessPath(path));
    if (!node) return Fail(why, FileFailure::kOther);
    if (node->directory) return Fail(why, FileFailure::kAccessDenied);
    bytes = node->bytes;
    return Succeed(why);
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, FileFailure* why) {
    if (FailsAsPlanned(Call::WriteWholeFile, why)) return false;
    if (HasWildcard(path)) return Fail(why, FileFailure::kOther);
    std::string normal = ProcessPath(path);
    if (const FileNode* existing = FindNode(normal)) {
        if (FileFailure failure = Unchangeable(*existing); failure != FileFailure::kNone)
            return Fail(why, failure);
    }
    FileNode* node = memory::MakeFile(normal);
    if (!node) return Fail(why, FileFailure::kOther);  // no such folder
    node->bytes = bytes;
    node->attributes = kFileAttributeArchive;
    return Succeed(why);
}

}  // namespace orvano::platform

// --- Test control of the file system ---------------------------------------------------------

namespace orvano::platform::memory {

void CreateFolder(const std::string& path) {
    std::string normal = NormalPath(path);
    if (normal.empty()) return;
    std::string prefix;
    for (std::size_t at = 0; at != std::string::npos;) {
        at = normal.find('\\', at + 1);
        prefix = normal.substr(0, at);
        auto& files = TheMachine().files;
        if (!files.count(prefix)) files[prefix] = FileNode{true, kFileAttributeDirectory, ""};
    }
}

void PutFile(const std::string& path, const std::string& bytes, std::uint32_t attributes) {
    std::string normal = NormalPath(path);
    if (normal.empty()) return;
    CreateFolder(ParentOf(normal));
    TheMachine().files[normal] = FileNode{false, attributes, bytes};
}

std::optional<std::string> FileBytes(const std::string& path) {
    const FileNode* node = FindNode(NormalPath(path));
    if (!node || node->directory) return std::nullopt;
    return node->bytes;
}

std::vector<std::string> ListFiles() {
    std::vector<std::string> paths;
    for (const auto& [path, node] : TheMachine().files)
        if (!node.directory) paths.push_back(path);
    return paths;
}

}  // namespace orvano::platform::memory

// --- Deploying files ---------------------------------------------------------------------------

namespace orvano::platform {

namespace {

// The attributes SetFileAttributesA lets a program give a file.
constexpr std::uint32_t kSettableAttributes = 0x31A7;
constexpr std::uint32_t kFileAttributeNormal = 0x80;

memory::FileNode* FileAt(const std::string& path) {
    if (path.find_first_of("*?<>\"") != std::string::npos) return nullptr;
    FileNode* node = FindNode(ProcessPath(path));
    return node && !node->directory ? node : nullptr;
}

}  // namespace

bool SetAttributes(const std::string& path, std::uint32_t attributes) {
    if (path.find_first_of("*?<>\"") != std::string::npos) return false;
    FileNode* node = FindNode(ProcessPath(path));
    if (!node) return false;
    std::uint32_t kept = attributes & kSettableAttributes & ~kFileAttributeNormal;
    if (node->directory) kept |= kFileAttributeDirectory;
    node->attributes = kept ? kept : kFileAttributeNormal;
    return true;
}

bool SetFileTimes(const std::string& path, const FileTimes& times) {
    FileNode* node = FileAt(path);
    if (!node || node->inUse) return false;
    node->times = times;
    return true;
}

bool ReadFileTimes(const std::string& path, FileTimes& times) {
    const FileNode* node = FileAt(path);
    if (!node) return false;
    times = node->times;
    return true;
}

bool MoveReplacing(const std::string& from, const std::string& to, FileFailure* why) {
    if (FailsAsPlanned(Call::MoveReplacing, why)) return false;
    const std::string source = ProcessPath(from);
    const std::string target = ProcessPath(to);
    const FileNode* moving = FileAt(from);
    if (!moving || target.empty() || HasWildcard(to)) return Fail(why, FileFailure::kOther);
    if (moving->inUse) return Fail(why, FileFailure::kInUse);
    if (memory::SameNoCase(source, target)) return Succeed(why);
    const FileNode* folder = FindNode(ParentOf(target));
    if (!folder || !folder->directory) return Fail(why, FileFailure::kOther);
    if (const FileNode* old = FindNode(target)) {
        if (FileFailure failure = Unchangeable(*old); failure != FileFailure::kNone)
            return Fail(why, failure);
    }
    auto& files = TheMachine().files;
    FileNode node = *moving;
    files.erase(source);
    files.erase(target);  // the new file takes the name as it is now spelled
    files.emplace(target, std::move(node));
    return Succeed(why);
}

std::string CurrentFolder() {
    return TheMachine().currentFolder;
}

// The folder is kept as named; the calls that use it are redirected, as on Windows.
bool SetCurrentFolder(const std::string& path) {
    const std::string normal = NormalPath(path);
    const FileNode* node = FindNode(ProcessPath(path));
    if (!node || !node->directory) return false;
    TheMachine().currentFolder = normal;
    return true;
}

}  // namespace orvano::platform

namespace orvano::platform::memory {

void SetFileInUse(const std::string& path, bool inUse) {
    FileNode* node = FindNode(NormalPath(path));
    if (!node) return;
    node->inUse = inUse;
    if (!inUse) node->holders.clear();
}

void HoldFile(const std::string& path, const std::string& program) {
    FileNode* node = FindNode(NormalPath(path));
    if (!node) return;
    node->inUse = true;
    node->holders.push_back(program);
}

}  // namespace orvano::platform::memory

namespace orvano::platform {

// The Restart Manager names each program once, and none whose name it cannot tell.
std::vector<std::string> ProgramsUsingFile(const std::string& path) {
    std::vector<std::string> names;
    const FileNode* node = HasWildcard(path) ? nullptr : FindNode(ProcessPath(path));
    if (!node || !node->inUse) return names;
    for (const std::string& name : node->holders)
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    return names;
}

}  // namespace orvano::platform
