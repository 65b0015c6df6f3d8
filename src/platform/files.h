// Files and folders as kernel32 reaches them, ANSI forms. Paths are full paths; names are
// compared without regard to case. Names avoid the A/W macros of windows.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvano::platform {

// File attributes.
inline constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kFileAttributeArchive = 0x20;

// Why a file call failed, as far as the program tells failures apart: the call's error code
// sorted, never handed on as a number.
enum class FileFailure {
    kNone,
    // A program holds the file: ERROR_SHARING_VIOLATION or ERROR_LOCK_VIOLATION, and the
    // ERROR_ACCESS_DENIED with which Windows refuses to delete or replace a loaded library.
    kInUse,
    // No rights: ERROR_ACCESS_DENIED for a file that no program holds (read-only files too).
    kAccessDenied,
    // Anything else (no such file or folder, a wildcard in the name, ...).
    kOther
};

// One entry of a directory listing (WIN32_FIND_DATAA).
struct FileEntry {
    std::string name;  // cFileName: the name as stored, whatever case was asked for
    std::uint32_t attributes = 0;
};

// FindFirstFileA(pattern) and FindClose: true and the listing's first entry when it has one.
// The last part of the pattern may hold wildcards; a pattern ending in "\" finds nothing.
bool FindFirstEntry(const std::string& pattern, FileEntry& entry);
// FindFirstFileA, FindNextFileA until the listing ends, FindClose: true when the listing has
// entries; entries gets them in its order ("." and ".." too where the system reports them).
bool ListEntries(const std::string& pattern, std::vector<FileEntry>& entries);

// A directory listing of exactly this path finds an entry (a file or a folder). A path
// holding a wildcard never exists: its listing would report whichever other file matched.
inline bool FileExists(const std::string& path) {
    if (path.find_first_of("*?<>\"") != std::string::npos) return false;
    FileEntry entry;
    return FindFirstEntry(path, entry);
}

// The file calls below that can fail for a reason the user should hear set `why`, when given:
// kNone on success, else the reason.

// DeleteFileA: true when the file was deleted. Folders, read-only files and wildcards fail.
bool RemoveFile(const std::string& path, FileFailure* why = nullptr);

// CreateFileA (GENERIC_READ, shared, OPEN_EXISTING), ReadFile to the end, CloseHandle:
// true with the whole content. A file held open by a program that shares it for reading can
// be read.
bool ReadWholeFile(const std::string& path, std::string& bytes, FileFailure* why = nullptr);
// CreateFileA (GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL), WriteFile, CloseHandle:
// true when every byte was written.
bool WriteWholeFile(const std::string& path, const std::string& bytes, FileFailure* why = nullptr);

}  // namespace orvano::platform

// --- Deploying files -------------------------------------------------------------------------

namespace orvano::platform {

// The three time stamps of a file, as FILETIMEs (100 ns since 1601-01-01 UTC).
struct FileTimes {
    std::uint64_t creation = 0;
    std::uint64_t lastAccess = 0;
    std::uint64_t lastWrite = 0;
};

// SetFileAttributesA(path, attributes): true when set. Only the attributes a file can be
// given are kept (read-only, hidden, system, archive, ...); none at all reads back as 0x80.
bool SetAttributes(const std::string& path, std::uint32_t attributes);
// CreateFileA(FILE_WRITE_ATTRIBUTES, OPEN_EXISTING), SetFileTime, CloseHandle.
bool SetFileTimes(const std::string& path, const FileTimes& times);
// CreateFileA(FILE_READ_ATTRIBUTES, OPEN_EXISTING), GetFileTime, CloseHandle.
bool ReadFileTimes(const std::string& path, FileTimes& times);
// MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING): the file moves, with its attributes and
// times, over whatever file had the name; fails when that file is read-only or in use.
bool MoveReplacing(const std::string& from, const std::string& to, FileFailure* why = nullptr);
// GetCurrentDirectoryA: the process's current folder; relative paths start there.
std::string CurrentFolder();
// SetCurrentDirectoryA(path).
bool SetCurrentFolder(const std::string& path);

}  // namespace orvano::platform
