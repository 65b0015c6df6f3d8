#include "record.h"

#include <algorithm>
#include <cstdio>

#include "lznt1_encoder.h"

namespace orvano::packer {

namespace {

void PutU32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutU64(std::string& bytes, std::size_t at, std::uint64_t value) {
    PutU32(bytes, at, static_cast<std::uint32_t>(value));
    PutU32(bytes, at + 4, static_cast<std::uint32_t>(value >> 32));
}

// Days from 1970-01-01 to the date (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

}  // namespace

bool ParseUtc(const std::string& text, std::uint64_t& fileTime) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) !=
            6 ||
        y < 1601 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 ||
        s < 0 || s > 59)
        return false;
    // FILETIME counts 100 ns from 1601-01-01, 11644473600 s before the Unix epoch.
    const std::int64_t seconds =
        DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86400 + h * 3600 +
        mi * 60 + s;
    fileTime = static_cast<std::uint64_t>(seconds + 11644473600LL) * 10000000ULL;
    return true;
}

std::string MakeTrailer(const deploy::FileDescription& description) {
    using namespace deploy;
    std::string trailer(kTrailerSize, '\0');
    trailer.replace(0, 4, kTrailerSignature);
    const std::size_t base = 4;
    PutU32(trailer, base + kAttributesAt, description.attributes);
    PutU64(trailer, base + kCreationTimeAt, description.creationTime);
    PutU64(trailer, base + kLastAccessTimeAt, description.lastAccessTime);
    PutU64(trailer, base + kLastWriteTimeAt, description.lastWriteTime);
    PutU32(trailer, base + kSizeHighAt, static_cast<std::uint32_t>(description.fileSize >> 32));
    PutU32(trailer, base + kSizeLowAt, static_cast<std::uint32_t>(description.fileSize));
    // Names are cut to leave room for their NUL.
    const std::size_t name = std::min(description.fileName.size(), kFileNameSize - 1);
    trailer.replace(base + kFileNameAt, name, description.fileName, 0, name);
    const std::size_t alternate =
        std::min(description.alternateName.size(), kAlternateNameSize - 1);
    trailer.replace(base + kAlternateNameAt, alternate, description.alternateName, 0, alternate);
    return trailer;
}

std::string MakePayloadRecord(const std::string& file, const std::string& fileName,
                              std::uint64_t stamp, bool compressed) {
    deploy::FileDescription description;
    description.attributes = 0x20;  // archive
    description.creationTime = description.lastAccessTime = description.lastWriteTime = stamp;
    description.fileSize = file.size();
    description.fileName = fileName;
    return (compressed ? CompressLznt1(file) : file) + MakeTrailer(description);
}

bool MakeUtf16Script(const std::string& text, std::string& script) {
    script.assign("\xFF\xFE");
    auto put = [&script](char c) {
        script.push_back(c);
        script.push_back('\0');
    };
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
        if (c == '\r') continue;
        if (c == '\n') put('\r');
        put(c);
    }
    return true;
}

}  // namespace orvano::packer
