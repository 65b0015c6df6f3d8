#include "sysinfo/file_write.h"

namespace orvano::sysinfo {

bool WriteFileReplacing(const std::string& path, const std::string& bytes,
                        platform::FileFailure* why) {
    const std::string temporary = path + ".orvano-new";
    if (!platform::WriteWholeFile(temporary, bytes, why)) {
        platform::RemoveFile(temporary);
        return false;
    }
    if (platform::MoveReplacing(temporary, path, why)) return true;
    platform::RemoveFile(temporary);
    return false;
}

}  // namespace orvano::sysinfo
