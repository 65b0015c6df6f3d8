// The LZNT1 decoder against known streams, a table of malformed ones, every offset/length
// split, and the packer's compressor; libfwnt, a decoder no one here wrote, checks the
// compressor's output independently.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "deploy/lznt1.h"
#include "fwnt_decode.h"
#include "lznt1_encoder.h"

namespace orvano::testing {
namespace {

using deploy::DecodeLznt1;
using deploy::Lznt1Error;
using namespace std::string_literals;

std::string Hex(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

// Decodes into exactly `capacity` bytes followed by guard bytes that must stay untouched.
Lznt1Error Decode(const std::string& in, std::size_t capacity, std::string& out) {
    std::vector<std::uint8_t> buffer(capacity + 16, 0xEE);
    std::size_t produced = 0;
    Lznt1Error error = DecodeLznt1(reinterpret_cast<const std::uint8_t*>(in.data()), in.size(),
                                   buffer.data(), capacity, produced);
    for (std::size_t i = capacity; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], 0xEE) << "wrote past the output buffer at " << i;
    out.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(produced));
    return error;
}

const std::string kW = "Wine";

TEST(Lznt1Decoder, KnownStreamsDecodeToTheirText) {
    const std::string ms = Hex(
        {0x38, 0xB0, 0x88, 0x46, 0x23, 0x20, 0x00, 0x20, 0x47, 0x20, 0x41, 0x00, 0x10, 0xA2, 0x47,
         0x01, 0xA0, 0x45, 0x20, 0x44, 0x00, 0x08, 0x45, 0x01, 0x50, 0x79, 0x00, 0xC0, 0x45, 0x20,
         0x05, 0x24, 0x13, 0x88, 0x05, 0xB4, 0x02, 0x4A, 0x44, 0xEF, 0x03, 0x58, 0x02, 0x8C, 0x09,
         0x16, 0x01, 0x48, 0x45, 0x00, 0xBE, 0x00, 0x9E, 0x00, 0x04, 0x01, 0x18, 0x90, 0x00});
    const std::string msText =
        "F# F# G A A G F# E D D E F# F# E E F# F# G A A G F# E D D E F# E D D E E F# D E F# G "
        "F# D E F# G F# E D E A F# F# G A A G F# E D D E F# E D D"s +
        '\0';
    const struct {
        const char* what;
        std::string stream;
        std::string text;
    } cases[] = {
        {"Microsoft's example, overlapping copies", ms, msText},
        {"both splits, 4/12 then 5/11",
         Hex({0x0E, 0xB0, 0x00}) + "abcdefgh" +
             Hex({0x05, 0x0D, 0x70, 0x21, 0x00, 0x10, 0x00, 0x00}),
         "abcdefghabcdefghabcdefgh!gh!"},
        {"5/11 token at 18",
         Hex({0x1A, 0xB0, 0x00}) + "compress" + '\0' + "edtestda" + '\x04' + "ta" +
             Hex({0x07, 0x88}) + "alot",
         "compressedtestdatacompressedalot"},
        {"a 6-byte chunk making a whole block", Hex({0x03, 0xB0, 0x02, 0x00, 0xFC, 0x0F}),
         std::string(4096, '\0')},
        {"short raw chunk", Hex({0x03, 0x30}) + kW, kW},
        {"raw chunk", Hex({0x07, 0x30}) + kW + kW, kW + kW},
        {"literals only", Hex({0x08, 0xB0, 0x00}) + kW + kW, kW + kW},
        {"copy after literals", Hex({0x06, 0xB0, 0x10}) + kW + Hex({0x01, 0x30}), kW + kW},
        {"copy longer than its offset", Hex({0x06, 0xB0, 0x10}) + kW + Hex({0x05, 0x30}),
         kW + kW + kW},
        {"flag bits past the chunk end", Hex({0x06, 0xB0, 0x30}) + kW + Hex({0x01, 0x30}), kW + kW},
        {"flag byte alone at the end", Hex({0x01, 0xB0, 0x02, 0x57}), "W"},
        {"4/12 split at 16",
         Hex({0x14, 0xB0, 0x00}) + "ABCDEFGH" + '\0' + "IJKLMNOP" + Hex({0x01, 0x01, 0xF0}),
         "ABCDEFGHIJKLMNOPABCD"},
        {"5/11 split at 17",
         Hex({0x15, 0xB0, 0x00}) + "ABCDEFGH" + '\0' + "IJKLMNOP" + Hex({0x02, 0x41, 0x00, 0x78}),
         "ABCDEFGHIJKLMNOPABCD"},
        {"empty compressed chunk", Hex({0x00, 0xB0, 0x00}), ""},
        {"end marker alone", Hex({0x00, 0x00}), ""},
        {"zero padding after the end marker", Hex({0x03, 0x30}) + kW + std::string(5, '\0'), kW},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(Decode(c.stream, c.text.size(), out), Lznt1Error::None) << c.what;
        EXPECT_EQ(out, c.text) << c.what;
    }
}

TEST(Lznt1Decoder, MalformedStreamsAreRefused) {
    const struct {
        const char* what;
        std::string stream;
        std::size_t capacity;
        Lznt1Error error;
    } cases[] = {
        {"empty", "", 16, Lznt1Error::TooShort},
        {"one byte", Hex({0x01}), 16, Lznt1Error::TooShort},
        {"raw chunk without its byte", Hex({0x00, 0x30}), 16, Lznt1Error::ChunkPastInput},
        {"raw chunk longer than the input", Hex({0x07, 0x30}) + kW, 16, Lznt1Error::ChunkPastInput},
        {"compressed chunk longer than the input", Hex({0x08, 0xB0, 0x00}) + kW, 16,
         Lznt1Error::ChunkPastInput},
        {"second chunk cut", Hex({0x00, 0xB0, 0x02, 0x00, 0xB0}), 16, Lznt1Error::ChunkPastInput},
        {"copy before the chunk start", Hex({0x06, 0xB0, 0x10}) + kW + Hex({0x05, 0x40}), 16,
         Lznt1Error::CopyBeforeStart},
        {"copy as the first token", Hex({0x02, 0xB0, 0x01, 0x00, 0x00}), 16,
         Lznt1Error::CopyBeforeStart},
        {"copy token cut by the chunk end", Hex({0x05, 0xB0, 0x10}) + kW + Hex({0x05}), 16,
         Lznt1Error::TokenCut},
        {"a chunk making 4097 bytes", Hex({0x03, 0xB0, 0x02, 0x00, 0xFD, 0x0F}), 8192,
         Lznt1Error::ChunkOverflow},
        {"short chunk before another", Hex({0x03, 0x30}) + kW + Hex({0x03, 0x30}) + kW, 16,
         Lznt1Error::ShortChunk},
        {"empty chunk before another", Hex({0x00, 0xB0, 0x00, 0x03, 0x30}) + kW, 16,
         Lznt1Error::ShortChunk},
        {"signature 2, raw", Hex({0x03, 0x20}) + kW, 16, Lznt1Error::BadSignature},
        {"signature 2, compressed", Hex({0x04, 0xA0, 0x00}) + kW, 16, Lznt1Error::BadSignature},
        {"one stray byte after the last chunk", Hex({0x03, 0x30}) + kW + Hex({0x01}), 16,
         Lznt1Error::TrailingBytes},
        {"stray byte after an empty chunk", Hex({0x00, 0xB0, 0x02, 0x01}), 16,
         Lznt1Error::TrailingBytes},
        {"a chunk after the end marker",
         Hex({0x03, 0x30}) + kW + Hex({0x00, 0x00, 0x03, 0x30}) + kW, 16,
         Lznt1Error::TrailingBytes},
        {"raw bytes past the output", Hex({0x07, 0x30}) + kW + kW, 7, Lznt1Error::OutputOverflow},
        {"literal past the output", Hex({0x08, 0xB0, 0x00}) + kW + kW, 7,
         Lznt1Error::OutputOverflow},
        {"copy past the output", Hex({0x06, 0xB0, 0x10}) + kW + Hex({0x05, 0x30}), 11,
         Lznt1Error::OutputOverflow},
        {"no output room at all", Hex({0x03, 0x30}) + kW, 0, Lznt1Error::OutputOverflow},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(Decode(c.stream, c.capacity, out), c.error) << c.what;
        EXPECT_TRUE(out.empty()) << c.what << ": a refused stream reports no bytes";
    }
}

// One compressed chunk: the literals, then one copy token.
std::string ChunkWithCopy(const std::string& literals, unsigned word) {
    std::string body;
    std::size_t flagAt = 0;
    for (std::size_t i = 0; i <= literals.size(); ++i) {
        if (i % 8 == 0) {
            flagAt = body.size();
            body.push_back('\0');
        }
        if (i < literals.size()) {
            body.push_back(literals[i]);
        } else {
            body[flagAt] = static_cast<char>(body[flagAt] | (1 << (i % 8)));
            body.push_back(static_cast<char>(word & 0xFF));
            body.push_back(static_cast<char>(word >> 8));
        }
    }
    const unsigned header = 0xB000 | static_cast<unsigned>(body.size() - 1);
    return Hex({static_cast<int>(header & 0xFF), static_cast<int>(header >> 8)}) + body;
}

// At every block position where the split changes, the furthest copy the token can name is
// decoded exactly, and one byte further is refused.
TEST(Lznt1Decoder, CopiesReachTheChunkStartAtEverySplit) {
    std::mt19937 random(7);
    std::vector<std::size_t> positions;
    for (std::size_t u = 16; u <= 2048; u *= 2) positions.insert(positions.end(), {u, u + 1});
    for (std::size_t u : positions) {
        std::string literals;
        for (std::size_t i = 0; i < u; ++i) literals.push_back(static_cast<char>(random()));
        unsigned offsetBits = 4;
        while ((std::size_t{1} << offsetBits) < u) ++offsetBits;
        const unsigned lengthBits = 16 - offsetBits;
        const std::size_t length = std::min((std::size_t{1} << lengthBits) + 2, 4096 - u);
        auto word = [&](std::size_t offset) {
            return static_cast<unsigned>(((offset - 1) << lengthBits) | (length - 3));
        };
        std::string expected = literals;
        for (std::size_t i = 0; i < length; ++i) expected.push_back(expected[i]);
        std::string out;
        EXPECT_EQ(Decode(ChunkWithCopy(literals, word(u)), 4096, out), Lznt1Error::None) << u;
        EXPECT_EQ(out, expected) << "at " << u;
        if (u + 1 <= (std::size_t{1} << offsetBits)) {
            EXPECT_EQ(Decode(ChunkWithCopy(literals, word(u + 1)), 4096, out),
                      Lznt1Error::CopyBeforeStart)
                << "at " << u;
        }
    }
}

std::string Text(std::size_t size) {
    static const char words[] = "Der Router nimmt CAPI-Verbindungen auf Port 5031 an. ";
    std::string s;
    while (s.size() < size) s += words;
    s.resize(size);
    return s;
}

std::string Random(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string s(size, '\0');
    for (char& c : s) c = static_cast<char>(random());
    return s;
}

// Compressed by the packer, decoded by us and by libfwnt, and well formed chunk by chunk.
TEST(Lznt1Compressor, RoundTripsAndWritesWellFormedChunks) {
    std::vector<std::pair<std::string, std::string>> inputs = {
        {"empty", ""},
        {"one byte", "x"},
        {"three bytes", "abc"},
        {"a block less one", Text(4095)},
        {"a block", Text(4096)},
        {"a block and one", Text(4097)},
        {"two blocks", Text(8192)},
        {"zeros", std::string(20000, '\0')},
        {"random block then 3640", Random(4096 + 3640, 1)},
        {"random block then 3641", Random(4096 + 3641, 2)},
        {"random", Random(10000, 3)},
        {"text", Text(30000)},
    };
    for (int period = 1; period <= 20; ++period) {
        std::string s;
        for (int i = 0; i < 5000; ++i) s.push_back(static_cast<char>('a' + i % period));
        inputs.push_back({"period " + std::to_string(period), s});
    }
    for (const auto& [what, data] : inputs) {
        const std::string stream = packer::CompressLznt1(data);
        std::string out;
        ASSERT_EQ(Decode(stream, data.size(), out), Lznt1Error::None) << what;
        EXPECT_TRUE(out == data) << what;
        if (!data.empty()) {
            EXPECT_TRUE(FwntDecode(stream, data.size()) == data) << what;
        }

        // Chunk by chunk: signature 3, every block but the last whole, nothing left over.
        const std::size_t blocks = (data.size() + 4095) / 4096;
        std::size_t at = 0, chunks = 0;
        while (!data.empty() && at + 2 <= stream.size()) {
            const unsigned header = static_cast<std::uint8_t>(stream[at]) |
                                    (static_cast<std::uint8_t>(stream[at + 1]) << 8);
            EXPECT_EQ(header & 0x7000, 0x3000u) << what;
            std::string block;
            EXPECT_EQ(Decode(stream.substr(at, 3 + (header & 0xFFF)), 4096, block),
                      Lznt1Error::None);
            if (++chunks < blocks) {
                EXPECT_EQ(block.size(), 4096u) << what << " chunk " << chunks;
            }
            at += 3 + (header & 0xFFF);
        }
        if (!data.empty()) {
            EXPECT_EQ(chunks, blocks) << what;
        }
        // Never more than a header per block and the literal flags of a short last block.
        EXPECT_LE(stream.size(), data.size() + 2 * blocks + 455 + 2) << what;
    }
    // Repetitive text shrinks a lot, random bytes cost at most the chunk headers.
    EXPECT_LT(packer::CompressLznt1(Text(30000)).size(), 3000u);
    EXPECT_LE(packer::CompressLznt1(Random(8192, 4)).size(), 8192u + 4);
}

// Every cut and every flipped byte of a real stream is refused or decoded inside the buffer;
// a cut that keeps whole chunks decodes to exactly their bytes.
TEST(Lznt1Decoder, CutAndDamagedStreamsStayInsideTheirBuffers) {
    const std::string data = Text(9000) + Random(3000, 5);
    const std::string stream = packer::CompressLznt1(data);
    std::string out;
    for (std::size_t cut = 0; cut < stream.size(); ++cut) {
        if (Decode(stream.substr(0, cut), data.size(), out) == Lznt1Error::None) {
            EXPECT_EQ(out.size() % 4096, 0u) << "cut at " << cut;
            EXPECT_EQ(out, data.substr(0, out.size())) << "cut at " << cut;
        }
    }
    for (std::size_t at = 0; at < stream.size(); ++at) {
        std::string damaged = stream;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
        Decode(damaged, data.size(), out);  // the guard bytes are checked inside
        EXPECT_LE(out.size(), data.size());
    }
}

TEST(DecompressLznt1, GivesTwelveAndAHalfTimesTheInputAndNeverACutFile) {
    const struct {
        std::size_t compressed, room;
    } rooms[] = {{0, 0}, {1, 12}, {2, 25}, {3, 38}, {5, 62}, {7, 88}, {26877, 335962}};
    for (const auto& r : rooms) EXPECT_EQ(deploy::Lznt1Room(r.compressed), r.room) << r.compressed;

    const std::string wine = Hex({0x06, 0xB0, 0x10}) + kW + Hex({0x05, 0x30});  // 12 bytes out
    const struct {
        const char* what;
        std::string stream;
        std::size_t outSize;  // 0: let the function size it
        std::uint32_t length;
    } cases[] = {
        {"fits the default room", wine, 0, 12},
        {"a given room of exactly the length", wine, 12, 12},
        {"a given room one short", wine, 11, 0},
        {"more than 12.5 times the input", Hex({0x03, 0xB0, 0x02, 0x00, 0xFC, 0x0F}), 0, 0},
        {"malformed", Hex({0x06, 0xB0, 0x10}) + kW + Hex({0x05, 0x40}), 0, 0},
        {"empty", "", 0, 0},
    };
    for (const auto& c : cases) {
        std::string out(c.outSize, 'z');
        EXPECT_EQ(deploy::DecompressLznt1(c.stream, out), c.length) << c.what;
        EXPECT_EQ(out.size(), c.length) << c.what;
        if (c.length) {
            EXPECT_EQ(out, kW + kW + kW) << c.what;
        }
    }
}

}  // namespace
}  // namespace orvano::testing
