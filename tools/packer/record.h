// Payload records and registry scripts as the build makes them for the program's resources.
#pragma once

#include <cstdint>
#include <string>

#include "deploy/payload.h"

namespace orvano::packer {

// "YYYY-MM-DD HH:MM:SS" (UTC) as a FILETIME; false for anything else.
bool ParseUtc(const std::string& text, std::uint64_t& fileTime);

// The 322-byte trailer: "WFD " and the description laid out as WIN32_FIND_DATAA.
std::string MakeTrailer(const deploy::FileDescription& description);

// The payload record of a file: its bytes, LZNT1-compressed when `compressed`, then the
// trailer naming it, with the archive attribute and `stamp` as its three times.
std::string MakePayloadRecord(const std::string& file, const std::string& fileName,
                              std::uint64_t stamp, bool compressed);

// An ASCII text with LF or CR LF line ends as a registry script: byte-order mark, UTF-16LE,
// CR LF. False when the text holds a byte outside ASCII.
bool MakeUtf16Script(const std::string& text, std::string& script);

}  // namespace orvano::packer
