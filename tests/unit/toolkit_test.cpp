#include <gtest/gtest.h>

#include "headless_fixture.h"
#include "ui/headless/script.h"
#include "ui/toolkit.h"

namespace orvano::testing {
namespace {

using namespace orvano::ui;

class ToolkitTest : public HeadlessTest {
  protected:
    static std::vector<std::uint32_t> Messages(Dialog dialog) {
        std::vector<std::uint32_t> messages;
        for (const auto& d : hl::DialogOf(dialog)->received) messages.push_back(d.message);
        return messages;
    }
    static DialogCallback Ignore() {
        return [](Dialog, std::uint32_t, WParam, LParam) -> std::intptr_t { return 0; };
    }
};

TEST_F(ToolkitTest, StylesResolvePerKind) {
    struct Case {
        ControlKind kind;
        std::uint32_t style, exStyle;
        const char* className;
        std::uint32_t resolved, resolvedEx;
    } cases[] = {
        {ControlKind::Button, 0, 0, "BUTTON", 0x50010000, 0},
        {ControlKind::Button, 0x00018F00, 0, "BUTTON", 0x50018F00,
         0},  // always WS_CHILD | WS_VISIBLE
        {ControlKind::CheckBox, 0, 0, "BUTTON", 0x50010003, 0},
        {ControlKind::CheckBox, 0xFFFFFFFF, 0, "BUTTON", 0x5803FF33, 0},  // removed bits win
        {ControlKind::Frame, 0x50000707, 0, "BUTTON", 0x50000707, 0},
        {ControlKind::Frame, 0xFFFFFFFF, 0, "BUTTON", 0x58002F07, 0},
        {ControlKind::Radio, 0x50030D09, 0, "BUTTON", 0x50030D09, 0},
        {ControlKind::Radio, 0x00000002, 0, "BUTTON", 0x5000000B & ~0xC6u, 0},
        {ControlKind::Label, 0, 0, "STATIC", 0x50000000, 0},
        {ControlKind::Label, 0x101, 0, "STATIC", 0x50000101, 0},
        {ControlKind::Line, 0, 0, "STATIC", 0x50000012, 0},
        {ControlKind::Line, 0x10, 0, "STATIC", 0x50000010, 0},
        // Style 0 trades the border of edits and list boxes for a sunken client edge.
        {ControlKind::Edit, 0, 0, "EDIT", 0x50010080, 0x200},
        {ControlKind::Edit, 0x50010880, 0x20000, "EDIT", 0x50010880, 0x20000},
        {ControlKind::Edit, 0x00800080, 0, "EDIT", 0x50800080, 0},
        {ControlKind::ListBox, 0, 0, "LISTBOX", 0x50210003, 0x200},
        {ControlKind::ListBox, 0x00A00000, 0, "LISTBOX", 0x50A00001, 0},
        {ControlKind::Custom, 0x50010000, 0, "SysIPAddress32", 0x50010000, 0},
    };
    for (const Case& c : cases) {
        ResolvedStyle r = ResolveStyle(c.kind, c.style, c.exStyle, "SysIPAddress32");
        EXPECT_EQ(r.className, c.className) << std::hex << c.style;
        EXPECT_EQ(r.style, c.resolved)
            << r.className << " " << std::hex << c.style << " -> " << r.style;
        EXPECT_EQ(r.exStyle, c.resolvedEx) << r.className << " " << std::hex << c.style;
    }
    EXPECT_EQ(ResolveDialogStyle(0), 0x80C000D4u | 0x54u);
    EXPECT_EQ(ResolveDialogStyle(kMainWindowStyle), 0x84CA0AD4u | 0x54u);  // not visible yet
    EXPECT_EQ(ResolveDialogStyle(0x10000002), 0x54u);
}

TEST_F(ToolkitTest, OnlyWinesAddressFieldIsHelpedAlong) {
    struct Case {
        bool underWine;
        const char* className;
        bool helped;
    } cases[] = {
        {false, "SysIPAddress32", false},
        {true, "SysIPAddress32", true},
        {true, "sysipaddress32", true},
        {true, "SysIPAddress32x", false},
        {true, "EDIT", false},
        {false, "EDIT", false},
    };
    for (const Case& c : cases) {
        mem::SetRunningUnderWine(c.underWine);
        EXPECT_EQ(HelpsAddressField(c.className), c.helped)
            << c.className << (c.underWine ? " under Wine" : " on Windows");
    }
}

TEST_F(ToolkitTest, ToolTipsAreCutAt254Characters) {
    Dialog dialog = NewDialog(0, " Test", 0, 0, 100, 100, 0, kWsExControlParent);
    AddControl(dialog, ControlKind::Button, 10, " OK ", 5, 5, 40, 12, 0, 0);
    EXPECT_EQ(AddToolTip(dialog, 10, std::string(300, 'x')), 1);
    EXPECT_EQ(hl::ControlOf(dialog, 10)->toolTip, std::string(254, 'x'));
    EXPECT_EQ(AddToolTip(dialog, 0, "Das Fenster"), 1);
    EXPECT_EQ(hl::DialogOf(dialog)->toolTip, "Das Fenster");
    EXPECT_EQ(AddToolTip(dialog, 99, "fehlt"), 0);
}

TEST_F(ToolkitTest, RunModalOpensWithInitDialogThenSizeAndTheCloseBoxGivesZero) {
    Dialog dialog = NewDialog(0, " Test", 0, 0, 100, 80, 0, kWsExControlParent);
    EXPECT_FALSE(hl::DialogOf(dialog)->visible);
    hl::AddStep([&] {
        EXPECT_TRUE(hl::DialogOf(dialog)->visible);
        hl::PressCloseBox(dialog);
    });
    WParam initParam = 0;
    int result =
        RunModal(dialog, [&](Dialog d, std::uint32_t m, WParam w, LParam) -> std::intptr_t {
            if (m == kWmInitDialog) initParam = w;
            (void)d;
            return 0;
        });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(initParam, dialog);
    EXPECT_EQ(Messages(dialog), (std::vector<std::uint32_t>{kWmInitDialog, kWmSize, kWmNcActivate,
                                                            kWmSysCommand, kWmClose, kWmDestroy}));
    EXPECT_EQ(hl::DialogOf(dialog)->received[1].wParam, kSizeRestored);
    EXPECT_FALSE(IsWindowAlive(dialog));
}

TEST_F(ToolkitTest, ACallbackThatHandlesTheCloseBoxKeepsItsDialog) {
    Dialog dialog = NewDialog(0, " Test", 0, 0, 100, 80, 0, 0);
    hl::AddSteps({[&] { hl::PressCloseBox(dialog); }, [&] { CloseDialog(dialog, 5); }});
    int result = RunModal(dialog, [](Dialog, std::uint32_t m, WParam w, LParam) -> std::intptr_t {
        return m == kWmSysCommand && (w & 0xFFF0) == kScClose ? 1 : 0;
    });
    EXPECT_EQ(result, 5);
}

TEST_F(ToolkitTest, NestedDialogDisablesItsOwnerWhileTheOwnerKeepsItsTimersAndPosts) {
    Dialog outer = NewDialog(0, " Aussen", 0, 0, 200, 150, kMainWindowStyle, kWsExControlParent);
    AddControl(outer, ControlKind::Button, 1, " Öffnen ", 5, 5, 50, 14, 0, 0);
    Dialog inner = 0;
    int innerResult = -1;
    std::vector<std::string> log;

    hl::AddSteps({
        [&] { hl::Click(outer, 1); },
        [&] {
            EXPECT_FALSE(hl::DialogOf(outer)->enabled);
            EXPECT_EQ(hl::ActiveDialog(), inner);
            hl::Click(outer, 1);  // refused: the owner is disabled
            PostToWindow(outer, kWmUser + 1, 0, 0);
            PostToWindow(inner, kWmUser + 2, 0, 0);
            PostToWindow(outer, kWmUser + 3, 0, 0);
        },
        [&] { hl::AdvanceClock(1000); },
        [&] { CloseDialog(inner, 3); },
        [&] {
            EXPECT_TRUE(hl::DialogOf(outer)->enabled);
            CloseDialog(outer, 0);
        },
    });
    RunModal(outer, [&](Dialog d, std::uint32_t m, WParam w, LParam) -> std::intptr_t {
        if (m == kWmInitDialog) StartTimer(d, 9, 400);
        if (m == kWmTimer)
            log.push_back("timer " + std::to_string(w) + " at " + std::to_string(hl::Now()));
        if (m >= kWmUser) log.push_back("outer " + std::to_string(m - kWmUser));
        if (m == kWmCommand && CommandId(w) == 1) {
            inner = NewDialog(d, " Innen", 10, 10, 100, 80, kDialogStyle, kWsExControlParent);
            innerResult =
                RunModal(inner, [&](Dialog, std::uint32_t im, WParam, LParam) -> std::intptr_t {
                    if (im >= kWmUser) log.push_back("inner " + std::to_string(im - kWmUser));
                    return 0;
                });
        }
        return 0;
    });
    EXPECT_EQ(innerResult, 3);
    EXPECT_EQ(log, (std::vector<std::string>{"outer 1", "inner 2", "outer 3", "timer 9 at 400",
                                             "timer 9 at 800"}));
    ASSERT_EQ(hl::Problems().size(), 1u);
    EXPECT_NE(hl::Problems()[0].find("not the active one"), std::string::npos);
    hl::Reset();
}

TEST_F(ToolkitTest, OwnerHearsEnterIdleAndActivationAroundAChild) {
    Dialog outer = NewDialog(0, " Aussen", 0, 0, 200, 150, 0, 0);
    Dialog inner = NewDialog(outer, " Innen", 10, 20, 100, 80, 0, 0);
    int x = 0, y = 0;
    GetClientLocation(inner, x, y);
    int clientX = 0, clientY = 0;
    GetClientLocation(outer, clientX, clientY);
    EXPECT_EQ(x, clientX + 10) << "client area from the owner's client area";
    EXPECT_EQ(y, clientY + 20);
    hl::AddSteps({[&] { RunModal(inner, Ignore()); }, [&] { CloseDialog(inner, 0); },
                  [&] { CloseDialog(outer, 0); }});
    RunModal(outer, Ignore());
    std::vector<std::uint32_t> seen = Messages(outer);
    std::vector<std::uint32_t> expected = {kWmInitDialog, kWmSize,       kWmNcActivate,
                                           kWmCancelMode, kWmNcActivate, kWmEnterIdle,
                                           kWmNcActivate, kWmClose,      kWmDestroy};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(hl::DialogOf(outer)->received[4].wParam, 0u);  // deactivated by the child
    EXPECT_EQ(hl::DialogOf(outer)->received[6].wParam, 1u);  // active again when it is gone
}

TEST_F(ToolkitTest, ControlsBehaveAsTheirKindDoes) {
    Dialog dialog = NewDialog(0, " Test", 0, 0, 200, 150, 0, 0);
    AddControl(dialog, ControlKind::CheckBox, 1, " Ja ", 0, 0, 40, 10, 0, 0);
    AddControl(dialog, ControlKind::Radio, 2, " A ", 0, 10, 40, 10, 0x50030D09, 0);
    AddControl(dialog, ControlKind::Radio, 3, " B ", 0, 20, 40, 10, 0, 0);
    AddControl(dialog, ControlKind::Radio, 4, " C ", 0, 30, 40, 10, 0x50030D09, 0);  // a new group
    AddControl(dialog, ControlKind::ListBox, 5, "", 0, 40, 80, 40, 0, 0);
    AddControl(dialog, ControlKind::Edit, 6, "", 0, 90, 80, 10, 0, 0);
    AddControl(dialog, ControlKind::Label, 7, " nur Text ", 0, 100, 80, 10, 0, 0);
    std::vector<std::pair<int, std::uint32_t>> commands;

    SetOption(dialog, 2, 3, 3);
    SetCheck(dialog, 4, kChecked);
    for (const char* item : {"zwei", "Eins", "drei", "Ärger"}) AddListItem(dialog, 5, item);
    SendToWindow(ControlWindow(dialog, 6), kEmLimitText, 5, 0);
    hl::AddSteps({
        [&] { hl::Click(dialog, 1); },
        [&] { hl::Click(dialog, 2); },
        [&] { hl::Type(dialog, 6, "123456789"); },
        [&] { SetControlText(dialog, 6, "neu"); },
        [&] { hl::SelectListItem(dialog, 5, 1); },
        [&] { CloseDialog(dialog, 0); },
    });
    RunModal(dialog, [&](Dialog, std::uint32_t m, WParam w, LParam) -> std::intptr_t {
        if (m == kWmCommand) commands.push_back({CommandId(w), CommandCode(w)});
        return 0;
    });
    EXPECT_EQ(hl::ControlOf(dialog, 1)->check, kChecked);
    EXPECT_EQ(hl::ControlOf(dialog, 2)->check, kChecked);
    EXPECT_EQ(hl::ControlOf(dialog, 3)->check, kUnchecked);
    EXPECT_EQ(hl::ControlOf(dialog, 4)->check, kChecked) << "another group";
    EXPECT_EQ(hl::ControlOf(dialog, 5)->items,
              (std::vector<std::string>{"drei", "Eins", "zwei", "Ärger"}));
    EXPECT_EQ(hl::ControlOf(dialog, 5)->selected, 1);
    EXPECT_EQ(hl::ControlOf(dialog, 6)->text, "neu");
    // The edit reports typing and a text set by the program alike.
    EXPECT_EQ(
        commands,
        (std::vector<std::pair<int, std::uint32_t>>{
            {1, kBnClicked}, {2, kBnClicked}, {6, kEnChange}, {6, kEnChange}, {5, kLbnSelChange}}));
    EXPECT_EQ(hl::FocusedId(dialog), 5);
}

TEST_F(ToolkitTest, TimersFireInTimeOrderAndStopWithTheirDialog) {
    Dialog dialog = NewDialog(0, " Test", 0, 0, 100, 80, 0, 0);
    std::vector<std::pair<std::uintptr_t, std::uint64_t>> ticks;
    hl::AddSteps({[&] { hl::AdvanceClock(1000); },
                  [&] {
                      StopTimer(dialog, 1);
                      Wait(5000);  // a blocked thread: the overdue timer fires once afterwards
                      hl::AdvanceClock(1);
                  },
                  [&] { CloseDialog(dialog, 0); }});
    RunModal(dialog, [&](Dialog d, std::uint32_t m, WParam w, LParam) -> std::intptr_t {
        if (m == kWmInitDialog) {
            StartTimer(d, 1, 200);
            StartTimer(d, 2, 500);
        }
        if (m == kWmTimer) ticks.push_back({w, hl::Now()});
        return 0;
    });
    EXPECT_EQ(
        ticks,
        (std::vector<std::pair<std::uintptr_t, std::uint64_t>>{
            {1, 200}, {1, 400}, {2, 500}, {1, 600}, {1, 800}, {1, 1000}, {2, 1000}, {2, 6000}}));
    EXPECT_FALSE(StartTimer(dialog, 3, 100)) << "a destroyed dialog gets no timers";
}

TEST_F(ToolkitTest, ScriptThatRunsOutClosesTheDialogAndSaysSo) {
    Dialog dialog = NewDialog(0, " Vergessen", 0, 0, 100, 80, 0, 0);
    EXPECT_EQ(RunModal(dialog, Ignore()), 0);
    ASSERT_EQ(hl::Problems().size(), 1u);
    EXPECT_NE(hl::Problems()[0].find(" Vergessen"), std::string::npos);
    hl::Reset();
}

}  // namespace
}  // namespace orvano::testing
