// Extraction of payload records to disk on the in-memory machine: the program's real
// resources, the four name forms, refused records, target folders and targets that cannot be
// replaced.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deploy/capi_locations.h"
#include "deploy/lznt1.h"
#include "deploy/payload.h"
#include "fwnt_decode.h"
#include "../payload_facts.h"
#include "lznt1_encoder.h"
#include "memory_fixture.h"
#include "platform/files.h"
#include "platform/version.h"
#include "record.h"

namespace orvano::testing {
namespace {

namespace pf = orvano::platform;
using namespace deploy;

class PayloadTest : public MemoryMachineTest {
  protected:
    void SetUp() override {
        MemoryMachineTest::SetUp();
        mem::PutFile("C:\\Target\\readme.txt", "x");
    }
    void TearDown() override {
        for (const std::string& name : added_) mem::RemoveResource(name);
        for (const std::string& path : mem::ListFiles())
            EXPECT_EQ(path.find(".tmp"), std::string::npos) << "left behind: " << path;
        MemoryMachineTest::TearDown();
    }
    void Put(const std::string& name, const std::string& bytes) {
        mem::PutResource(name, bytes);
        added_.push_back(name);
    }
    std::vector<std::string> added_;
};

// The program's own four payloads: what each record says, and that its body decodes the same
// with libfwnt as with our decoder.
TEST_F(PayloadTest, TheProgramsPayloadsAreWhatTheirNamesSay) {
    for (const auto& p : kPayloadFacts) {
        SCOPED_TRACE(p.name);
        const std::string record = LoadResourceBytes(p.name);
        ASSERT_GT(record.size(), kTrailerSize);
        FileDescription d;
        ASSERT_TRUE(ReadTrailer(record.substr(record.size() - kTrailerSize), d));
        EXPECT_EQ(d.fileName, p.file);
        EXPECT_EQ(d.attributes, 0x20u);
        EXPECT_EQ(d.lastWriteTime, p.stamp);
        const std::string body = record.substr(0, record.size() - kTrailerSize);
        std::string ours;
        ASSERT_EQ(DecompressLznt1(body, ours), d.fileSize);
        EXPECT_TRUE(FwntDecode(body, d.fileSize) == ours);
        EXPECT_EQ(ours.substr(0, 2), "MZ");
        EXPECT_LT(body.size(), ours.size());

        mem::Reset();
        mem::PutFile("C:\\Target\\readme.txt", "x");
        ASSERT_EQ(ExtractPayload(p.name, "C:\\Target\\"), 1);
        const std::string path = std::string("C:\\Target\\") + p.file;
        EXPECT_TRUE(mem::FileBytes(path) == ours);
        pf::FixedFileVersion version;
        ASSERT_TRUE(pf::ReadFileVersion(path, version));
        EXPECT_EQ(version.fileMs, p.fileMs);
        EXPECT_EQ(version.fileLs, p.fileLs);
        EXPECT_EQ(version.productMs, p.productMs);
        EXPECT_EQ(version.productLs, p.productLs);
        std::string folder = "C:\\Target\\";
        if (p.kind != CapiKind::None) {
            EXPECT_EQ(CapiKindOf(folder), p.kind);
        }
    }
}

TEST_F(PayloadTest, AnIsdnLibraryLandsWithItsRecordedTimesAndAttributes) {
    mem::PutFile("C:\\Target\\capi2032.dll", "old", pf::kFileAttributeHidden);
    ASSERT_EQ(ExtractPayload(kCapiV51000Payload, "C:\\Target\\"), 1);
    pf::FileTimes times;
    ASSERT_TRUE(pf::ReadFileTimes("C:\\Target\\capi2032.dll", times));
    EXPECT_EQ(times.creation, kMay2007);
    EXPECT_EQ(times.lastAccess, kMay2007);
    EXPECT_EQ(times.lastWrite, kMay2007);
    pf::FileEntry entry;
    ASSERT_TRUE(pf::FindFirstEntry("C:\\Target\\capi2032.dll", entry));
    EXPECT_EQ(entry.attributes, pf::kFileAttributeArchive);
}

// The built-in registry scripts, byte for byte: mark, UTF-16LE, CR LF, an empty last line.
TEST_F(PayloadTest, TheBuiltInScriptsAreUtf16WithTheirExactText) {
    auto script = [](const std::string& avm) {
        const std::string text =
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\" +
            avm +
            "\\AVMIGDCTRL]\r\n"
            "\"FoundFritzboxes\"=\"192.168.178.1\"\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\" +
            avm +
            "\\CAPIoTCP]\r\n"
            "\"Port\"=dword:000013a7\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\" +
            avm +
            "\\Fritz! 2.0\\Fax]\r\n"
            "\"FritzBox\"=dword:00000001\r\n\"Cip\"=-\r\n\"CapiController\"=-\r\n"
            "\"NeueTreiber2003\"=dword:00000001\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\AVM\\FRITZ! 2.0\\Fax]\r\n"
            "\"FritzBox\"=dword:00000001\r\n\"Cip\"=dword:00000004\r\n"
            "\"ControllerFax\"=dword:00000001\r\n\r\n";
        std::string wide = "\xFF\xFE";
        for (char c : text) wide += std::string{c, '\0'};
        return wide;
    };
    EXPECT_EQ(LoadResourceBytes(kNativeDefaultsScript), script("SOFTWARE\\AVM"));
    EXPECT_EQ(LoadResourceBytes(kWow6432DefaultsScript), script("SOFTWARE\\Wow6432Node\\AVM"));
    EXPECT_EQ(LoadResourceBytes(kNativeDefaultsScript).size(), 934u);
    EXPECT_EQ(LoadResourceBytes(kWow6432DefaultsScript).size(), 1006u);
    EXPECT_EQ(LoadResourceBytes("fb_ip_1921681781_reg"), LoadResourceBytes(kNativeDefaultsScript));
    EXPECT_EQ(LoadResourceBytes("NO_SUCH_RESOURCE"), "");
}

std::string Trailer(const std::string& name, std::uint64_t size, std::uint32_t attributes = 0x20) {
    FileDescription d;
    d.attributes = attributes;
    d.creationTime = d.lastAccessTime = d.lastWriteTime = kDec2009;
    d.fileSize = size;
    d.fileName = name;
    return packer::MakeTrailer(d);
}

// The four forms a payload can take, and records the extraction must refuse without writing.
TEST_F(PayloadTest, EveryNameFormWritesItsBodyAndBadRecordsWriteNothing) {
    // Text-like enough to shrink, varied enough to stay inside the 12.5-fold room.
    std::string file = "MZ";
    for (unsigned i = 0; file.size() < 5000; i = i * 1103515245u + 12345u)
        file += "abcdefghijklmnop"[(i >> 16) % 16];
    const std::string packed = packer::CompressLznt1(file);
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> resources;
        std::string asked;
        const char* written;  // null: refused
    } cases[] = {
        {"compressed single resource",
         {{"A_BIN_WFD_NTC", packed + Trailer("a.dll", file.size())}},
         "A_BIN_WFD_NTC",
         "a.dll"},
        {"name in lower case",
         {{"A_BIN_WFD_NTC", packed + Trailer("a.dll", file.size())}},
         "a_bin_wfd_ntc",
         "a.dll"},
        {"plain single resource",
         {{"B_BIN_WFD", file + Trailer("b.dll", file.size())}},
         "B_BIN_WFD",
         "b.dll"},
        {"trailer with a _BIN body",
         {{"C_BIN_WFD", Trailer("c.dll", file.size())}, {"C_BIN", file}},
         "C_BIN_WFD",
         "c.dll"},
        {"trailer with a BIN body",
         {{"DBINWFD", Trailer("d.dll", file.size())}, {"DBIN", file}},
         "dbinwfd",
         "d.dll"},
        {"stored name with a path",
         {{"E_WFD", file + Trailer("C:\\Windows\\..\\e.dll", file.size())}},
         "E_WFD",
         "e.dll"},
        {"not a payload name", {{"F_REG", file + Trailer("f.dll", file.size())}}, "F_REG", nullptr},
        {"missing resource", {}, "G_BIN_WFD_NTC", nullptr},
        {"shorter than a trailer", {{"H_WFD", Trailer("h.dll", 0).substr(1)}}, "H_WFD", nullptr},
        {"no signature",
         {{"I_WFD", file + "wfd " + Trailer("i.dll", file.size()).substr(4)}},
         "I_WFD",
         nullptr},
        {"decompressed size differs from the record",
         {{"J_BIN_WFD_NTC", packed + Trailer("j.dll", file.size() + 1)}},
         "J_BIN_WFD_NTC",
         nullptr},
        {"expands more than 12.5 times",
         {{"S_BIN_WFD_NTC",
           packer::CompressLznt1(std::string(9000, 'z')) + Trailer("s.dll", 9000)}},
         "S_BIN_WFD_NTC",
         nullptr},
        {"damaged compressed body",
         {{"K_BIN_WFD_NTC", packed.substr(0, packed.size() - 1) + Trailer("k.dll", file.size())}},
         "K_BIN_WFD_NTC",
         nullptr},
        {"plain body of another size",
         {{"L_WFD", file + "x" + Trailer("l.dll", file.size())}},
         "L_WFD",
         nullptr},
        {"trailer whose body is missing",
         {{"M_BIN_WFD", Trailer("m.dll", file.size())}},
         "M_BIN_WFD",
         nullptr},
        {"trailer whose body has another size",
         {{"N_BIN_WFD", Trailer("n.dll", file.size())}, {"N_BIN", file + "x"}},
         "N_BIN_WFD",
         nullptr},
        {"trailer-only name without BIN",
         {{"O_WFD", Trailer("o.dll", file.size())}, {"O", file}},
         "O_WFD",
         nullptr},
        {"empty stored name", {{"P_WFD", file + Trailer("  ", file.size())}}, "P_WFD", nullptr},
        {"stored name \"..\"",
         {{"Q_WFD", file + Trailer("C:\\..", file.size())}},
         "Q_WFD",
         nullptr},
        {"stored name with a stream",
         {{"R_WFD", file + Trailer("r.dll:x", file.size())}},
         "R_WFD",
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        mem::Reset();
        mem::PutFile("C:\\Target\\readme.txt", "x");
        for (const auto& [name, bytes] : c.resources) Put(name, bytes);
        const std::vector<std::string> before = mem::ListFiles();
        EXPECT_EQ(ExtractPayload(c.asked, "C:\\Target\\"), c.written ? 1 : 0);
        if (c.written) {
            EXPECT_TRUE(mem::FileBytes(std::string("C:\\Target\\") + c.written) == file);
            EXPECT_EQ(mem::ListFiles().size(), before.size() + 1);
        } else {
            EXPECT_EQ(mem::ListFiles(), before);
        }
        for (const auto& [name, bytes] : c.resources) mem::RemoveResource(name);
    }
}

// Anything but a folder ending in "\" that lists an entry sends the file to the current
// directory, under its bare name.
TEST_F(PayloadTest, FoldersThatCannotTakeTheFileMeanTheCurrentDirectory) {
    mem::CreateFolder("C:\\Empty");
    mem::CreateFolder("C:\\Work");
    ASSERT_TRUE(pf::SetCurrentFolder("C:\\Work"));
    const struct {
        std::string folder;
        const char* lands;
    } cases[] = {
        {"C:\\Target\\", "C:\\Target\\Teluso.exe"},
        {std::string("C:\\Target\\  \0", 14), "C:\\Target\\Teluso.exe"},
        {"C:\\Target", "C:\\Work\\Teluso.exe"},
        {"C:\\Missing\\", "C:\\Work\\Teluso.exe"},
        {"C:\\Empty\\", "C:\\Work\\Teluso.exe"},
        {"", "C:\\Work\\Teluso.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        pf::RemoveFile("C:\\Target\\Teluso.exe");
        pf::RemoveFile("C:\\Work\\Teluso.exe");
        EXPECT_EQ(ExtractPayload(kTelusoPayload, c.folder), 1);
        EXPECT_TRUE(mem::FileBytes(c.lands).has_value());
        EXPECT_EQ(mem::ListFiles().size(), 3u);  // Orvano.exe, readme.txt and the new file
    }
}

// The target is replaced whole, or stays as it was; the result tells whether the payload's file
// is there.
TEST_F(PayloadTest, ATargetIsReplacedWholeOrLeftAsItWas) {
    const std::string target = "C:\\Target\\capi2032.dll";
    const std::string old(100000, 'o');
    const std::string record = LoadResourceBytes(kCapiV51000Payload);
    std::string body;
    DecompressLznt1(record.substr(0, record.size() - kTrailerSize), body);

    // A longer old file leaves no tail.
    mem::PutFile(target, old);
    EXPECT_EQ(ExtractPayload(kCapiV51000Payload, "C:\\Target\\"), 1);
    EXPECT_TRUE(mem::FileBytes(target) == body);

    // In use or read-only: the old file stays, untouched; it is not the payload, so nothing
    // counts as written, and the reason comes back.
    const struct {
        const char* what;
        bool inUse;
        std::uint32_t attributes;
        pf::FileFailure why;
    } locks[] = {{"in use", true, pf::kFileAttributeArchive, pf::FileFailure::kInUse},
                 {"read-only", false, pf::kFileAttributeReadOnly, pf::FileFailure::kAccessDenied}};
    for (const auto& lock : locks) {
        SCOPED_TRACE(lock.what);
        mem::PutFile(target, old, lock.attributes);
        if (lock.inUse) mem::SetFileInUse(target);
        pf::FileFailure why = pf::FileFailure::kNone;
        EXPECT_EQ(ExtractPayload(kCapiV51000Payload, "C:\\Target\\", &why), 0);
        EXPECT_EQ(why, lock.why);
        EXPECT_TRUE(mem::FileBytes(target) == old);
        pf::FileTimes times;
        ASSERT_TRUE(pf::ReadFileTimes(target, times));
        EXPECT_NE(times.lastWrite, kMay2007);
        mem::SetFileInUse(target, false);
        pf::SetAttributes(target, 0);
    }

    // Nothing there and nothing can be written: 0. A folder of that name is no file either.
    pf::RemoveFile(target);
    mem::FailCall(mem::Call::WriteWholeFile);
    pf::FileFailure why = pf::FileFailure::kNone;
    EXPECT_EQ(ExtractPayload(kCapiV51000Payload, "C:\\Target\\", &why), 0);
    EXPECT_EQ(why, pf::FileFailure::kAccessDenied);
    EXPECT_FALSE(mem::FileBytes(target).has_value());
    mem::CreateFolder(target);
    EXPECT_EQ(ExtractPayload(kCapiV51000Payload, "C:\\Target\\"), 0);
}

}  // namespace
}  // namespace orvano::testing
