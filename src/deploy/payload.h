// The files the program carries inside itself: data resources holding a payload record (the
// file's bytes, then a 322-byte trailer describing it), and the extraction of one to disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/files.h"

namespace orvano::deploy {

// The payload resources, in the form the program asks for them.
inline constexpr char kCapiV3810Payload[] = "capi2032_dll_V3810_BIN_WFD_NTC";
inline constexpr char kCapiV3830Payload[] = "capi2032_dll_V3830_BIN_WFD_NTC";
inline constexpr char kCapiV51000Payload[] = "capi2032_dll_V51000_BIN_WFD_NTC";
inline constexpr char kTelusoPayload[] = "Teluso_exe_V2106_BIN_WFD_NTC";
// The two built-in registry scripts (UTF-16LE with byte-order mark), used as they are.
inline constexpr char kNativeDefaultsScript[] = "FB_IP_1921681781_REG";
inline constexpr char kWow6432DefaultsScript[] = "FB_IP_Wow6432Node_1921681781_REG";

// The trailer: "WFD " and the file's description laid out as WIN32_FIND_DATAA.
inline constexpr std::size_t kTrailerSize = 322;
inline constexpr std::size_t kFindDataSize = 318;
inline constexpr char kTrailerSignature[] = "WFD ";

// Offsets inside the find-data record.
inline constexpr std::size_t kAttributesAt = 0;
inline constexpr std::size_t kCreationTimeAt = 4;
inline constexpr std::size_t kLastAccessTimeAt = 12;
inline constexpr std::size_t kLastWriteTimeAt = 20;
inline constexpr std::size_t kSizeHighAt = 28;
inline constexpr std::size_t kSizeLowAt = 32;
inline constexpr std::size_t kFileNameAt = 44;
inline constexpr std::size_t kFileNameSize = 260;
inline constexpr std::size_t kAlternateNameAt = 304;
inline constexpr std::size_t kAlternateNameSize = 14;

// What a trailer says about its file. Times are FILETIMEs (100 ns since 1601-01-01 UTC).
struct FileDescription {
    std::uint32_t attributes = 0;
    std::uint64_t creationTime = 0;
    std::uint64_t lastAccessTime = 0;
    std::uint64_t lastWriteTime = 0;
    std::uint64_t fileSize = 0;
    std::string fileName;       // up to its NUL, never more than the field holds
    std::string alternateName;  // the 8.3 name, likewise
};

// Reads a 322-byte trailer; false unless it is exactly that long and begins with "WFD ".
bool ReadTrailer(const std::string& trailer, FileDescription& description);

// The name a payload's file is written under: the stored name reduced to its last path
// component. "" when nothing usable is left (empty, "." or "..", or a character no file name
// may hold, such as the ":" of an alternate data stream).
std::string PayloadFileName(const std::string& storedName);

// A single-resource record: its trailer, and its body (what precedes the trailer, decompressed
// when `compressed`). False unless the trailer is there and the body has the recorded size.
bool ReadSingleRecord(const std::string& resource, bool compressed, FileDescription& description,
                      std::string& body);

// The bytes of the program's own data resource `name` (any case); "" when it has none.
std::string LoadResourceBytes(const std::string& name);

// Writes the payload resource `resourceName` into `folder` (a folder ending in "\"; anything
// else, or an empty folder, means the current directory) under its recorded file name, with
// its recorded attributes and with its recorded last-write time as all three time stamps.
// The file is written beside the target and then moved over it, so a target that cannot be
// replaced stays as it was. 1 when the payload's file is there afterwards; 0 otherwise, also
// when an older file of that name stays because it could not be replaced (`why`, when given,
// then says what stood in the way; kNone for a payload that cannot be extracted at all).
int ExtractPayload(const std::string& resourceName, const std::string& folder,
                   platform::FileFailure* why = nullptr);

// ExtractPayload into a folder that exists and has entries. Anything else would let the file
// land in the current directory instead, so it counts as a failure to write.
int ExtractPayloadInto(const std::string& resourceName, const std::string& folder,
                       platform::FileFailure* why = nullptr);

}  // namespace orvano::deploy
