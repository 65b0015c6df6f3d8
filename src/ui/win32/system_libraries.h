// Libraries the toolkit takes from the system folder at run time. The program runs elevated,
// so comctl32, shell32 and ole32 are never imported: the loader would look for them beside
// the program first, where anyone could have planted a copy.
#pragma once

#include <windows.h>

namespace orvano::ui::win32 {

// LoadLibraryExA of "<system folder>\<file>", once per file; the library stays loaded.
// Its own dependencies are searched from the system folder too. nullptr when it cannot load.
HMODULE SystemLibrary(const char* file);

// GetProcAddress in a system library; nullptr when the library or the function is missing.
template <class Function>
Function SystemFunction(const char* file, const char* name) {
    HMODULE library = SystemLibrary(file);
    if (!library) return nullptr;
    // Through a generic function pointer: a direct cast from FARPROC trips -Wcast-function-type.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// comctl32 loaded and every class the program uses registered (InitCommonControlsEx with the
// standard, date and internet classes; InitCommonControls where the former is missing).
bool CommonControlsReady();

}  // namespace orvano::ui::win32
