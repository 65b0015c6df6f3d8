#include <gtest/gtest.h>

#include <cstring>

#include "capi_images.h"
#include "config/fax_settings.h"
#include "config/registry.h"
#include "deploy/capi_locations.h"
#include "deploy/deployment_dialog.h"
#include "deploy/payload.h"
#include "headless_fixture.h"
#include "platform/memory/osinfo_control.h"
#include "ui/headless/script.h"

namespace orvano::testing {
namespace {

using namespace orvano::deploy;
namespace p = orvano::platform;

class CapiLocationsTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        mem::CreateFolder("C:\\Windows\\System32");
        mem::CreateFolder("C:\\Windows\\SysWOW64");
        mem::CreateFolder("C:\\Programme\\FRITZ!");
        mem::PutText(config::kCurrentUser, config::kFaxUserProgramKey, "SystemDir",
                     "C:\\Programme\\FRITZ!");
    }
};

TEST_F(CapiLocationsTest, FoldersAreCleanedAndMustBeFolders) {
    mem::PutFile("C:\\Daten\\datei.txt", "x");
    struct Case {
        std::string given;
        int result;
        std::string after;
    } cases[] = {
        {" C:\\Windows\\System32\\/\\ ", 1, "C:\\Windows\\System32\\"},
        {"c:\\windows\\system32", 1, "c:\\windows\\system32\\"},
        {"C:\\Fehlt", 0, "C:\\Fehlt"},
        {"C:\\Daten\\datei.txt", 0, "C:\\Daten\\datei.txt"},
        {"C:\\Win*", 0, "C:\\Win*"},
        {"  ", 0, "  "},
    };
    for (Case c : cases) {
        EXPECT_EQ(CheckFolder(c.given), c.result) << c.after;
        EXPECT_EQ(c.given, c.after);
    }
    std::string folder = "old";
    EXPECT_EQ(System32Folder(folder), 1);
    EXPECT_EQ(folder, "C:\\Windows\\System32\\");
    EXPECT_EQ(SysWow64Folder(folder), 1);
    EXPECT_EQ(folder, "C:\\Windows\\SysWow64\\");
    EXPECT_EQ(FaxProgramFolder(folder), 1);
    EXPECT_EQ(folder, "C:\\Programme\\FRITZ!\\");
    EXPECT_EQ(CapiLocationFolder(static_cast<CapiPlace>(4), folder), 0);
    EXPECT_EQ(folder, "");
}

TEST_F(CapiLocationsTest, KindIsToldByTheMarkerWithItsCase) {
    struct Case {
        std::string bytes;
        CapiKind kind, other;
    } cases[] = {
        {kTcpClient, CapiKind::OverTcp, CapiKind::Other},
        {kIsdnLibrary, CapiKind::Other, CapiKind::OverTcp},
        {"SOFTWARE\\AVM\\CAPIOTCP", CapiKind::Other, CapiKind::OverTcp},
        {"", CapiKind::Other, CapiKind::OverTcp},
        {std::string(40000, 'x') + "Software\\AVM\\CAPIoTCP", CapiKind::OverTcp,
         CapiKind::Other},  // anywhere in the file
    };
    for (const Case& c : cases) {
        mem::PutFile("C:\\Windows\\System32\\CAPI2032.DLL", c.bytes);
        const std::string folder = "C:\\Windows\\System32\\";
        EXPECT_EQ(CapiKindOf(folder), c.kind);
        // Shown under the program's own spelling of the name, whatever the disk has.
        EXPECT_EQ(CapiFileIn(folder), "C:\\Windows\\System32\\capi2032.dll");
        EXPECT_EQ(CapiKindAt(CapiPlace::System32, c.kind), 1);
        EXPECT_EQ(CapiKindAt(CapiPlace::System32, c.other), 0);
    }
    EXPECT_EQ(CapiKindOf("C:\\Windows\\SysWOW64\\"), CapiKind::None);
    EXPECT_EQ(CapiKindAt(CapiPlace::SysWow64, CapiKind::None), 0);
}

TEST_F(CapiLocationsTest, PlacesAreVisitedInTheirOrder) {
    EXPECT_EQ(FirstCapiLocation(), std::nullopt);
    EXPECT_EQ(FirstCapiOverTcpLocation(), std::nullopt);
    mem::PutFile("C:\\Windows\\System32\\capi2032.dll", kTcpClient);
    EXPECT_EQ(FirstCapiLocation(), CapiPlace::System32);
    mem::PutFile("C:\\Programme\\FRITZ!\\capi2032.dll", kIsdnLibrary);
    EXPECT_EQ(FirstCapiLocation(), CapiPlace::FaxProgram);
    EXPECT_EQ(FirstCapiOverTcpLocation(), CapiPlace::System32);
    mem::PutFile("C:\\Windows\\SysWOW64\\capi2032.dll", kTcpClient);
    EXPECT_EQ(FirstCapiOverTcpLocation(), CapiPlace::SysWow64);

    // A fax program folder that is stored but gone is skipped.
    mem::PutText(config::kCurrentUser, config::kFaxUserProgramKey, "SystemDir", "C:\\Weg");
    EXPECT_EQ(FirstCapiLocation(), CapiPlace::SysWow64);
}

TEST_F(CapiLocationsTest, ThirtyTwoBitWindowsHasNoSysWow64) {
    mem::Reset();
    mem::CreateFolder("C:\\Windows\\System32");
    mem::PutFile("C:\\Windows\\System32\\capi2032.dll", kIsdnLibrary);
    std::string folder = "old";
    EXPECT_EQ(SysWow64Folder(folder), 0);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(FirstCapiLocation(), CapiPlace::System32);
    EXPECT_EQ(FirstCapiOverTcpLocation(), std::nullopt);
}

TEST_F(CapiLocationsTest, VersionsAreShownOnlyWhenTheyCanBeRead) {
    ui::Dialog dialog = ui::NewDialog(0, " Test", 0, 0, 100, 100, 0, 0);
    ui::AddControl(dialog, ui::ControlKind::Label, 3030, " alt ", 0, 0, 80, 10, 0, 0);
    struct Case {
        std::string bytes;
        int result;
        const char* shown;
    } cases[] = {
        {kTcpClient, 1, "3.8.1.0 / 3.0.0.0 CoT"},
        {kIsdnLibrary, 1, "5.10.0.0 / 2.2.0.0"},
        {Image(0xFFFFFFFF, 0x0001FFFF, 0, 0), 1, "65535.65535.1.65535 / 0.0.0.0"},
        {"MZ no version here", 0, "65535.65535.1.65535 / 0.0.0.0"},  // the field keeps its text
    };
    for (const Case& c : cases) {
        mem::PutFile("C:\\Windows\\System32\\capi2032.dll", c.bytes);
        EXPECT_EQ(ShowCapiVersion(dialog, 3030, "C:\\Windows\\System32\\"), c.result);
        EXPECT_EQ(ui::GetControlText(dialog, 3030), c.shown);
    }
    std::string file = "f", product = "p";
    EXPECT_EQ(CapiFileVersion("C:\\Windows\\SysWOW64", file, product), 0);
    EXPECT_EQ(CapiFileVersion("C:\\" + std::string(250, 'x') + "\\", file, product), 0);
    EXPECT_EQ(file, "f");
}

// A create tells the dialog whether the user must hear of it: only when nothing could be
// written and no file of the name is there. A file that stays comes with its line instead.
TEST_F(CapiLocationsTest, ACreateSaysWhetherTheUserIsToBeTold) {
    const std::string file = "C:\\Windows\\System32\\capi2032.dll";
    const struct {
        const char* name;
        CapiPlace place;
        const char* payload;
        bool writeFails, heldByFax;
        Created created;
        std::string problem;
    } cases[] = {
        {"written", CapiPlace::System32, kCapiV3810Payload, false, false, Created::kWritten, ""},
        {"unknown version", CapiPlace::System32, nullptr, false, false, Created::kNotTried, ""},
        {"unknown place", static_cast<CapiPlace>(4), kCapiV3810Payload, false, false,
         Created::kNotTried, ""},
        {"folder without entries", CapiPlace::SysWow64, kCapiV3810Payload, false, false,
         Created::kNotWritten, ""},
        {"no rights", CapiPlace::System32, kCapiV3810Payload, true, false, Created::kNotWritten,
         ""},
        {"file in use", CapiPlace::System32, kCapiV51000Payload, false, true, Created::kStays,
         " Nicht ersetzt, wird benutzt von FRITZ!fax: " + file},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mem::PutFile("C:\\Windows\\System32\\kernel32.dll", "MZ");
        p::RemoveFile(file);
        if (c.heldByFax) {
            ASSERT_EQ(ExtractPayload(kCapiV3810Payload, "C:\\Windows\\System32\\"), 1);
            mem::HoldFile(file, "FRITZ!fax");
        }
        if (c.writeFails) mem::FailCall(mem::Call::WriteWholeFile);
        std::string problem = "<old>";
        EXPECT_EQ(CreateCapiFile(c.place, c.payload, problem), c.created);
        EXPECT_EQ(problem, c.problem);
        EXPECT_EQ(CapiKindOf("C:\\Windows\\System32\\") != CapiKind::None,
                  c.created == Created::kWritten || c.heldByFax);
        mem::SetFileInUse(file, false);
    }
}

}  // namespace
}  // namespace orvano::testing
