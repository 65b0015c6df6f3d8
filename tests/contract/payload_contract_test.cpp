// The program's own payloads written to disk through the platform: under Wine the real
// resources, kernel32 and version.dll; on the host the same records in the in-memory image.
// Each file must come out with its recorded name, size, times and attributes, its version
// resource, and the kind of CAPI library its name promises.
#include <gtest/gtest.h>

#include <string>

#include "deploy/capi_locations.h"
#include "deploy/payload.h"
#include "../payload_facts.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/version.h"

namespace orvano::contract {
namespace {

namespace pf = orvano::platform;
using namespace deploy;

std::string ProgramFolder() {
    const std::string module = pf::ModuleFileName();
    return module.substr(0, module.rfind('\\') + 1);
}

class PayloadContract : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = ProgramFolder();
        ASSERT_FALSE(folder_.empty());
        Clean();
    }
    void TearDown() override { Clean(); }
    void Clean() {
        for (const char* name : {"capi2032.dll", "Teluso.exe"}) {
            pf::SetAttributes(folder_ + name, pf::kFileAttributeArchive);
            pf::RemoveFile(folder_ + name);
        }
    }
    std::string folder_;
};

TEST_F(PayloadContract, EveryPayloadLandsAsRecordedWithItsVersionAndKind) {
    for (const auto& p : testing::kPayloadFacts) {
        SCOPED_TRACE(p.name);
        const std::string path = folder_ + p.file;
        ASSERT_EQ(ExtractPayload(p.name, folder_), 1);
        // Times first: reading the file may move its last-access time.
        pf::FileTimes times;
        ASSERT_TRUE(pf::ReadFileTimes(path, times));
        EXPECT_EQ(times.lastWrite, p.stamp);
        EXPECT_EQ(times.lastAccess, p.stamp);
        EXPECT_EQ(times.creation, p.stamp);
        const std::string record = LoadResourceBytes(p.name);
        FileDescription recorded;
        ASSERT_TRUE(ReadTrailer(record.substr(record.size() - kTrailerSize), recorded));
        std::string bytes;
        ASSERT_TRUE(pf::ReadWholeFile(path, bytes));
        EXPECT_EQ(bytes.size(), recorded.fileSize);

        pf::FileEntry entry;
        ASSERT_TRUE(pf::FindFirstEntry(path, entry));
        EXPECT_EQ(entry.attributes, pf::kFileAttributeArchive);

        pf::FixedFileVersion version;
        ASSERT_TRUE(pf::ReadFileVersion(path, version));
        EXPECT_EQ(version.fileMs, p.fileMs);
        EXPECT_EQ(version.fileLs, p.fileLs);
        EXPECT_EQ(version.productMs, p.productMs);
        EXPECT_EQ(version.productLs, p.productLs);
        if (p.kind != CapiKind::None) {
            std::string folder = folder_;
            EXPECT_EQ(CapiKindOf(folder), p.kind);
        }
    }
}

// Without a usable folder the file goes to the current directory under its bare name.
TEST_F(PayloadContract, AFolderWithoutItsBackslashMeansTheCurrentDirectory) {
    const std::string before = pf::CurrentFolder();
    ASSERT_TRUE(pf::SetCurrentFolder(folder_));
    const std::string withoutBackslash = folder_.substr(0, folder_.size() - 1);
    EXPECT_EQ(ExtractPayload(kTelusoPayload, withoutBackslash), 1);
    EXPECT_TRUE(pf::FileExists(folder_ + "Teluso.exe"));
    pf::SetCurrentFolder(before);
}

}  // namespace
}  // namespace orvano::contract
