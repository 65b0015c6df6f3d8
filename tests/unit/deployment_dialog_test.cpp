#include <gtest/gtest.h>

#include <algorithm>

#include "config/fax_settings.h"
#include "config/registry.h"
#include "deploy/capi_locations.h"
#include "deploy/deployment_dialog.h"
#include "deploy/payload.h"
#include "headless_fixture.h"
#include "ui/headless/script.h"

namespace orvano::testing {
namespace {

using namespace orvano::deploy;
using namespace orvano::deploy::cdd;
namespace p = orvano::platform;

constexpr char kFax[] = "C:\\Programme\\FRITZ!\\";
constexpr char kSystem32[] = "C:\\Windows\\System32\\";
constexpr char kSysWow64[] = "C:\\Windows\\SysWOW64\\";

// The rows' buttons, TCP rows first, each fax folder, System32, SysWow64:
// "C-" create only, "-D" delete only, "--" neither, "CD" both.
using Rows = std::vector<std::string>;

// Path and version field of the fax folder, System32 and SysWow64.
using Fields = std::vector<std::string>;

class DeploymentDialogTest : public HeadlessTest {
  protected:

    // 32-bit Windows: no SysWow64. The fax application's folder holds its program.
    static void Machine(bool sixtyFourBit, bool faxApplication = true) {
        mem::CreateFolder("C:\\Windows\\System32");
        mem::PutFile("C:\\Windows\\System32\\kernel32.dll", "MZ");
        if (sixtyFourBit) {
            mem::CreateFolder("C:\\Windows\\SysWOW64");
            mem::PutFile("C:\\Windows\\SysWOW64\\kernel32.dll", "MZ");
        }
        if (faxApplication) {
            mem::PutFile(std::string(kFax) + "FriFax32.exe", "MZ");
            mem::PutText(config::kCurrentUser, config::kFaxUserProgramKey, "SystemDir",
                         "C:\\Programme\\FRITZ!");
        }
    }

    // A library as the program itself writes it.
    static void Place(const char* payload, const std::string& folder) {
        ASSERT_EQ(ExtractPayload(payload, folder), 1) << payload;
    }

    static std::string VersionOf(const std::string& folder) {
        std::string file, product;
        return CapiFileVersion(folder, file, product) ? file : "<none>";
    }

    static ui::Dialog Dialog() { return hl::FindDialog(kDeployDialogTitle); }

    static Rows RowsNow() {
        const int buttons[][2] = {{kTcpFaxCreate, kTcpFaxDelete},
                                  {kTcpSystem32Create, kTcpSystem32Delete},
                                  {kTcpSysWow64Create, kTcpSysWow64Delete},
                                  {kIsdnFaxCreate, kIsdnFaxDelete},
                                  {kIsdnSystem32Create, kIsdnSystem32Delete},
                                  {kIsdnSysWow64Create, kIsdnSysWow64Delete}};
        Rows rows;
        for (const auto& b : buttons)
            rows.push_back(std::string(ui::ControlEnabled(Dialog(), b[0]) ? "C" : "-") +
                           (ui::ControlEnabled(Dialog(), b[1]) ? "D" : "-"));
        return rows;
    }

    static Fields FieldsNow() {
        Fields fields;
        for (int id : {kFaxPath, kFaxVersion, kSystem32Path, kSystem32Version, kSysWow64Path,
                       kSysWow64Version})
            fields.push_back(ui::GetControlText(Dialog(), id));
        return fields;
    }

    // Opens the dialog, runs the steps, and ends it with OK.
    static void Run(std::vector<hl::Step> steps) {
        hl::AddSteps(std::move(steps));
        hl::AddStep([] { hl::Click(Dialog(), kOk); });
        EXPECT_EQ(ShowCapiDeployDialog(0), 0);
        EXPECT_EQ(hl::StepsLeft(), 0u);
    }
};

TEST_F(DeploymentDialogTest, OpeningShowsEachPlaceAndLocksPartnerRows) {
    struct Case {
        const char* name;
        bool sixtyFourBit, faxApplication;
        std::vector<std::pair<const char*, const char*>> libraries;  // payload, folder
        Rows rows;
        Fields fields;
    } cases[] = {
        {"32-bit, client V3830 in System32 only",
         false,
         true,
         {{kCapiV3830Payload, kSystem32}},
         {"C-", "-D", "C-", "C-", "--", "C-"},
         {kFax, "", "C:\\Windows\\System32\\capi2032.dll", "3.8.3.0 / 3.0.0.0 CoT", "", ""}},
        {"64-bit, client in the fax folder, ISDN library in SysWow64",
         true,
         true,
         {{kCapiV3810Payload, kFax}, {kCapiV51000Payload, kSysWow64}},
         {"-D", "C-", "--", "--", "C-", "-D"},
         {"C:\\Programme\\FRITZ!\\capi2032.dll", "3.8.1.0 / 3.0.0.0 CoT", kSystem32, "",
          "C:\\Windows\\SysWow64\\capi2032.dll", "5.10.0.0 / 2.2.0.0"}},
        {"64-bit, no fax application, nothing anywhere",
         true,
         false,
         {},
         {"C-", "C-", "C-", "C-", "C-", "C-"},
         {"", "", kSystem32, "", "C:\\Windows\\SysWow64\\", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mem::Reset();
        hl::Reset();
        Machine(c.sixtyFourBit, c.faxApplication);
        for (const auto& [payload, folder] : c.libraries) Place(payload, folder);
        Rows rows;
        Fields fields;
        std::vector<int> checks;
        Run({[&] {
            rows = RowsNow();
            fields = FieldsNow();
            checks = {ui::GetCheck(Dialog(), kV3810), ui::GetCheck(Dialog(), kV3830)};
        }});
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(fields, c.fields);
        EXPECT_EQ(checks, (std::vector<int>{1, 0}));
        EXPECT_EQ(SelectedTcpVersion(), kVersionV3810);
    }
}

// Creating locks the partner row of the same place; deleting frees both rows again.
TEST_F(DeploymentDialogTest, CreateAndDeleteMoveBothRowsOfAPlace) {
    Machine(true);
    // A read-only copy is deleted all the same.
    Place(kCapiV51000Payload, kSysWow64);
    p::SetAttributes(std::string(kSysWow64) + "capi2032.dll",
                     p::kFileAttributeReadOnly | p::kFileAttributeArchive);
    const std::string client = "3.8.3.0 / 3.0.0.0 CoT", isdn = "5.10.0.0 / 2.2.0.0";
    // The version fields show what lies in System32 and SysWow64 after each step.
    struct Step {
        const char* what;
        std::vector<int> clicks;
        Rows rows;
        std::string system32, sysWow64;
    } steps[] = {
        {"opened", {}, {"C-", "C-", "--", "C-", "C-", "-D"}, "", isdn},
        {"ISDN library deleted from SysWow64", {kIsdnSysWow64Delete}, Rows(6, "C-"), "", ""},
        {"client V3830 created in System32",
         {kV3830, kTcpSystem32Create},
         {"C-", "-D", "C-", "C-", "--", "C-"},
         client,
         ""},
        {"client created in SysWow64",
         {kTcpSysWow64Create},
         {"C-", "-D", "-D", "C-", "--", "--"},
         client,
         client},
        {"client deleted from System32, ISDN library created there",
         {kTcpSystem32Delete, kIsdnSystem32Create},
         {"C-", "--", "-D", "C-", "-D", "--"},
         isdn,
         client},
    };
    std::vector<hl::Step> script;
    for (const Step& s : steps) {
        for (int id : s.clicks) script.push_back([id] { hl::Click(Dialog(), id); });
        script.push_back([&s] {
            SCOPED_TRACE(s.what);
            EXPECT_EQ(RowsNow(), s.rows);
            EXPECT_EQ(ui::GetControlText(Dialog(), kSystem32Version), s.system32);
            EXPECT_EQ(ui::GetControlText(Dialog(), kSysWow64Version), s.sysWow64);
        });
    }
    Run(std::move(script));
    EXPECT_TRUE(hl::MessageBoxes().empty());
    EXPECT_EQ(VersionOf(kFax), "<none>") << "no other place touched";
}

// The 32-bit program on 64-bit Windows: System32 is redirected to SysWow64, so both places are
// one folder. From each thing that folder can hold, every enabled button of the two places is
// pressed, and then every button enabled after it: after each click all four rows of the two
// places must offer exactly what the one folder allows, and the file lies in SysWOW64 only.
TEST_F(DeploymentDialogTest, UnderWow64System32AndSysWow64RowsAlwaysAgree) {
    enum Holds { kNothing, kClient, kIsdn };
    const std::string physical32 = "C:\\Windows\\System32\\capi2032.dll";
    const std::string physical64 = "C:\\Windows\\SysWOW64\\capi2032.dll";
    const int buttons[] = {kTcpSystem32Create,  kTcpSystem32Delete,  kTcpSysWow64Create,
                           kTcpSysWow64Delete,  kIsdnSystem32Create, kIsdnSystem32Delete,
                           kIsdnSysWow64Create, kIsdnSysWow64Delete};
    auto holds = [&] {
        const auto bytes = mem::FileBytes(physical64);
        if (!bytes) return kNothing;
        return bytes->find(kCapiOverTcpMarker) != std::string::npos ? kClient : kIsdn;
    };
    // TCP rows, then ISDN rows, of System32 and SysWow64 (the fax folder's rows stay "C-").
    auto expected = [](Holds h) {
        const std::string tcp = h == kNothing ? "C-" : h == kClient ? "-D" : "--";
        const std::string isdn = h == kNothing ? "C-" : h == kIsdn ? "-D" : "--";
        return Rows{"C-", tcp, tcp, "C-", isdn, isdn};
    };
    auto check = [&](const std::string& what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(RowsNow(), expected(holds()));
        const Fields fields = FieldsNow();
        EXPECT_EQ(fields[3], fields[5]) << "both places show the one file";
        EXPECT_FALSE(mem::FileBytes(physical32)) << "nothing lands in the real System32";
    };
    // Whether the rows offer a button while the folder holds `h`.
    auto offered = [&](Holds h, int button) {
        const Rows rows = expected(h);
        const bool tcp = button >= kTcpFaxCreate && button <= kTcpSysWow64Delete;
        const bool create = button <= kTcpSysWow64Create ||
                            (button >= kIsdnFaxCreate && button <= kIsdnSysWow64Create);
        return rows[tcp ? 1 : 4][create ? 0 : 1] != '-';
    };
    for (Holds start : {kNothing, kClient, kIsdn}) {
        for (int first : buttons) {
            if (!offered(start, first)) continue;
            for (int second : buttons) {
                const std::string what = "start " + std::to_string(start) + ", " +
                                         std::to_string(first) + " then " + std::to_string(second);
                mem::Reset();
                hl::Reset();
                Machine(true);
                mem::SetProcessKind(mem::ProcessKind::Wow64Process);
                if (start != kNothing)
                    Place(start == kClient ? kCapiV3810Payload : kCapiV51000Payload, kSysWow64);
                Run({[&] {
                         check(what + ": opened");
                         if (ui::ControlEnabled(Dialog(), first)) hl::Click(Dialog(), first);
                     },
                     [&] {
                         check(what + ": after the first");
                         if (ui::ControlEnabled(Dialog(), second)) hl::Click(Dialog(), second);
                     },
                     [&] { check(what + ": after the second"); }});
                EXPECT_TRUE(hl::MessageBoxes().empty()) << what;
            }
        }
    }
}

TEST_F(DeploymentDialogTest, ReopeningStartsWithV3810Again) {
    Machine(false);
    Run({[] { hl::Click(Dialog(), kV3830); },
         [] {
             EXPECT_EQ(SelectedTcpVersion(), kVersionV3830);
             hl::Click(Dialog(), kTcpFaxCreate);
         }});
    EXPECT_EQ(VersionOf(kFax), "3.8.3.0");

    std::vector<int> checks;
    Run({[&] {
             checks = {ui::GetCheck(Dialog(), kV3810), ui::GetCheck(Dialog(), kV3830)};
             hl::Click(Dialog(), kTcpFaxDelete);
         },
         [] { hl::Click(Dialog(), kTcpFaxCreate); }});
    EXPECT_EQ(checks, (std::vector<int>{1, 0}));
    EXPECT_EQ(SelectedTcpVersion(), kVersionV3810);
    EXPECT_EQ(VersionOf(kFax), "3.8.1.0");
    EXPECT_TRUE(hl::MessageBoxes().empty());
}

// A create that cannot write shows the failure message and changes neither files nor rows;
// a place that is missing is passed over in silence.
TEST_F(DeploymentDialogTest, FailedCreateChangesNothing) {
    struct Case {
        const char* name;
        bool sixtyFourBit;
        int button;
        bool writeFails, emptySystem32;
        bool message;
    } cases[] = {
        {"no rights in System32", true, kTcpSystem32Create, true, false, true},
        {"no rights in the fax folder", true, kIsdnFaxCreate, true, false, true},
        {"System32 without any entry", false, kIsdnSystem32Create, false, true, true},
        {"no SysWow64 on 32-bit Windows", false, kTcpSysWow64Create, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mem::Reset();
        hl::Reset();
        Machine(c.sixtyFourBit);
        if (c.emptySystem32) p::RemoveFile("C:\\Windows\\System32\\kernel32.dll");
        const std::vector<std::string> files = mem::ListFiles();
        if (c.writeFails) mem::FailCall(mem::Call::WriteWholeFile);
        if (c.message) hl::AnswerMessageBox(ui::kIdOk);
        Rows before, after;
        Fields fieldsBefore, fieldsAfter;
        ui::Dialog dialog = 0;
        Run({[&] {
                 dialog = Dialog();
                 before = RowsNow();
                 fieldsBefore = FieldsNow();
                 hl::Click(Dialog(), c.button);
             },
             [&] {
                 after = RowsNow();
                 fieldsAfter = FieldsNow();
             }});
        EXPECT_EQ(after, before);
        EXPECT_EQ(fieldsAfter, fieldsBefore);
        EXPECT_EQ(mem::ListFiles(), files);
        ASSERT_EQ(hl::MessageBoxes().size(), c.message ? 1u : 0u);
        if (!c.message) continue;
        const hl::MessageBoxRecord& box = hl::MessageBoxes().front();
        EXPECT_EQ(box.owner, dialog);
        EXPECT_EQ(box.caption, " Fehler!");
        EXPECT_EQ(box.text,
                  "Fehler! --> Datei konnte nicht erstellt werden, \r\n"
                  "wahrscheinlich fehlende Administrator rechte.");
        EXPECT_EQ(box.flags, 0x00012000u);
    }
}

TEST_F(DeploymentDialogTest, DeleteLeavesAnythingItCannotRemoveAsItWas) {
    const std::string file = std::string(kSystem32) + "capi2032.dll";
    struct Case {
        const char* name;
        CapiPlace place;
        std::uint32_t attributes;
        bool inUse;
        int result;
        bool gone;
    } cases[] = {
        {"read-only copy", CapiPlace::System32, p::kFileAttributeReadOnly | p::kFileAttributeHidden,
         false, 1, true},
        {"copy in use", CapiPlace::System32, p::kFileAttributeReadOnly | p::kFileAttributeArchive,
         true, 0, false},
        {"other place", CapiPlace::FaxProgram, p::kFileAttributeArchive, false, 0, false},
        {"missing place", CapiPlace::SysWow64, p::kFileAttributeArchive, false, 0, false},
        {"unknown place", static_cast<CapiPlace>(4), p::kFileAttributeArchive, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mem::Reset();
        Machine(false);
        mem::PutFile(file, "MZ", c.attributes);
        mem::SetFileInUse(file, c.inUse);
        EXPECT_EQ(DeleteCapi(c.place), c.result);
        p::FileEntry entry;
        ASSERT_EQ(!p::FindFirstEntry(file, entry), c.gone);
        if (!c.gone) {
            EXPECT_EQ(entry.attributes, c.attributes) << "attributes kept";
        }
    }
    // A folder of that name is no copy to delete.
    mem::Reset();
    Machine(false);
    mem::CreateFolder(file);
    EXPECT_EQ(DeleteCapi(CapiPlace::System32), 0);
    EXPECT_TRUE(p::FileExists(file));
}

TEST_F(DeploymentDialogTest, CreateOverwritesWithoutAQuestion) {
    Machine(false);
    Place(kCapiV3810Payload, kSystem32);
    EXPECT_EQ(CreateCapi(0, CapiPlace::System32, 2), 0) << "no such version";
    EXPECT_EQ(CreateCapi(0, CapiPlace::System32, kVersionV51000), 1);
    EXPECT_EQ(VersionOf(kSystem32), "5.10.0.0");
    EXPECT_TRUE(hl::MessageBoxes().empty());
}

TEST_F(DeploymentDialogTest, TestToolIsWrittenBesideTheProgram) {
    struct Case {
        const char* name;
        std::string modulePath;
        bool writeFails;
        int result;
    } cases[] = {
        {"program folder", "C:\\Orvano\\Orvano.exe", false, 1},
        {"no rights", "C:\\Orvano\\Orvano.exe", true, 0},
        {"program folder gone", "C:\\Weg\\Orvano.exe", false, 0},
        {"no folder in the module path", "Orvano.exe", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mem::Reset();
        hl::Reset();
        mem::SetModulePath(c.modulePath);
        if (c.writeFails) mem::FailCall(mem::Call::WriteWholeFile);
        std::vector<std::string> files = mem::ListFiles();
        if (c.result == 1) files.push_back("C:\\Orvano\\Teluso.exe");
        std::sort(files.begin(), files.end());
        if (!c.result) hl::AnswerMessageBox(ui::kIdOk);
        ui::Window owner = ui::NewDialog(0, " Besitzer", 0, 0, 100, 100, ui::kDialogStyle, 0);
        EXPECT_EQ(DeployTestTool(owner), c.result);
        std::vector<std::string> now = mem::ListFiles();
        std::sort(now.begin(), now.end());
        EXPECT_EQ(now, files);
        ASSERT_EQ(hl::MessageBoxes().size(), c.result ? 0u : 1u);
        if (!c.result) {
            EXPECT_EQ(hl::MessageBoxes().front().owner, owner);
            EXPECT_EQ(hl::MessageBoxes().front().caption, " Fehler!");
        }
    }
}

// A capi2032.dll that is not ours survives create and delete as a kept copy beside it, the
// bottom line says where, and the button puts it back; our own files are simply replaced. A
// different file at a place that holds a kept copy is kept under the next number, and the
// newest goes back first; where no copy can be made, the file stays and the line says why.
TEST_F(DeploymentDialogTest, ForeignLibraryIsKeptAndCanBePutBack) {
    const std::string file = std::string(kSystem32) + "capi2032.dll";
    const std::string kept = std::string(kSystem32) + "capi2032.dll.gesichert";
    const std::string vendor = "MZ the vendor's client Software\\AVM\\CAPIoTCP";
    enum Before { kVendor, kOurs, kVendorKeptBefore, kOtherKeptBefore, kCopyFails };
    struct Case {
        const char* what;
        Before before;
        int button;             // 0: the ISDN library written over it (the rows never offer that)
        const char* keptAs;     // the name in the kept line, "" for none
        const char* fileAfter;  // "vendor", "ours" or "none"
        std::string problem;
    } cases[] = {
        {"vendor's client replaced", kVendor, 0, "capi2032.dll.gesichert", "ours", ""},
        {"vendor's client deleted", kVendor, kTcpSystem32Delete, "capi2032.dll.gesichert", "none",
         ""},
        {"our own file replaced, no copy", kOurs, 0, "", "ours", ""},
        {"the same copy kept before", kVendorKeptBefore, kTcpSystem32Delete,
         "capi2032.dll.gesichert", "none", ""},
        {"another copy kept before", kOtherKeptBefore, kTcpSystem32Delete,
         "capi2032.dll.gesichert2", "none", ""},
        {"copy cannot be written, delete", kCopyFails, kTcpSystem32Delete, "", "vendor",
         " Nicht gelöscht, Sicherung nicht möglich (keine Rechte): " + file},
        {"copy cannot be written, replace", kCopyFails, 0, "", "vendor",
         " Nicht ersetzt, Sicherung nicht möglich (keine Rechte): " + file},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mem::Reset();
        hl::Reset();
        Machine(false);
        const std::uint64_t stamp = 127000000000000000ull;
        if (c.before == kOurs) {
            Place(kCapiV3810Payload, kSystem32);
        } else {
            mem::PutFile(file, vendor);
            p::SetFileTimes(file, {stamp, stamp, stamp});
        }
        if (c.before == kVendorKeptBefore) {
            mem::PutFile(kept, vendor);
            p::SetFileTimes(kept, {stamp, stamp, stamp});
        }
        if (c.before == kOtherKeptBefore) mem::PutFile(kept, "MZ an older library");
        if (c.before == kCopyFails) mem::FailCall(mem::Call::WriteWholeFile);
        const bool restorable = *c.keptAs != '\0';
        std::string line, problem;
        bool shown = false, enabled = false;
        std::vector<hl::Step> steps = {
            [&] {
                if (c.button != 0) return hl::Click(Dialog(), c.button);
                CreateCapi(Dialog(), CapiPlace::System32, kVersionV51000, &problem);
                ui::PostToWindow(Dialog(), kMsgRefreshDeployFields, 0, 0);
            },
            [&] {
                line = ui::GetControlText(Dialog(), kKeptLabel);
                if (c.button != 0) problem = ui::GetControlText(Dialog(), kProblemLabel);
                shown = ui::ControlVisible(Dialog(), kRestore);
                enabled = ui::ControlEnabled(Dialog(), kRestore);
                if (restorable) hl::Click(Dialog(), kRestore);
            }};
        Rows rowsAfterRestore;
        if (restorable) steps.push_back([&] { rowsAfterRestore = RowsNow(); });
        Run(std::move(steps));

        const auto now = mem::FileBytes(file);
        const std::string fileAfter = !now ? "none" : *now == vendor ? "vendor" : "ours";
        if (!restorable) {
            EXPECT_EQ(fileAfter, c.fileAfter);
        }
        EXPECT_TRUE(hl::MessageBoxes().empty());
        EXPECT_EQ(problem, c.problem);
        EXPECT_EQ(line, restorable ? " Gesichert: " + std::string(kSystem32) + c.keptAs : "");
        EXPECT_EQ(shown, restorable);
        EXPECT_EQ(enabled, restorable);
        if (restorable) {
            // Back as it was, times and all; the copy is gone, the rows follow the file.
            EXPECT_EQ(mem::FileBytes(file), vendor);
            EXPECT_FALSE(mem::FileBytes(std::string(kSystem32) + c.keptAs));
            p::FileTimes times;
            EXPECT_TRUE(p::ReadFileTimes(file, times));
            EXPECT_EQ(times.lastWrite, stamp);
            EXPECT_EQ(rowsAfterRestore, (Rows{"C-", "-D", "C-", "C-", "--", "C-"}));
        }
        if (c.before == kOtherKeptBefore) {
            EXPECT_EQ(mem::FileBytes(kept), "MZ an older library") << "the older copy stays";
        }
    }
}

// A delete, replace or restore that leaves the file as it was says so in the bottom line, with
// the reason and the programs Windows names; no copy is left of a file that stays, the rows
// keep their buttons, and once the file is free the same button works and the line goes.
TEST_F(DeploymentDialogTest, AFileThatStaysIsReportedWithItsReason) {
    const std::string file = std::string(kSystem32) + "capi2032.dll", kept = file + ".gesichert";
    const std::string client = "MZ the vendor's client Software\\AVM\\CAPIoTCP";
    const std::string isdn = "MZ the vendor's ISDN library";
    // Delete the client, replace a library put there after the dialog read its rows (the copy
    // moves into place first), or restore a copy over our own file.
    enum Action { kDeleting, kReplacing, kRestoring };
    const struct {
        Action action;
        std::vector<std::string> holders;
        long planned;  // the error the delete or move fails with, 0 for none
        const char* line;
    } cases[] = {
        {kDeleting, {"FRITZ!fax"}, 0, " Nicht gelöscht, wird benutzt von FRITZ!fax: "},
        {kDeleting,
         {"FRITZ!fax", "Teluso"},
         0,
         " Nicht gelöscht, wird benutzt von FRITZ!fax, Teluso: "},
        {kDeleting, {""}, 0, " Nicht gelöscht, wird benutzt: "},
        {kDeleting, {}, p::kErrorAccessDenied, " Nicht gelöscht, keine Rechte: "},
        {kDeleting, {}, 112, " Nicht gelöscht: "},
        {kReplacing, {"FRITZ!fax"}, 0, " Nicht ersetzt, wird benutzt von FRITZ!fax: "},
        {kReplacing, {}, p::kErrorAccessDenied, " Nicht ersetzt, keine Rechte: "},
        {kRestoring, {"Teluso"}, 0, " Nicht zurückgeholt, wird benutzt von Teluso: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        mem::Reset();
        hl::Reset();
        Machine(false);
        if (c.action == kDeleting) mem::PutFile(file, client);
        if (c.action == kRestoring) {
            Place(kCapiV3810Payload, kSystem32);
            mem::PutFile(kept, client);
        }
        const int button = c.action == kDeleting    ? kTcpSystem32Delete
                           : c.action == kReplacing ? kIsdnSystem32Create
                                                    : kRestore;
        Rows before, after;
        std::vector<std::string> files, filesAfter;
        std::string line = "<none>", lineOnSuccess = "<none>";
        Run({[&] {
                 if (c.action == kReplacing) mem::PutFile(file, isdn);
                 for (const std::string& holder : c.holders) mem::HoldFile(file, holder);
                 if (c.planned) {
                     mem::FailCall(
                         c.action == kDeleting ? mem::Call::RemoveFile : mem::Call::MoveReplacing,
                         c.action == kReplacing ? 2 : 1, c.planned);
                 }
                 files = mem::ListFiles();
                 before = RowsNow();
                 hl::Click(Dialog(), button);
             },
             [&] {
                 after = RowsNow();
                 filesAfter = mem::ListFiles();
                 if (ui::ControlVisible(Dialog(), kProblemLabel))
                     line = ui::GetControlText(Dialog(), kProblemLabel);
                 // Once the file is free, the same button works and the line goes.
                 mem::SetFileInUse(file, false);
                 hl::Click(Dialog(), button);
             },
             [&] {
                 if (!ui::ControlVisible(Dialog(), kProblemLabel))
                     lineOnSuccess = ui::GetControlText(Dialog(), kProblemLabel);
             }});
        EXPECT_EQ(line, c.line + file);
        EXPECT_EQ(after, before);
        EXPECT_EQ(filesAfter, files) << "every file as it was, no copy left behind";
        EXPECT_TRUE(hl::MessageBoxes().empty());
        EXPECT_EQ(lineOnSuccess, "");
        // The second try did it.
        const auto now = mem::FileBytes(file);
        const std::string fileNow = !now              ? "none"
                                    : *now == client  ? "client"
                                    : IsOwnCapi(*now) ? "ours"
                                                      : "other";
        EXPECT_EQ(fileNow, c.action == kDeleting    ? "none"
                           : c.action == kRestoring ? "client"
                                                    : "ours");
    }
}

// Every kept copy can go back: the button goes to the first place whose copy can be put back,
// past one that cannot; a copy keeps the attributes and time of the file it was made of, and
// the file gets them back; of several copies at one place the newest goes back first.
TEST_F(DeploymentDialogTest, EveryKeptCopyCanGoBackAsItWas) {
    Machine(true);
    const std::string file = std::string(kSystem32) + "capi2032.dll";
    const std::string kept = file + ".gesichert", kept2 = file + ".gesichert2";
    const std::string client = "MZ the vendor's client Software\\AVM\\CAPIoTCP";
    const std::string isdn = "MZ the vendor's ISDN library";
    // The fax folder's copy cannot go back while another maker's file is there.
    mem::PutFile(std::string(kFax) + "capi2032.dll", "MZ another maker's library");
    mem::PutFile(std::string(kFax) + "capi2032.dll.gesichert", "MZ the first library");
    const std::uint32_t hidden =
        p::kFileAttributeReadOnly | p::kFileAttributeHidden | p::kFileAttributeArchive;
    const std::uint64_t stamp = 127000000000000000ull;
    mem::PutFile(file, client);
    p::SetFileTimes(file, {stamp, stamp, stamp});
    p::SetAttributes(file, hidden);
    // Attributes and last-write time of a file.
    auto stamped = [](const std::string& path) {
        p::FileEntry entry;
        p::FileTimes times;
        p::FindFirstEntry(path, entry);
        p::ReadFileTimes(path, times);
        return std::make_pair(entry.attributes, times.lastWrite);
    };
    // The kept line, and "+" while the restore button is enabled.
    std::vector<std::string> lines;
    auto see = [&] {
        lines.push_back(ui::GetControlText(Dialog(), kKeptLabel) +
                        (ui::ControlEnabled(Dialog(), kRestore) ? "+" : ""));
    };
    Run({[&] {
             see();
             hl::Click(Dialog(), kTcpSystem32Delete);
         },
         [&] {
             see();
             EXPECT_EQ(stamped(kept), std::make_pair(hidden, stamp));
             hl::Click(Dialog(), kRestore);
         },
         [&] {
             EXPECT_EQ(mem::FileBytes(file), client);
             EXPECT_EQ(stamped(file), std::make_pair(hidden, stamp));
             // Deleted again, and another maker's library put there meanwhile is replaced.
             hl::Click(Dialog(), kTcpSystem32Delete);
         },
         [&] {
             mem::PutFile(file, isdn);
             hl::Click(Dialog(), kIsdnSystem32Create);
         },
         [&] {
             see();
             hl::Click(Dialog(), kRestore);
         },
         see});
    const std::string fax = std::string(" Gesichert: ") + kFax + "capi2032.dll.gesichert";
    EXPECT_EQ(lines, (std::vector<std::string>{fax, " Gesichert: " + kept + "+",
                                               " Gesichert: " + kept2 + "+", fax}));
    EXPECT_EQ(mem::FileBytes(file), isdn) << "the newest copy went back first";
    EXPECT_EQ(mem::FileBytes(kept), client) << "the older one waits";
    EXPECT_FALSE(mem::FileBytes(kept2));
}

// Under WOW64 the copy kept from System32 lies in SysWOW64, and the line names it there.
TEST_F(DeploymentDialogTest, UnderWow64TheKeptCopyIsNamedWhereItLies) {
    Machine(true);
    mem::SetProcessKind(mem::ProcessKind::Wow64Process);
    mem::PutFile(std::string(kSysWow64) + "capi2032.dll", "MZ the vendor's ISDN library");
    std::string line;
    Run({[] { hl::Click(Dialog(), kIsdnSystem32Delete); },
         [&] { line = ui::GetControlText(Dialog(), kKeptLabel); }});
    EXPECT_EQ(line, " Gesichert: C:\\Windows\\SysWow64\\capi2032.dll.gesichert");
    EXPECT_EQ(mem::FileBytes(std::string(kSysWow64) + "capi2032.dll.gesichert"),
              "MZ the vendor's ISDN library");
    EXPECT_FALSE(mem::FileBytes(std::string(kSysWow64) + "capi2032.dll"));
}

// Kept copies are made only of files that differ from every one of our payloads.
TEST_F(DeploymentDialogTest, OnlyOurOwnPayloadsCountAsOurs) {
    for (const char* payload : {kCapiV3810Payload, kCapiV3830Payload, kCapiV51000Payload}) {
        FileDescription description;
        std::string body;
        ASSERT_TRUE(ReadSingleRecord(LoadResourceBytes(payload), true, description, body));
        EXPECT_EQ(IsOwnCapi(body), 1) << payload;
        EXPECT_EQ(IsOwnCapi(body + '\0'), 0) << payload << " with one byte more";
        body[body.size() / 2] ^= 1;
        EXPECT_EQ(IsOwnCapi(body), 0) << payload << " with one bit changed";
    }
    EXPECT_EQ(IsOwnCapi(""), 0);
}

}  // namespace
}  // namespace orvano::testing
