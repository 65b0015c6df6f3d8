// The deployment dialog's line for a capi2032.dll that stays as it was: what did not happen,
// why, and which file, in the manner of the line that names a kept copy.
#pragma once

#include <string>

#include "platform/files.h"

namespace orvano::deploy {

enum class Undone { kDelete, kReplace, kRestore };

// " Nicht gelöscht, wird benutzt von FRITZ!fax: C:\...\capi2032.dll", " Nicht ersetzt, keine
// Rechte: ...", " Nicht zurückgeholt: ..." (no reason known). When the copy that had to be
// kept first could not be made, the reason follows " Sicherung nicht möglich". A file in use
// is named with the programs holding it, where Windows can tell.
std::string FailureLine(Undone what, const std::string& path, platform::FileFailure why,
                        bool copyFailed = false);

}  // namespace orvano::deploy
