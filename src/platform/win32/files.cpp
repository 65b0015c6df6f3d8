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
bool RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != FALSE;
}

// CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, ...),
// ReadFile in pieces until it reads nothing more, CloseHandle.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    std::string content;
    char piece[4096];
    DWORD read = 0;
    do {
        if (!ReadFile(file.get(), piece, sizeof piece, &read, nullptr)) return false;
        content.append(piece, read);
    } while (read > 0);
    bytes = std::move(content);
    return true;
}

// CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL),
// WriteFile until every byte is written, CloseHandle.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(file.get(), bytes.data() + done, piece, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
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

// MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING).
bool MoveReplacing(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
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
