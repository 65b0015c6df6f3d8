// The in-memory machine as a 64-bit Windows with both system folders, first running a 64-bit
// process, then a 32-bit one; it is left a 64-bit process again.
#include <gtest/gtest.h>

#include "platform/memory/control.h"
#include "platform/memory/osinfo_control.h"
#include "platform/osinfo.h"
#include "process_kinds.h"

namespace orvano::contract {

void ForEachProcessKind(const std::function<void(const std::string& kind)>& body) {
    namespace mem = orvano::platform::memory;
    constexpr int kX64 = 9;
    mem::SetProcessorArchitecture(kX64);
    const std::string windows = platform::WindowsFolder();
    mem::CreateFolder(windows + "\\System32");
    mem::CreateFolder(windows + "\\SysWOW64");
    const struct {
        const char* name;
        mem::ProcessKind kind;
    } kinds[] = {{"64-bit process", mem::ProcessKind::Native},
                 {"WOW64 process", mem::ProcessKind::Wow64Process}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.name);
        mem::SetProcessKind(k.kind);
        body(k.name);
    }
    mem::SetProcessKind(mem::ProcessKind::Native);
}

}  // namespace orvano::contract
