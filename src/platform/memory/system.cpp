#include "platform/system.h"
#include "platform/memory/state.h"

namespace orvano::platform {

bool IsWow64Process() {
    return memory::TheMachine().processKind == memory::ProcessKind::Wow64Process;
}

}  // namespace orvano::platform

namespace orvano::platform {

// A name that would not fit GetModuleFileNameA's 520 bytes counts as unknown, as on Windows.
std::string ModuleFileName() {
    const std::string& path = memory::TheMachine().modulePath;
    return path.size() < 520 ? path : "";
}

bool RunningUnderWine() {
    return memory::TheMachine().underWine;
}

void Sleep(std::uint32_t milliseconds) {
    memory::TheMachine().sleptMilliseconds += milliseconds;
}

bool TakeNamedMutex(const std::string& name) {
    return memory::TheMachine().mutexes.insert(name).second;
}

void ReleaseNamedMutex(const std::string& name) {
    memory::TheMachine().mutexes.erase(name);
}

void RestrictLibrarySearch() {
    memory::TheMachine().librarySearchRestricted = true;
}

}  // namespace orvano::platform

namespace orvano::platform::memory {

void SetModulePath(const std::string& path) {
    TheMachine().modulePath = path;
}

std::uint64_t SleptMilliseconds() {
    return TheMachine().sleptMilliseconds;
}

bool LibrarySearchRestricted() {
    return TheMachine().librarySearchRestricted;
}

void SetRunningUnderWine(bool wine) {
    TheMachine().underWine = wine;
}

void HoldNamedMutex(const std::string& name) {
    TheMachine().mutexes.insert(name);
}

}  // namespace orvano::platform::memory
