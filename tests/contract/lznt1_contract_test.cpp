// Our LZNT1 decoder beside the system's (ntdll's RtlDecompressBuffer under Wine, its model in
// the in-memory platform): what the packer writes, both decode alike; what the system writes,
// ours decodes; and the system decoder keeps the lenient behaviour Windows is known for, which
// ours deliberately does not copy.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "deploy/lznt1.h"
#include "deploy/payload.h"
#include "lznt1_encoder.h"
#include "platform/compression.h"

namespace orvano::contract {
namespace {

namespace pf = orvano::platform;

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

const std::string kW = "Wine";

std::string Ours(const std::string& stream, std::size_t size, bool& ok) {
    std::string out(size, '\0');
    std::size_t produced = 0;
    ok = deploy::DecodeLznt1(reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size(),
                             reinterpret_cast<std::uint8_t*>(out.data()), out.size(),
                             produced) == deploy::Lznt1Error::None;
    out.resize(produced);
    return out;
}

// Windows' results for these streams, as Wine's conformance tests record them.
TEST(Lznt1Contract, TheSystemDecoderIsAsLenientAsWindows) {
    const std::string letters = Bytes({0x00}) + "ABCDEFGH" + Bytes({0x00}) + "IJKLMNOP";
    const struct {
        const char* what;
        std::string stream;
        std::size_t room;
        std::uint32_t status;
        std::string text;
    } cases[] = {
        {"short raw chunk", Bytes({0x03, 0x30}) + kW, 64, pf::kStatusSuccess, kW},
        {"literals", Bytes({0x08, 0xB0, 0x00}) + kW + kW, 64, pf::kStatusSuccess, kW + kW},
        {"overlapping copy", Bytes({0x06, 0xB0, 0x10}) + kW + Bytes({0x05, 0x30}), 64,
         pf::kStatusSuccess, kW + kW + kW},
        {"flag bits past the end", Bytes({0x06, 0xB0, 0x30}) + kW + Bytes({0x01, 0x30}), 64,
         pf::kStatusSuccess, kW + kW},
        {"stops at the end marker", Bytes({0x03, 0x30}) + kW + Bytes({0x00, 0x00, 0x03, 0x30}) + kW,
         64, pf::kStatusSuccess, kW},
        {"4/12 split", Bytes({0x14, 0xB0}) + letters + Bytes({0x01, 0x01, 0xF0}), 64,
         pf::kStatusSuccess, "ABCDEFGHIJKLMNOPABCD"},
        {"5/11 split", Bytes({0x15, 0xB0}) + letters + Bytes({0x02, 0x41, 0x00, 0x78}), 64,
         pf::kStatusSuccess, "ABCDEFGHIJKLMNOPABCD"},
        {"signature not checked", Bytes({0x04, 0xA0, 0x00}) + kW, 64, pf::kStatusSuccess, kW},
        {"stray byte ignored", Bytes({0x00, 0xB0, 0x02, 0x01}), 64, pf::kStatusSuccess, ""},
        {"room of exactly the length", Bytes({0x08, 0xB0, 0x00}) + kW + kW, 8, pf::kStatusSuccess,
         kW + kW},
        {"literals cut off with success", Bytes({0x08, 0xB0, 0x00}) + kW + kW, 7,
         pf::kStatusSuccess, "WineWin"},
        {"empty", "", 64, pf::kStatusBadCompressionBuffer, ""},
        {"one byte", Bytes({0x01}), 64, pf::kStatusBadCompressionBuffer, ""},
        {"copy before the chunk start", Bytes({0x06, 0xB0, 0x10}) + kW + Bytes({0x05, 0x40}), 64,
         pf::kStatusBadCompressionBuffer, ""},
        {"copy token cut", Bytes({0x05, 0xB0, 0x10}) + kW + Bytes({0x05}), 64,
         pf::kStatusBadCompressionBuffer, ""},
        {"chunk longer than the input", Bytes({0x07, 0x30}) + kW, 64,
         pf::kStatusBadCompressionBuffer, ""},
        {"second chunk cut", Bytes({0x00, 0xB0, 0x02, 0x00, 0xB0}), 64,
         pf::kStatusBadCompressionBuffer, ""},
    };
    for (const auto& c : cases) {
        std::string out(c.room, '\0');
        EXPECT_EQ(pf::SystemDecompressLznt1(c.stream, out), c.status) << c.what;
        if (c.status == pf::kStatusSuccess) {
            EXPECT_EQ(out, c.text) << c.what;
        }
    }
}

std::vector<std::pair<std::string, std::string>> Samples() {
    std::mt19937 random(11);
    std::string noise(9000, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    std::string text;
    while (text.size() < 20000) text += "CAPI over TCP, Port 5031, Router 192.168.178.1. ";
    std::string periodic;
    for (int i = 0; i < 6000; ++i) periodic.push_back(static_cast<char>('a' + i % 7));
    std::vector<std::pair<std::string, std::string>> samples = {
        {"one byte", "x"},
        {"a block less one", text.substr(0, 4095)},
        {"a block", text.substr(0, 4096)},
        {"a block and 3641", noise.substr(0, 4096 + 3641)},
        {"zeros", std::string(12000, '\0')},
        {"noise", noise},
        {"text", text},
        {"periodic", periodic},
    };
    for (const char* name :
         {deploy::kCapiV3810Payload, deploy::kCapiV51000Payload, deploy::kTelusoPayload}) {
        const std::string record = deploy::LoadResourceBytes(name);
        std::string file;
        if (record.size() > deploy::kTrailerSize)
            deploy::DecompressLznt1(record.substr(0, record.size() - deploy::kTrailerSize), file);
        samples.push_back({name, file});
    }
    return samples;
}

TEST(Lznt1Contract, ThePackersStreamsDecodeAlikeWithOursAndTheSystems) {
    for (const auto& [what, data] : Samples()) {
        ASSERT_FALSE(data.empty()) << what;
        const std::string stream = packer::CompressLznt1(data);
        std::string system(data.size(), '\0');
        EXPECT_EQ(pf::SystemDecompressLznt1(stream, system), pf::kStatusSuccess) << what;
        EXPECT_TRUE(system == data) << what;
        bool ok = false;
        EXPECT_TRUE(Ours(stream, data.size(), ok) == data) << what;
        EXPECT_TRUE(ok) << what;
    }
}

TEST(Lznt1Contract, TheSystemsStreamsDecodeWithOurs) {
    for (bool maximum : {false, true}) {
        for (const auto& [what, data] : Samples()) {
            std::string stream;
            ASSERT_TRUE(pf::StatusSucceeded(pf::SystemCompressLznt1(data, maximum, stream)))
                << what;
            bool ok = false;
            EXPECT_TRUE(Ours(stream, data.size(), ok) == data) << what;
            EXPECT_TRUE(ok) << what << (maximum ? ", maximum engine" : ", standard engine");
        }
    }
}

}  // namespace
}  // namespace orvano::contract
