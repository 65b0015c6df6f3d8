#include <gtest/gtest.h>

#include "dialogs/registry_entry_dialog.h"
#include "dialogs/registry_export.h"
#include "headless_fixture.h"
#include "platform/text.h"
#include "ui/headless/script.h"

namespace orvano::testing {
namespace {

using namespace orvano::dialogs;
using namespace std::string_literals;

constexpr char kFolder[] = "C:\\Orvano\\";

std::string Utf16File(const std::string& ansi) {
    return "\xFF\xFE"s + platform::AnsiToUtf16(ansi);
}

class RegistryExportTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        ClearPendingRegText();
    }
    static std::string File(const std::string& name) {
        return mem::FileBytes(kFolder + name).value_or("<none>");
    }

    static ui::Dialog Owner() {
        return ui::NewDialog(0, " Besitzer", 44, 44, 325, 200, ui::kDialogStyle, 0);
    }

    // Opens the dialog, records what it shows and whether it may save, saves when it may, and
    // closes it with OK.
    struct Seen {
        std::string text;
        bool canSave = false;
    };
    static Seen OpenAndSave(ui::Window owner, RegEntry entry, const std::string& value = "") {
        Seen seen;
        hl::AddSteps({[&] {
                          ui::Dialog d = hl::FindDialog(kRegistryEntryTitle);
                          seen.text = ui::GetControlText(d, red::kText);
                          seen.canSave = ui::ControlEnabled(d, red::kSave);
                          if (seen.canSave) hl::Click(d, red::kSave);
                      },
                      [&] { hl::Click(hl::FindDialog(kRegistryEntryTitle), red::kOk); }});
        EXPECT_EQ(ShowRegistryEntryDialog(owner, entry, value), 0);
        return seen;
    }
};

TEST_F(RegistryExportTest, FilesAreUtf16WithHeaderAndSeparators) {
    ASSERT_EQ(
        WriteRegFile("C:\\Orvano\\Reg5_AVM_NC_FB_Port.reg ",
                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\CAPIoTCP]\r\n\"Port\"=dword:000013a7"),
        1);
    const std::string expected =
        "\xFF\xFEW\0i\0n\0d\0o\0w\0s\0 \0R\0e\0g\0i\0s\0t\0r\0y\0 \0E\0d\0i\0t\0o\0r\0 \0"
        "V\0e\0r\0s\0i\0o\0n\0 \0005\0.\0000\0000\0\r\0\n\0\r\0\n\0"s;
    EXPECT_EQ(File("Reg5_AVM_NC_FB_Port.reg").substr(0, expected.size()), expected);
    EXPECT_EQ(File("Reg5_AVM_NC_FB_Port.reg"),
              Utf16File("Windows Registry Editor Version "
                        "5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\CAPIoTCP]\r\n"
                        "\"Port\"=dword:000013a7\r\n\r\n"));

    // A longer old file is replaced whole, not written over.
    mem::PutFile("C:\\Orvano\\x.reg", std::string(5000, 'x'));
    ASSERT_EQ(WriteRegFile("C:\\Orvano\\x.reg", "[A]"), 1);
    EXPECT_EQ(File("x.reg"), Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[A]\r\n\r\n"));
    ASSERT_EQ(WriteRawFile("C:\\Orvano\\x.reg", "raw"), 1);
    EXPECT_EQ(File("x.reg"), "raw");

    int calls = mem::CallCount(mem::Call::WriteWholeFile);
    EXPECT_EQ(WriteRegFile(std::string(" \0", 2), "[A]"), 0);
    EXPECT_EQ(WriteRegFile("C:\\Orvano\\y.reg", "  "), 0);
    EXPECT_EQ(WriteRawFile("", "raw"), 0);
    EXPECT_EQ(mem::CallCount(mem::Call::WriteWholeFile), calls) << "the disk is not touched";
}

TEST_F(RegistryExportTest, AFileThatCannotBeReplacedStaysAsItWas) {
    mem::PutFile("C:\\Orvano\\x.reg", "old");
    mem::SetFileInUse("C:\\Orvano\\x.reg");
    EXPECT_EQ(WriteRegFile("C:\\Orvano\\x.reg", "[A]"), 0);
    EXPECT_EQ(File("x.reg"), "old");
    EXPECT_EQ(mem::ListFiles().size(), 2u) << "no temporary file left behind";
    EXPECT_EQ(WriteRegFile("C:\\Fehlt\\x.reg", "[A]"), 0);
}

TEST_F(RegistryExportTest, SectionsAreBuiltOnlyFromGoodValues) {
    struct Case {
        int mode;
        std::string value;
        int result;
        std::string text;
    } cases[] = {
        {kTextAddress, "192.168.178.1", 1,
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\AVMIGDCTRL]\r\n\"FoundFritzBoxes\"=\"192.168.178."
         "1\""},
        {kTextAddressWow, " 10.0.0.1x", 1,
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM\\AVMIGDCTRL]\r\n\"FoundFritzBoxes\"=\"10."
         "0.0.1\""},
        {kTextPort, "000013a7", 1,
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\CAPIoTCP]\r\n\"Port\"=dword:000013a7"},
        {kTextPortWow, "0000138F", 1,
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM\\CAPIoTCP]\r\n\"Port\"=dword:0000138F"},
        {kTextAddress, "0.0.0.0", 0, "unchanged"},
        {kTextAddressWow, "255.255.255.255", 0, "unchanged"},  // an address field's empty text
        {kTextAddress, "  ", 0, "unchanged"},
        {kTextPort, "13a7", 0, "unchanged"},
        {kTextPort, "0000138g", 0, "unchanged"},  // seven hex digits are left
        {kTextPort, "000013a70", 0, "unchanged"},
        {99, "1", 0, "unchanged"},
        {kBuildHeader, "", 1, "Windows Registry Editor Version 5.00\r\n\r\n"},
    };
    for (const Case& c : cases) {
        std::string text = "unchanged";
        EXPECT_EQ(BuildRegText("C:\\Orvano\\z.reg", text, c.value, c.mode), c.result) << c.value;
        EXPECT_EQ(text, c.text) << c.value;
    }
    EXPECT_FALSE(mem::FileBytes("C:\\Orvano\\z.reg")) << "text modes write nothing";
    std::string text;
    EXPECT_EQ(BuildRegText("C:\\Orvano\\z.reg", text, "000013a7", kBuildPortWow), 1);
    EXPECT_NE(File("z.reg").find(platform::AnsiToUtf16("Wow6432Node")), std::string::npos);
}

// The file gets the entry the user sees.
TEST_F(RegistryExportTest, FieldEntriesSaveTheEntryShown) {
    ui::Dialog owner = Owner();
    Seen seen = OpenAndSave(owner, RegEntry::RouterAddressWow, "192.168.178.1");
    EXPECT_TRUE(seen.canSave);
    EXPECT_EQ(seen.text,
              "Windows Registry Editor Version "
              "5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM\\AVMIGDCTRL]"
              "\r\n\"FoundFritzBoxes\"=\"192.168.178.1\"\r\n\r\n");
    EXPECT_EQ(File("Reg5_AVM_NC_FB_IP_Wow6432Node.reg"),
              Utf16File("Windows Registry Editor Version "
                        "5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM\\"
                        "AVMIGDCTRL]\r\n\"FoundFritzBoxes\"=\"192.168.178.1\"\r\n\r\n"));

    seen = OpenAndSave(owner, RegEntry::Port, "000013a7");
    EXPECT_EQ(File("Reg5_AVM_NC_FB_Port.reg"),
              Utf16File("Windows Registry Editor Version "
                        "5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\CAPIoTCP]\r\n"
                        "\"Port\"=dword:000013a7\r\n\r\n"));

    // Refused values show the header alone and cannot be saved.
    for (auto [entry, value] : {std::pair{RegEntry::RouterAddress, "0.0.0.0"},
                                std::pair{RegEntry::PortWow, "13a7138"}}) {
        seen = OpenAndSave(owner, entry, value);
        EXPECT_FALSE(seen.canSave) << value;
        EXPECT_EQ(seen.text, "Windows Registry Editor Version 5.00\r\n\r\n");
    }
}

// A file that cannot be written keeps any older file of its name: the user must know.
TEST_F(RegistryExportTest, AFailedSaveIsReportedInOneLine) {
    const struct {
        RegEntry entry;
        const char* file;
        bool inUse;
    } cases[] = {
        {RegEntry::Port, "Reg5_AVM_NC_FB_Port.reg", true},
        {RegEntry::Isdn, "Reg5_AVM_FB_FF_ISDN.reg", true},
        {RegEntry::CountryCode, "Reg5_AVM_FB_FF_Laendervorwahl.reg", true},
        {RegEntry::IsdnWow, "Reg5_AVM_FB_FF_ISDN_Wow6432Node.reg", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        hl::Reset();
        ui::Dialog owner = Owner();
        SetPendingRegText("[HKEY_CURRENT_USER\\Software\\AVM]");
        const std::string path = kFolder + std::string(c.file);
        mem::PutFile(path, "old");
        mem::SetFileInUse(path, c.inUse);
        if (c.inUse) hl::AnswerMessageBox(ui::kIdOk);
        Seen seen = OpenAndSave(owner, c.entry, "000013a7");
        EXPECT_TRUE(seen.canSave);
        if (c.inUse) {
            EXPECT_EQ(File(c.file), "old");
            ASSERT_EQ(hl::MessageBoxes().size(), 1u);
            const hl::MessageBoxRecord& box = hl::MessageBoxes()[0];
            EXPECT_EQ(box.text, " " + path + "  ->  nicht gespeichert ");
            EXPECT_EQ(box.caption, " Fehler! ");
        } else {
            EXPECT_NE(File(c.file), "old");
            EXPECT_TRUE(hl::MessageBoxes().empty()) << "a save that worked says nothing";
        }
    }
}

// Placed from the corner of the owner's client area, as every owned dialog is.
TEST_F(RegistryExportTest, OpensAtItsPlaceBelowTheOwnersTitleBar) {
    const struct {
        RegEntry entry;
        int x, y;
    } cases[] = {{RegEntry::Defaults, 52, 70}, {RegEntry::Isdn, -17, 89},
                 {RegEntry::CountryCode, -26, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(RegFileName(c.entry));
        SetPendingRegText("[HKEY_CURRENT_USER\\Software\\AVM]");
        ui::Dialog owner = ui::NewDialog(0, " Orvano", 100, 50, 420, 300, ui::kMainWindowStyle,
                                         ui::kWsExControlParent);
        int clientX = 0, clientY = 0, x = 0, y = 0;
        ui::GetClientLocation(owner, clientX, clientY);
        hl::AddStep([&] { ui::GetDialogLocation(hl::FindDialog(kRegistryEntryTitle), x, y); });
        OpenAndSave(owner, c.entry);
        EXPECT_EQ(x, clientX + c.x);
        EXPECT_EQ(y, clientY + c.y);
        ui::CloseDialog(owner, 0);
    }
}

TEST_F(RegistryExportTest, PendingTextAndBuiltInScripts) {
    ui::Dialog owner = Owner();
    SetPendingRegText(
        "[HKEY_CURRENT_USER\\Software\\AVM\\FRITZ! 2.0\\FRITZ!]\r\n\"PlusMapper\"=\"00\"");
    Seen seen = OpenAndSave(owner, RegEntry::CountryCode);
    EXPECT_EQ(seen.text.find("UseStandort"), std::string::npos)
        << "the extra line is only in the file";
    EXPECT_EQ(
        File("Reg5_AVM_FB_FF_Laendervorwahl.reg"),
        Utf16File("Windows Registry Editor Version "
                  "5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\AVM\\FRITZ! 2.0\\"
                  "FRITZ!]\r\n\"PlusMapper\"=\"00\"\r\n\"UseStandort\"=dword:00000000\r\n\r\n"));
    OpenAndSave(owner, RegEntry::IsdnWow);
    EXPECT_NE(File("Reg5_AVM_FB_FF_ISDN_Wow6432Node.reg"), "<none>");

    ClearPendingRegText();
    hl::AnswerMessageBox(ui::kIdOk);
    seen = OpenAndSave(owner, RegEntry::Isdn);
    EXPECT_EQ(seen.text, "Windows Registry Editor Version 5.00\r\n\r\n\r\n\r\n");
    EXPECT_EQ(File("Reg5_AVM_FB_FF_ISDN.reg"), "<none>") << "an empty body is not written";
    ASSERT_EQ(hl::MessageBoxes().size(), 1u) << "and the user is told so";
    EXPECT_EQ(hl::MessageBoxes()[0].caption, " Fehler! ");

    const std::string script = Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[X]\r\n\r\n");
    mem::PutResource("FB_IP_1921681781_REG", "\xFF\xFE"s + script);  // two marks: both go
    seen = OpenAndSave(owner, RegEntry::Defaults);
    EXPECT_EQ(seen.text, "Windows Registry Editor Version 5.00\r\n\r\n[X]\r\n\r\n");
    EXPECT_EQ(File("FB_IP_1921681781.reg"), "\xFF\xFE"s + script) << "byte for byte the resource";
    mem::RemoveResource("FB_IP_1921681781_REG");
}

}  // namespace
}  // namespace orvano::testing
