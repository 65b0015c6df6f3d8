// The in-memory machine: the file is marked as held by a program that Windows cannot name.
#include "held_file.h"
#include "platform/files.h"
#include "platform/memory/control.h"

namespace orvano::contract {

HeldFile::HeldFile(const std::string& path) : path_(path) {
    held_ = platform::FileExists(path);
    if (held_) platform::memory::SetFileInUse(path);
}

HeldFile::~HeldFile() {
    if (held_) platform::memory::SetFileInUse(path_, false);
}

}  // namespace orvano::contract
