// Windows and Wine: the running process is the only kind there is.
#include <gtest/gtest.h>

#include "platform/system.h"
#include "process_kinds.h"

namespace orvano::contract {

void ForEachProcessKind(const std::function<void(const std::string& kind)>& body) {
    const char* name = platform::IsWow64Process() ? "WOW64 process" : "native process";
    SCOPED_TRACE(name);
    body(name);
}

}  // namespace orvano::contract
