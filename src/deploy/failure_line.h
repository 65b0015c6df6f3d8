// The deployment dialog's line for a capi2032.dll that stays as it was: what did not happen,
// why, and which file, in the manner of the line that names a kept copy.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"

namespace orvano::deploy {

enum class Undone { kDelete, kReplace, kRestore };

// " Nicht gelöscht, wird benutzt von FRITZ!fax: C:\...\capi2032.dll", " Nicht ersetzt, keine
// Rechte: ...", " Nicht zurückgeholt: ..." (no reason known). When the copy that had to be
// kept first could not be made, the reason follows " Sicherung nicht möglich". `programs`
// are the names of the programs holding the file, where Windows can tell.
std::string FailureLine(Undone what, const std::string& path, platform::FileFailure why,
                        bool copyFailed, const std::vector<std::string>& programs);

// The same, asking Windows who holds the file when it is in use.
std::string FailureLine(Undone what, const std::string& path, platform::FileFailure why,
                        bool copyFailed = false);

}  // namespace orvano::deploy
