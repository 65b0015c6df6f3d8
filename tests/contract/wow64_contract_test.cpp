// The registry views and the system folder as a 32-bit process on 64-bit Windows reaches them,
// and as a 64-bit process does. The program is a 32-bit process: its native registry paths
// take KEY_WOW64_64KEY, its Wow6432Node paths go as written, and its System32 is SysWOW64.
// Every case asserts the facts of the kind of process it runs as.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/osinfo.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "process_kinds.h"

namespace orvano::contract {
namespace {

namespace pf = orvano::platform;

constexpr char kNativeBase[] = "SOFTWARE\\OrvanoContractViews";
constexpr char kTwinBase[] = "SOFTWARE\\Wow6432Node\\OrvanoContractViews";

bool SixtyFourBitWindows() {
    const int architecture = pf::NativeProcessorArchitecture();
    return pf::IsWow64Process() || architecture == 6 || architecture == 9 || architecture == 12;
}

// Whether the key is there in the registry as a 64-bit program sees it (on 32-bit Windows the
// flag is ignored and there is only one registry).
bool Stored(const std::string& path) {
    pf::RegKey key = 0;
    const long result = pf::OpenKeyEx(pf::kHkeyLocalMachine, path.c_str(),
                                      pf::kKeyQueryValue | pf::kKeyWow64_64Key, key);
    pf::CloseKey(key);
    return result == pf::kErrorSuccess;
}

void RemoveStored(const std::string& base, const char* leaf) {
    pf::DeleteKeyEx(pf::kHkeyLocalMachine, (base + "\\" + leaf).c_str(), pf::kKeyWow64_64Key);
    pf::DeleteKeyEx(pf::kHkeyLocalMachine, base.c_str(), pf::kKeyWow64_64Key);
}

TEST(Wow64Contract, ViewFlagsChooseTheRegistryView) {
    ForEachProcessKind([](const std::string&) {
        const bool wow64 = pf::IsWow64Process();
        const bool twoViews = SixtyFourBitWindows();
        const struct {
            const char* leaf;
            std::uint32_t flag;
            bool native, twin;  // where the key lands
        } cases[] = {
            {"Flag64", pf::kKeyWow64_64Key, true, false},
            {"Flag32", pf::kKeyWow64_32Key, !twoViews, twoViews},
            {"NoFlag", 0, !wow64, wow64},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.leaf);
            for (const char* base : {kNativeBase, kTwinBase}) RemoveStored(base, c.leaf);
            const std::string path = std::string(kNativeBase) + "\\" + c.leaf;
            pf::RegKey key = 0;
            ASSERT_EQ(pf::CreateKeyEx(pf::kHkeyLocalMachine, path.c_str(),
                                      pf::kKeyAllAccess | c.flag, key),
                      pf::kErrorSuccess);
            const std::uint8_t port[4] = {0xa7, 0x13, 0, 0};
            EXPECT_EQ(pf::SetValueEx(key, "Port", pf::kRegDword, port, 4), pf::kErrorSuccess);
            pf::CloseKey(key);

            EXPECT_EQ(Stored(path), c.native);
            EXPECT_EQ(Stored(std::string(kTwinBase) + "\\" + c.leaf), c.twin);
            // The same flag finds the key and its value again.
            key = 0;
            ASSERT_EQ(pf::OpenKeyEx(pf::kHkeyLocalMachine, path.c_str(),
                                    pf::kKeyQueryValue | c.flag, key),
                      pf::kErrorSuccess);
            std::uint32_t size = 4;
            EXPECT_EQ(pf::QueryValueEx(key, "Port", nullptr, nullptr, &size), pf::kErrorSuccess);
            pf::CloseKey(key);
            // A Wow6432Node path without a flag is taken as written, never redirected twice.
            if (c.twin) {
                key = 0;
                const std::string twin = std::string(kTwinBase) + "\\" + c.leaf;
                EXPECT_EQ(
                    pf::OpenKeyEx(pf::kHkeyLocalMachine, twin.c_str(), pf::kKeyQueryValue, key),
                    pf::kErrorSuccess);
                pf::CloseKey(key);
            }
            for (const char* base : {kNativeBase, kTwinBase}) RemoveStored(base, c.leaf);
            EXPECT_FALSE(Stored(path));
        }
    });
}

// RegCreateKeyA of a Wow6432Node path makes the whole missing path in the 32-bit view, where
// the 32-bit client reads it; the native path stays untouched.
TEST(Wow64Contract, CreatingAWow6432NodePathMakesItInThe32BitView) {
    ForEachProcessKind([](const std::string&) {
        if (!SixtyFourBitWindows()) GTEST_FAIL() << "these runs are all on 64-bit Windows";
        RemoveStored(kTwinBase, "Plain");
        const std::string twin = std::string(kTwinBase) + "\\Plain";
        pf::RegKey key = 0;
        ASSERT_EQ(pf::CreateKey(pf::kHkeyLocalMachine, twin.c_str(), key), pf::kErrorSuccess);
        pf::CloseKey(key);
        EXPECT_TRUE(Stored(twin));
        EXPECT_FALSE(Stored(std::string(kNativeBase) + "\\Plain"));
        key = 0;
        ASSERT_EQ(
            pf::OpenKeyEx(pf::kHkeyLocalMachine, (std::string(kNativeBase) + "\\Plain").c_str(),
                          pf::kKeyQueryValue | pf::kKeyWow64_32Key, key),
            pf::kErrorSuccess)
            << "the 32-bit view of the native path is the Wow6432Node key";
        pf::CloseKey(key);
        RemoveStored(kTwinBase, "Plain");
        EXPECT_FALSE(Stored(twin));
    });
}

// A 32-bit process writing into System32 writes into SysWOW64, and reaches the real System32
// only as Sysnative; a 64-bit process has neither redirection nor a Sysnative folder.
TEST(Wow64Contract, System32IsSysWow64ForA32BitProcess) {
    ForEachProcessKind([](const std::string&) {
        const bool wow64 = pf::IsWow64Process();
        std::string windows = pf::WindowsFolder();
        ASSERT_FALSE(windows.empty());
        if (windows.back() == '\\') windows.pop_back();
        const std::string system32 = windows + "\\System32\\", sysWow64 = windows + "\\SysWOW64\\",
                          sysnative = windows + "\\Sysnative\\";
        const std::string viaSystem32 = "orvano_contract_system32.tmp";
        const std::string viaSysnative = "orvano_contract_sysnative.tmp";
        for (const std::string& path : {system32 + viaSystem32, sysnative + viaSysnative})
            pf::RemoveFile(path);

        pf::FileEntry entry;
        ASSERT_TRUE(pf::FindFirstEntry(windows + "\\System32", entry));
        EXPECT_NE(entry.attributes & pf::kFileAttributeDirectory, 0u);

        ASSERT_TRUE(pf::WriteWholeFile(system32 + viaSystem32, "written to System32"));
        EXPECT_TRUE(pf::FileExists(system32 + viaSystem32));
        EXPECT_EQ(pf::FileExists(sysWow64 + viaSystem32), wow64);
        std::string bytes;
        if (wow64) {
            EXPECT_TRUE(pf::ReadWholeFile(sysWow64 + viaSystem32, bytes));
            EXPECT_EQ(bytes, "written to System32");
            EXPECT_FALSE(pf::FileExists(sysnative + viaSystem32)) << "not in the real System32";
        }

        EXPECT_EQ(pf::WriteWholeFile(sysnative + viaSysnative, "written to Sysnative"), wow64);
        EXPECT_EQ(pf::FileExists(sysnative + viaSysnative), wow64);
        EXPECT_FALSE(pf::FileExists(system32 + viaSysnative));
        EXPECT_FALSE(pf::FileExists(sysWow64 + viaSysnative));

        EXPECT_TRUE(pf::RemoveFile(system32 + viaSystem32));
        EXPECT_FALSE(pf::FileExists(sysWow64 + viaSystem32));
        EXPECT_EQ(pf::RemoveFile(sysnative + viaSysnative), wow64);
    });
}

}  // namespace
}  // namespace orvano::contract
