// Which programs hold a file open, as far as Windows can tell.
#pragma once

#include <string>
#include <vector>

namespace orvano::platform {

// RmStartSession, RmRegisterResources(path), RmGetList, RmEndSession: the names the Restart
// Manager gives the programs that use the file (strAppName), in its order, each once. Empty
// when none does, or when the system cannot tell (no Restart Manager before Vista; Wine's
// names nobody). rstrtmgr.dll is loaded from the system folder, and only when first asked.
std::vector<std::string> ProgramsUsingFile(const std::string& path);

}  // namespace orvano::platform
