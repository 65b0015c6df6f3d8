#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "dialogs/port_dialog.h"
#include "dialogs/registry_entry_dialog.h"
#include "endpoint_dialog_fixture.h"

namespace orvano::testing {
namespace {

using namespace orvano::dialogs;
using namespace orvano::dialogs::port_dialog;
using config::kLocalMachine;

constexpr SectionIds kNativeIds("native", RegistryView::Native, false, kPort, kMissing, kChange,
                                kChangeAsked, kChangeYes, kChangeNo, kDelete, kDeleteAsked,
                                kDeleteYes, kDeleteNo, kRegFile, kDefault, 0);
constexpr SectionIds kWowIds("Wow6432Node", RegistryView::Wow6432Node, true, kWowPort, kWowMissing,
                             kWowChange, kWowChangeAsked, kWowChangeYes, kWowChangeNo, kWowDelete,
                             kWowDeleteAsked, kWowDeleteYes, kWowDeleteNo, kWowRegFile, kWowDefault,
                             0);
constexpr SectionIds kBothSections[] = {kNativeIds, kWowIds};

class PortDialogTest : public EndpointDialogTest {
  protected:
    static int Run(std::vector<Step> steps) {
        return RunDialog(kPortTitle, ShowPortDialog, kOk, std::move(steps), true);
    }
    static void Store(RegistryView view, std::uint32_t port) {
        mem::PutDword(kLocalMachine, config::PortKey(view), config::client::kPortValue, port);
    }
    static std::optional<std::uint32_t> Stored(RegistryView view) {
        auto value = mem::GetValue(kLocalMachine, config::PortKey(view), config::client::kPortValue);
        if (!value) return std::nullopt;
        EXPECT_EQ(value->type, platform::kRegDword);
        const auto& d = value->data;
        if (d.size() != 4) return 0xBADu;
        return d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24;
    }
};

TEST_F(PortDialogTest, OpeningShowsBothViewsAndEnablesOneSection) {
    struct Case {
        const char* what;
        bool wowKey;
        std::optional<std::uint32_t> native, wow;  // a Wow6432Node value comes with the key
        Shown nativeShown, wowShown;
        int focus, endValue;
    } cases[] = {
        {"5031 native, no vendor key", false, 5031, std::nullopt,
         Showing("000013a7", false, true, true), Showing("", false, false, false), kOk, 1},
        {"nothing stored", false, std::nullopt, std::nullopt, Showing("", true, false, true),
         Showing("", false, false, false), kPort, 0},
        // A stored 0 counts as missing and cannot be deleted here, but is shown as it is.
        {"0 stored natively", false, 0, std::nullopt, Showing("00000000", true, false, true),
         Showing("", false, false, false), kPort, 0},
        {"vendor key, both stored", true, 5031, 5000, Showing("000013a7", false, false, false),
         Showing("00001388", false, true, true), kOk, 1},
        {"vendor key, nothing stored", true, std::nullopt, std::nullopt,
         Showing("", false, false, false), Showing("", true, false, true), kWowPort, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        mem::SetProcessorArchitecture(kX86);  // 32-bit Windows: one registry view
        if (c.wowKey) mem::CreateKeyPath(kLocalMachine, kWowVendorKey);
        if (c.native) Store(RegistryView::Native, *c.native);
        if (c.wow) Store(RegistryView::Wow6432Node, *c.wow);
        int end = Run({[&](ui::Dialog d) {
            EXPECT_EQ(ShownIn(d, kNativeIds), c.nativeShown);
            EXPECT_EQ(ShownIn(d, kWowIds), c.wowShown);
            EXPECT_EQ(C(d, kSectionSwitch).check, c.wowKey ? 1 : 0);
            EXPECT_EQ(C(d, kSectionSwitch).enabled, c.wowKey);
            EXPECT_EQ(hl::FocusedId(d), c.focus);
            for (int field : {kPort, kWowPort}) {
                EXPECT_TRUE(C(d, field).readOnly);
                EXPECT_EQ(C(d, field).limit, 8);
                EXPECT_EQ(std::tie(C(d, field).marginLeft, C(d, field).marginRight),
                          std::make_tuple(2, 2));
                EXPECT_EQ(C(d, field).backColor, ui::Rgb(255, 255, 255));
            }
        }});
        EXPECT_EQ(end, c.endValue);
    }
}

TEST_F(PortDialogTest, FieldTakesTypingOnlyWhileAChangeIsAsked) {
    for (const SectionIds& s : kBothSections) {
        SCOPED_TRACE(s.name);
        Fresh();
        Prepare(s);
        Store(s.view, 5031);
        std::vector<std::tuple<Asking, bool, bool, std::string>> seen;
        auto look = [&](ui::Dialog d) {  // question, extras usable, read-only, field
            seen.emplace_back(AskingIn(d, s), ExtrasEnabled(d, s), C(d, s.field).readOnly,
                              C(d, s.field).text);
        };
        Run({[&](ui::Dialog d) { hl::Click(d, s.remove); }, look,
             [&](ui::Dialog d) {
                 hl::Click(d, s.change);
                 hl::Type(d, s.field, "0000138800");  // longer than the field takes
             },
             look, [&](ui::Dialog d) { hl::Click(d, s.changeNo); }, look});
        EXPECT_EQ(seen, (std::vector<std::tuple<Asking, bool, bool, std::string>>{
                            {Asking::Delete, false, true, "000013a7"},
                            {Asking::Change, false, false, "00001388"},
                            {Asking::None, true, true, "000013a7"}}));
        EXPECT_EQ(Stored(s.view), 5031u);
    }
}

TEST_F(PortDialogTest, ConfirmationsWriteOnlyEightDigitPortsAndShowWhatIsStored) {
    constexpr auto kNone = std::nullopt;
    struct Case {
        std::optional<std::uint32_t> before;
        const char* typed;  // nullptr: delete
        std::optional<mem::Call> failing;
        std::optional<std::uint32_t> after;
        Shown shown;
    } cases[] = {
        {5031, "00001388", kNone, 5000, Showing("00001388", false, true, true)},
        {5031, "0000FFFF", kNone, 0xFFFF, Showing("0000ffff", false, true, true)},
        {5031, "000013889", kNone, 5000, Showing("00001388", false, true, true)},  // 8 kept
        {5031, "1388", kNone, 5031, Showing("000013a7", false, true, true)},
        {5031, "0000138g", kNone, 5031, Showing("000013a7", false, true, true)},  // 7 digits
        {5031, "00000000", kNone, 5031, Showing("000013a7", false, true, true)},  // no port
        {5031, "00010000", kNone, 5031, Showing("000013a7", false, true, true)},  // too high
        // The first write stores the client's default, whatever was typed.
        {kNone, "00001388", kNone, 5031, Showing("000013a7", false, true, true)},
        {kNone, "1388", kNone, kNone, Showing("", true, false, true)},
        {5031, "00001388", mem::Call::SetValueEx, 5031, Showing("000013a7", false, true, true)},
        {0, "00001388", mem::Call::SetValueEx, 0, Showing("00000000", true, false, true)},
        {kNone, "00001388", mem::Call::SetValueEx, kNone, Showing("", true, false, true)},
        {5031, nullptr, kNone, kNone, Showing("", true, false, true)},
        {5031, nullptr, mem::Call::DeleteValue, 5031, Showing("000013a7", false, true, true)},
    };
    for (const SectionIds& s : kBothSections) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(s.name) + ": " + (c.typed ? c.typed : "delete") +
                         (c.failing ? ", failing" : ""));
            Fresh();
            Prepare(s);
            if (c.before) Store(s.view, *c.before);
            if (c.failing) mem::FailCall(*c.failing);
            Shown shown;
            int end = Run({[&](ui::Dialog d) {
                               hl::Click(d, c.typed ? s.change : s.remove);
                               if (c.typed) hl::Type(d, s.field, c.typed);
                               hl::Click(d, c.typed ? s.changeYes : s.removeYes);
                           },
                           [&](ui::Dialog d) {
                               shown = ShownIn(d, s);
                               EXPECT_EQ(AskingIn(d, s), Asking::None);
                               EXPECT_TRUE(C(d, s.field).readOnly);
                           }});
            EXPECT_EQ(Stored(s.view), c.after);
            EXPECT_EQ(shown, c.shown);
            EXPECT_EQ(end, c.after.value_or(0) > 0 ? 1 : 0);
            EXPECT_TRUE(hl::MessageBoxes().empty());
            if (!c.typed && !c.failing) {
                EXPECT_FALSE(mem::KeyExists(kLocalMachine, config::PortKey(s.view)))
                    << "the emptied key goes too";
            }
        }
    }
}

TEST_F(PortDialogTest, DefaultButtonOffersTheDefaultForConfirmationOnly) {
    for (const SectionIds& s : kBothSections) {
        for (bool yes : {true, false}) {
            SCOPED_TRACE(std::string(s.name) + (yes ? ": Ja" : ": Nein"));
            Fresh();
            Prepare(s);
            Store(s.view, 5000);
            Run({[&](ui::Dialog d) { hl::Click(d, s.fill1); },
                 [&](ui::Dialog d) {
                     EXPECT_EQ(C(d, s.field).text, "000013a7");
                     EXPECT_TRUE(C(d, s.field).readOnly) << "it can be confirmed or dropped";
                     EXPECT_EQ(AskingIn(d, s), Asking::Change);
                     EXPECT_FALSE(C(d, s.regFile).enabled);
                     hl::Click(d, yes ? s.changeYes : s.changeNo);
                 },
                 [&](ui::Dialog d) {
                     EXPECT_EQ(C(d, s.field).text, yes ? "000013a7" : "00001388");
                 }});
            EXPECT_EQ(Stored(s.view), yes ? 5031u : 5000u);
        }
    }
}

TEST_F(PortDialogTest, CheckBoxDropsTheOtherSectionsQuestion) {
    mem::CreateKeyPath(kLocalMachine, kWowVendorKey);
    Store(RegistryView::Native, 5031);
    Store(RegistryView::Wow6432Node, 5000);
    std::vector<std::pair<Shown, Shown>> seen;  // native, Wow6432Node
    auto look = [&](ui::Dialog d) {
        seen.emplace_back(ShownIn(d, kNativeIds), ShownIn(d, kWowIds));
        EXPECT_EQ(hl::FocusedId(d), kSectionSwitch);
        EXPECT_EQ(AskingIn(d, kNativeIds), Asking::None);
        EXPECT_EQ(AskingIn(d, kWowIds), Asking::None);
        EXPECT_TRUE(C(d, kPort).readOnly && C(d, kWowPort).readOnly);
    };
    int end = Run({[&](ui::Dialog d) {
                       hl::Click(d, kWowChange);
                       hl::Type(d, kWowPort, "0000abcd");
                       hl::Click(d, kSectionSwitch);
                   },
                   look,
                   [&](ui::Dialog d) {
                       hl::Click(d, kDefault);
                       hl::Click(d, kSectionSwitch);
                   },
                   look});
    EXPECT_EQ(
        seen,
        (std::vector<std::pair<Shown, Shown>>{
            {Showing("000013a7", false, true, true), Showing("00001388", false, false, false)},
            {Showing("000013a7", false, false, false), Showing("00001388", false, true, true)}}));
    EXPECT_EQ(Stored(RegistryView::Native), 5031u);
    EXPECT_EQ(Stored(RegistryView::Wow6432Node), 5000u);
    EXPECT_EQ(end, 1);
}

TEST_F(PortDialogTest, RegFileButtonsExportTheFieldAsShown) {
    for (const SectionIds& s : kBothSections) {
        SCOPED_TRACE(s.name);
        Fresh();
        Prepare(s);
        Store(s.view, 5000);
        std::string exported;
        Run({[&](ui::Dialog d) { hl::Click(d, s.regFile); },
             [&](ui::Dialog) {
                 ui::Dialog entry = hl::FindDialog(kRegistryEntryTitle);
                 EXPECT_EQ(hl::DialogOf(entry)->owner, hl::FindDialog(kPortTitle));
                 exported = ui::GetControlText(entry, red::kText);
                 hl::Click(entry, red::kOk);
             },
             [&](ui::Dialog d) { EXPECT_EQ(hl::FocusedId(d), s.regFile); }});
        EXPECT_EQ(exported, std::string("Windows Registry Editor Version 5.00\r\n\r\n"
                                        "[HKEY_LOCAL_MACHINE\\") +
                                config::PortKey(s.view) + "]\r\n\"Port\"=dword:00001388\r\n\r\n");
    }
}

// "Port"="5031" from a hand-written .reg line, binary data, a DWORD of 2 bytes: the client
// reads none of them. The section says so, offers a change as for a missing port, never
// exports the value and rewrites it only when the user confirms a new one.
TEST_F(PortDialogTest, APortOfTheWrongTypeIsMarkedAndReplacedOnlyWhenConfirmed) {
    const struct {
        const char* what;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    } storedAs[] = {{"string", platform::kRegSz, StoredText("5031")},
                    {"binary", platform::kRegBinary, {0xA7, 0x13, 0, 0}},
                    {"short dword", platform::kRegDword, {0xA7, 0x13}}};
    enum class Then { Close, Nein, Typed, Default, Export };
    for (const SectionIds& s : kBothSections) {
        const SectionIds& other = s.needsWowKey ? kNativeIds : kWowIds;
        for (const auto& stored : storedAs) {
            for (Then then : {Then::Close, Then::Nein, Then::Typed, Then::Default, Then::Export}) {
                SCOPED_TRACE(std::string(s.name) + " " + stored.what + " " +
                             std::to_string(static_cast<int>(then)));
                Fresh();
                Prepare(s);
                mem::PutValue(kLocalMachine, config::PortKey(s.view), "Port", stored.type,
                              stored.data);
                Shown opened, after;
                std::string mark, otherMark, exported;
                bool canSave = true;
                int end = Run({[&](ui::Dialog d) {
                                   opened = ShownIn(d, s);
                                   mark = C(d, s.missing).text;
                                   otherMark = C(d, other.missing).text;
                                   if (then == Then::Nein || then == Then::Typed)
                                       hl::Click(d, s.change);
                                   if (then == Then::Typed) hl::Type(d, s.field, "00001388");
                                   if (then == Then::Default) hl::Click(d, s.fill1);
                                   if (then == Then::Nein) hl::Click(d, s.changeNo);
                                   if (then == Then::Typed || then == Then::Default)
                                       hl::Click(d, s.changeYes);
                                   if (then == Then::Export) hl::Click(d, s.regFile);
                               },
                               [&](ui::Dialog d) {
                                   if (then == Then::Export) {
                                       ui::Dialog entry = hl::FindDialog(kRegistryEntryTitle);
                                       exported = ui::GetControlText(entry, red::kText);
                                       canSave = C(entry, red::kSave).enabled;
                                       hl::Click(entry, red::kOk);
                                   }
                                   after = ShownIn(d, s);
                               }});
                EXPECT_EQ(opened, Showing("", true, false, true));
                EXPECT_EQ(mark, config::kWrongTypeText);
                EXPECT_EQ(otherMark, " Eintrag Fehlt ");
                const bool written = then == Then::Typed || then == Then::Default;
                if (written) {
                    EXPECT_EQ(Stored(s.view), 5031u) << "as the first write of a missing port";
                    EXPECT_EQ(after, Showing("000013a7", false, true, true));
                    EXPECT_EQ(end, 1);
                } else {
                    auto value = mem::GetValue(kLocalMachine, config::PortKey(s.view), "Port");
                    ASSERT_TRUE(value.has_value());
                    EXPECT_EQ(std::make_pair(value->type, value->data),
                              std::make_pair(stored.type, stored.data));
                    EXPECT_EQ(after, opened);
                    EXPECT_EQ(end, 0);
                }
                if (then == Then::Export) {
                    EXPECT_EQ(exported, "Windows Registry Editor Version 5.00\r\n\r\n");
                    EXPECT_FALSE(canSave);
                }
            }
        }
    }
}

// A fresh 64-bit machine gets its first Wow6432Node port although the 32-bit vendor key is
// missing (the first write stores 5031); 32-bit Windows keeps the section closed.
TEST_F(PortDialogTest, SixtyFourBitWindowsOffersTheWow6432NodeSectionWithoutItsKey) {
    for (const WindowsKind& c : kWindowsKinds) {
        SCOPED_TRACE(c.what);
        Fresh();
        mem::SetProcessorArchitecture(c.architecture);
        mem::SetProcessKind(c.kind);
        bool switchEnabled = false;
        Shown wow;
        Run({[&](ui::Dialog d) {
                 switchEnabled = C(d, kSectionSwitch).enabled;
                 if (!c.wowUsable) return;
                 hl::Click(d, kSectionSwitch);
                 hl::Click(d, kWowDefault);
                 hl::Click(d, kWowChangeYes);
             },
             [&](ui::Dialog d) { wow = ShownIn(d, kWowIds); }});
        EXPECT_EQ(switchEnabled, c.wowUsable);
        EXPECT_EQ(Stored(RegistryView::Native), std::nullopt);
        if (c.wowUsable) {
            EXPECT_EQ(Stored(RegistryView::Wow6432Node), 5031u);
            EXPECT_EQ(wow, Showing("000013a7", false, true, true));
        } else {
            EXPECT_EQ(Stored(RegistryView::Wow6432Node), std::nullopt);
            EXPECT_FALSE(wow.editable);
        }
    }
}

}  // namespace
}  // namespace orvano::testing
