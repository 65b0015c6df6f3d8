#include <gtest/gtest.h>

#include "memory_fixture.h"
#include "platform/memory/osinfo_control.h"
#include "sysinfo/paths.h"

namespace orvano::testing {
namespace {

using namespace orvano::sysinfo;

class PathsTest : public MemoryMachineTest {};

TEST_F(PathsTest, FileAndFolderParts) {
    struct Case {
        const char* path;
        const char* file;
        const char* folder;
    } cases[] = {
        {"C:\\Daten\\FritzFax.dbf", "FritzFax.dbf", "C:\\Daten\\"},
        {"D:FritzFax.dbf", "FritzFax.dbf", "D:"},
        {"FritzFax.dbf", "FritzFax.dbf", ""},
        {"C:\\Daten\\", "", "C:\\Daten\\"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileNamePart(c.path), c.file) << c.path;
        EXPECT_EQ(FolderPart(c.path), c.folder) << c.path;
    }
    EXPECT_EQ(ToUpper("fritz!fax für ä"), "FRITZ!FAX FÜR Ä");
    EXPECT_EQ(ProgramFolder(), "C:\\Orvano\\");
    mem::SetModulePath("");
    EXPECT_EQ(ProgramFolder(), "");
}

TEST_F(PathsTest, FolderFormEndsInExactlyOneBackslash) {
    struct Case {
        std::string path, buffer;
        int result;
        std::string after, bufferAfter;
    } cases[] = {
        {"C:\\Daten\\\\\\\\", "", -1, "C:\\Daten\\", ""},
        {"C:\\Daten", "", -1, "C:\\Daten\\", ""},
        {"C:\\Daten\\", "", 0, "C:\\Daten\\", ""},
        {"", "", 0, "", ""},
        {"", "C:\\Fax", -1, "C:\\Fax\\", "C:\\Fax\\"},
        {"C:\\Eins", "C:\\Zwei", -1, "C:\\Eins\\", "C:\\Eins\\"},
        {"\\\\", "", -1, "\\", ""},
    };
    for (Case c : cases) {
        std::string path = c.path, buffer = c.buffer;
        EXPECT_EQ(ToFolderForm(path, buffer), c.result) << c.path;
        EXPECT_EQ(path, c.after) << c.path;
        EXPECT_EQ(buffer, c.bufferAfter) << c.path;
    }
}

TEST_F(PathsTest, UserNameIsMaskedInAnyLetterCaseAndPutBack) {
    mem::SetUserName("Max");
    struct Case {
        std::string path;
        int mask;
        int result;
        std::string after;
    } cases[] = {
        {"C:\\Users\\Max\\Fax", 1, 1, "C:\\Users\\***\\Fax"},
        {" C:\\Users\\Max\\Max ", 1, 1, "C:\\Users\\***\\***"},
        {"C:\\Users\\***\\Fax", 0, 1, "C:\\Users\\Max\\Fax"},
        // Windows paths ignore letter case: this is the user's folder too.
        {"C:\\Users\\max\\Fax", 1, 1, "C:\\Users\\***\\Fax"},
        {"C:\\USERS\\mAX\\max", 1, 1, "C:\\USERS\\***\\***"},
        {"C:\\Users\\Ma\\Fax", 1, 0, "C:\\Users\\Ma\\Fax"},
        {"C:\\a***b", 2, 1, "C:\\aMaxb"},        // any run of three stars
        {"C:\\****\\**", 0, 1, "C:\\****\\**"},  // enough stars, but no run of three
        {"C:\\**", 0, 0, "C:\\**"},
        {"   ", 1, 0, "   "},
    };
    for (Case c : cases) {
        std::string path = c.path;
        EXPECT_EQ(MaskUserName(path, c.mask), c.result) << c.path;
        EXPECT_EQ(path, c.after) << c.path;
    }
    EXPECT_EQ(PathHasUserName("C:\\Users\\Max\\Fax"), 1);
    EXPECT_EQ(PathHasUserName("C:\\Users\\MAX\\Fax"), 1);
    EXPECT_EQ(PathHasUserName("C:\\Users\\Mx\\Fax"), 0);
    EXPECT_EQ(PathHasUserName(""), 0);
}

TEST_F(PathsTest, ABlankOrUnknownUserNameNeverMatches) {
    for (auto [name, available] :
         {std::pair{"", true}, std::pair{"   ", true}, std::pair{"Max", false}}) {
        mem::SetUserName(name, available);
        std::string path = "C:\\Users\\   \\***";
        EXPECT_EQ(MaskUserName(path, 1), 0);
        EXPECT_EQ(MaskUserName(path, 0), 0);
        EXPECT_EQ(path, "C:\\Users\\   \\***");
        EXPECT_EQ(PathHasUserName(path), 0);
    }
}

}  // namespace
}  // namespace orvano::testing
