// LZNT1, the chunked LZ77 format of the embedded payload files: our own strict decoder and
// the decompression step the extraction uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvano::deploy {

// Why a stream was refused. The decoder never reads or writes outside its two buffers,
// whatever the stream holds.
enum class Lznt1Error {
    None,
    TooShort,         // fewer than 2 bytes: not even a chunk header
    BadSignature,     // header bits 12..14 are not 3
    ChunkPastInput,   // a chunk's length runs past the end of the stream
    ShortChunk,       // a chunk other than the last made fewer than 4096 bytes
    TokenCut,         // a copy token's second byte lies past its chunk
    CopyBeforeStart,  // a copy reaches back before its chunk's first byte
    ChunkOverflow,    // a chunk makes more than 4096 bytes
    OutputOverflow,   // the output buffer is too small for what the stream makes
    TrailingBytes,    // something other than zero padding follows the end marker
};

// Decodes the stream in[0, inSize) into out[0, capacity). On success `produced` is the number
// of bytes made; on failure it is 0 and out holds whatever was made up to the fault.
Lznt1Error DecodeLznt1(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out,
                       std::size_t capacity, std::size_t& produced);

// The output room DecompressLznt1 gives a stream of `compressedSize` bytes: 12.5 times that,
// rounded to the nearest integer with halves to even.
std::size_t Lznt1Room(std::size_t compressedSize);

// Decompresses an LZNT1 stream. An empty `out` is first made Lznt1Room(compressed) zero bytes
// long; a non-empty one is used at its length. `out` is then cut to the decompressed length,
// which is the result. A malformed stream, or one that does not fit, gives 0 and an empty out:
// a cut-off file is never passed on as a whole one.
std::uint32_t DecompressLznt1(const std::string& compressed, std::string& out);

}  // namespace orvano::deploy
