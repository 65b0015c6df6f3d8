#include "platform/folders.h"
#include "platform/files.h"
#include "platform/memory/state.h"

namespace orvano::platform {

bool MakeFolder(const std::string& path) {
    const std::string normal = memory::ProcessPath(path);
    const memory::FileNode* parent = memory::FindNode(memory::ParentOf(normal));
    if (normal.empty() || !parent || !parent->directory || memory::FindNode(normal)) return false;
    memory::TheMachine().files[normal] = memory::FileNode{true, kFileAttributeDirectory, ""};
    return true;
}

bool RemoveFolder(const std::string& path) {
    const std::string normal = memory::ProcessPath(path);
    const memory::FileNode* node = memory::FindNode(normal);
    if (!node || !node->directory || memory::ParentOf(normal).empty()) return false;
    auto& files = memory::TheMachine().files;
    for (const auto& [other, file] : files)
        if (memory::SameNoCase(memory::ParentOf(other), normal)) return false;
    files.erase(normal);
    return true;
}

}  // namespace orvano::platform
