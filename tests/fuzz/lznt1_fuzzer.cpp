// libFuzzer target for the LZNT1 decoder: any bytes, any output room. The sanitizers catch a
// read or write outside the two buffers; the checks below catch a success that lies. Every
// input also goes through the packer's compressor and must come back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "deploy/lznt1.h"
#include "lznt1_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvano;
    if (size < 2) return 0;
    // The first two bytes choose the output room, so that small rooms meet long streams.
    const std::size_t room = (data[0] | (data[1] << 8)) % 20000;
    std::vector<std::uint8_t> out(room);  // exactly the room: ASan sees one byte past it
    std::size_t produced = 1234;
    const deploy::Lznt1Error error =
        deploy::DecodeLznt1(data + 2, size - 2, out.data(), room, produced);
    if (error == deploy::Lznt1Error::None ? produced > room : produced != 0) std::abort();

    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string stream = packer::CompressLznt1(input, 64);
    std::string back(input.size(), '\0');
    if (deploy::DecodeLznt1(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size(),
                            reinterpret_cast<std::uint8_t*>(back.data()), back.size(),
                            produced) != deploy::Lznt1Error::None ||
        produced != input.size() || back != input)
        std::abort();
    return 0;
}
