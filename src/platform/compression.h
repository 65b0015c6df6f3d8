// The system's own LZNT1 codec (ntdll). The program decodes its payloads with its own decoder;
// the tests and the benchmark measure it against this one.
#pragma once

#include <cstdint>
#include <string>

namespace orvano::platform {

inline constexpr std::uint32_t kStatusSuccess = 0;
inline constexpr std::uint32_t kStatusBadCompressionBuffer = 0xC0000242;

// True for the NTSTATUS success and information classes.
inline bool StatusSucceeded(std::uint32_t status) {
    return (status & 0x80000000u) == 0;
}

// RtlDecompressBuffer(COMPRESSION_FORMAT_LZNT1, out, out.size(), in, in.size(), &final): the
// status; on success `out` is cut to the final size.
std::uint32_t SystemDecompressLznt1(const std::string& compressed, std::string& out);
// RtlGetCompressionWorkSpaceSize, RtlCompressBuffer(COMPRESSION_FORMAT_LZNT1 | standard or
// maximum engine, chunk size 4096): the status; `compressed` gets the stream.
std::uint32_t SystemCompressLznt1(const std::string& data, bool maximumEngine,
                                  std::string& compressed);

}  // namespace orvano::platform
