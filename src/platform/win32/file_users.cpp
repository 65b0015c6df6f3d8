// The programs that hold a file, named by the Restart Manager. rstrtmgr.dll is loaded by full
// path from the system folder, and only when first asked: the program runs elevated and must
// never pick up a copy planted beside it, and it starts on Windows without one.
#include "platform/file_users.h"

#include <windows.h>

#include <restartmanager.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/system_library.h"

namespace orvano::platform {

namespace {

using win32::Find;
using win32::LoadFromSystemFolder;

using StartFn = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
using RegisterFn = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
using ListFn = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, LPDWORD);
using EndFn = DWORD(WINAPI*)(DWORD);

struct RestartManager {
    StartFn start = nullptr;
    RegisterFn registerFiles = nullptr;
    ListFn list = nullptr;
    EndFn end = nullptr;
    bool usable() const { return start && registerFiles && list && end; }
};

RestartManager Load() {
    RestartManager rm;
    HMODULE library = win32::LoadFromSystemFolder("rstrtmgr.dll");
    if (!library) return rm;
    rm.start = Find<StartFn>(library, "RmStartSession");
    rm.registerFiles = Find<RegisterFn>(library, "RmRegisterResources");
    rm.list = Find<ListFn>(library, "RmGetList");
    rm.end = Find<EndFn>(library, "RmEndSession");
    return rm;
}

std::wstring Wide(const std::string& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return L"";
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

std::string Ansi(const WCHAR* text) {
    int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return "";
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi.data(), length, nullptr, nullptr);
    ansi.resize(static_cast<std::size_t>(length - 1));
    return ansi;
}

}  // namespace

std::vector<std::string> ProgramsUsingFile(const std::string& path) {
    static const RestartManager rm = Load();
    std::vector<std::string> names;
    if (!rm.usable()) return names;
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (rm.start(&session, 0, key) != ERROR_SUCCESS) return names;
    const std::wstring file = Wide(path);
    LPCWSTR files[] = {file.c_str()};
    if (!file.empty() &&
        rm.registerFiles(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS) {
        std::vector<RM_PROCESS_INFO> programs;
        UINT needed = 0, count = 0;
        DWORD reasons = 0;
        DWORD status = rm.list(session, &needed, &count, nullptr, &reasons);
        // The list can grow between the two calls; a few tries are enough.
        for (int tries = 0; status == ERROR_MORE_DATA && tries < 3; ++tries) {
            programs.resize(needed);
            count = needed;
            status = rm.list(session, &needed, &count, programs.data(), &reasons);
        }
        if (status == ERROR_SUCCESS) {
            for (UINT i = 0; i < count && i < programs.size(); ++i) {
                programs[i].strAppName[CCH_RM_MAX_APP_NAME] = L'\0';
                std::string name = Ansi(programs[i].strAppName);
                if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
                    names.push_back(name);
            }
        }
    }
    rm.end(session);
    return names;
}

}  // namespace orvano::platform
