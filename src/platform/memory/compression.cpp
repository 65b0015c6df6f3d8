// The system LZNT1 codec as Windows behaves (checked against Windows by Wine's conformance
// tests): lenient where our own decoder is strict. No signature check, a short chunk is
// padded with zeros to its block, bytes after the last chunk or the end marker are ignored,
// and output that does not fit is cut off with success unless the cut falls inside a copy.
// Compression stores every block raw, as Wine's does; any reader takes that.
#include <algorithm>
#include <bit>
#include <cstdint>

#include "platform/compression.h"

namespace orvano::platform {

namespace {

unsigned Byte(const std::string& s, std::size_t at) {
    return static_cast<unsigned char>(s[at]);
}

}  // namespace

std::uint32_t SystemDecompressLznt1(const std::string& in, std::string& out) {
    const std::size_t room = out.size();
    std::size_t made = 0, pos = 0;
    if (in.size() < 2) return kStatusBadCompressionBuffer;
    bool first = true;
    while (pos + 2 <= in.size()) {
        const unsigned header = Byte(in, pos) | (Byte(in, pos + 1) << 8);
        if (header == 0) break;
        const std::size_t body = (header & 0x0FFF) + 1;
        pos += 2;
        if (body > in.size() - pos) return kStatusBadCompressionBuffer;
        if (!first && made % 4096 != 0) {
            const std::size_t padded = std::min(room, (made / 4096 + 1) * 4096);
            std::fill(out.begin() + static_cast<std::ptrdiff_t>(made),
                      out.begin() + static_cast<std::ptrdiff_t>(padded), '\0');
            made = padded;
        }
        first = false;
        const std::size_t start = made, end = pos + body;
        if (!(header & 0x8000)) {
            const std::size_t n = std::min(body, room - made);
            std::copy_n(in.begin() + static_cast<std::ptrdiff_t>(pos), n,
                        out.begin() + static_cast<std::ptrdiff_t>(made));
            made += n;
        } else {
            std::size_t p = pos;
            while (p < end) {
                unsigned flags = Byte(in, p++);
                for (int bit = 0; bit < 8 && p < end; ++bit, flags >>= 1) {
                    if (!(flags & 1)) {
                        if (made == room) {
                            out.resize(made);
                            return kStatusSuccess;
                        }
                        out[made++] = in[p++];
                        continue;
                    }
                    if (end - p < 2) return kStatusBadCompressionBuffer;
                    const std::size_t u = made - start;
                    if (u == 0) return kStatusBadCompressionBuffer;
                    const unsigned word = Byte(in, p) | (Byte(in, p + 1) << 8);
                    p += 2;
                    const unsigned lengthBits =
                        16 - std::max(4u, static_cast<unsigned>(std::bit_width(u - 1)));
                    const std::size_t offset = (word >> lengthBits) + 1;
                    const std::size_t length = (word & ((1u << lengthBits) - 1)) + 3;
                    if (offset > u || length > room - made) return kStatusBadCompressionBuffer;
                    for (std::size_t i = 0; i < length; ++i, ++made) out[made] = out[made - offset];
                }
            }
        }
        pos = end;
    }
    out.resize(made);
    return kStatusSuccess;
}

std::uint32_t SystemCompressLznt1(const std::string& data, bool, std::string& compressed) {
    compressed.clear();
    for (std::size_t at = 0; at < data.size(); at += 4096) {
        const std::size_t n = std::min<std::size_t>(4096, data.size() - at);
        const unsigned header = 0x3000 | static_cast<unsigned>(n - 1);
        compressed.push_back(static_cast<char>(header & 0xFF));
        compressed.push_back(static_cast<char>(header >> 8));
        compressed.append(data, at, n);
    }
    return kStatusSuccess;
}

}  // namespace orvano::platform
