#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "config/endpoint.h"
#include "config/registry.h"
#include "dialogs/isdn_dialog.h"
#include "dialogs/registry_entry_dialog.h"
#include "headless_fixture.h"
#include "platform/memory/osinfo_control.h"
#include "ui/headless/script.h"

namespace orvano::testing {
namespace {

using namespace orvano::dialogs;
using namespace orvano::dialogs::isdn;
using config::kCurrentUser;
using config::kLocalMachine;
using Step = std::function<void(ui::Dialog)>;
using Number = std::optional<std::uint32_t>;

constexpr char kUserKey[] = "SOFTWARE\\AVM\\FRITZ! 2.0\\Fax";
constexpr char kMachineKey[] = "SOFTWARE\\AVM\\FRITZ! 2.0\\Fax";
constexpr char kMachineKeyWow[] = "SOFTWARE\\Wow6432Node\\AVM\\FRITZ! 2.0\\Fax";
constexpr int kArchitectureX86 = 0, kArchitectureX64 = 9;
constexpr char kTcpClient[] = "MZ....Software\\AVM\\CAPIoTCP....";

Number Stored(config::RegKey root, const char* key, const char* name) {
    auto value = mem::GetValue(root, key, name);
    if (!value || value->data.size() != 4) return std::nullopt;
    std::uint32_t number = 0;
    std::memcpy(&number, value->data.data(), 4);
    return number;
}
Number Controller() {
    return Stored(kCurrentUser, kUserKey, "CapiController");
}
void PutUser(const char* name, std::uint32_t value) {
    mem::PutDword(kCurrentUser, kUserKey, name, value);
}
void RouterReachable() {
    mem::PutText(kLocalMachine, config::RouterAddressKey(config::RegistryView::Wow6432Node),
                 config::client::kAddressValue, "192.168.178.1");
    mem::PutFile("C:\\Windows\\System32\\capi2032.dll", kTcpClient);
}
Step Click(int id) {
    return [id](ui::Dialog d) { hl::Click(d, id); };
}
Step Type(std::string text) {
    return [text](ui::Dialog d) { hl::Type(d, kControllerNumber, text); };
}
bool On(ui::Dialog d, int id) {
    return ui::GetCheck(d, id) == ui::kChecked;
}

// What the controller part of the dialog shows.
struct Shown {
    int radio = 0;  // the checked controller radio button, 0 for none
    std::string number;
    bool editable = false, canApply = false;
    bool operator==(const Shown&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << "{radio " << s.radio << " \"" << s.number << "\" editable " << s.editable
               << " apply " << s.canApply << "}";
}
Shown ShownBy(ui::Dialog d) {
    Shown s;
    for (int id : {kController, kRouterIsdn, kRouterAnalog, kRouterInternet})
        if (On(d, id)) s.radio = id;
    s.number = ui::GetControlText(d, kControllerNumber);
    s.editable = !hl::ControlOf(d, kControllerNumber)->readOnly;
    s.canApply = ui::ControlEnabled(d, kApply);
    return s;
}

class IsdnDialogTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        ClearPendingRegText();
    }
    // A clean machine and toolkit for the next case of a table.
    static void Fresh() {
        EXPECT_TRUE(hl::Problems().empty()) << hl::Problems().front();
        mem::Reset();
        hl::Reset();
        ClearPendingRegText();
    }
    // Opens the dialog, runs each step once the dialog is idle, then leaves with " Zurück ".
    static int Run(std::vector<Step> steps, ui::Window owner = 0) {
        for (Step& step : steps) hl::AddStep([step] { step(hl::FindDialog(kIsdnTitle)); });
        hl::AddStep([] { hl::Click(hl::FindDialog(kIsdnTitle), kBack); });
        return ShowIsdnDialog(owner);
    }
};

// Values written for the first time go through the first-write rule; the reload after
// " Übernehmen " shows what was really stored.
TEST_F(IsdnDialogTest, ControllerAsStoredAndAsShownAfterWriting) {
    const Shown none{0, "1", false, false};
    struct Case {
        const char* name;
        Number before;
        Shown atLoad;
        std::vector<Step> change;
        Number stored;
        Shown after;
    } cases[] = {
        {"analog line, first write",
         {},
         none,
         {Click(kRouterAnalog)},
         0xFFFFFFFE,
         {kRouterAnalog, "1", false, false}},
        {"controller 4, first write",
         {},
         none,
         {Click(kController), Type("4")},
         1,
         {kController, "1", true, false}},
        // Shown unsigned, and left as it is by an " Übernehmen " that did not touch it.
        {"0xfffffffc, another option changed",
         0xFFFFFFFC,
         {kController, "4294967292", true, false},
         {Click(kSpeech)},
         0xFFFFFFFC,
         {kController, "4294967292", true, false}},
        {"0x80000000, another option changed",
         0x80000000,
         {kController, "2147483648", true, false},
         {Click(kSpeech)},
         0x80000000,
         {kController, "2147483648", true, false}},
        {"0xfffffffc, its radio button chosen again",
         0xFFFFFFFC,
         {kController, "4294967292", true, false},
         {Click(kController)},
         0xFFFFFFFC,
         {kController, "4294967292", true, false}},
        {"0xfffffffc, a number typed",
         0xFFFFFFFC,
         {kController, "4294967292", true, false},
         {Type("12")},
         12,
         {kController, "12", true, false}},
        {"0 in the box becomes 1",
         7,
         {kController, "7", true, false},
         {Type("0"), Click(kControllerFax)},
         1,
         {kController, "1", true, false}},
        {"internet button, 0 stored",
         0,
         none,
         {Click(kInternetButton)},
         5,
         {kController, "5", true, false}},
        {"internet button, first write",
         {},
         none,
         {Click(kInternetButton)},
         1,
         {kController, "1", true, false}},
        {"internet line",
         3,
         {kController, "3", true, false},
         {Click(kRouterInternet)},
         0xFFFFFFFD,
         {kRouterInternet, "1", false, false}},
        {"HKCU unchecked keeps the line",
         0xFFFFFFFF,
         {kRouterIsdn, "1", false, false},
         {Click(kFritzBoxUser)},
         0xFFFFFFFF,
         {kRouterIsdn, "1", false, false}},
        {"nothing chosen, nothing written", {}, none, {Click(kSpeech)}, {}, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        RouterReachable();
        PutUser("FritzBox", 1);
        if (c.before) PutUser("CapiController", *c.before);
        Shown atLoad, after;
        std::vector<Step> steps = {[&](ui::Dialog d) { atLoad = ShownBy(d); }};
        steps.insert(steps.end(), c.change.begin(), c.change.end());
        steps.push_back(Click(kApply));
        steps.push_back([&](ui::Dialog d) { after = ShownBy(d); });
        EXPECT_EQ(Run(steps), 0);
        EXPECT_EQ(atLoad, c.atLoad);
        EXPECT_EQ(Controller(), c.stored);
        EXPECT_EQ(after, c.after);
    }
}

TEST_F(IsdnDialogTest, ControllerFourTakesTwoWritesWhenNoneIsStored) {
    std::vector<Number> stored;
    std::vector<std::string> shown;
    auto applyFour = [&](ui::Dialog d) {
        hl::Type(d, kControllerNumber, "4");
        hl::Click(d, kApply);
        stored.push_back(Controller());
        shown.push_back(ui::GetControlText(d, kControllerNumber));
    };
    Run({Click(kController), applyFour, applyFour});
    EXPECT_EQ(stored, (std::vector<Number>{1u, 4u}));
    EXPECT_EQ(shown, (std::vector<std::string>{"1", "4"}));
}

TEST_F(IsdnDialogTest, InternetLineNeedsRouterAddressAndClient) {
    struct Case {
        bool user, address;
        const char* library;        // capi2032.dll in System32, nullptr for none
        std::vector<bool> enabled;  // at load, after (re)checking HKCU, after unchecking it
    } cases[] = {
        {true, true, kTcpClient, {true, true, false}},
        {false, true, kTcpClient, {false, true, false}},
        {true, false, kTcpClient, {false, false, false}},
        {true, true, nullptr, {false, false, false}},
        {true, true, "MZ ISDN adapter library", {false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.user) + std::to_string(c.address) +
                     (c.library ? c.library : "none"));
        Fresh();
        PutUser("FritzBox", c.user ? 1 : 0);
        if (c.address)
            mem::PutText(kLocalMachine, config::RouterAddressKey(config::RegistryView::Native),
                         config::client::kAddressValue, "192.168.178.1");
        if (c.library) mem::PutFile("C:\\Windows\\System32\\capi2032.dll", c.library);
        std::vector<bool> enabled;
        auto look = [&](ui::Dialog d) {
            enabled.push_back(ui::ControlEnabled(d, kRouterInternet));
            EXPECT_EQ(ui::ControlEnabled(d, kRouterIsdn), On(d, kFritzBoxUser));
            EXPECT_EQ(ui::ControlEnabled(d, kRouterAnalog), On(d, kFritzBoxUser));
        };
        auto recheck = [](ui::Dialog d) {
            if (On(d, kFritzBoxUser)) hl::Click(d, kFritzBoxUser);
            hl::Click(d, kFritzBoxUser);
        };
        Run({look, recheck, look, Click(kFritzBoxUser), look});
        EXPECT_EQ(enabled, c.enabled);
    }
}

TEST_F(IsdnDialogTest, ApplyIsEnabledByRealChangesOnly) {
    struct Case {
        std::vector<Step> steps;
        bool canApply;
        std::string number;
    } cases[] = {
        {{}, false, "7"},
        {{Click(kFritzBoxUser)}, true, "7"},
        {{Click(kNewDriverMachine)}, true, "7"},
        {{Click(kControllerFax)}, true, "7"},
        {{Click(kIsdnFax)}, true, "7"},
        {{Click(kSpeech)}, true, "7"},
        {{Click(kController)}, true, "7"},
        {{Click(kRouterIsdn)}, true, "1"},
        {{Type("12")}, true, "12"},
        {{Click(kSpeech), Type("0")}, false, "0"},
        {{Click(kSpeech), Type("")}, false, ""},
        {{Type("268435455")}, true, "268435455"},
        {{Type("268435456")}, true, "268435455"},
        {{Type("99999999999")}, true, "268435455"},  // cut to ten digits, then capped
        {{Type("0"), Click(kInternetButton)}, true, "5"},
        {{Type("0"), Click(kControllerFax)}, true, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.number) + " after " +
                     std::to_string(c.steps.size()) + " steps");
        Fresh();
        PutUser("CapiController", 7);
        PutUser("FritzBox", 1);
        Shown shown;
        std::vector<Step> steps = c.steps;
        steps.push_back([&](ui::Dialog d) { shown = ShownBy(d); });
        Run(steps);
        EXPECT_EQ(shown.canApply, c.canApply);
        EXPECT_EQ(shown.number, c.number);
        EXPECT_EQ(Controller(), 7u) << "nothing is written without Übernehmen";
    }
}

TEST_F(IsdnDialogTest, TheSixtyFourBitSwitchChoosesTheMachinePair) {
    // On 32-bit Windows, without the Wow6432Node vendor key only the native pair is edited.
    mem::SetProcessorArchitecture(kArchitectureX86);
    Run({[](ui::Dialog d) {
             for (int id : {kFritzBoxMachineWow, kNewDriverMachineWow, kWowSwitch})
                 EXPECT_FALSE(ui::ControlEnabled(d, id)) << id;
         },
         Click(kFritzBoxMachine), Click(kApply)});
    EXPECT_EQ(Stored(kLocalMachine, kMachineKey, "FritzBox"), 1u);
    EXPECT_FALSE(mem::KeyExists(kLocalMachine, kMachineKeyWow));

    // With it, " 6432 " starts checked and its pair is written; switching alone changes nothing.
    Fresh();
    mem::CreateKeyPath(kLocalMachine, "SOFTWARE\\Wow6432Node\\AVM");
    std::vector<bool> machineEnabled, wowEnabled, applyEnabled;
    auto look = [&](ui::Dialog d) {
        machineEnabled.push_back(ui::ControlEnabled(d, kFritzBoxMachine));
        wowEnabled.push_back(ui::ControlEnabled(d, kNewDriverMachineWow));
        applyEnabled.push_back(ui::ControlEnabled(d, kApply));
    };
    Run({look, Click(kNewDriverMachineWow), Click(kApply), Click(kWowSwitch), look,
         Click(kFritzBoxMachine), Click(kApply), look});
    // After writing the native pair the reload checks " 6432 " again and makes its pair usable.
    EXPECT_EQ(machineEnabled, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(wowEnabled, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(applyEnabled, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(Stored(kLocalMachine, kMachineKeyWow, "NeueTreiber2003"), 1u);
    EXPECT_EQ(Stored(kLocalMachine, kMachineKey, "FritzBox"), 1u);
}

// On 64-bit Windows the 32-bit fax application reads only the Wow6432Node pair: a fresh
// machine without the 32-bit vendor key can still choose it, and the write makes the path.
TEST_F(IsdnDialogTest, SixtyFourBitWindowsOffersTheWow6432NodePairWithoutItsKey) {
    for (const mem::ProcessKind kind : {mem::ProcessKind::Native, mem::ProcessKind::Wow64Process}) {
        Fresh();
        mem::SetProcessorArchitecture(kArchitectureX64);
        mem::SetProcessKind(kind);
        bool switchEnabled = false, wowPairAtOpening = true;
        int checkedAtOpening = -1;
        Run({[&](ui::Dialog d) {
                 switchEnabled = ui::ControlEnabled(d, kWowSwitch);
                 checkedAtOpening = ui::GetCheck(d, kWowSwitch);
                 wowPairAtOpening = ui::ControlEnabled(d, kFritzBoxMachineWow);
             },
             Click(kWowSwitch), Click(kFritzBoxMachineWow), Click(kApply)});
        EXPECT_TRUE(switchEnabled);
        EXPECT_EQ(checkedAtOpening, ui::kUnchecked) << "the native pair is edited first";
        EXPECT_FALSE(wowPairAtOpening);
        EXPECT_EQ(Stored(kLocalMachine, kMachineKeyWow, "FritzBox"), 1u);
        EXPECT_EQ(Stored(kLocalMachine, kMachineKey, "FritzBox"), std::nullopt);
    }
}

// The writes go out in a fixed order and a failing one is not reported: only its value stays,
// and the reload shows it.
TEST_F(IsdnDialogTest, AFailedWriteLeavesOnlyItsValue) {
    struct Value {
        config::RegKey root;
        const char* key;
        const char* name;
        std::uint32_t before, after;
    } values[] = {
        {kCurrentUser, kUserKey, "FritzBox", 0, 1},
        {kLocalMachine, kMachineKey, "FritzBox", 0, 1},
        {kLocalMachine, kMachineKey, "NeueTreiber2003", 0, 1},
        {kCurrentUser, kUserKey, "ControllerFax", 0, 1},
        {kCurrentUser, kUserKey, "CapiController", 2, 9},
        {kCurrentUser, kUserKey, "Cip", 4, 0x11},
        {kCurrentUser, kUserKey, "Speech", 0, 1},
    };
    for (int failing = 1; failing <= 7; ++failing) {
        SCOPED_TRACE(failing);
        Fresh();
        for (const Value& v : values) mem::PutDword(v.root, v.key, v.name, v.before);
        std::string shownNumber;
        Run({[failing](ui::Dialog d) {
                 for (int id : {kFritzBoxUser, kFritzBoxMachine, kNewDriverMachine, kControllerFax,
                                kIsdnFax, kSpeech})
                     hl::Click(d, id);
                 hl::Type(d, kControllerNumber, "9");
                 mem::FailCall(mem::Call::SetValueEx, failing);
                 hl::Click(d, kApply);
             },
             [&](ui::Dialog d) { shownNumber = ui::GetControlText(d, kControllerNumber); }});
        for (int i = 0; i < 7; ++i) {
            const Value& v = values[i];
            EXPECT_EQ(Stored(v.root, v.key, v.name), i + 1 == failing ? v.before : v.after)
                << v.name;
        }
        EXPECT_EQ(shownNumber, failing == 5 ? "2" : "9");
    }
}

// Settings stored as strings, binary data or DWORDs of another length are named at the top
// of the dialog. Neither " Übernehmen " nor the export puts a value there until the user
// chooses one in that setting's own control; then the first write goes in as for a missing
// value.
TEST_F(IsdnDialogTest, SettingsOfTheWrongTypeAreNamedAndKeptUntilChosen) {
    const std::vector<std::uint8_t> text1 = StoredText("1"), binary4 = {4, 0, 0, 0},
                                    long1 = {1, 0, 0, 0, 0, 0, 0, 0};
    auto putWrong = [&] {
        mem::PutValue(kCurrentUser, kUserKey, "FritzBox", platform::kRegSz, text1);
        mem::PutValue(kCurrentUser, kUserKey, "Cip", platform::kRegBinary, binary4);
        mem::PutValue(kCurrentUser, kUserKey, "Speech", platform::kRegDword, long1);
        mem::PutValue(kCurrentUser, kUserKey, "CapiController", platform::kRegSz,
                      StoredText("fffffffe"));
        mem::PutValue(kLocalMachine, kMachineKey, "NeueTreiber2003", platform::kRegSz, text1);
    };
    const std::string allNamed =
        " falscher Typ -> FritzBox HKCU, NeueTreiber2003 HKLM, CapiController, Cip, Speech ";
    struct Case {
        const char* what;
        std::vector<Step> steps;  // before " Übernehmen "
        std::string namedAfter;
        Number fritzBox, cip, controller, newDriver;  // nullopt: left as it was
    } cases[] = {
        {"other choices only", {Click(kControllerFax)}, allNamed, {}, {}, {}, {}},
        {"each chosen anew",
         {Click(kFritzBoxUser), Click(kIsdnFax), Click(kRouterAnalog), Click(kNewDriverMachine),
          Click(kNewDriverMachine)},
         " falscher Typ -> Speech ",
         1,
         0x11,
         0xFFFFFFFE,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        putWrong();
        std::string named, exported, namedAfter;
        bool shownAfter = true;
        std::vector<Step> steps = {[&](ui::Dialog d) {
            named = ui::GetControlText(d, kWrongTypes);
            EXPECT_TRUE(hl::ControlOf(d, kWrongTypes)->visible);
            EXPECT_FALSE(On(d, kFritzBoxUser) || On(d, kAnalogFax) || On(d, kIsdnFax));
            EXPECT_EQ(ShownBy(d), (Shown{0, "1", false, false}));
        }};
        steps.insert(steps.end(), c.steps.begin(), c.steps.end());
        steps.push_back(Click(kRegFile));
        steps.push_back([&](ui::Dialog) {
            exported = PendingRegText();
            hl::Click(hl::FindDialog(kRegistryEntryTitle), red::kOk);
        });
        steps.push_back(Click(kApply));
        steps.push_back([&](ui::Dialog d) {
            namedAfter = ui::GetControlText(d, kWrongTypes);
            shownAfter = hl::ControlOf(d, kWrongTypes)->visible;
        });
        Run(steps);
        EXPECT_EQ(named, allNamed);
        EXPECT_EQ(namedAfter, c.namedAfter);
        EXPECT_TRUE(shownAfter);
        const auto& user = kUserKey;
        auto kept = [&](config::RegKey root, const char* key, const char* name,
                        const std::vector<std::uint8_t>& data) {
            EXPECT_EQ(mem::GetValue(root, key, name)->data, data) << name;
        };
        kept(kCurrentUser, user, "Speech", long1);
        if (c.fritzBox) {
            EXPECT_EQ(Stored(kCurrentUser, user, "FritzBox"), c.fritzBox);
            EXPECT_EQ(Stored(kCurrentUser, user, "Cip"), c.cip);
            EXPECT_EQ(Controller(), c.controller);
            EXPECT_EQ(Stored(kLocalMachine, kMachineKey, "NeueTreiber2003"), c.newDriver);
        } else {
            kept(kCurrentUser, user, "FritzBox", text1);
            kept(kCurrentUser, user, "Cip", binary4);
            kept(kCurrentUser, user, "CapiController", StoredText("fffffffe"));
            kept(kLocalMachine, kMachineKey, "NeueTreiber2003", text1);
            EXPECT_EQ(Stored(kCurrentUser, user, "ControllerFax"), 1u);
            // The export leaves out every line it has no chosen value for.
            EXPECT_EQ(exported,
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\Fritz! 2.0\\Fax]\r\n"
                      "\"FritzBox\"=dword:00000000\r\n\r\n"
                      "[HKEY_CURRENT_USER\\Software\\AVM\\FRITZ! 2.0\\Fax]\r\n"
                      "\"ControllerFax\"=dword:00000001");
        }
        if (c.fritzBox) {
            EXPECT_NE(exported.find("\"FritzBox\"=dword:00000001\r\n\"CapiController\"="
                                    "dword:fffffffe\r\n\"Cip\"=dword:00000011"),
                      std::string::npos)
                << exported;
            EXPECT_EQ(exported.find("Speech"), std::string::npos) << exported;
        }
    }
    // Nothing of the wrong type: nothing named.
    Fresh();
    bool shown = true;
    Run({[&](ui::Dialog d) { shown = hl::ControlOf(d, kWrongTypes)->visible; }});
    EXPECT_FALSE(shown);
}

TEST_F(IsdnDialogTest, ExportShowsAndSavesTheChoicesOfTheDialog) {
    const std::string example =
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\Fritz! 2.0\\Fax]\r\n"
        "\"FritzBox\"=dword:00000001\r\n"
        "\"NeueTreiber2003\"=dword:00000000\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\AVM\\FRITZ! 2.0\\Fax]\r\n"
        "\"ControllerFax\"=dword:00000001\r\n"
        "\"FritzBox\"=dword:00000001\r\n"
        "\"CapiController\"=dword:00000001\r\n"
        "\"Cip\"=dword:00000004\r\n"
        "\"Speech\"=dword:00000001";
    const std::string bare =
        "[HKEY_CURRENT_USER\\Software\\AVM\\FRITZ! 2.0\\Fax]\r\n"
        "\"ControllerFax\"=dword:00000000\r\n\"FritzBox\"=dword:00000000\r\n";
    struct Case {
        const char* name;
        std::function<void()> prepare;
        std::vector<Step> change;
        RegEntry entry;
        std::string text;  // the whole text, or a part of it when `part` is set
        bool part;
    } cases[] = {
        {"the example",
         [] {
             mem::PutDword(kLocalMachine, kMachineKey, "FritzBox", 1);
             for (const char* name : {"ControllerFax", "FritzBox", "CapiController", "Speech"})
                 PutUser(name, 1);
             PutUser("Cip", 4);
         },
         {},
         RegEntry::Isdn,
         example,
         false},
        {"no controller, no service: neither line",
         [] {},
         {},
         RegEntry::Isdn,
         "\r\n" + bare + "\"Speech\"=dword:00000000",
         true},
        {"a controller number in hex",
         [] { PutUser("CapiController", 300); },
         {},
         RegEntry::Isdn,
         bare + "\"CapiController\"=dword:0000012c\r\n\"Speech\"",
         true},
        {"Wow6432Node pair, unsaved choices",
         [] {
             mem::CreateKeyPath(kLocalMachine, "SOFTWARE\\Wow6432Node\\AVM");
             mem::PutDword(kLocalMachine, kMachineKeyWow, "NeueTreiber2003", 1);
             PutUser("FritzBox", 1);
             RouterReachable();
         },
         {Click(kRouterInternet), Click(kIsdnFax)},
         RegEntry::IsdnWow,
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM\\Fritz! 2.0\\Fax]\r\n"
         "\"FritzBox\"=dword:00000000\r\n\"NeueTreiber2003\"=dword:00000001\r\n\r\n"
         "[HKEY_CURRENT_USER\\Software\\AVM\\FRITZ! 2.0\\Fax]\r\n"
         "\"ControllerFax\"=dword:00000000\r\n\"FritzBox\"=dword:00000001\r\n"
         "\"CapiController\"=dword:fffffffd\r\n\"Cip\"=dword:00000011\r\n"
         "\"Speech\"=dword:00000000",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        c.prepare();
        const int writes = mem::CallCount(mem::Call::SetValueEx);
        std::string shown;
        int focus = 0;
        std::vector<Step> steps = c.change;
        steps.push_back(Click(kRegFile));
        steps.push_back([&](ui::Dialog) {
            ui::Dialog entry = hl::FindDialog(kRegistryEntryTitle);
            shown = ui::GetControlText(entry, red::kText);
            hl::Click(entry, red::kSave);
            hl::Click(entry, red::kOk);
        });
        steps.push_back([&](ui::Dialog d) { focus = hl::FocusedId(d); });
        Run(steps);
        const std::string text = PendingRegText();
        if (c.part) {
            EXPECT_NE(text.find(c.text), std::string::npos) << text;
            EXPECT_EQ(text.find("Cip"), std::string::npos) << text;
        } else {
            EXPECT_EQ(text, c.text);
        }
        EXPECT_EQ(shown, std::string(kRegHeader) + "\r\n\r\n" + text + "\r\n\r\n");
        EXPECT_TRUE(mem::FileBytes("C:\\Orvano\\" + RegFileName(c.entry)));
        EXPECT_EQ(focus, kBack);
        EXPECT_EQ(mem::CallCount(mem::Call::SetValueEx), writes) << "an export stores nothing";
    }
}

// Placed from the corner of the main window's client area, wherever the main window stands.
TEST_F(IsdnDialogTest, OpensAtItsPlaceBelowTheMainWindowsTitleBar) {
    const int places[][2] = {{0, 0}, {100, 50}, {-30, 400}};
    for (const auto& place : places) {
        SCOPED_TRACE(std::to_string(place[0]) + ", " + std::to_string(place[1]));
        Fresh();
        ui::Dialog main = ui::NewDialog(0, " Orvano", 0, 0, 420, 300, ui::kMainWindowStyle,
                                        ui::kWsExControlParent);
        ui::SetDialogLocation(main, place[0], place[1]);  // where the settings file put it
        int x = 0, y = 0, clientX = 0, clientY = 0, outerY = 0, unused = 0;
        ui::GetClientLocation(main, clientX, clientY);
        ui::GetDialogLocation(main, unused, outerY);
        Run({[&](ui::Dialog d) { ui::GetDialogLocation(d, x, y); }}, main);
        EXPECT_EQ(x, clientX + 66);
        EXPECT_EQ(y, clientY - 15);
        EXPECT_GT(y, outerY - 15) << "a title bar lower than from the outer corner";
    }
}

}  // namespace
}  // namespace orvano::testing
