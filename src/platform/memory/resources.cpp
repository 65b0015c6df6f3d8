// The in-memory program image's data resources: a table of named blobs. They belong to the
// program, not to the machine, so Reset leaves them alone.
#include <map>

#include "platform/memory/state.h"
#include "platform/resources.h"

namespace orvano::platform::memory {

namespace {

std::map<std::string, std::string, NoCaseLess>& Resources() {
    static std::map<std::string, std::string, NoCaseLess> table;
    return table;
}

}  // namespace

void PutResource(const std::string& name, const std::string& bytes) {
    Resources()[name] = bytes;
}

void RemoveResource(const std::string& name) {
    Resources().erase(name);
}

}  // namespace orvano::platform::memory

namespace orvano::platform {

bool ReadDataResource(const std::string& name, std::string& bytes) {
    const auto& table = memory::Resources();
    auto it = table.find(name);
    if (it == table.end()) return false;
    bytes = it->second;
    return true;
}

}  // namespace orvano::platform
