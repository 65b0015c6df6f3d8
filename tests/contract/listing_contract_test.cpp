// How the program tells whether a file or folder is there, and what it reads from a real
// library's version resource.
#include <gtest/gtest.h>

#include "deploy/capi_locations.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/version.h"
#include "sysinfo/listing.h"
#include "version_probe_bytes.h"

namespace orvano::contract {
namespace {

namespace pf = orvano::platform;
using sysinfo::kListEverything;
using sysinfo::kListFolder;
using sysinfo::ListingFindsEntry;

const std::string kRoot = "C:\\OrvanoListing";

class ListingContract : public ::testing::Test {
  protected:
    void SetUp() override {
        TearDown();
        ASSERT_TRUE(pf::MakeFolder(kRoot));
    }
    void TearDown() override {
        for (const char* file : {"\\a.txt", "\\capi2032.dll", "\\sub\\b.txt"})
            pf::RemoveFile(kRoot + file);
        pf::RemoveFolder(kRoot + "\\sub");
        pf::RemoveFolder(kRoot);
    }
};

TEST_F(ListingContract, AFolderEndingInABackslashIsLookedInto) {
    struct Case {
        std::string path;
        std::uint32_t mask;
        bool found;
    } empty[] = {
        {kRoot + "\\", kListEverything, false},  // "." and ".." do not count
        {kRoot, kListEverything, true},          // the folder's own entry
        {kRoot, 0, false},                       // ... which is a folder
        {kRoot + "\\a.txt", kListEverything, false},
    };
    for (const Case& c : empty) EXPECT_EQ(ListingFindsEntry(c.path, c.mask), c.found) << c.path;

    ASSERT_TRUE(pf::MakeFolder(kRoot + "\\sub"));
    EXPECT_TRUE(ListingFindsEntry(kRoot + "\\", kListEverything));
    EXPECT_FALSE(ListingFindsEntry(kRoot + "\\", kListEverything & ~kListFolder))
        << "only a sub-folder";

    ASSERT_TRUE(pf::WriteWholeFile(kRoot + "\\a.txt", "x"));
    Case withFile[] = {
        {kRoot + "\\", 0, true},
        {kRoot + "\\A.TXT", 0, true},
        {kRoot + "\\a.txt\\", kListEverything, false},
        {kRoot + "\\*.txt", kListEverything, false},  // a pattern is no name
        {kRoot + "\\a?txt", kListEverything, false},
        {kRoot + "\\b.txt", kListEverything, false},
        {"", kListEverything, false},
    };
    for (const Case& c : withFile) EXPECT_EQ(ListingFindsEntry(c.path, c.mask), c.found) << c.path;
}

TEST_F(ListingContract, FoldersAreMadeAndRemovedOnlyWhenTheyMay) {
    EXPECT_FALSE(pf::MakeFolder(kRoot)) << "taken";
    EXPECT_FALSE(pf::MakeFolder(kRoot + "\\missing\\sub")) << "no parent";
    ASSERT_TRUE(pf::MakeFolder(kRoot + "\\sub"));
    ASSERT_TRUE(pf::WriteWholeFile(kRoot + "\\sub\\b.txt", "x"));
    EXPECT_FALSE(pf::RemoveFolder(kRoot + "\\sub")) << "not empty";
    ASSERT_TRUE(pf::RemoveFile(kRoot + "\\sub\\b.txt"));
    EXPECT_TRUE(pf::RemoveFolder(kRoot + "\\SUB"));
    EXPECT_FALSE(ListingFindsEntry(kRoot + "\\sub"));
}

TEST_F(ListingContract, VersionOfARealLibrary) {
    const std::string bytes(reinterpret_cast<const char*>(kVersionProbeDll),
                            sizeof kVersionProbeDll);
    ASSERT_TRUE(pf::WriteWholeFile(kRoot + "\\capi2032.dll", bytes));
    pf::FixedFileVersion version;
    ASSERT_TRUE(pf::ReadFileVersion(kRoot + "\\capi2032.dll", version));
    EXPECT_EQ(version.fileMs, 0x00030008u);
    EXPECT_EQ(version.fileLs, 0x00010000u);
    EXPECT_EQ(version.productMs, 0x00030000u);
    EXPECT_EQ(version.productLs, 0u);

    std::string text;
    EXPECT_EQ(deploy::CapiVersionText(kRoot + "\\", text), 1);
    EXPECT_EQ(text, "3.8.1.0 / 3.0.0.0 CoT");
    EXPECT_EQ(deploy::CapiKindOf(kRoot + "\\"), deploy::CapiKind::OverTcp);

    // The same bytes without their version resource: nothing to show.
    ASSERT_TRUE(pf::WriteWholeFile(kRoot + "\\capi2032.dll", "MZ" + std::string(300, '\0')));
    EXPECT_FALSE(pf::ReadFileVersion(kRoot + "\\capi2032.dll", version));
    EXPECT_EQ(deploy::CapiVersionText(kRoot + "\\", text), 0);
    EXPECT_FALSE(pf::ReadFileVersion(kRoot + "\\missing.dll", version));
}

}  // namespace
}  // namespace orvano::contract
