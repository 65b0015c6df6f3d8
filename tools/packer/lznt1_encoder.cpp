// LZNT1 compression: every 4096-byte block on its own, matches found through hash chains over
// three-byte prefixes, with one step of lazy matching (a match is put off by a literal when the
// next position starts a longer one).
#include "lznt1_encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace orvano::packer {

namespace {

constexpr std::size_t kBlock = 4096;
constexpr std::size_t kMinMatch = 3;

// The offset/length split of a copy token made when `u` bytes of the block are out.
unsigned OffsetBits(std::size_t u) {
    return std::max(4u, static_cast<unsigned>(std::bit_width(u - 1)));
}

std::size_t LongestLength(std::size_t u) {
    return (std::size_t{1} << (16 - OffsetBits(u))) + 2;
}

struct Match {
    std::size_t length = 0;
    std::size_t offset = 0;
};

// Hash chains over one block: for every position, the previous one with the same prefix hash.
class MatchFinder {
  public:
    MatchFinder(const std::uint8_t* block, std::size_t size, int depth)
        : block_(block), size_(size), depth_(depth) {
        head_.fill(-1);
    }

    // The longest match for position u among earlier positions of the block.
    Match Find(std::size_t u) {
        Insert(u);
        Match best;
        if (u == 0 || u + kMinMatch > size_) return best;
        const std::size_t limit = std::min(LongestLength(u), size_ - u);
        int tries = depth_;
        for (int at = head_[Hash(u)]; at >= 0 && tries-- > 0; at = prev_[at]) {
            const std::uint8_t* a = block_ + at;
            const std::uint8_t* b = block_ + u;
            if (a[best.length] != b[best.length]) continue;  // cannot beat the best so far
            std::size_t length = 0;
            while (length < limit && a[length] == b[length]) ++length;
            if (length > best.length) {
                best = {length, u - static_cast<std::size_t>(at)};
                if (length == limit) break;
            }
        }
        if (best.length < kMinMatch) best = {};
        return best;
    }

  private:
    unsigned Hash(std::size_t at) const {
        const std::uint32_t v = block_[at] | (block_[at + 1] << 8) | (block_[at + 2] << 16);
        return (v * 2654435761u) >> 20;
    }
    // Chains every position before u.
    void Insert(std::size_t u) {
        for (; inserted_ < u && inserted_ + kMinMatch <= size_; ++inserted_) {
            const unsigned h = Hash(inserted_);
            prev_[inserted_] = static_cast<std::int16_t>(head_[h]);
            head_[h] = static_cast<std::int16_t>(inserted_);
        }
    }

    const std::uint8_t* block_;
    std::size_t size_;
    int depth_;
    std::size_t inserted_ = 0;
    std::array<std::int16_t, 4096> head_;
    std::array<std::int16_t, kBlock> prev_{};
};

// Flag groups: a flag byte, then up to eight tokens it describes (bit set = copy token).
class BodyWriter {
  public:
    void Literal(std::uint8_t byte) {
        Token(false);
        body_.push_back(static_cast<char>(byte));
    }
    void Copy(std::size_t u, const Match& match) {
        Token(true);
        const unsigned lengthBits = 16 - OffsetBits(u);
        const unsigned word =
            static_cast<unsigned>(((match.offset - 1) << lengthBits) | (match.length - kMinMatch));
        body_.push_back(static_cast<char>(word & 0xFF));
        body_.push_back(static_cast<char>(word >> 8));
    }
    const std::string& body() const { return body_; }

  private:
    void Token(bool copy) {
        if (tokens_ == 8) {
            flagAt_ = body_.size();
            body_.push_back('\0');
            tokens_ = 0;
        }
        if (copy) body_[flagAt_] = static_cast<char>(body_[flagAt_] | (1 << tokens_));
        ++tokens_;
    }

    std::string body_;
    std::size_t flagAt_ = 0;
    int tokens_ = 8;
};

std::string CompressedBody(const std::uint8_t* block, std::size_t size, int depth) {
    MatchFinder finder(block, size, depth);
    BodyWriter writer;
    std::size_t u = 0;
    Match here = finder.Find(0);
    while (u < size) {
        if (here.length == 0) {
            writer.Literal(block[u++]);
            here = finder.Find(u);
            continue;
        }
        const Match next = u + 1 < size ? finder.Find(u + 1) : Match{};
        if (next.length > here.length) {
            writer.Literal(block[u++]);
            here = next;
            continue;
        }
        writer.Copy(u, here);
        u += here.length;
        here = finder.Find(u);
    }
    return writer.body();
}

void PutHeader(std::string& out, unsigned header) {
    out.push_back(static_cast<char>(header & 0xFF));
    out.push_back(static_cast<char>(header >> 8));
}

}  // namespace

std::string CompressLznt1(const std::string& data, int searchDepth) {
    std::string out;
    if (data.empty()) {
        PutHeader(out, 0);
        return out;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    for (std::size_t at = 0; at < data.size(); at += kBlock) {
        const std::size_t size = std::min(kBlock, data.size() - at);
        const std::string body = CompressedBody(bytes + at, size, std::max(1, searchDepth));
        // A full block is kept compressed only when that saves room; a short last block also
        // when it is larger, as long as it fits: raw short chunks trouble older readers.
        const bool lastShort = size < kBlock;
        if (body.size() < kBlock || (lastShort && body.size() <= kBlock)) {
            PutHeader(out, 0xB000 | static_cast<unsigned>(body.size() - 1));
            out += body;
        } else {
            PutHeader(out, 0x3000 | static_cast<unsigned>(size - 1));
            out.append(data, at, size);
        }
    }
    return out;
}

}  // namespace orvano::packer
