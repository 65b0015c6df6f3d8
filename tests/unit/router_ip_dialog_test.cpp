#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "config/name_resolution.h"
#include "dialogs/registry_entry_dialog.h"
#include "dialogs/registry_export.h"
#include "dialogs/router_ip_dialog.h"
#include "endpoint_dialog_fixture.h"
#include "platform/text.h"
#include "sysinfo/paths.h"
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
        mem::PutText(kLocalMachine, config::RouterAddressKey(view), config::client::kAddressValue,
                     address);
    }
    // A clean machine whose section can be edited and holds 10.0.0.1.
    void FreshWithAddress(const SectionIds& s) {
        Fresh();
        Prepare(s);
        Store(s.view, "10.0.0.1");
    }
    // The stored text, "<none>" when there is no value.
    static std::string Stored(RegistryView view) {
        auto value = mem::GetValue(kLocalMachine, config::RouterAddressKey(view),
                                   config::client::kAddressValue);
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
        FreshWithAddress(s);
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

// With nothing stored the field shows the control's own text, which is no router's address.
TEST_F(RouterIpDialogTest, WithNothingStoredNothingIsExported) {
    for (const SectionIds& s : kBothSections) {
        SCOPED_TRACE(s.name);
        Fresh();
        Prepare(s);
        bool canSave = true;
        std::string shown;
        Run({[&](ui::Dialog d) { hl::Click(d, s.regFile); },
             [&](ui::Dialog) {
                 ui::Dialog entry = hl::FindDialog(kRegistryEntryTitle);
                 canSave = ui::ControlEnabled(entry, red::kSave);
                 shown = ui::GetControlText(entry, red::kText);
                 hl::Click(entry, red::kOk);
             }});
        EXPECT_FALSE(canSave);
        EXPECT_EQ(shown, "Windows Registry Editor Version 5.00\r\n\r\n");
    }
}

// On 64-bit Windows the 32-bit client reads the Wow6432Node section, so a machine without the
// 32-bit vendor key can still choose it, and the first address written there makes the path.
TEST_F(RouterIpDialogTest, SixtyFourBitWindowsOffersTheWow6432NodeSectionWithoutItsKey) {
    for (const WindowsKind& c : kWindowsKinds) {
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
                 if (!c.wowUsable) return;
                 hl::Click(d, kSectionSwitch);
                 hl::Click(d, kWowChange);
                 hl::Type(d, kWowAddress, "127.0.0.1");
                 hl::Click(d, kWowChangeYes);
             },
             [&](ui::Dialog d) {
                 native = ShownIn(d, kNativeIds);
                 wow = ShownIn(d, kWowIds);
             }});
        EXPECT_EQ(switchEnabled, c.wowUsable);
        EXPECT_EQ(checked, 0) << "the native section is editable first";
        EXPECT_EQ(Stored(RegistryView::Native), "10.0.0.1");
        if (c.wowUsable) {
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

TEST_F(RouterIpDialogTest, ATypedAddressIsCheckedWhileTheDialogStaysUsable) {
    struct Case {
        const char* what;
        const char* typed;
        unsigned reverseDelay;
        bool reverseKnown;
        bool neinWhileChecking;
        const char* checking;  // the status line a second after " Ja ", nullptr: no check ran
        const char* stored;
        const char* status;  // at the end
    } cases[] = {
        {"confirmed after a slow reverse lookup", "192.168.178.1", 1500, true, false,
         " Prüfe 192.168.178.1 ... ", "192.168.178.1", ""},
        {"no answer: not stored, and told why", "192.168.178.1", mem::kNeverAnswers, true, false,
         " Prüfe 192.168.178.1 ... ", "10.0.0.1", " Nicht gespeichert: DNS antwortet nicht "},
        {"no reverse entry", "192.168.178.1", 0, false, false, nullptr, "10.0.0.1",
         " Nicht gespeichert: kein Name zur Adresse "},
        {"unknown name with three dots", "a.b.c.d", 0, true, false, nullptr, "10.0.0.1",
         " Nicht gespeichert: Adresse unbekannt "},
        {"two dots", "192.168.178", 0, true, false, nullptr, "10.0.0.1",
         " Nicht gespeichert: keine IP-Adresse "},
        {"Nein while checking: the answer that comes later writes nothing", "192.168.178.1", 1500,
         true, true, " Prüfe 192.168.178.1 ... ", "10.0.0.1", ""},
    };
    const platform::Ipv4 router = {192, 168, 178, 1};
    for (const SectionIds& s : kBothSections) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(s.name) + ": " + c.what);
            FreshWithAddress(s);
            if (c.reverseKnown) mem::AddReverse(router, "fritz.box");
            mem::SetReverseLookupDelay(router, c.reverseDelay);
            std::string checking = "-", status;
            bool yesUsable = true, noUsable = false, fieldUsable = true;
            Asking asked = Asking::None, after = Asking::Inconsistent;
            std::string field;
            Run({[&](ui::Dialog d) {
                     hl::Click(d, s.change);
                     // Letters cannot be typed into an address field; the program's own text can.
                     ui::SetControlText(d, s.field, c.typed);
                     hl::Click(d, s.changeYes);
                 },
                 [&](ui::Dialog d) {
                     hl::AdvanceClock(1000);
                     if (AskingIn(d, s) == Asking::Change) {
                         checking = C(d, kStatus).text;
                         yesUsable = C(d, s.changeYes).enabled;
                         noUsable = C(d, s.changeNo).enabled;
                         fieldUsable = C(d, s.field).enabled;
                         asked = AskingIn(d, s);
                     }
                     if (c.neinWhileChecking) hl::Click(d, s.changeNo);
                     hl::AdvanceClock(5000);
                     status = C(d, kStatus).text;
                     field = C(d, s.field).text;
                     after = AskingIn(d, s);
                     EXPECT_TRUE(C(d, s.field).enabled) << "the field is usable again";
                     if (c.neinWhileChecking) {
                         hl::Click(d, s.change);  // asked again, " Ja " is usable again
                         EXPECT_TRUE(C(d, s.changeYes).enabled);
                     }
                 }});
            if (c.checking) {
                EXPECT_EQ(checking, c.checking);
                EXPECT_EQ(asked, Asking::Change);
                EXPECT_FALSE(yesUsable) << "one check at a time";
                EXPECT_TRUE(noUsable) << "\" Nein \" still cancels";
                EXPECT_FALSE(fieldUsable) << "the question stands as it was confirmed";
            } else {
                EXPECT_EQ(checking, "-") << "decided at once";
            }
            EXPECT_EQ(Stored(s.view), c.stored);
            EXPECT_EQ(field, c.stored);
            EXPECT_EQ(status, c.status);
            EXPECT_EQ(after, Asking::None);
            EXPECT_TRUE(hl::MessageBoxes().empty());
            EXPECT_EQ(hl::JobsPending(), 0u);
        }
    }
}

// An address confirmed with " Ja " is what the user asked to store: closing the dialog waits
// for its check, then either it is stored and the dialog ends, or the dialog stays with the
// reason.
TEST_F(RouterIpDialogTest, ClosingWhileAnAddressIsCheckedWaitsForTheCheck) {
    enum class Close { Ok, CloseBox, FromOutside };
    struct Case {
        const char* what;
        Close close;
        unsigned delay;  // of every question to the name server
        bool reverseKnown, neinMeanwhile;
        const char* stored;
        bool closed;         // by the request, once the check has ended
        const char* status;  // when it stays open
        int endValue;
    } cases[] = {
        {"OK: stored, then closed", Close::Ok, 2000, true, false, "192.168.178.1", true, "", 1},
        {"close box: stored, then closed", Close::CloseBox, 2500, true, false, "192.168.178.1",
         true, "", 0},
        {"OK, no host name: open with the reason", Close::Ok, 2000, false, false, "10.0.0.1", false,
         " Nicht gespeichert: kein Name zur Adresse ", 1},
        {"close box, no answer: open with the reason", Close::CloseBox, mem::kNeverAnswers, true,
         false, "10.0.0.1", false, " Nicht gespeichert: DNS antwortet nicht ", 1},
        {"OK, then Nein: the close goes with the change", Close::Ok, 2000, true, true, "10.0.0.1",
         false, "", 1},
        {"closed by another program: the check goes with the dialog", Close::FromOutside, 2000,
         true, false, "10.0.0.1", true, "", 0},
    };
    const platform::Ipv4 router = {192, 168, 178, 1};
    for (const SectionIds& s : kBothSections) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(s.name) + ": " + c.what);
            FreshWithAddress(s);
            if (c.reverseKnown) mem::AddReverse(router, "fritz.box");
            mem::SetNameServerDelay(c.delay);
            bool openWhileChecking = false, closed = false;
            std::string checking, status;
            auto d = [] { return hl::FindDialog(kRouterIpTitle); };
            hl::AddSteps({[&] {
                              hl::Click(d(), s.change);
                              hl::Type(d(), s.field, "192.168.178.1");
                              hl::Click(d(), s.changeYes);
                              if (c.close == Close::Ok) hl::Click(d(), kOk);
                              if (c.close == Close::CloseBox) hl::PressCloseBox(d());
                              if (c.close == Close::FromOutside)
                                  ui::SendToWindow(d(), ui::kWmClose, 0, 0);
                          },
                          [&] {
                              hl::AdvanceClock(1000);
                              openWhileChecking = true;
                              checking = C(d(), kStatus).text;
                              if (c.neinMeanwhile) hl::Click(d(), s.changeNo);
                          },
                          [&] {
                              const ui::Dialog dialog = d();
                              hl::AdvanceClock(5000);
                              closed = !hl::DialogOf(dialog)->alive;
                              if (closed) return;
                              status = C(dialog, kStatus).text;
                              hl::Click(dialog, kOk);  // no check in flight: closes at once
                          }});
            const int end = ShowRouterIpDialog(0);
            hl::AdvanceClock(10000);  // whatever was in flight has ended by now
            EXPECT_EQ(openWhileChecking, c.close != Close::FromOutside);
            if (openWhileChecking) {
                EXPECT_EQ(checking, " Prüfe 192.168.178.1 ... ");
                EXPECT_EQ(closed, c.closed);
            }
            if (openWhileChecking && !closed) {
                EXPECT_EQ(status, c.status);
            }
            EXPECT_EQ(Stored(s.view), c.stored);
            EXPECT_EQ(end, c.endValue);
            EXPECT_EQ(hl::JobsPending(), 0u);
            EXPECT_FALSE(mem::BusyCursorShown());
        }
    }
}

// A host-name look-up answers the question its button asked from the section as it stood. The
// user may have gone on meanwhile; then the answer is dropped, and nothing else is changed.
TEST_F(RouterIpDialogTest, ALateHostNameAnswerLandsOnlyOnTheQuestionItWasAskedFrom) {
    enum class Meanwhile { Nothing, Type, Delete, AskAgainThenNein, Switch, RegFile };
    struct Case {
        const char* what;
        Meanwhile meanwhile;
        const char* field;
        Asking asking;
    } cases[] = {
        {"nothing: the answer fills the field and asks", Meanwhile::Nothing, "10.0.0.1",
         Asking::Change},
        {"an address typed", Meanwhile::Type, "10.9.9.9", Asking::None},
        {"the delete question opened", Meanwhile::Delete, "192.168.178.1", Asking::Delete},
        {"asked again, then Nein", Meanwhile::AskAgainThenNein, "192.168.178.1", Asking::None},
        {"the section switched", Meanwhile::Switch, "192.168.178.1", Asking::None},
        {"the registry entry opened and saved", Meanwhile::RegFile, "192.168.178.1", Asking::None},
    };
    for (const SectionIds& s : kBothSections) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(s.name) + ": " + c.what);
            Fresh();
            mem::SetProcessorArchitecture(kX64);  // both sections can be chosen
            Prepare(s);
            Store(s.view, "192.168.178.1");
            mem::AddHost(config::kRouterHostName1, {{10, 0, 0, 1}});
            mem::SetLookupDelay(config::kRouterHostName1, 2000);
            std::string field, status, exported = "<none>";
            Asking asking = Asking::Inconsistent;
            auto look = [&](ui::Dialog d) {
                hl::AdvanceClock(5000);
                field = C(d, s.field).text;
                asking = AskingIn(d, s);
                status = C(d, kStatus).text;
            };
            std::vector<Step> steps = {[&](ui::Dialog d) {
                if (c.meanwhile == Meanwhile::AskAgainThenNein) {
                    hl::Click(d, s.fill1);
                    hl::AdvanceClock(2000);  // answered: the question is open, the button usable
                }
                hl::Click(d, s.fill1);
                hl::AdvanceClock(500);
                if (c.meanwhile == Meanwhile::Type) hl::Type(d, s.field, "10.9.9.9");
                if (c.meanwhile == Meanwhile::Delete) hl::Click(d, s.remove);
                if (c.meanwhile == Meanwhile::AskAgainThenNein) hl::Click(d, s.changeNo);
                if (c.meanwhile == Meanwhile::Switch) hl::Click(d, kSectionSwitch);
                if (c.meanwhile == Meanwhile::RegFile) return hl::Click(d, s.regFile);
                look(d);
            }};
            if (c.meanwhile == Meanwhile::RegFile) {
                steps.push_back([&](ui::Dialog) {
                    const ui::Dialog entry = hl::FindDialog(kRegistryEntryTitle);
                    hl::AdvanceClock(5000);  // the answer's time comes while the entry shows
                    hl::Click(entry, red::kSave);
                    exported = mem::FileBytes(sysinfo::ProgramFolder() + RegFileName(s.view == RegistryView::Native ? RegEntry::RouterAddress : RegEntry::RouterAddressWow))
                                   .value_or("<none>");
                    hl::Click(entry, red::kOk);
                });
                steps.push_back(look);
            }
            Run(steps);
            EXPECT_EQ(field, c.field);
            EXPECT_EQ(asking, c.asking);
            EXPECT_EQ(status, "");
            EXPECT_EQ(Stored(s.view), "192.168.178.1");
            if (c.meanwhile == Meanwhile::RegFile) {
                EXPECT_NE(exported.find(platform::AnsiToUtf16("\"192.168.178.1\"")),
                          std::string::npos)
                    << "the file holds the address shown";
            }
            EXPECT_EQ(hl::JobsPending(), 0u);
            EXPECT_FALSE(mem::BusyCursorShown());
        }
    }
}

TEST_F(RouterIpDialogTest, HostNameButtonsTellWhenTheNameServiceStaysSilent) {
    struct Case {
        const char* what;
        bool askChangeMeanwhile;  // " Ändern " pressed while the search runs
        const char* searching;
        const char* status;
    } cases[] = {
        {"both names unanswered", false, " Suche fritz.box ... ",
         " fritz.box: DNS antwortet nicht "},
        {"a question opened meanwhile drops the search", true, " Suche fritz.box ... ", ""},
    };
    for (const SectionIds& s : kBothSections) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(s.name) + ": " + c.what);
            FreshWithAddress(s);
            mem::AddHost(config::kRouterHostName1, {{192, 168, 178, 1}});
            mem::SetNameServerDelay(mem::kNeverAnswers);
            std::string searching, status, field;
            Run({[&](ui::Dialog d) {
                hl::Click(d, s.fill1);
                hl::AdvanceClock(1000);
                searching = C(d, kStatus).text;
                EXPECT_TRUE(mem::BusyCursorShown());
                if (c.askChangeMeanwhile) hl::Click(d, s.change);
                hl::AdvanceClock(10000);
                status = C(d, kStatus).text;
                field = C(d, s.field).text;
            }});
            EXPECT_EQ(searching, c.searching);
            EXPECT_EQ(status, c.status);
            EXPECT_EQ(field, "10.0.0.1");
            EXPECT_EQ(Stored(s.view), "10.0.0.1");
            EXPECT_FALSE(mem::BusyCursorShown());
        }
    }
}

}  // namespace
}  // namespace orvano::testing
