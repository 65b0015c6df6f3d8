// The program runs elevated and must never pick up a library planted beside it: what it does
// not import is loaded by its full path in the system folder, and its functions found by name.
#pragma once

#include <windows.h>

#include <string>

namespace orvano::platform::win32 {

// LoadLibraryA of "<system folder>\<file>"; null when it cannot be had.
inline HMODULE LoadFromSystemFolder(const char* file) {
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::string path(folder, length);
    path += '\\';
    path += file;
    return LoadLibraryA(path.c_str());
}

// GetProcAddress as the function's own type; null when the library lacks it.
template <class Fn>
Fn Find(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

}  // namespace orvano::platform::win32
