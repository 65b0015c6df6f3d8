// Linux: libfwnt's LZNT1 decoder, and zlib at level 9 for the size.
#include <libfwnt.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>

#include "bench_outside.h"

namespace {

bool Fwnt(const std::string& stream, std::string& out) {
    std::size_t size = out.size();
    libfwnt_error_t* error = nullptr;
    const bool ok = libfwnt_lznt1_decompress(
                        reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size(),
                        reinterpret_cast<std::uint8_t*>(out.data()), &size, &error) == 1;
    if (!ok) libfwnt_error_free(&error);
    return ok && size == out.size();
}

}  // namespace

std::vector<OutsideDecoder> OutsideDecoders() {
    return {{"libfwnt", Fwnt}};
}

void PrintOutsideSizes(const std::string& data, const std::string& ours) {
    uLongf size = compressBound(data.size());
    std::string zlib(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(zlib.data()), &size,
                  reinterpret_cast<const Bytef*>(data.data()), data.size(), 9) != Z_OK)
        return;
    std::printf(
        "size: packer (LZNT1) %zu bytes, zlib level 9 %lu bytes; LZNT1 is %.2f times zlib\n",
        ours.size(), static_cast<unsigned long>(size),
        static_cast<double>(ours.size()) / static_cast<double>(size));
}
