#include <gtest/gtest.h>

#include "config/fax_settings.h"
#include "dialogs/numbers_dialog.h"
#include "dialogs/registry_entry_dialog.h"
#include "dialogs/registry_export.h"
#include "headless_fixture.h"
#include "platform/text.h"
#include "ui/headless/script.h"

namespace orvano::testing {
namespace {

using namespace orvano::dialogs;
using namespace orvano::dialogs::numbers_dialog;
using namespace std::string_literals;

constexpr platform::RegKey kUser = platform::kHkeyCurrentUser;
constexpr char kProgramKey[] = "SOFTWARE\\AVM\\FRITZ! 2.0\\FRITZ!";
constexpr char kNumbersKey[] = "SOFTWARE\\AVM\\FRITZ! 2.0\\Fax\\Rufnummern";
constexpr char kExportFile[] = "C:\\Orvano\\Reg5_AVM_FB_FF_Laendervorwahl.reg";

class NumbersDialogTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        ClearPendingRegText();
        main_ = ui::NewDialog(0, " Orvano", 10, 10, 400, 300, ui::kMainWindowStyle, 0);
    }

    static void StoreNumbers(const std::vector<std::string>& numbers) {
        for (std::size_t i = 0; i < numbers.size(); ++i)
            mem::PutText(kUser, kNumbersKey, "Nummer" + std::to_string(i + 1), numbers[i]);
    }
    static ui::Dialog Numbers() { return hl::FindDialog(kNumbersTitle); }
    static std::vector<std::string> ListLines() { return hl::ControlOf(Numbers(), kList)->items; }
    static bool ReadOnly() { return hl::ControlOf(Numbers(), kPlusMapper)->readOnly; }
    static bool CanApply() { return ui::ControlEnabled(Numbers(), kApply); }
    static std::optional<std::uint32_t> StoredUse() {
        auto stored = mem::GetValue(kUser, kProgramKey, "UsePlusMapper");
        if (!stored || stored->data.size() != 4) return std::nullopt;
        const auto& d = stored->data;
        return d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24;
    }
    static std::string StoredReplacement() {
        std::string digits;
        config::ReadPlusMapper(digits);
        return digits;
    }

    // Runs the dialog with these steps, then OK.
    void Run(std::vector<hl::Step> steps) {
        steps.push_back([] { hl::Click(Numbers(), kOk); });
        hl::AddSteps(std::move(steps));
        EXPECT_EQ(ShowNumbersDialog(main_), 0);
        EXPECT_EQ(Numbers(), 0u) << "the dialog has ended";
    }

    ui::Dialog main_ = 0;
};

TEST_F(NumbersDialogTest, ListMarksEachNumberInRegistryOrder) {
    struct Case {
        const char* name;
        std::vector<std::string> stored;
        std::vector<std::string> shown;
    } cases[] = {
        {"mixed",
         {"0301234", "+4930123", "030/1234"},
         {" --> Telefonnummer hat Fehler! <-- ", "0301234",
          " Ländervorwahl --> +4930123 <-- Fehler! ", " Fehler! --> 030/1234 <-- Fehler! "}},
        {"plain digits only", {"0301234", "0049 30 1234"}, {"0301234", "0049 30 1234"}},
        // A "+" number is a fault too and keeps its blanks.
        {"country code with blanks",
         {"+49 30 123", "030 123"},
         {" --> Telefonnummer hat Fehler! <-- ", " Ländervorwahl --> +49 30 123 <-- Fehler! ",
          "030 123"}},
        {"trimmed, not sorted", {"  0891 ", "030"}, {"0891", "030"}},
        {"blank and misplaced plus",
         {"   ", "49+301234", "++49301"},
         {" --> Telefonnummer hat Fehler! <-- ", " Fehler! -->  <-- Fehler! ",
          " Fehler! --> 49+301234 <-- Fehler! ", " Fehler! --> ++49301 <-- Fehler! "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mem::Reset();
        StoreNumbers(c.stored);
        std::vector<std::string> shown, again, hidden;
        Run({[&] {
            hl::Click(Numbers(), kShow);
            shown = ListLines();
            hl::Click(Numbers(), kShow);  // filled afresh, not appended to
            again = ListLines();
            hl::Click(Numbers(), kHide);
            hidden = ListLines();
        }});
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(again, c.shown);
        EXPECT_TRUE(hidden.empty());
    }
}

TEST_F(NumbersDialogTest, ListButtonsNeedNumbersThatCanBeRead) {
    struct Case {
        const char* name;
        std::function<void()> store;
        bool usable;
    } cases[] = {
        {"no numbers key", [] {}, false},
        {"only other types", [] { mem::PutDword(kUser, kNumbersKey, "Nummer1", 301234); }, false},
        {"name in capitals", [] { mem::PutText(kUser, kNumbersKey, "NUMMER7", "0301"); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mem::Reset();
        c.store();
        bool show = !c.usable, hide = !c.usable;
        Run({[&] {
            show = ui::ControlEnabled(Numbers(), kShow);
            hide = ui::ControlEnabled(Numbers(), kHide);
        }});
        EXPECT_EQ(show, c.usable);
        EXPECT_EQ(hide, c.usable);
    }
}

TEST_F(NumbersDialogTest, NumbersGoneSinceOpeningLeaveTheListAsItIs) {
    StoreNumbers({"0301234", "+4930"});
    std::vector<std::string> lines;
    Run({[&] {
        hl::Click(Numbers(), kShow);
        mem::Reset();  // the fax application's list is gone
        hl::Click(Numbers(), kShow);
        lines = ListLines();
    }});
    EXPECT_EQ(lines, (std::vector<std::string>{" --> Telefonnummer hat Fehler! <-- ", "0301234",
                                               " Ländervorwahl --> +4930 <-- Fehler! "}));
}

// One session at the "+" option: each step is a user action and what the dialog shows after it
// and after the reload it may post.
TEST_F(NumbersDialogTest, ApplyNeedsADigitAndStoresWhatTheOptionShows) {
    struct Expect {
        const char* action;
        std::function<void()> act;
        int checked;
        bool readOnly;
        bool canApply;
        const char* field;
    };
    std::vector<Expect> session = {
        {"opened with nothing stored", [] {}, 0, true, false, ""},
        {"checked", [] { hl::Click(Numbers(), kUsePlusMapper); }, 1, false, false, ""},
        {"typed 00", [] { hl::Type(Numbers(), kPlusMapper, "00"); }, 1, false, true, "00"},
        {"emptied", [] { hl::Type(Numbers(), kPlusMapper, ""); }, 1, false, false, ""},
        {"typed 00 again", [] { hl::Type(Numbers(), kPlusMapper, "00"); }, 1, false, true, "00"},
        {"applied", [] { hl::Click(Numbers(), kApply); }, 1, false, false, "00"},
        {"unchecked", [] { hl::Click(Numbers(), kUsePlusMapper); }, 0, true, true, "00"},
        {"applied unchecked", [] { hl::Click(Numbers(), kApply); }, 0, true, false, "00"},
        {"checked again", [] { hl::Click(Numbers(), kUsePlusMapper); }, 1, false, true, "00"},
        // A write that fails shows through the reload: the stored option comes back.
        {"applied without rights",
         [] {
             hl::Type(Numbers(), kPlusMapper, "0049");
             mem::SetReadOnly(kUser, true);
             hl::Click(Numbers(), kApply);
             mem::SetReadOnly(kUser, false);
         },
         0, true, false, "00"},
        {"changed, then OK", [] { hl::Click(Numbers(), kUsePlusMapper); }, 1, false, true, "00"},
    };
    std::vector<std::pair<std::optional<std::uint32_t>, std::string>> storedAfter;
    std::vector<hl::Step> steps;
    for (const Expect& e : session) {
        steps.push_back(e.act);
        steps.push_back([&] {  // a step of its own, so that posted reloads have run
            const Expect& now = session[storedAfter.size()];
            SCOPED_TRACE(now.action);
            EXPECT_EQ(ui::GetCheck(Numbers(), kUsePlusMapper), now.checked);
            EXPECT_EQ(ReadOnly(), now.readOnly);
            EXPECT_EQ(CanApply(), now.canApply);
            EXPECT_EQ(ui::GetControlText(Numbers(), kPlusMapper), now.field);
            storedAfter.push_back({StoredUse(), StoredReplacement()});
        });
    }
    Run(steps);
    ASSERT_EQ(storedAfter.size(), session.size());
    EXPECT_EQ(storedAfter[4], std::make_pair(std::optional<std::uint32_t>(), ""s))
        << "nothing is written before Übernehmen";
    EXPECT_EQ(storedAfter[5], std::make_pair(std::optional<std::uint32_t>(1), "00"s));
    EXPECT_EQ(storedAfter[7], std::make_pair(std::optional<std::uint32_t>(0), "00"s))
        << "unchecked still stores the digits";
    EXPECT_EQ(std::make_pair(StoredUse(), StoredReplacement()), storedAfter[7])
        << "neither a failed write nor OK changes what is stored";
}

// "+" replaced by nothing makes the fax application drop it: that state is never exported.
TEST_F(NumbersDialogTest, NoExportOfTheOptionWithoutDigits) {
    mem::PutDword(kUser, kProgramKey, "UsePlusMapper", 1);
    SetPendingRegText("left over");
    std::vector<bool> offered;
    auto look = [&] { offered.push_back(ui::ControlEnabled(Numbers(), kRegFile)); };
    Run({look,  // stored on, without digits
         [] { hl::Type(Numbers(), kPlusMapper, "00"); }, look,
         [] { hl::Type(Numbers(), kPlusMapper, "x"); }, look,
         [] { hl::Click(Numbers(), kUsePlusMapper); }, look,  // off
         [] { hl::Click(Numbers(), kUsePlusMapper); }, look,  // on again, still no digit
         // A click that reaches the dialog all the same opens no export.
         [] { hl::Notify(Numbers(), kRegFile, 0); }, look});
    EXPECT_EQ(offered, (std::vector<bool>{false, true, false, true, false, false}));
    EXPECT_EQ(PendingRegText(), "left over");
    EXPECT_FALSE(mem::FileBytes(kExportFile));
}

// "UsePlusMapper" stored as a string: marked, exported without its line, and rewritten only
// once the user chooses the option (the digits' field is read-only until then).
TEST_F(NumbersDialogTest, AnOptionOfTheWrongTypeIsKeptUntilChosen) {
    const std::string key = "[HKEY_CURRENT_USER\\Software\\AVM\\FRITZ! 2.0\\FRITZ!]\r\n";
    struct Case {
        const char* name;
        bool choose;
        std::string body;
        std::optional<std::uint32_t> stored;  // nullopt: the string is left
        bool markedAfter;
    } cases[] = {
        {"left alone", false, key + "\"PlusMapper\"=\"00\"", std::nullopt, true},
        {"option chosen", true, key + "\"UsePlusMapper\"=dword:00000001\r\n\"PlusMapper\"=\"00\"",
         1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mem::Reset();
        mem::PutValue(kUser, kProgramKey, "UsePlusMapper", platform::kRegSz, StoredText("1"));
        mem::PutText(kUser, kProgramKey, "PlusMapper", "00");
        bool marked = false, markedAfter = true, checked = true;
        std::string mark;
        Run({[&] {
                 marked = hl::ControlOf(Numbers(), kWrongType)->visible;
                 mark = ui::GetControlText(Numbers(), kWrongType);
                 checked = ui::GetCheck(Numbers(), kUsePlusMapper) == ui::kChecked;
                 if (c.choose) hl::Click(Numbers(), kUsePlusMapper);
                 hl::Click(Numbers(), kRegFile);
             },
             [&] { hl::Click(hl::FindDialog(kRegistryEntryTitle), red::kOk); },
             [&] {
                 EXPECT_EQ(CanApply(), c.choose);
                 if (CanApply()) hl::Click(Numbers(), kApply);
             },
             [&] { markedAfter = hl::ControlOf(Numbers(), kWrongType)->visible; }});
        EXPECT_TRUE(marked);
        EXPECT_EQ(mark, config::kWrongTypeText);
        EXPECT_FALSE(checked);
        EXPECT_EQ(PendingRegText(), c.body);
        if (c.stored) {
            EXPECT_EQ(StoredUse(), c.stored);
        } else {
            EXPECT_EQ(mem::GetValue(kUser, kProgramKey, "UsePlusMapper")->data, StoredText("1"));
        }
        EXPECT_EQ(markedAfter, c.markedAfter);
    }
}

TEST_F(NumbersDialogTest, ExportCarriesTheOptionAsShown) {
    const std::string key = "[HKEY_CURRENT_USER\\Software\\AVM\\FRITZ! 2.0\\FRITZ!]\r\n";
    struct Case {
        const char* name;
        bool check;
        std::optional<std::string> typed;  // nullopt: the field as loaded
        std::string body;
    } cases[] = {
        {"checked with 00", true, "00",
         key + "\"UsePlusMapper\"=dword:00000001\r\n\"PlusMapper\"=\"00\""},
        // Not written, and exported whether the option is on or not.
        {"unchecked keeps the stored digits", false, std::nullopt,
         key + "\"UsePlusMapper\"=dword:00000000\r\n\"PlusMapper\"=\"49\""},
        {"digits only", true, "0 0x1",
         key + "\"UsePlusMapper\"=dword:00000001\r\n\"PlusMapper\"=\"001\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mem::Reset();
        mem::PutText(kUser, kProgramKey, "PlusMapper", "49");
        SetPendingRegText("left over");
        std::string shown;
        int focus = 0;
        Run({[&] {
                 if (c.check) hl::Click(Numbers(), kUsePlusMapper);
                 if (c.typed) hl::Type(Numbers(), kPlusMapper, *c.typed);
                 hl::Click(Numbers(), kRegFile);
             },
             [&] {
                 ui::Dialog entry = hl::FindDialog(kRegistryEntryTitle);
                 shown = ui::GetControlText(entry, red::kText);
                 hl::Click(entry, red::kSave);
                 hl::Click(entry, red::kOk);
             },
             [&] { focus = hl::FocusedId(Numbers()); }});
        EXPECT_EQ(PendingRegText(), c.body);
        EXPECT_EQ(shown, "Windows Registry Editor Version 5.00\r\n\r\n" + c.body + "\r\n\r\n");
        EXPECT_EQ(mem::FileBytes(kExportFile).value_or("<none>"),
                  "\xFF\xFE"s +
                      platform::AnsiToUtf16("Windows Registry Editor Version 5.00\r\n\r\n" +
                                            c.body + "\r\n\"UseStandort\"=dword:00000000\r\n\r\n"));
        EXPECT_EQ(focus, kRegFile);
        EXPECT_FALSE(mem::GetValue(kUser, kProgramKey, "UsePlusMapper")) << "export writes nothing";
    }
}

}  // namespace
}  // namespace orvano::testing
