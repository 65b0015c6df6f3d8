// Loading system libraries by their full path.
#include "ui/win32/system_libraries.h"

#include <commctrl.h>

#include <map>
#include <string>

namespace orvano::ui::win32 {

namespace {

std::string SystemFolderPath(const char* file) {
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "";
    std::string path(folder, length);
    if (path.back() != '\\') path += '\\';
    return path + file;
}

}  // namespace

HMODULE SystemLibrary(const char* file) {
    static std::map<std::string, HMODULE> loaded;
    auto known = loaded.find(file);
    if (known != loaded.end()) return known->second;
    std::string path = SystemFolderPath(file);
    // With a full path, LOAD_WITH_ALTERED_SEARCH_PATH resolves the library's own imports from
    // its folder instead of the program's.
    HMODULE library = path.empty()
                          ? nullptr
                          : LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    loaded[file] = library;
    return library;
}

bool CommonControlsReady() {
    static const bool ready = [] {
        using InitExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        using InitFunction = void(WINAPI*)();
        if (auto initEx = SystemFunction<InitExFunction>("comctl32.dll", "InitCommonControlsEx")) {
            INITCOMMONCONTROLSEX classes{
                sizeof(classes), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES};
            return initEx(&classes) != FALSE;
        }
        auto init = SystemFunction<InitFunction>("comctl32.dll", "InitCommonControls");
        if (init) init();
        return init != nullptr;
    }();
    return ready;
}

}  // namespace orvano::ui::win32
