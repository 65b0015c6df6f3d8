// Data resources (RT_RCDATA) of the program's own module.
#pragma once

#include <string>

namespace orvano::platform {

// FindResourceA(NULL, name, RT_RCDATA), SizeofResource, LoadResource, LockResource: true with
// a copy of the resource's bytes. Names are compared without regard to case.
bool ReadDataResource(const std::string& name, std::string& bytes);

}  // namespace orvano::platform
