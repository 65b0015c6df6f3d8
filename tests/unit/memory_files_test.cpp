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

// What only the in-memory Windows does (the contract tests pin the rest): it names the programs
// holding a file, each once and none it cannot name, and a planned failure gives the reason
// its error code stands for.
TEST_F(MemoryFilesTest, HoldersAreNamedAndPlannedFailuresGiveTheirReason) {
    using F = p::FileFailure;
    const std::string file = "C:\\Daten\\capi2032.dll";
    mem::PutFile(file, "MZ");
    for (const char* program : {"FRITZ!fax", "", "Teluso", "FRITZ!fax"})
        mem::HoldFile(file, program);
    EXPECT_EQ(p::ProgramsUsingFile("c:\\daten\\CAPI2032.DLL"),
              (std::vector<std::string>{"FRITZ!fax", "Teluso"}));
    mem::SetFileInUse(file, false);
    EXPECT_TRUE(p::ProgramsUsingFile(file).empty());
    const std::pair<long, F> planned[] = {{p::kErrorAccessDenied, F::kAccessDenied},
                                          {mem::kErrorSharingViolation, F::kInUse},
                                          {112, F::kOther}};
    for (const auto& [error, reason] : planned) {
        mem::FailCall(Call::MoveReplacing, 1, error);
        F why = F::kNone;
        EXPECT_FALSE(p::MoveReplacing(file, "C:\\Daten\\neu.dll", &why));
        EXPECT_EQ(why, reason) << error;
    }
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
