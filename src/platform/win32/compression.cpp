// ntdll's LZNT1 codec, reached through the already loaded ntdll.dll.
#include "platform/compression.h"

#include <windows.h>

#include <vector>

namespace orvano::platform {

namespace {

using DecompressFn = LONG(WINAPI*)(USHORT, PUCHAR, ULONG, PUCHAR, ULONG, PULONG);
using CompressFn = LONG(WINAPI*)(USHORT, PUCHAR, ULONG, PUCHAR, ULONG, ULONG, PULONG, PVOID);
using WorkSpaceFn = LONG(WINAPI*)(USHORT, PULONG, PULONG);

constexpr USHORT kFormatLznt1 = 2;
constexpr USHORT kEngineMaximum = 0x0100;
constexpr std::uint32_t kStatusNotImplemented = 0xC0000002;

template <class Fn>
Fn Ntdll(const char* name) {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(ntdll, name)))
                 : nullptr;
}

}  // namespace

// RtlDecompressBuffer(COMPRESSION_FORMAT_LZNT1, ...).
std::uint32_t SystemDecompressLznt1(const std::string& compressed, std::string& out) {
    static const DecompressFn decompress = Ntdll<DecompressFn>("RtlDecompressBuffer");
    if (!decompress) return kStatusNotImplemented;
    ULONG final = 0;
    std::string input = compressed;  // the call takes a non-const pointer
    const std::uint32_t status = static_cast<std::uint32_t>(decompress(
        kFormatLznt1, reinterpret_cast<PUCHAR>(out.data()), static_cast<ULONG>(out.size()),
        reinterpret_cast<PUCHAR>(input.data()), static_cast<ULONG>(input.size()), &final));
    if (StatusSucceeded(status)) out.resize(final <= out.size() ? final : out.size());
    return status;
}

// RtlGetCompressionWorkSpaceSize, RtlCompressBuffer(COMPRESSION_FORMAT_LZNT1 | engine, ...).
std::uint32_t SystemCompressLznt1(const std::string& data, bool maximumEngine,
                                  std::string& compressed) {
    static const CompressFn compress = Ntdll<CompressFn>("RtlCompressBuffer");
    static const WorkSpaceFn workSpaceSize = Ntdll<WorkSpaceFn>("RtlGetCompressionWorkSpaceSize");
    if (!compress || !workSpaceSize) return kStatusNotImplemented;
    const USHORT format = kFormatLznt1 | (maximumEngine ? kEngineMaximum : 0);
    ULONG bufferWorkSpace = 0, fragmentWorkSpace = 0;
    std::uint32_t status =
        static_cast<std::uint32_t>(workSpaceSize(format, &bufferWorkSpace, &fragmentWorkSpace));
    if (!StatusSucceeded(status)) return status;
    std::vector<unsigned char> workSpace(bufferWorkSpace + 16);
    std::string input = data;
    compressed.assign(data.size() + 2 * (data.size() / 4096 + 1) + 16, '\0');
    ULONG final = 0;
    status = static_cast<std::uint32_t>(
        compress(format, reinterpret_cast<PUCHAR>(input.data()), static_cast<ULONG>(input.size()),
                 reinterpret_cast<PUCHAR>(compressed.data()), static_cast<ULONG>(compressed.size()),
                 4096, &final, workSpace.data()));
    compressed.resize(StatusSucceeded(status) && final <= compressed.size() ? final : 0);
    return status;
}

}  // namespace orvano::platform
