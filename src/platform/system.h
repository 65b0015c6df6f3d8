// Facts about the running process and machine.
#pragma once

#include <cstdint>
#include <string>

namespace orvano::platform {

// IsWow64Process on the current process: true for a 32-bit process on 64-bit Windows.
bool IsWow64Process();

// GetModuleFileNameA(NULL) with a 520-byte buffer: the program's full path, "" when the call
// fails or the path does not fit.
std::string ModuleFileName();
// Sleep: waits without handling messages.
void Sleep(std::uint32_t milliseconds);
// Keeps the program's own folder out of the library search: SetDefaultDllDirectories with the
// system folder only where it exists (looked up at run time), else SetDllDirectoryA("").
void RestrictLibrarySearch();

}  // namespace orvano::platform
