// Facts about the running process and machine.
#pragma once

#include <cstdint>
#include <string>

namespace orvano::platform {

// IsWow64Process on the current process: true for a 32-bit process on 64-bit Windows.
bool IsWow64Process();
// Whether the program runs under Wine rather than Windows: ntdll exports wine_get_version.
// Only the workarounds for Wine's differences ask; on Windows everything runs as designed.
bool RunningUnderWine();

// GetModuleFileNameA(NULL) with a 520-byte buffer: the program's full path, "" when the call
// fails or the path does not fit.
std::string ModuleFileName();
// Sleep: waits without handling messages.
void Sleep(std::uint32_t milliseconds);
// CreateMutexA with the name, kept open until ReleaseNamedMutex or the end of the process:
// false when the mutex was there already (ERROR_ALREADY_EXISTS, or ERROR_ACCESS_DENIED for one
// another user's process made), true when this call made it or could make none at all.
bool TakeNamedMutex(const std::string& name);
// CloseHandle on the mutex this process took under the name.
void ReleaseNamedMutex(const std::string& name);
// Keeps the program's own folder out of the library search: SetDefaultDllDirectories with the
// system folder only where it exists (looked up at run time), else SetDllDirectoryA("").
void RestrictLibrarySearch();

}  // namespace orvano::platform
