// What the program's four payloads are, as the unit tests (in-memory image) and the contract
// tests (real resources under Wine) both expect them: file name, time stamp, version and kind.
#pragma once

#include <cstdint>

#include "deploy/capi_locations.h"
#include "deploy/payload.h"

namespace orvano::testing {

// 2007-05-07 01:00:00 UTC and 2009-12-10 01:01:06 UTC as FILETIMEs.
inline constexpr std::uint64_t kMay2007 = 128229732000000000ULL;
inline constexpr std::uint64_t kDec2009 = 129048804660000000ULL;

struct PayloadFacts {
    const char* name;
    const char* file;
    std::uint64_t stamp;
    std::uint32_t fileMs, fileLs, productMs, productLs;
    deploy::CapiKind kind;
};

inline constexpr PayloadFacts kPayloadFacts[] = {
    {deploy::kCapiV3810Payload, "capi2032.dll", 127749928080000000ULL, 0x30008, 0x10000, 0x30000, 0,
     deploy::CapiKind::OverTcp},
    {deploy::kCapiV3830Payload, "capi2032.dll", 127749384000000000ULL, 0x30008, 0x30000, 0x30000, 0,
     deploy::CapiKind::OverTcp},
    {deploy::kCapiV51000Payload, "capi2032.dll", kMay2007, 0x5000A, 0, 0x20002, 0,
     deploy::CapiKind::Other},
    {deploy::kTelusoPayload, "Teluso.exe", kDec2009, 0x20001, 0x6, 0x20001, 0x6,
     deploy::CapiKind::None},
};

}  // namespace orvano::testing
