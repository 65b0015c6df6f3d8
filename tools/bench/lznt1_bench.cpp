// Benchmark, not a test: how fast the payload bodies decode with our decoder, with a decoder
// written elsewhere (libfwnt on Linux, ntdll's RtlDecompressBuffer under Wine) and with plain
// memcpy, all on the same data: the program's four payload files. On Linux it also sets the
// packer's output beside zlib at level 9. tools/bench/run.sh runs both builds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_outside.h"
#include "deploy/lznt1.h"
#include "deploy/payload.h"
#include "lznt1_encoder.h"

namespace {

using namespace orvano;
using Clock = std::chrono::steady_clock;

// Output megabytes per second of `run`: the best of seven rounds of about 0.2 s each, so that
// other work on the machine disturbs the figure as little as possible.
template <class Run>
double MegabytesPerSecond(std::size_t bytesPerRun, Run run) {
    run();  // warm up
    double best = 0;
    for (int round = 0; round < 7; ++round) {
        std::size_t runs = 0;
        const auto start = Clock::now();
        double seconds = 0;
        do {
            for (int i = 0; i < 10; ++i, ++runs) run();
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
        } while (seconds < 0.2);
        best = std::max(
            best, static_cast<double>(bytesPerRun) * static_cast<double>(runs) / seconds / 1e6);
    }
    return best;
}

}  // namespace

int main() {
    std::string data;
    for (const char* name : {deploy::kCapiV3810Payload, deploy::kCapiV3830Payload,
                             deploy::kCapiV51000Payload, deploy::kTelusoPayload}) {
        const std::string record = deploy::LoadResourceBytes(name);
        std::string file;
        if (record.size() <= deploy::kTrailerSize ||
            deploy::DecompressLznt1(record.substr(0, record.size() - deploy::kTrailerSize), file) ==
                0) {
            std::fprintf(stderr, "payload %s missing\n", name);
            return 1;
        }
        data += file;
    }
    const std::string stream = packer::CompressLznt1(data);
    std::printf("data: the four payload files, %zu bytes; packed %zu bytes (%.1f %%)\n",
                data.size(), stream.size(), 100.0 * stream.size() / data.size());

    std::string out(data.size(), '\0');
    std::size_t produced = 0;
    const double ours = MegabytesPerSecond(data.size(), [&] {
        deploy::DecodeLznt1(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size(),
                            reinterpret_cast<std::uint8_t*>(out.data()), out.size(), produced);
    });
    if (out != data) return std::fprintf(stderr, "our decoder got it wrong\n"), 1;
    std::printf("%-28s %9.0f MB/s\n", "our decoder", ours);

    for (const OutsideDecoder& outside : OutsideDecoders()) {
        std::string theirs(data.size(), '\0');
        bool right = true;
        const double speed = MegabytesPerSecond(
            data.size(), [&] { right = outside.decode(stream, theirs) && right; });
        if (!right || theirs != data) {
            std::printf("%-28s decodes differently\n", outside.name);
            return 1;
        }
        std::printf("%-28s %9.0f MB/s\n", outside.name, speed);
    }
    std::string copy(data.size(), '\0');
    const double copying = MegabytesPerSecond(data.size(), [&] {
        std::memcpy(copy.data(), data.data(), data.size());
        asm volatile("" : : "r"(copy.data()) : "memory");
    });
    std::printf("%-28s %9.0f MB/s\n", "memcpy", copying);
    const double packing =
        MegabytesPerSecond(data.size(), [&] { packer::CompressLznt1(data).size(); });
    std::printf("%-28s %9.1f MB/s\n", "packer (LZNT1 compressor)", packing);
    PrintOutsideSizes(data, stream);
    return 0;
}
