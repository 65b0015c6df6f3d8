// Windows (run under Wine): ntdll's RtlDecompressBuffer through the platform port.
#include "bench_outside.h"
#include "platform/compression.h"

namespace {

bool Rtl(const std::string& stream, std::string& out) {
    const std::size_t size = out.size();
    const bool ok =
        orvano::platform::SystemDecompressLznt1(stream, out) == orvano::platform::kStatusSuccess;
    const bool whole = out.size() == size;
    out.resize(size);
    return ok && whole;
}

}  // namespace

std::vector<OutsideDecoder> OutsideDecoders() {
    return {{"RtlDecompressBuffer", Rtl}};
}

void PrintOutsideSizes(const std::string&, const std::string&) {}
