// What the in-memory file system does that the contract tests cannot set up: read-only files,
// the spellings of one path, and planned failures of file and INI calls.
#include <gtest/gtest.h>

#include <string>

#include "memory_fixture.h"
#include "platform/file_users.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace orvano::testing {
namespace {

namespace p = orvano::platform;
using Call = mem::Call;

class MemoryFilesTest : public MemoryMachineTest {};

TEST_F(MemoryFilesTest, OnePathHasManySpellings) {
    mem::PutFile("C:\\Daten\\Fax\\Liste.txt", "x");
    const struct {
        const char* path;
        bool exists;
    } cases[] = {
        {"C:\\Daten\\Fax\\Liste.txt", true},    {"c:\\daten\\fax\\LISTE.TXT", true},
        {"C:/Daten/Fax/Liste.txt", true},       {"C:\\Daten\\\\Fax\\Liste.txt", true},
        {"C:\\Daten\\.\\Fax\\Liste.txt", true}, {"C:\\Daten\\X\\..\\Fax\\Liste.txt", true},
        {"C:\\Daten\\Fax\\Liste.txt. ", true},  {"C:\\Daten\\Fax", true},
        {"Daten\\Fax\\Liste.txt", false},       {"C:Daten\\Fax\\Liste.txt", false},
        {"D:\\Daten\\Fax\\Liste.txt", false},   {"C:\\", false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.exists, p::FileExists(c.path)) << c.path;
    // PutFile made the folders on the way.
    EXPECT_EQ((std::vector<std::string>{"C:\\Daten\\Fax\\Liste.txt", "C:\\Orvano\\Orvano.exe"}),
              mem::ListFiles());
}

TEST_F(MemoryFilesTest, AReadOnlyFileCanBeReadButNotChangedOrDeleted) {
    const std::string ini = "C:\\Orvano\\Orvano.ini";
    mem::PutFile(ini, "[S]\r\nk=1\r\n", p::kFileAttributeReadOnly);
    std::string text;
    EXPECT_EQ(1u, p::GetIniString("S", "k", "d", text, 260, ini));
    EXPECT_FALSE(p::WriteIniString("S", "k", "2", ini));
    EXPECT_FALSE(p::WriteIniSection("S", {"k=2"}, ini));
    EXPECT_FALSE(p::WriteWholeFile(ini, "x"));
    EXPECT_FALSE(p::RemoveFile(ini));
    EXPECT_EQ("[S]\r\nk=1\r\n", mem::FileBytes(ini));
    p::FileEntry entry;
    ASSERT_TRUE(p::FindFirstEntry(ini, entry));
    EXPECT_EQ(p::kFileAttributeReadOnly, entry.attributes);
}

TEST_F(MemoryFilesTest, PlannedFailuresChangeNothing) {
    const std::string ini = "C:\\Orvano\\Orvano.ini";
    mem::PutFile(ini, "[S]\r\nk=\"1\"\r\n");
    mem::FailCall(Call::WriteIniString);
    mem::FailCall(Call::WriteIniSection);
    mem::FailCall(Call::RemoveFile);
    mem::FailCall(Call::FindFirstEntry);
    EXPECT_FALSE(p::WriteIniString("S", "k", "2", ini));
    EXPECT_FALSE(p::WriteIniSection("S", {"k=2"}, ini));
    EXPECT_FALSE(p::RemoveFile(ini));
    EXPECT_FALSE(p::FileExists(ini));
    EXPECT_TRUE(p::FileExists(ini));  // only the one call failed
    EXPECT_EQ("[S]\r\nk=\"1\"\r\n", mem::FileBytes(ini));
    // A read that fails gives the default as a file that cannot be opened does: quotes kept.
    mem::FailCall(Call::GetIniString);
    std::string text;
    EXPECT_EQ(3u, p::GetIniString("S", "k", "\"d\"  ", text, 260, ini));
    EXPECT_EQ("\"d\"", text);
    EXPECT_EQ(1u, p::GetIniString("S", "k", "d", text, 260, ini));
    EXPECT_EQ("1", text);
}

// A file that cannot be deleted, written over or replaced says why, whichever call meets it;
// planned failures give their error as the reason.
TEST_F(MemoryFilesTest, AFileThatStaysSaysWhy) {
    const std::string file = "C:\\Daten\\capi2032.dll", other = "C:\\Daten\\neu.dll";
    using F = p::FileFailure;
    const struct Operation {
        const char* name;
        Call call;
        bool (*run)(const std::string& file, const std::string& other, F* why);
    } operations[] = {
        {"delete", Call::RemoveFile,
         [](const std::string& f, const std::string&, F* why) { return p::RemoveFile(f, why); }},
        {"write", Call::WriteWholeFile,
         [](const std::string& f, const std::string&, F* why) {
             return p::WriteWholeFile(f, "neu", why);
         }},
        {"replace", Call::MoveReplacing,
         [](const std::string& f, const std::string& o, F* why) {
             return p::MoveReplacing(o, f, why);
         }},
    };
    enum Setup { kHeld, kHeldByName, kReadOnly, kFolder, kPlanned };
    const struct {
        const char* what;
        Setup setup;
        long planned;
        F why;
    } cases[] = {
        {"held by a program Windows cannot name", kHeld, 0, F::kInUse},
        {"held by a named program", kHeldByName, 0, F::kInUse},
        {"read-only", kReadOnly, 0, F::kAccessDenied},
        {"a folder of that name", kFolder, 0, F::kAccessDenied},
        {"planned: no rights", kPlanned, p::kErrorAccessDenied, F::kAccessDenied},
        {"planned: sharing violation", kPlanned, mem::kErrorSharingViolation, F::kInUse},
        {"planned: disk full", kPlanned, 112, F::kOther},
    };
    for (const auto& op : operations) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(op.name) + ", " + c.what);
            mem::Reset();
            mem::PutFile(other, "neu");
            if (c.setup == kFolder)
                mem::CreateFolder(file);
            else
                mem::PutFile(
                    file, "alt",
                    c.setup == kReadOnly ? p::kFileAttributeReadOnly : p::kFileAttributeArchive);
            if (c.setup == kHeld) mem::SetFileInUse(file);
            if (c.setup == kHeldByName) mem::HoldFile(file, "FRITZ!fax");
            if (c.setup == kPlanned) mem::FailCall(op.call, 1, c.planned);
            F why = F::kNone;
            EXPECT_FALSE(op.run(file, other, &why));
            EXPECT_EQ(why, c.why);
            if (c.setup != kFolder) {
                EXPECT_EQ(mem::FileBytes(file), "alt");
            }
            EXPECT_EQ(mem::FileBytes(other), "neu");
            // Only the planned call failed; a held file can still be read.
            std::string bytes;
            EXPECT_EQ(p::ReadWholeFile(file, bytes, &why), c.setup != kFolder);
            EXPECT_EQ(why, c.setup == kFolder ? F::kAccessDenied : F::kNone);
        }
    }
    F why = F::kNone;
    EXPECT_FALSE(p::RemoveFile("C:\\Daten\\weg.dll", &why));
    EXPECT_EQ(why, F::kOther);
    EXPECT_FALSE(p::WriteWholeFile("C:\\Weg\\neu.dll", "x", &why));
    EXPECT_EQ(why, F::kOther);
    EXPECT_TRUE(p::WriteWholeFile(file, "x", &why));
    EXPECT_EQ(why, F::kNone);
}

// Windows names each program holding a file once, and none it cannot name; letting go of the
// file frees it for every holder.
TEST_F(MemoryFilesTest, HoldersOfAFileAreNamedOnce) {
    const std::string file = "C:\\Windows\\System32\\capi2032.dll";
    mem::PutFile(file, "MZ");
    EXPECT_TRUE(p::ProgramsUsingFile(file).empty());
    for (const char* program : {"FRITZ!fax", "", "Teluso", "FRITZ!fax"})
        mem::HoldFile(file, program);
    EXPECT_EQ(p::ProgramsUsingFile("c:\\windows\\system32\\CAPI2032.DLL"),
              (std::vector<std::string>{"FRITZ!fax", "Teluso"}));
    EXPECT_TRUE(p::ProgramsUsingFile("C:\\Windows\\System32\\capi*.dll").empty());
    mem::SetFileInUse(file, false);
    EXPECT_TRUE(p::ProgramsUsingFile(file).empty());
    EXPECT_TRUE(p::RemoveFile(file));
}

TEST_F(MemoryFilesTest, SleepOnlyCountsAndTheModulePathIsSet) {
    p::Sleep(100);
    p::Sleep(1);
    EXPECT_EQ(101u, mem::SleptMilliseconds());
    EXPECT_EQ("C:\\Orvano\\Orvano.exe", p::ModuleFileName());
    mem::SetModulePath("D:\\Tools\\Orvano.exe");
    EXPECT_EQ("D:\\Tools\\Orvano.exe", p::ModuleFileName());
    mem::SetModulePath("C:\\" + std::string(515, 'x') + ".exe");  // 520 with its NUL
    EXPECT_EQ("", p::ModuleFileName());
    mem::Reset();
    EXPECT_EQ(0u, mem::SleptMilliseconds());
}

}  // namespace
}  // namespace orvano::testing
