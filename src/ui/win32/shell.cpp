// The shell's folder browser and program start, from shell32 and ole32 in the system folder.
#include <windows.h>

#include <shlobj.h>

#include "ui/toolkit.h"
#include "ui/win32/dialog_records.h"
#include "ui/win32/system_libraries.h"

// shellapi.h maps the name to ShellExecuteA; the toolkit's own function keeps its name.
#undef ShellExecute

namespace orvano::ui {

using namespace win32;

namespace {

using BrowseFunction = LPITEMIDLIST(WINAPI*)(LPBROWSEINFOA);
using PathFunction = BOOL(WINAPI*)(LPCITEMIDLIST, LPSTR);
using FreeFunction = void(WINAPI*)(LPVOID);
using ExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

struct Browsing {
    const char* startFolder;
    const std::function<std::string(const std::string&)>* statusText;
    PathFunction pathOf;
};

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) {
    const Browsing& browsing = *reinterpret_cast<const Browsing*>(data);
    if (message == BFFM_INITIALIZED) {
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE,
                     reinterpret_cast<LPARAM>(browsing.startFolder));
    } else if (message == BFFM_SELCHANGED) {
        char path[MAX_PATH] = "";
        if (!browsing.pathOf(reinterpret_cast<LPCITEMIDLIST>(lParam), path)) path[0] = '\0';
        std::string status = *browsing.statusText ? (*browsing.statusText)(path) : path;
        SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(status.c_str()));
    }
    return 0;
}

const char* OrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

}  // namespace

bool ShowFolderBrowser(Window owner, const std::string& title, const std::string& startFolder,
                       const std::function<std::string(const std::string&)>& statusText,
                       std::string& chosen) {
    auto browse = SystemFunction<BrowseFunction>("shell32.dll", "SHBrowseForFolderA");
    auto pathOf = SystemFunction<PathFunction>("shell32.dll", "SHGetPathFromIDListA");
    auto release = SystemFunction<FreeFunction>("ole32.dll", "CoTaskMemFree");
    if (!browse || !pathOf || !release) return false;

    // The browser reads the start folder from a buffer of the usual path size.
    char start[MAX_PATH] = "";
    lstrcpynA(start, startFolder.c_str(), MAX_PATH);
    Browsing browsing{start, &statusText, pathOf};
    BROWSEINFOA info{};
    info.hwndOwner = ToHwnd(owner);
    info.lpszTitle = title.c_str();
    // The status line below the tree exists only with BIF_STATUSTEXT.
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&browsing);
    LPITEMIDLIST item = browse(&info);
    if (!item) return false;
    char path[MAX_PATH] = "";
    bool confirmed = pathOf(item, path) != FALSE;
    release(item);
    if (confirmed) chosen = path;
    return confirmed;
}

std::intptr_t ShellExecute(Window owner, const std::string& operation, const std::string& file,
                           const std::string& parameters, const std::string& directory,
                           int showCommand) {
    auto execute = SystemFunction<ExecuteFunction>("shell32.dll", "ShellExecuteA");
    if (!execute) return 0;
    return reinterpret_cast<std::intptr_t>(execute(ToHwnd(owner), OrNull(operation), file.c_str(),
                                                   OrNull(parameters), OrNull(directory),
                                                   showCommand));
}

}  // namespace orvano::ui
