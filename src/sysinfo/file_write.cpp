#include "sysinfo/file_write.h"

#include "platform/files.h"

namespace orvano::sysinfo {

bool WriteFileReplacing(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".orvano-new";
    if (!platform::WriteWholeFile(temporary, bytes)) {
        platform::RemoveFile(temporary);
        return false;
    }
    if (platform::MoveReplacing(temporary, path)) return true;
    platform::RemoveFile(temporary);
    return false;
}

}  // namespace orvano::sysinfo
