// The LZNT1 decoder. A stream is a run of chunks, each standing for one 4096-byte block of the
// original (the last may be shorter) and referring to nothing outside its own block. The
// decoder only ever sees our own packer's output, so it is strict: whatever a lenient reader
// would pad, skip or cut off is refused here instead.
#include "deploy/lznt1.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace orvano::deploy {

namespace {

constexpr std::size_t kBlock = 4096;

// A copy token's split: the offset takes as many bits as the block position needs (4 to 12),
// the length the rest of the 16.
inline unsigned OffsetBits(std::size_t made) {
    return std::max(4u, static_cast<unsigned>(std::bit_width(made - 1)));
}

// Copies front to back: a copy may overlap the bytes it makes (a run when the offset is 1).
inline void CopyBack(std::uint8_t* to, std::size_t offset, std::size_t length) {
    const std::uint8_t* from = to - offset;
    if (offset >= length) {
        std::memcpy(to, from, length);
    } else if (offset == 1) {
        std::memset(to, *from, length);
    } else if (offset >= 8) {
        // Eight bytes at a time never read a byte this step writes.
        std::size_t i = 0;
        for (; i + 8 <= length; i += 8) std::memcpy(to + i, from + i, 8);
        for (; i < length; ++i) to[i] = from[i];
    } else {
        for (std::size_t i = 0; i < length; ++i) to[i] = from[i];
    }
}

// One compressed chunk body into block[0, room); made gets its length.
Lznt1Error DecodeChunk(const std::uint8_t* p, const std::uint8_t* end, std::uint8_t* block,
                       std::size_t room, std::size_t& made) {
    std::size_t u = 0;
    // Refusal of a token that would pass `room`: the block's own limit or the caller's buffer.
    auto overflow = [](std::size_t wanted) {
        return wanted > kBlock ? Lznt1Error::ChunkOverflow : Lznt1Error::OutputOverflow;
    };
    while (p < end) {
        unsigned flags = *p++;
        // Flag bits past the chunk's end stand for nothing and are ignored.
        for (int bit = 0; bit < 8 && p < end; ++bit, flags >>= 1) {
            if ((flags & 1) == 0) {
                if (u == room) return overflow(u + 1);
                block[u++] = *p++;
                continue;
            }
            if (end - p < 2) return Lznt1Error::TokenCut;
            if (u == 0) return Lznt1Error::CopyBeforeStart;
            const unsigned word = p[0] | (p[1] << 8);
            p += 2;
            const unsigned lengthBits = 16 - OffsetBits(u);
            const std::size_t offset = (word >> lengthBits) + 1;
            const std::size_t length = (word & ((1u << lengthBits) - 1)) + 3;
            if (offset > u) return Lznt1Error::CopyBeforeStart;
            if (length > room - u) return overflow(u + length);
            CopyBack(block + u, offset, length);
            u += length;
        }
    }
    made = u;
    return Lznt1Error::None;
}

}  // namespace

Lznt1Error DecodeLznt1(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out,
                       std::size_t capacity, std::size_t& produced) {
    produced = 0;
    if (inSize < 2) return Lznt1Error::TooShort;
    std::size_t pos = 0;
    std::size_t made = 0;
    bool lastWasShort = false;
    while (inSize - pos >= 2) {
        const unsigned header = in[pos] | (in[pos + 1] << 8);
        pos += 2;
        if (header == 0) {
            // The end marker; only zero padding may follow it.
            if (std::any_of(in + pos, in + inSize, [](std::uint8_t b) { return b != 0; }))
                return Lznt1Error::TrailingBytes;
            pos = inSize;
            break;
        }
        if ((header & 0x7000) != 0x3000) return Lznt1Error::BadSignature;
        const std::size_t body = (header & 0x0FFF) + 1;
        if (body > inSize - pos) return Lznt1Error::ChunkPastInput;
        if (lastWasShort) return Lznt1Error::ShortChunk;
        const std::size_t room = std::min(kBlock, capacity - made);
        std::size_t chunk = 0;
        if (header & 0x8000) {
            Lznt1Error error = DecodeChunk(in + pos, in + pos + body, out + made, room, chunk);
            if (error != Lznt1Error::None) return error;
        } else {
            if (body > room) return Lznt1Error::OutputOverflow;
            std::memcpy(out + made, in + pos, body);
            chunk = body;
        }
        made += chunk;
        lastWasShort = chunk != kBlock;
        pos += body;
    }
    if (pos != inSize) return Lznt1Error::TrailingBytes;
    produced = made;
    return Lznt1Error::None;
}

std::size_t Lznt1Room(std::size_t compressedSize) {
    const std::uint64_t twice = static_cast<std::uint64_t>(compressedSize) * 25;
    std::uint64_t room = twice / 2;
    if ((twice & 1) && (room & 1)) ++room;  // x.5 goes to the even neighbour
    return room > std::numeric_limits<std::size_t>::max() ? 0 : static_cast<std::size_t>(room);
}

std::uint32_t DecompressLznt1(const std::string& compressed, std::string& out) {
    if (out.empty()) {
        try {
            out.assign(Lznt1Room(compressed.size()), '\0');
        } catch (const std::bad_alloc&) {
            return 0;
        } catch (const std::length_error&) {
            return 0;
        }
    }
    std::size_t produced = 0;
    if (DecodeLznt1(reinterpret_cast<const std::uint8_t*>(compressed.data()), compressed.size(),
                    reinterpret_cast<std::uint8_t*>(out.data()), out.size(),
                    produced) != Lznt1Error::None ||
        produced > std::numeric_limits<std::uint32_t>::max())
        produced = 0;
    out.resize(produced);
    return static_cast<std::uint32_t>(produced);
}

}  // namespace orvano::deploy
