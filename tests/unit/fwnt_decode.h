// LZNT1 decoded by libfwnt, a decoder written by others, as a yardstick for our own.
#pragma once

#include <libfwnt.h>

#include <cstdint>
#include <optional>
#include <string>

namespace orvano::testing {

// The decoded bytes, at most `size` of them; nullopt when libfwnt refuses the stream.
inline std::optional<std::string> FwntDecode(const std::string& in, std::size_t size) {
    std::string out(size, '\0');
    std::size_t produced = size;
    libfwnt_error_t* error = nullptr;
    if (libfwnt_lznt1_decompress(reinterpret_cast<const std::uint8_t*>(in.data()), in.size(),
                                 reinterpret_cast<std::uint8_t*>(out.data()), &produced,
                                 &error) != 1) {
        libfwnt_error_free(&error);
        return std::nullopt;
    }
    out.resize(produced);
    return out;
}

}  // namespace orvano::testing
