#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "dialogs/registry_entry_dialog.h"
#include "dialogs/router_ip_dialog.h"
#include "endpoint_dialog_fixture.h"
#include "sysinfo/text.h"

namespace orvano::testing {
namespace {

using namespace orvano::dialogs;
using namespace orvano::dialogs::router_ip;
using config::kLocalMachine;

constexpr SectionIds kNativeIds("native", RegistryView::Native, false, kAddress, kMissing, kChange,
                                kChangeAsked, kChangeYes, kChangeNo, kDelete, kDeleteAsked,
                                kDeleteYes, kDeleteNo, kRegFile, kHost12, kHost3);
constexpr SectionIds kWowIds("Wow6432Node", RegistryView::Wow6432Node, true, kWowAddress,
                             kWowMissing, kWowChange, kWowChangeAsked, kWowChangeYes, kWowChangeNo,
                             kWowDelete, kWowDeleteAsked, kWowDeleteYes, kWowDeleteNo, kWowRegFile,
                             kWowHost12, kWowHost3);
constexpr SectionIds kBothSections[] = {kNativeIds, kWowIds};

constexpr char kUnset[] = "255.255.255.255";  // the fields' text until an address is put in

class RouterIpDialogTest : public EndpointDialogTest {
  protected:
    static int Run(std::vector<Step> steps, bool closeWithOk = true) {
        return RunDialog(kRouterIpTitle, ShowRouterIpDialog, kOk, std::move(steps), closeWithOk);
    }
    static void Store(RegistryView view, const char* address) {
        mem::PutText(kLocalMachine, config::RouterAddressKey(view), config::kRouterAddressValue,
                     address);
    }
    // The stored text, "<none>" when there is no value.
    static std::string Stored(RegistryView view) {
        auto value = mem::GetValue(kLocalMachine, config::RouterAddressKey(view),
                                   config::kRouterAddressValue);
        if (!value) return "<none>";
        EXPECT_EQ(value->type, platform::kRegSz);
        return sysinfo::CutAtNul(std::string(value->data.begin(), value->data.end()));
    }
};

TEST_F(RouterIpDialogTest, OpeningShowsBothViewsAndEnablesOneSection) {
    struct Case {
        const char* what;
        bool wowKey;
        const char *native, *wow;  // stored; a Wow6432Node value comes with the vendor key
        Shown nativeShown, wowShown;
        bool checked;
        int focus, endValue;
    } cases[] = {
        {"nothing stored, no vendor key", false, nullptr, nullptr,
         Showing(kUnset, true, false, true), Showing(kUnset, false, false, false), false, kAddress,
         0},
        {"native stored, no vendor key", false, "192.168.178.1", nullptr,
         Showing("192.168.178.1", false, true, true), Showing(kUnset, false, false, false), false,
         kOk, 1},
        {"malformed native entry counts as missing", false, "192.168.178", nullptr,
         Showing(kUnset, true, false, true), Showing(kUnset, false, false, false), false, kAddress,
         0},
        {"both stored, vendor key", true, "192.168.178.1", "10.0.0.1",
         Showing("192.168.178.1", false, false, false), Showing("10.0.0.1", false, true, true),
         true, kOk, 1},
        // The focus goes to the missing address that can be typed in, never a disabled one.
        {"vendor key, nothing stored", true, nullptr, nullptr, Showing(kUnset, false, false, false),
         Showing(kUnset, true, false, true), true, kWowAddress, 0},
        {"vendor key, only native stored", true, "192.168.178.1", nullptr,
         Showing("192.168.178.1", false, false, false), Showing(kUnset, true, false, true), true,
         kOk, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        mem::SetProcessorArchitecture(kX86);  // 32-bit Windows: one registry view
        if (c.wowKey) mem::CreateKeyPath(kLocalMachine, kWowVendorKey);
        if (c.native) Store(RegistryView::Native, c.native);
        if (c.wow) Store(RegistryView::Wow6432Node, c.wow);
        int end = Run({[&](ui::Dialog d) {
            EXPECT_EQ(ShownIn(d, kNativeIds), c.nativeShown);
            EXPECT_EQ(ShownIn(d, kWowIds), c.wowShown);
            // The check box says which section is editable, and is usable only with the key.
            EXPECT_EQ(C(d, kSectionSwitch).check, c.checked ? 1 : 0);
            EXPECT_EQ(C(d, kSectionSwitch).enabled, c.wowKey);
            EXPECT_EQ(hl::FocusedId(d), c.focus);
            EXPECT_EQ(AskingIn(d, kNativeIds), Asking::None);
            EXPECT_EQ(AskingIn(d, kWowIds), Asking::None);
        }});
        EXPECT_EQ(end, c.endValue);
    }
}

TEST_F(RouterIpDialogTest, QuestionsSwitchTheirRowsAndRestTheSectionsExtras) {
    for (const SectionIds& s : kBothSections) {
        SCOPED_TRACE(s.name);
        Fresh();
        Prepare(s);
        Store(s.view, "10.0.0.1");
        std::vector<std::tuple<Asking, bool, int>> seen;  // question, extras usable, focus
        auto look = [&](ui::Dialog d) {
            seen.emplace_back(AskingIn(d, s), ExtrasEnabled(d, s), hl::FocusedId(d));
        };
        int end = Run({[&](ui::Dialog d) { hl::Click(d, s.remove); }, look,
                       [&](ui::Dialog d) { hl::Click(d, s.change); }, look,
                       [&](ui::Dialog d) {
                           hl::Type(d, s.field, "10.9.9.9");
                           hl::Click(d, s.remove);
                           // The focus survives a time in the background.
                           hl::Activate(d, false);
                           ui::FocusControl(d, kOk);
                           hl::Activate(d, true);
                       },
                       look, [&](ui::Dialog d) { hl::Click(d, s.removeNo); }, look,
                       [&](ui::Dialog d) {
                           EXPECT_EQ(C(d, s.field).text, "10.0.0.1");
                           hl::Click(d, s.change);  // left open when the dialog closes
                       }},
                      false);
        EXPECT_EQ(seen, (std::vector<std::tuple<Asking, bool, int>>{
                            {Asking::Delete, false, s.removeAsked},
                            {Asking::Change, false, s.changeAsked},
                            {Asking::Delete, false, s.removeAsked},
                            {Asking::None, true, s.removeAsked}}));
        EXPECT_EQ(Stored(s.view), "10.0.0.1") << "questions alone write nothing";
        EXPECT_EQ(end, 0) << "the close box";
    }
}

TEST_F(RouterIpDialogTest, ConfirmationsWriteOnlyCheckedAddressesAndShowWhatIsStored) {
    struct Case {
        const char* what;
        const char* before;  // nullptr: nothing stored
        const char* typed;   // nullptr: delete
        bool reverseKnown;
        std::optional<mem::Call> failing;
        const char* after;
        Shown shown;
        int endValue;
    } cases[] = {
        {"change confirmed both ways", nullptr, " 192.168.178.1 ", true, std::nullopt,
         "192.168.178.1", Showing("192.168.178.1", false, true, true), 1},
        {"no reverse entry", "10.0.0.1", "192.168.178.1", false, std::nullopt, "10.0.0.1",
         Showing("10.0.0.1", false, true, true), 1},
        {"no reverse entry, nothing stored", nullptr, "192.168.178.1", false, std::nullopt,
         "<none>", Showing("", true, false, true), 0},
        {"two dots", "10.0.0.1", "192.168.178", true, std::nullopt, "10.0.0.1",
         Showing("10.0.0.1", false, true, true), 1},
        {"write fails over an address", "10.0.0.1", "192.168.178.1", true, mem::Call::SetValueEx,
         "10.0.0.1", Showing("10.0.0.1", false, true, true), 1},
        {"write fails, nothing stored", nullptr, "192.168.178.1", true, mem::Call::SetValueEx,
         "<none>", Showing("", true, false, true), 0},
        {"delete", "10.0.0.1", nullptr, true, std::nullopt, "<none>",
         Showing("", true, false, true), 0},
        {"delete fails", "10.0.0.1", nullptr, true, mem::Call::DeleteValue, "10.0.0.1",
         Showing("10.0.0.1", false, true, true), 1},
    };
    const platform::Ipv4 router = {192, 168, 178, 1};
    for (const SectionIds& s : kBothSections) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(s.name) + ": " + c.what);
            Fresh();
            Prepare(s);
            if (c.before) Store(s.view, c.before);
            mem::AddHost("192.168.178.1", {router});
            if (c.reverseKnown) mem::AddReverse(router, "fritz.box");
            if (c.failing) mem::FailCall(*c.failing);
            Shown shown;
            Asking asking = Asking::Inconsistent;
            int end = Run({[&](ui::Dialog d) {
                               hl::Click(d, c.typed ? s.change : s.remove);
                               if (c.typed) hl::Type(d, s.field, c.typed);
                               hl::Click(d, c.typed ? s.changeYes : s.removeYes);
                           },
                           [&](ui::Dialog d) {
                               shown = ShownIn(d, s);
                               asking = AskingIn(d, s);
                           }});
            EXPECT_EQ(Stored(s.view), c.after);
            EXPECT_EQ(shown, c.shown);
            EXPECT_EQ(asking, Asking::None);
            EXPECT_EQ(end, c.endValue);
            EXPECT_FALSE(mem::BusyCursorShown());
            EXPECT_TRUE(hl::MessageBoxes().empty());
            const RegistryView other =
                s.needsWowKey ? RegistryView::Native : RegistryView::Wow6432Node;
            EXPECT_EQ(Stored(other), "<none>") << "the other view is left alone";
            if (!c.typed && !c.failing) {
                EXPECT_FALSE(mem::KeyExists(kLocalMachine, config::RouterAddressKey(s.view)))
                    << "the emptied key goes too";
            }
        }
    }
}

TEST_F(RouterIpDialogTest, HostNameButtonsFillTheFieldAndAskToStoreIt) {
    // What fritz.box, www.fritz.box and fritz.nas resolve to: the last byte of 10.0.0.x, 0 for
    // unknown, -1 for 0.0.0.0. Only 10.0.0.1 resolves back, so " Ja " stores only that one.
    struct Case {
        const char* what;
        int fritzBox, wwwFritzBox, fritzNas;
        bool firstButton;
        const char* filled;  // nullptr: nothing changes
        int lookUps;
    } cases[] = {
        {"first candidate", 1, 2, 0, true, "10.0.0.1", 1},
        {"second candidate when the first is unknown", 0, 2, 0, true, "10.0.0.2", 2},
        {"first candidate resolving to 0.0.0.0", -1, 2, 0, true, "10.0.0.2", 2},
        {"neither candidate", 0, 0, 3, true, nullptr, 2},
        {"third candidate", 2, 0, 1, false, "10.0.0.1", 1},
        {"third candidate unknown", 1, 2, 0, false, nullptr, 1},
    };
    for (const SectionIds& s : kBothSections) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(s.name) + ": " + c.what);
            Fresh();
            Prepare(s);
            Store(s.view, "192.168.178.1");
            const std::pair<const char*, int> hosts[] = {{"fritz.box", c.fritzBox},
                                                         {"www.fritz.box", c.wwwFritzBox},
                                                         {"fritz.nas", c.fritzNas}};
            for (const auto& [name, last] : hosts) {
                const auto byte = static_cast<std::uint8_t>(last);
                if (last > 0) mem::AddHost(name, {{10, 0, 0, byte}});
                if (last < 0) mem::AddHost(name, {{0, 0, 0, 0}});
            }
            mem::AddReverse({10, 0, 0, 1}, "fritz.box");
            const int pressed = c.firstButton ? s.fill1 : s.fill2;
            const int other = c.firstButton ? s.fill2 : s.fill1;
            std::string filled, after;
            Run({[&](ui::Dialog d) { hl::Click(d, pressed); },
                 [&](ui::Dialog d) {
                     filled = C(d, s.field).text;
                     EXPECT_EQ(mem::CallCount(mem::Call::GetHostByName), c.lookUps);
                     EXPECT_EQ(mem::CursorChanges(), (std::vector<bool>{true, false}));
                     EXPECT_EQ(Stored(s.view), "192.168.178.1") << "filling writes nothing";
                     if (!c.filled) {
                         EXPECT_EQ(AskingIn(d, s), Asking::None);
                         EXPECT_TRUE(ExtrasEnabled(d, s));
                         return;
                     }
                     EXPECT_EQ(AskingIn(d, s), Asking::Change);
                     EXPECT_FALSE(C(d, other).enabled || C(d, s.regFile).enabled);
                     EXPECT_TRUE(C(d, pressed).enabled) << "a second look stays possible";
                     EXPECT_EQ(hl::FocusedId(d), pressed);
                     hl::Click(d, s.changeYes);  // checks the address once more
                 },
                 [&](ui::Dialog d) { after = C(d, s.field).text; }});
            EXPECT_EQ(filled, c.filled ? c.filled : "192.168.178.1");
            const bool stores = c.filled && std::string(c.filled) == "10.0.0.1";
            EXPECT_EQ(Stored(s.view), stores ? "10.0.0.1" : "192.168.178.1");
            EXPECT_EQ(after, Stored(s.view));
        }
    }
}

TEST_F(RouterIpDialogTest, CheckBoxSwitchesTheEditableSection) {
    mem::CreateKeyPath(kLocalMachine, kWowVendorKey);
    Store(RegistryView::Native, "192.168.178.1");
    std::vector<std::pair<Shown, Shown>> seen;  // native, Wow6432Node
    auto look = [&](ui::Dialog d) {
        seen.emplace_back(ShownIn(d, kNativeIds), ShownIn(d, kWowIds));
        EXPECT_EQ(hl::FocusedId(d), kSectionSwitch);
        EXPECT_EQ(AskingIn(d, kNativeIds), Asking::None);
        EXPECT_EQ(AskingIn(d, kWowIds), Asking::None);
    };
    int end = Run({[&](ui::Dialog d) {
                       // A question left open is dropped with its typed address.
                       hl::Click(d, kWowChange);
                       hl::Type(d, kWowAddress, "10.9.9.9");
                       hl::Click(d, kSectionSwitch);
                   },
                   look,
                   [&](ui::Dialog d) {
                       hl::Click(d, kDelete);
                       // The switch looks at the registry again for the delete button.
                       Store(RegistryView::Wow6432Node, "10.0.0.1");
                       hl::Click(d, kSectionSwitch);
                   },
                   look});
    EXPECT_EQ(
        seen,
        (std::vector<std::pair<Shown, Shown>>{
            {Showing("192.168.178.1", false, true, true), Showing("", false, false, false)},
            {Showing("192.168.178.1", false, false, false), Showing("", false, true, true)}}));
    EXPECT_EQ(Stored(RegistryView::Native), "192.168.178.1");
    EXPECT_EQ(end, 1);
}

// On 64-bit Windows the 32-bit client reads the Wow6432Node section, so a machine without the
// 32-bit vendor key can still choose it, and the first address written there makes the path.
TEST_F(RouterIpDialogTest, SixtyFourBitWindowsOffersTheWow6432NodeSectionWithoutItsKey) {
    const struct {
        const char* what;
        int architecture;
        mem::ProcessKind kind;
        bool usable;
    } cases[] = {
        {"32-bit Windows", kX86, mem::ProcessKind::Native, false},
        {"64-bit process", kX64, mem::ProcessKind::Native, true},
        {"32-bit program under WOW64", kX64, mem::ProcessKind::Wow64Process, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        mem::SetProcessorArchitecture(c.architecture);
        mem::SetProcessKind(c.kind);
        Store(RegistryView::Native, "10.0.0.1");
        bool switchEnabled = false;
        int checked = -1;
        Shown native, wow;
        Run({[&](ui::Dialog d) {
                 switchEnabled = C(d, kSectionSwitch).enabled;
                 checked = C(d, kSectionSwitch).check;
                 if (!c.usable) return;
                 hl::Click(d, kSectionSwitch);
                 hl::Click(d, kWowChange);
                 hl::Type(d, kWowAddress, "127.0.0.1");
                 hl::Click(d, kWowChangeYes);
             },
             [&](ui::Dialog d) {
                 native = ShownIn(d, kNativeIds);
                 wow = ShownIn(d, kWowIds);
             }});
        EXPECT_EQ(switchEnabled, c.usable);
        EXPECT_EQ(checked, 0) << "the native section is editable first";
        EXPECT_EQ(Stored(RegistryView::Native), "10.0.0.1");
        if (c.usable) {
            EXPECT_EQ(Stored(RegistryView::Wow6432Node), "127.0.0.1");
            EXPECT_EQ(wow, Showing("127.0.0.1", false, true, true));
            EXPECT_EQ(native, Showing("10.0.0.1", false, false, false));
        } else {
            EXPECT_EQ(Stored(RegistryView::Wow6432Node), "<none>");
            EXPECT_FALSE(mem::KeyExists(kLocalMachine, kWowVendorKey));
            EXPECT_EQ(wow.editable, false);
        }
    }
}

TEST_F(RouterIpDialogTest, RegFileButtonsExportTheFieldAsShown) {
    for (const SectionIds& s : kBothSections) {
        SCOPED_TRACE(s.name);
        Fresh();
        Prepare(s);
        Store(s.view, "192.168.178.1");
        std::string exported;
        Run({[&](ui::Dialog d) {
                 hl::Type(d, s.field, "10.0.0.7");  // typed, not stored: the field counts
                 hl::Click(d, s.regFile);
             },
             [&](ui::Dialog) {
                 ui::Dialog entry = hl::FindDialog(kRegistryEntryTitle);
                 EXPECT_EQ(hl::DialogOf(entry)->owner, hl::FindDialog(kRouterIpTitle));
                 exported = ui::GetControlText(entry, red::kText);
                 hl::Click(entry, red::kOk);
             },
             [&](ui::Dialog d) { EXPECT_EQ(hl::FocusedId(d), s.regFile); }});
        EXPECT_EQ(exported, std::string("Windows Registry Editor Version 5.00\r\n\r\n"
                                        "[HKEY_LOCAL_MACHINE\\") +
                                config::RouterAddressKey(s.view) +
                                "]\r\n\"FoundFritzBoxes\"=\"10.0.0.7\"\r\n\r\n");
        EXPECT_EQ(Stored(s.view), "192.168.178.1");
    }
}

}  // namespace
}  // namespace orvano::testing
