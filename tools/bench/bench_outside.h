// The decoders and compressors the benchmark sets beside ours; one source per platform.
#pragma once

#include <string>
#include <vector>

struct OutsideDecoder {
    const char* name;
    // Decodes the stream into `out`, which has the decoded size; false on a refusal.
    bool (*decode)(const std::string& stream, std::string& out);
};

std::vector<OutsideDecoder> OutsideDecoders();
// Sizes of other compressors on the same data, when the platform has them.
void PrintOutsideSizes(const std::string& data, const std::string& ours);
