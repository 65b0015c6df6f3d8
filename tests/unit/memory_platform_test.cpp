// What the in-memory Windows does that the contract tests cannot show on a 64-bit
// Wine: the WOW64 redirection, rights of a user without administrator rights, and
// planned failures.
#include <gtest/gtest.h>

#include "memory_fixture.h"
#include "platform/registry.h"

namespace orvano::testing {
namespace {

namespace p = orvano::platform;
using Call = mem::Call;

class MemoryPlatformTest : public MemoryMachineTest {};

TEST_F(MemoryPlatformTest, Wow64ProcessIsRedirectedUnlessItAsksForTheNativeView) {
    mem::SetProcessKind(mem::ProcessKind::Wow64Process);
    struct Case {
        const char* path;
        std::uint32_t access;
        const char* physical;
    } cases[] = {
        {"SOFTWARE\\AVM\\A", 0, "SOFTWARE\\Wow6432Node\\AVM\\A"},
        {"software\\AVM\\B", p::kKeyWow64_32Key, "SOFTWARE\\Wow6432Node\\AVM\\B"},
        {"SOFTWARE\\AVM\\C", p::kKeyWow64_64Key, "SOFTWARE\\AVM\\C"},
        {"SOFTWARE\\Wow6432Node\\AVM\\D", 0, "SOFTWARE\\Wow6432Node\\AVM\\D"},
        {"SOFTWARE\\Wow6432Node\\AVM\\E", p::kKeyWow64_64Key, "SOFTWARE\\Wow6432Node\\AVM\\E"},
        {"SYSTEM\\F", 0, "SYSTEM\\F"},
    };
    for (const Case& c : cases) {
        p::RegKey key = 0;
        ASSERT_EQ(p::CreateKeyEx(p::kHkeyLocalMachine, c.path, p::kKeyAllAccess | c.access, key),
                  0);
        p::CloseKey(key);
        EXPECT_TRUE(mem::KeyExists(p::kHkeyLocalMachine, c.physical)) << c.path;
        ASSERT_EQ(p::OpenKeyEx(p::kHkeyLocalMachine, c.path, p::kKeyQueryValue | c.access, key), 0);
        p::CloseKey(key);
    }
    // HKEY_CURRENT_USER\Software is shared between the views.
    p::RegKey key = 0;
    ASSERT_EQ(p::CreateKey(p::kHkeyCurrentUser, "Software\\AVM", key), 0);
    p::CloseKey(key);
    EXPECT_TRUE(mem::KeyExists(p::kHkeyCurrentUser, "Software\\AVM"));
    // Deleting without the flag reaches the 32-bit key only.
    mem::CreateKeyPath(p::kHkeyLocalMachine, "SOFTWARE\\AVM\\X");
    mem::CreateKeyPath(p::kHkeyLocalMachine, "SOFTWARE\\Wow6432Node\\AVM\\X");
    EXPECT_EQ(p::DeleteKey(p::kHkeyLocalMachine, "SOFTWARE\\AVM\\X"), 0);
    EXPECT_TRUE(mem::KeyExists(p::kHkeyLocalMachine, "SOFTWARE\\AVM\\X"));
    EXPECT_FALSE(mem::KeyExists(p::kHkeyLocalMachine, "SOFTWARE\\Wow6432Node\\AVM\\X"));
    EXPECT_EQ(p::DeleteKeyEx(p::kHkeyLocalMachine, "SOFTWARE\\AVM\\X", p::kKeyWow64_64Key), 0);
    EXPECT_FALSE(mem::KeyExists(p::kHkeyLocalMachine, "SOFTWARE\\AVM\\X"));
}

TEST_F(MemoryPlatformTest, ReadOnlyRootRefusesEveryWrite) {
    mem::PutText(p::kHkeyLocalMachine, "SOFTWARE\\AVM", "Value", "x");
    mem::SetReadOnly(p::kHkeyLocalMachine, true);
    p::RegKey key = 0;
    EXPECT_EQ(p::OpenKeyEx(p::kHkeyLocalMachine, "SOFTWARE\\AVM", p::kKeyAllAccess, key),
              p::kErrorAccessDenied);
    EXPECT_EQ(p::CreateKey(p::kHkeyLocalMachine, "SOFTWARE\\New", key), p::kErrorAccessDenied);
    // RegOpenKeyA still opens for reading, but nothing can be set through it.
    ASSERT_EQ(p::OpenKey(p::kHkeyLocalMachine, "SOFTWARE\\AVM", key), 0);
    const std::uint8_t byte = 1;
    EXPECT_EQ(p::SetValueEx(key, "Value", p::kRegBinary, &byte, 1), p::kErrorAccessDenied);
    EXPECT_EQ(p::DeleteValue(key, "Value"), p::kErrorAccessDenied);
    p::CloseKey(key);
    EXPECT_EQ(p::DeleteKey(p::kHkeyLocalMachine, "SOFTWARE\\AVM"), p::kErrorAccessDenied);
    EXPECT_TRUE(mem::GetValue(p::kHkeyLocalMachine, "SOFTWARE\\AVM", "Value"));
    // The other root is not affected.
    ASSERT_EQ(p::CreateKey(p::kHkeyCurrentUser, "Software\\New", key), 0);
    p::CloseKey(key);
}

TEST_F(MemoryPlatformTest, PlannedFailuresHitTheNthCallOnly) {
    mem::FailCall(Call::CreateKey, 2, p::kErrorAccessDenied);
    p::RegKey key = 0;
    EXPECT_EQ(p::CreateKey(p::kHkeyCurrentUser, "Software\\One", key), 0);
    p::CloseKey(key);
    key = 0xDEAD;
    EXPECT_EQ(p::CreateKey(p::kHkeyCurrentUser, "Software\\Two", key), p::kErrorAccessDenied);
    EXPECT_EQ(key, 0u);
    EXPECT_FALSE(mem::KeyExists(p::kHkeyCurrentUser, "Software\\Two"));
    EXPECT_EQ(p::CreateKey(p::kHkeyCurrentUser, "Software\\Three", key), 0);
    p::CloseKey(key);
    EXPECT_EQ(mem::CallCount(Call::CreateKey), 3);
}

TEST_F(MemoryPlatformTest, HandlesOfDeletedKeysGoStale) {
    p::RegKey key = 0;
    ASSERT_EQ(p::CreateKey(p::kHkeyCurrentUser, "Software\\Gone", key), 0);
    ASSERT_EQ(p::DeleteKey(p::kHkeyCurrentUser, "Software\\Gone"), 0);
    const std::uint8_t byte = 1;
    EXPECT_EQ(p::SetValueEx(key, "v", p::kRegBinary, &byte, 1), p::kErrorKeyDeleted);
    EXPECT_EQ(p::CloseKey(key), 0);
    EXPECT_EQ(p::CloseKey(key), p::kErrorInvalidHandle);
}

}  // namespace
}  // namespace orvano::testing
