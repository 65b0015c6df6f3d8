// The LZNT1 compressor of the build: it makes the payload bodies the program later decodes.
#pragma once

#include <cstddef>
#include <string>

namespace orvano::packer {

// How hard the match finder looks: the most earlier positions it tries for each match.
inline constexpr int kDefaultSearchDepth = 4096;

// Compresses `data` into a plain LZNT1 stream without an end marker (an empty input gives the
// end marker alone). Full blocks that do not shrink are stored raw; a shorter last block is
// stored compressed whenever that fits, which every LZNT1 reader accepts.
std::string CompressLznt1(const std::string& data, int searchDepth = kDefaultSearchDepth);

}  // namespace orvano::packer
