// capi2032.dll files as far as the program looks at them: a program image with its fixed
// version block, and the client's marker text or not.
#pragma once

#include <cstdint>
#include <string>

namespace orvano::testing {

// "MZ", some bytes, the fixed version block, then `extra`.
inline std::string Image(std::uint32_t fileMs, std::uint32_t fileLs, std::uint32_t productMs,
                         std::uint32_t productLs, const std::string& extra = "") {
    std::string bytes = "MZ" + std::string(62, '\0');
    const std::uint32_t fixed[] = {0xFEEF04BD, 0x00010000, fileMs, fileLs, productMs, productLs, 0,
                                   0,          0,          0,      0,      0,         0};
    bytes.append(reinterpret_cast<const char*>(fixed), sizeof fixed);
    return bytes + extra;
}

// The CAPI-over-TCP client 3.8.1.0 and the ISDN adapter's library 5.10.0.0.
inline const std::string kTcpClient =
    Image(0x00030008, 0x00010000, 0x00030000, 0, std::string("..Software\\AVM\\CAPIoTCP.."));
inline const std::string kIsdnLibrary = Image(0x0005000A, 0, 0x00020002, 0);

}  // namespace orvano::testing
