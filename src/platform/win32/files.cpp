// Files and folders on Windows: each call opens, works and closes its own handle.
#include "platform/files.h"

#include <windows.h>

#include <algorithm>

namespace orvano::platform {

namespace {

// A file handle closed on every path out of the call.
class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// Windows refuses to delete or replace a loaded library with ERROR_ACCESS_DENIED, as it
// refuses a file without rights. Only a file in use still cannot be opened for writing and
// deleting by anyone (ERROR_SHARING_VIOLATION); the open changes nothing.
bool HeldByAProgram(const std::string& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE | DELETE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file.valid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

FileFailure Sorted(DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return FileFailure::kInUse;
        case ERROR_ACCESS_DENIED:
            return FileFailure::kAccessDenied;
        default:
            return FileFailure::kOther;
    }
}

// Sorts the error of a failed call on `path`; called first thing after the failure, while
// this process holds no handle of the file.
bool Failed(FileFailure* why, const std::string& path) {
    const FileFailure failure = Sorted(GetLastError());
    if (why) {
        *why = failure == FileFailure::kAccessDenied && HeldByAProgram(path) ? FileFailure::kInUse
                                                                             : failure;
    }
    return false;
}

// The same for a read or write on a handle of our own, which the probe would run into.
bool FailedWhileOpen(FileFailure* why) {
    const FileFailure failure = Sorted(GetLastError());
    if (why) *why = failure;
    return false;
}

bool Succeeded(FileFailure* why) {
    if (why) *why = FileFailure::kNone;
    return true;
}

}  // namespace

// FindFirstFileA(pattern, &data), FindClose(handle).
bool FindFirstEntry(const std::string& pattern, FileEntry& entry) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    data.cFileName[MAX_PATH - 1] = '\0';
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    return true;
}

// FindFirstFileA(pattern, &data), FindNextFileA(handle, &data) until it fails, FindClose.
bool ListEntries(const std::string& pattern, std::vector<FileEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        data.cFileName[MAX_PATH - 1] = '\0';
        entries.push_back({data.cFileName, data.dwFileAttributes});
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return true;
}

// DeleteFileA(path).
bool RemoveFile(const std::string& path, FileFailure* why) {
    return DeleteFileA(path.c_str()) ? Succeeded(why) : Failed(why, path);
}

// CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, ...),
// ReadFile in pieces until it reads nothing more, CloseHandle.
bool ReadWholeFile(const std::string& path, std::string& bytes, FileFailure* why) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return Failed(why, path);
    std::string content;
    char piece[4096];
    DWORD read = 0;
    do {
        if (!ReadFile(file.get(), piece, sizeof piece, &read, nullptr)) return FailedWhileOpen(why);
        content.append(piece, read);
    } while (read > 0);
    bytes = std::move(content);
    return Succeeded(why);
}

// CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL),
// WriteFile until every byte is written, CloseHandle.
bool WriteWholeFile(const std::string& path, const std::string& bytes, FileFailure* why) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return Failed(why, path);
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(file.get(), bytes.data() + done, piece, &written, nullptr))
            return FailedWhileOpen(why);
        if (written == 0) {
            if (why) *why = FileFailure::kOther;  // the disk is full
            return false;
        }
        done += written;
    }
    return Succeeded(why);
}

}  // namespace orvano::platform

// --- Deploying files ---------------------------------------------------------------------------

namespace orvano::platform {

namespace {

FILETIME ToFileTime(std::uint64_t value) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

std::uint64_t FromFileTime(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

// SetFileAttributesA(path, attributes).
bool SetAttributes(const std::string& path, std::uint32_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

// CreateFileA(path, FILE_WRITE_ATTRIBUTES, shared, OPEN_EXISTING), SetFileTime, CloseHandle.
bool SetFileTimes(const std::string& path, const FileTimes& times) {
    FileHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    const FILETIME creation = ToFileTime(times.creation);
    const FILETIME access = ToFileTime(times.lastAccess);
    const FILETIME write = ToFileTime(times.lastWrite);
    return SetFileTime(file.get(), &creation, &access, &write) != FALSE;
}

// CreateFileA(path, FILE_READ_ATTRIBUTES, shared, OPEN_EXISTING), GetFileTime, CloseHandle.
bool ReadFileTimes(const std::string& path, FileTimes& times) {
    FileHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    FILETIME creation, access, write;
    if (!GetFileTime(file.get(), &creation, &access, &write)) return false;
    times = {FromFileTime(creation), FromFileTime(access), FromFileTime(write)};
    return true;
}

// MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING). A refusal is told from the file that had
// the name: the one the user cares about.
bool MoveReplacing(const std::string& from, const std::string& to, FileFailure* why) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) ? Succeeded(why)
                                                                            : Failed(why, to);
}

// GetCurrentDirectoryA.
std::string CurrentFolder() {
    char buffer[MAX_PATH + 1];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
}

// SetCurrentDirectoryA(path).
bool SetCurrentFolder(const std::string& path) {
    return SetCurrentDirectoryA(path.c_str()) != FALSE;
}

}  // namespace orvano::platform
