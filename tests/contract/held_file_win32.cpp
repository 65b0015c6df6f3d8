// Windows and Wine: a real handle of the test process.
#include <windows.h>

#include "held_file.h"

namespace orvano::contract {

HeldFile::HeldFile(const std::string& path) : path_(path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    held_ = file != INVALID_HANDLE_VALUE;
    handle_ = held_ ? file : nullptr;
}

HeldFile::~HeldFile() {
    if (held_) CloseHandle(static_cast<HANDLE>(handle_));
}

}  // namespace orvano::contract
