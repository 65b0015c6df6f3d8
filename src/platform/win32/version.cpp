// Version resources through version.dll, loaded from the system folder by full path: the
// program runs elevated and must never pick up a version.dll planted beside it.
#include "platform/version.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/system_library.h"

namespace orvano::platform {

namespace {

using win32::Find;
using win32::LoadFromSystemFolder;

using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

struct VersionDll {
    SizeFn size = nullptr;
    InfoFn info = nullptr;
    QueryFn query = nullptr;
};

VersionDll Load() {
    VersionDll dll;
    HMODULE library = win32::LoadFromSystemFolder("version.dll");
    if (!library) return dll;
    dll.size = Find<SizeFn>(library, "GetFileVersionInfoSizeA");
    dll.info = Find<InfoFn>(library, "GetFileVersionInfoA");
    dll.query = Find<QueryFn>(library, "VerQueryValueA");
    return dll;
}

}  // namespace

// GetFileVersionInfoSizeA, GetFileVersionInfoA, VerQueryValueA(block, "\").
bool ReadFileVersion(const std::string& path, FixedFileVersion& version) {
    static const VersionDll dll = Load();
    if (!dll.size || !dll.info || !dll.query) return false;
    DWORD handle = 0;
    DWORD size = dll.size(path.c_str(), &handle);
    if (size == 0) return false;
    std::vector<unsigned char> block(size);
    if (!dll.info(path.c_str(), 0, size, block.data())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!dll.query(block.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &fixedSize) || !fixed ||
        fixedSize < sizeof(VS_FIXEDFILEINFO))
        return false;
    version = {fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
               fixed->dwProductVersionLS};
    return true;
}

}  // namespace orvano::platform
