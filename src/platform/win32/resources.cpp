// Data resources of the running program's image.
#include "platform/resources.h"

#include <windows.h>

namespace orvano::platform {

// FindResourceA(NULL, name, RT_RCDATA), SizeofResource, LoadResource, LockResource.
bool ReadDataResource(const std::string& name, std::string& bytes) {
    HRSRC found = FindResourceA(nullptr, name.c_str(), MAKEINTRESOURCEA(10));
    if (!found) return false;
    const DWORD size = SizeofResource(nullptr, found);
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data && size != 0) return false;
    bytes.assign(static_cast<const char*>(data), size);
    return true;
}

}  // namespace orvano::platform
