// libFuzzer target for the payload record parser: a resource of any bytes, read as a
// compressed or a plain single-resource record. Whatever it accepts must hold together: a body
// of exactly the recorded size, and a file name that stays inside the target folder.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "deploy/payload.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvano::deploy;
    if (size < 1) return 0;
    const bool compressed = (data[0] & 1) == 0;
    const std::string resource(reinterpret_cast<const char*>(data + 1), size - 1);
    FileDescription record;
    std::string body;
    if (ReadSingleRecord(resource, compressed, record, body)) {
        if (body.size() != record.fileSize) std::abort();
        if (!compressed && body != resource.substr(0, resource.size() - kTrailerSize)) std::abort();
        const std::string name = PayloadFileName(record.fileName);
        if (name.find_first_of("\\/:") != std::string::npos || name == "." || name == "..")
            std::abort();
    }
    if (resource.size() >= kTrailerSize)
        ReadTrailer(resource.substr(resource.size() - kTrailerSize), record);
    return 0;
}
