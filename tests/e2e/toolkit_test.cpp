// The real toolkit on real windows, run under wine64 on a desktop of its own: the order of a modal
// run, ending a dialog, colours, dialog units, the address field, tooltips, the bold font, and
// background jobs on real threads with the busy cursor. Each run has a watchdog, so that a loop
// that never ends fails the test instead of hanging it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/system.h"
#include "ui/dialog_font.h"
#include "ui/toolkit.h"

using namespace orvano::ui;

namespace {

constexpr std::uintptr_t kWatchdog = 0xD06;
constexpr unsigned kWatchdogMs = 5000;
constexpr std::uint32_t kAct = kWmUser + 1;
constexpr int kWatchdogResult = -999;

HWND H(Window window) {
    return reinterpret_cast<HWND>(window);
}

struct Seen {
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
};

bool Interesting(std::uint32_t message) {
    return message == kWmInitDialog || message == kWmSize || message == kWmClose ||
           message == kWmDestroy || message == kAct || message == kWmCancelMode;
}

LOGFONTA Described(HFONT font) {
    LOGFONTA described{};
    GetObjectA(font, sizeof described, &described);
    return described;
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

Dialog MakeDialog(Window owner = 0, const std::string& title = " Prüfung") {
    return NewDialog(owner, title, 10, 10, 120, 70, kDialogStyle, kWsExControlParent);
}

// RunModal with a watchdog timer: a run that does not end in time ends with kWatchdogResult.
int RunGuarded(Dialog dialog, DialogCallback callback) {
    return RunModal(dialog,
                    [callback](Dialog d, std::uint32_t message, WParam wParam, LParam lParam) {
                        if (message == kWmInitDialog) StartTimer(d, kWatchdog, kWatchdogMs);
                        if (message == kWmTimer && wParam == kWatchdog) {
                            CloseDialog(d, kWatchdogResult);
                            return std::intptr_t{0};
                        }
                        return callback(d, message, wParam, lParam);
                    });
}

TEST(ModalRun, DeliversStartMessagesThenLoopMessagesAndReturnsTheCloseResult) {
    Dialog d = MakeDialog();
    ASSERT_NE(d, 0u);
    SetDialogIcon(d, "#555");  // this program has no icon resource: nothing happens
    EXPECT_EQ(SendToWindow(d, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_EQ(FindWindowByTitle(" Prüfung"), d);
    // Sent before the run: the callback is not attached yet.
    SendToWindow(d, kAct, 1, 0);

    std::vector<Seen> seen;
    bool visibleAtStart = true;
    RECT client{};
    int result =
        RunGuarded(d, [&](Dialog dialog, std::uint32_t message, WParam wParam, LParam lParam) {
            if (Interesting(message)) seen.push_back({message, wParam, lParam});
            if (message == kWmInitDialog) {
                visibleAtStart = IsWindowVisible(H(dialog));
                GetClientRect(H(dialog), &client);
                PostToWindow(dialog, kAct, 2, 0);
            }
            if (message == kAct) {
                EXPECT_TRUE(IsWindowVisible(H(dialog)));
                CloseDialog(dialog, 42);
                CloseDialog(dialog, 43);  // already gone: no effect
            }
            return std::intptr_t{0};
        });

    EXPECT_EQ(result, 42);
    EXPECT_FALSE(visibleAtStart);
    EXPECT_FALSE(IsWindowAlive(d));
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0].message, kWmInitDialog);
    EXPECT_EQ(seen[0].wParam, d);
    EXPECT_EQ(seen[0].lParam, 0);
    EXPECT_EQ(seen[1].message, kWmSize);
    EXPECT_EQ(seen[1].wParam, kSizeRestored);
    EXPECT_GT(client.right, 0);
    EXPECT_EQ(seen[1].lParam, MAKELPARAM(client.right, client.bottom));
    EXPECT_EQ(seen[2].message, kAct);
    EXPECT_EQ(seen[2].wParam, 2u);
    EXPECT_EQ(seen[3].message, kWmClose);
    EXPECT_EQ(seen[4].message, kWmDestroy);
}

// Esc and Enter do not end a dialog. The close box does, and so does a WM_CLOSE that another
// program (or the session's end) sends: the callback sees that WM_CLOSE once and the dialog
// ends, instead of staying open after its clean-up has run.
TEST(ModalRun, EndsThroughCloseDialogTheCloseBoxOrAWmCloseFromOutside) {
    struct Case {
        const char* name;
        bool closeFromOutside;  // a plain WM_CLOSE, as another program could send it
        bool closeAgain;        // the callback calls CloseDialog from its WM_CLOSE
        bool aliveAfterKeys;
    };
    const Case cases[] = {{"Esc, Enter, then the close box", false, false, true},
                          {"WM_CLOSE from outside", true, false, false},
                          {"close box, CloseDialog again on WM_CLOSE", false, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dialog d = MakeDialog();
        int closes = 0, destroys = 0;
        bool aliveAfterKeys = false;
        int result = RunGuarded(d, [&](Dialog dialog, std::uint32_t message, WParam, LParam) {
            if (message == kWmInitDialog) PostToWindow(dialog, kAct, 0, 0);
            if (message == kWmClose) {
                ++closes;
                if (c.closeAgain) CloseDialog(dialog, 55);
            }
            if (message == kWmDestroy) ++destroys;
            if (message == kAct) {
                if (c.closeFromOutside) SendToWindow(dialog, kWmClose, 0, 0);
                if (!IsWindowAlive(dialog)) return std::intptr_t{0};
                SendToWindow(dialog, kWmCommand, CommandParam(kIdCancel, 0), 0);
                SendToWindow(dialog, kWmCommand, CommandParam(kIdOk, 0), 0);
                aliveAfterKeys = IsWindowAlive(dialog);
                SendToWindow(dialog, kWmSysCommand, kScClose, 0);
            }
            return std::intptr_t{0};
        });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(aliveAfterKeys, c.aliveAfterKeys);
        EXPECT_EQ(closes, 1);
        EXPECT_EQ(destroys, 1);
        EXPECT_FALSE(IsWindowAlive(d));
    }
}

TEST(ModalRun, NestedDialogDisablesItsOwnerAndEndsWhenClosedFromTheOwnersIdleMessage) {
    Dialog outer = MakeDialog(0, " Außen");
    int innerResult = 0;
    bool ownerDisabledWhileInner = false, cancelModeSeen = false;
    int outerResult =
        RunGuarded(outer, [&](Dialog dialog, std::uint32_t message, WParam wParam, LParam lParam) {
            if (message == kWmInitDialog) PostToWindow(dialog, kAct, 0, 0);
            if (message == kWmCancelMode) cancelModeSeen = true;
            if (message == kWmEnterIdle && wParam == kMsgfDialogBox) {
                // The inner dialog ends from a message sent while its loop found nothing to do;
                // its loop must notice without waiting for another message.
                ownerDisabledWhileInner = !IsWindowEnabled(H(dialog));
                CloseDialog(static_cast<Dialog>(lParam), 9);
            }
            if (message == kAct) {
                Dialog inner = MakeDialog(dialog, " Innen");
                innerResult = RunGuarded(
                    inner, [](Dialog, std::uint32_t, WParam, LParam) { return std::intptr_t{0}; });
                EXPECT_TRUE(IsWindowEnabled(H(dialog)));
                CloseDialog(dialog, 1);
            }
            return std::intptr_t{0};
        });
    EXPECT_EQ(innerResult, 9);
    EXPECT_EQ(outerResult, 1);
    EXPECT_TRUE(ownerDisabledWhileInner);
    EXPECT_TRUE(cancelModeSeen);
}

TEST(ModalRun, TimersFireUntilStopped) {
    Dialog d = MakeDialog();
    int ticks = 0;
    int result = RunGuarded(d, [&](Dialog dialog, std::uint32_t message, WParam wParam, LParam) {
        if (message == kWmInitDialog) {
            EXPECT_TRUE(StartTimer(dialog, 5, 10));
        }
        if (message == kWmTimer && wParam == 5 && ++ticks == 3) {
            StopTimer(dialog, 5);
            StartTimer(dialog, 6, 200);  // ends the run after any late tick of timer 5
        }
        if (message == kWmTimer && wParam == 6) CloseDialog(dialog, 3);
        return std::intptr_t{0};
    });
    EXPECT_EQ(result, 3);
    EXPECT_EQ(ticks, 3);
}

TEST(Controls, TakeTheirKindsClassStyleAndTheDialogFont) {
    struct Case {
        ControlKind kind;
        std::uint32_t style;
        const char* className;
        bool clientEdge;
    };
    const Case cases[] = {
        {ControlKind::Button, 0, "Button", false},
        {ControlKind::CheckBox, 0, "Button", false},
        {ControlKind::Label, 0x50000101, "Static", false},
        {ControlKind::Edit, 0, "Edit", true},
        {ControlKind::Edit, 0x50810080, "Edit", false},  // a plain border instead
        {ControlKind::ListBox, 0, "ListBox", true},
    };
    Dialog d = MakeDialog();
    HFONT dialogFont = reinterpret_cast<HFONT>(SendToWindow(d, WM_GETFONT, 0, 0));
    ASSERT_NE(dialogFont, nullptr);
    int id = 200;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className + std::to_string(id));
        Window control = AddControl(d, c.kind, id, " Größe ", 4, 6, 50, 12, c.style, 0);
        ASSERT_NE(control, 0u);
        EXPECT_EQ(ControlWindow(d, id), control);
        EXPECT_EQ(ControlIdOf(control), id);
        char name[32] = "";
        GetClassNameA(H(control), name, sizeof name);
        EXPECT_STRCASEEQ(name, c.className);
        LONG style = GetWindowLongA(H(control), GWL_STYLE);
        LONG exStyle = GetWindowLongA(H(control), GWL_EXSTYLE);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
        EXPECT_EQ((exStyle & WS_EX_CLIENTEDGE) != 0, c.clientEdge);
        // The dialog's face; where it stands in for Windows' "MS Sans Serif", one pixel smaller.
        LOGFONTA own = Described(reinterpret_cast<HFONT>(SendToWindow(control, WM_GETFONT, 0, 0)));
        LOGFONTA dialogs = Described(dialogFont);
        EXPECT_STREQ(own.lfFaceName, dialogs.lfFaceName);
        if (std::string(dialogs.lfFaceName) == "MS Sans Serif")
            EXPECT_EQ(own.lfHeight, dialogs.lfHeight);
        else
            EXPECT_EQ(own.lfHeight, dialogs.lfHeight + 1);
        // Placed in dialog units of this dialog.
        RECT expected{4, 6, 54, 18}, actual;
        MapDialogRect(H(d), &expected);
        GetWindowRect(H(control), &actual);
        MapWindowPoints(HWND_DESKTOP, H(d), reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right, expected.right);
        EXPECT_EQ(actual.bottom, expected.bottom);
        if (c.kind != ControlKind::ListBox) {
            EXPECT_EQ(GetControlText(d, id), " Größe ");
        }
        ++id;
    }
    // A control that could not be made does not exist; operations on its id do nothing.
    EXPECT_EQ(
        AddControl(d, ControlKind::Custom, 300, "x", 0, 0, 10, 10, 0x50000000, 0, "NoSuchClass"),
        0u);
    SetControlText(d, 300, "y");
    SetControlColor(d, 300, 0, 0);
    EXPECT_EQ(GetControlText(d, 300), "");
    EXPECT_FALSE(ControlEnabled(d, 300));
    CloseDialog(d, 0);
}

TEST(Controls, StatesFollowTheCalls) {
    Dialog d = MakeDialog();
    AddControl(d, ControlKind::CheckBox, 10, " Prüfen ", 4, 4, 60, 10, 0, 0);
    AddControl(d, ControlKind::Radio, 11, " Eins ", 4, 16, 60, 10, 0x50030D09, 0);
    AddControl(d, ControlKind::Radio, 12, " Zwei ", 4, 28, 60, 10, 0, 0);
    AddControl(d, ControlKind::ListBox, 13, "", 70, 4, 40, 40, 0, 0);
    SetCheck(d, 10, kChecked);
    EXPECT_EQ(GetCheck(d, 10), kChecked);
    SetOption(d, 11, 12, 12);
    EXPECT_EQ(GetCheck(d, 11), kUnchecked);
    EXPECT_EQ(GetCheck(d, 12), kChecked);
    EnableControl(d, 10, false);
    EXPECT_FALSE(ControlEnabled(d, 10));
    ShowControl(d, 12, false);
    EXPECT_FALSE(ControlVisible(d, 12));
    EXPECT_TRUE(ControlVisible(d, 11));  // its own state, although the dialog is not shown yet
    for (const char* item : {" Öl ", " Äther ", " Zink "}) AddListItem(d, 13, item);
    HWND list = H(ControlWindow(d, 13));
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
    char first[16] = "";
    SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(first, " Äther ");  // the default list box sorts
    CloseDialog(d, 0);
}

TEST(Controls, AddressFieldShowsAndReturnsDottedText) {
    Dialog d = MakeDialog();
    ASSERT_NE(AddControl(d, ControlKind::Custom, 20, "10.0.0.138", 4, 4, 80, 12, 0x50010000, 0,
                         "SysIPAddress32"),
              0u);
    EXPECT_EQ(GetControlText(d, 20), "10.0.0.138");
    struct Case {
        const char* text;
        const char* read;
    };
    const Case cases[] = {
        {"192.168.178.1", "192.168.178.1"},
        {" 172.16.0.254 ", "172.16.0.254"},
        {"0.0.0.0", "0.0.0.0"},  // zeros typed in are not blank
        {"", ""},
        {"255.255.255.255", "255.255.255.255"},
    };
    for (const Case& c : cases) {
        SetControlText(d, 20, c.text);
        EXPECT_EQ(GetControlText(d, 20), c.read) << "set \"" << c.text << "\"";
    }
    // Text that is no address never leaves the previous address standing.
    for (const char* text : {"256.1.1.1", "1.2.3", "fritz.box", "1..2.3", "1.2.3.4.5"}) {
        SetControlText(d, 20, "10.1.1.1");
        SetControlText(d, 20, text);
        EXPECT_NE(GetControlText(d, 20), "10.1.1.1") << "set \"" << text << "\"";
    }
    CloseDialog(d, 0);
}

// The question every workaround for Wine goes by; these tests run under Wine.
TEST(Platform, KnowsItRunsUnderWine) {
    EXPECT_TRUE(orvano::platform::RunningUnderWine());
    EXPECT_TRUE(HelpsAddressField("SysIPAddress32"));
}

// Windows' "MS Sans Serif" 8 gives 6 by 13 pixels per 4 by 8 dialog units at 96 dpi; the
// dialogs keep that wherever the system has a face to give it, so every control keeps the size
// in pixels it has on Windows.
TEST(DialogUnits, AreThoseOfWindowsDialogFont) {
    Dialog d = MakeDialog();
    RECT base{0, 0, 4, 8};
    MapDialogRect(H(d), &base);
    FontBase windows = WindowsDialogBase(ScreenDpi());
    EXPECT_EQ(base.right, windows.width);
    EXPECT_EQ(base.bottom, windows.height);
    CloseDialog(d, 0);
}

// Typed into a filled address field as a person types: the digits of each number, a "." after
// each but the last. The run from field to field must replace every old number.
TEST(Controls, AddressFieldTakesAnAddressTypedOverAnother) {
    Dialog d = MakeDialog();
    ASSERT_NE(AddControl(d, ControlKind::Custom, 20, "255.255.255.255", 4, 4, 68, 12, 0x50010000,
                         kWsExClientEdge, "SysIPAddress32"),
              0u);
    const char* typed[] = {"192.168.178.1", "10.0.0.138", "1.2.3.4"};
    for (const char* address : typed) {
        HWND first = FindWindowExA(H(ControlWindow(d, 20)), nullptr, "Edit", nullptr);
        ASSERT_NE(first, nullptr);
        // The leftmost field: the control makes its fields from the right.
        for (HWND field = first; field;
             field = FindWindowExA(H(ControlWindow(d, 20)), field, "Edit", nullptr)) {
            RECT a, b;
            GetWindowRect(field, &a);
            GetWindowRect(first, &b);
            if (a.left < b.left) first = field;
        }
        SetFocus(first);
        SendMessageA(first, EM_SETSEL, 0, -1);
        for (const char* c = address; *c; ++c) SendMessageA(GetFocus(), WM_CHAR, *c, 1);
        EXPECT_EQ(GetControlText(d, 20), address);
    }
    CloseDialog(d, 0);
}

TEST(Colors, PaintAsRecordedWithOneBrushPerColour) {
    Dialog d = MakeDialog();
    AddControl(d, ControlKind::Label, 1, "a", 0, 0, 20, 10, 0, 0);
    AddControl(d, ControlKind::Label, 2, "b", 0, 10, 20, 10, 0, 0);
    AddControl(d, ControlKind::Label, 3, "c", 0, 20, 20, 10, 0, 0);
    AddControl(d, ControlKind::Edit, 4, "d", 0, 30, 20, 10, 0, 0);
    AddControl(d, ControlKind::Label, 5, "e", 0, 40, 20, 10, 0, 0);
    SetControlColor(d, 1, Rgb(255, 0, 0), kTransparentColor);
    SetControlColor(d, 2, kDefaultColor, Rgb(255, 255, 255));
    SetControlColor(d, 3, Rgb(0, 0, 128), kDefaultColor);
    SetControlColor(d, 4, Rgb(0, 64, 128), kDefaultColor);
    HDC dc = CreateCompatibleDC(nullptr);
    auto paint = [&](int id, UINT message) {
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        return reinterpret_cast<HBRUSH>(SendToWindow(d, message, reinterpret_cast<WParam>(dc),
                                                     static_cast<LParam>(ControlWindow(d, id))));
    };

    EXPECT_EQ(paint(1, WM_CTLCOLORSTATIC), GetStockObject(HOLLOW_BRUSH));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));

    HBRUSH white = paint(2, WM_CTLCOLORSTATIC);
    LOGBRUSH brush{};
    ASSERT_EQ(GetObjectA(white, sizeof brush, &brush), static_cast<int>(sizeof brush));
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(brush.lbColor, RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(paint(2, WM_CTLCOLORSTATIC), white);  // no new brush for every repaint

    EXPECT_EQ(paint(3, WM_CTLCOLORSTATIC), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 128));
    EXPECT_EQ(paint(4, WM_CTLCOLOREDIT), GetSysColorBrush(COLOR_WINDOW));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 64, 128));

    // Default colours: the text colour the system would use; the DC's is not left as it was.
    paint(5, WM_CTLCOLORSTATIC);
    EXPECT_NE(GetTextColor(dc), RGB(1, 2, 3));
    DeleteDC(dc);
    CloseDialog(d, 0);
}

TEST(DialogUnits, LocationAndSizeComeBackAsSet) {
    Dialog d = MakeDialog();
    int width = 0, height = 0;
    GetDialogSize(d, width, height);
    EXPECT_GT(width, 120);  // the outer size: the template gives the client area
    EXPECT_GT(height, 70);
    const int places[][2] = {{0, 0}, {1, 1}, {3, 7}, {17, 23}, {250, 180}, {-5, -3}};
    for (auto& place : places) {
        SetDialogLocation(d, place[0], place[1]);
        int x = -1, y = -1;
        GetDialogLocation(d, x, y);
        EXPECT_EQ(x, place[0]);
        EXPECT_EQ(y, place[1]);
    }
    const int sizes[][2] = {{100, 60}, {101, 61}, {133, 77}, {250, 156}};
    for (auto& size : sizes) {
        SetDialogSize(d, size[0], size[1]);
        GetDialogSize(d, width, height);
        EXPECT_EQ(width, size[0]);
        EXPECT_EQ(height, size[1]);
    }
    CloseDialog(d, 0);
}

// Windows places an owned dialog's client area from its owner's client area, by the position
// the dialog was made with.
TEST(DialogUnits, OwnedDialogsCountFromTheOwnersClientArea) {
    Dialog owner =
        NewDialog(0, " Besitzer", 20, 16, 200, 120, kMainWindowStyle, kWsExControlParent);
    // 12 by 16 units are whole pixels at 96 dpi, so no rounding stands between the two.
    Dialog owned = NewDialog(owner, " Besessen", 12, 16, 80, 40, kDialogStyle, kWsExControlParent);
    int clientX = 0, clientY = 0, outerX = 0, outerY = 0, x = 0, y = 0;
    GetClientLocation(owner, clientX, clientY);
    GetDialogLocation(owner, outerX, outerY);
    GetClientLocation(owned, x, y);
    EXPECT_EQ(x, clientX + 12);
    EXPECT_EQ(y, clientY + 16);
    EXPECT_GT(clientX, outerX) << "inside the frame";
    EXPECT_GT(clientY - outerY, 8) << "below the title bar";
    CloseDialog(owned, 0);
    CloseDialog(owner, 0);
}

TEST(ToolTips, RegisterWithOneSharedWindow) {
    Dialog first = MakeDialog();
    Dialog second = MakeDialog();
    AddControl(first, ControlKind::Button, 1, " Ändern ", 0, 0, 40, 14, 0, 0);
    AddControl(second, ControlKind::Button, 1, " Löschen ", 0, 0, 40, 14, 0, 0);
    std::string longText(300, 'x');
    EXPECT_NE(AddToolTip(first, 1, longText), 0);
    EXPECT_NE(AddToolTip(first, 0, " Dialog "), 0);
    EXPECT_NE(AddToolTip(second, 1, " Löschen "), 0);
    EXPECT_EQ(AddToolTip(second, 77, " fehlt "), 0);

    std::vector<HWND> mine;
    for (HWND tips = nullptr; (tips = FindWindowExA(nullptr, tips, TOOLTIPS_CLASSA, nullptr));) {
        DWORD process = 0;
        GetWindowThreadProcessId(tips, &process);
        if (process == GetCurrentProcessId()) mine.push_back(tips);
    }
    ASSERT_EQ(mine.size(), 1u);
    EXPECT_EQ(SendMessageA(mine[0], TTM_GETTOOLCOUNT, 0, 0), 3);
    CloseDialog(first, 0);
    CloseDialog(second, 0);
}

TEST(Fonts, BoldDialogFontIsTheDialogsFaceAtEightPoints) {
    FontHandle font = CreateBoldDialogFont();
    ASSERT_NE(font, 0u);
    LOGFONTA described{};
    ASSERT_EQ(GetObjectA(reinterpret_cast<HFONT>(font), sizeof described, &described),
              static_cast<int>(sizeof described));
    int dpi = ScreenDpi();
    EXPECT_EQ(described.lfHeight, -(dpi * 8) / 72);
    EXPECT_EQ(described.lfWeight, FW_BOLD);
    EXPECT_EQ(described.lfCharSet, ANSI_CHARSET);
    EXPECT_FALSE(described.lfItalic);

    Dialog d = MakeDialog();
    // "MS Sans Serif" wherever the dialogs are made with it.
    LOGFONTA dialogs = Described(reinterpret_cast<HFONT>(SendToWindow(d, WM_GETFONT, 0, 0)));
    EXPECT_STREQ(described.lfFaceName, dialogs.lfFaceName);
    AddControl(d, ControlKind::Button, 1, " Ändern ", 0, 0, 40, 14, 0, 0);
    SetControlFont(d, 1, font);
    EXPECT_EQ(SendToWindow(ControlWindow(d, 1), WM_GETFONT, 0, 0),
              static_cast<std::intptr_t>(font));
    CloseDialog(d, 0);
    DeleteFont(font);
}

// A gate a job's work waits at, so that nothing here depends on how fast a thread runs.
struct Gate {
    std::shared_ptr<std::promise<void>> promise = std::make_shared<std::promise<void>>();
    std::shared_future<void> opened = promise->get_future().share();
    void Open() { promise->set_value(); }
    void Wait() const { opened.wait_for(std::chrono::seconds(10)); }
};

TEST(Jobs, TheEndComesOnceThroughTheWindowsOwnLoop) {
    Dialog d = MakeDialog();
    std::thread::id worker, receiver;
    std::vector<std::optional<std::string>> heard;
    int result = RunGuarded(d, [&](Dialog dialog, std::uint32_t message, WParam, LParam) {
        if (message == kWmInitDialog) {
            StartJob(
                dialog, 4000,
                [&worker] {
                    worker = std::this_thread::get_id();
                    return std::string("fertig");
                },
                [&, dialog](std::optional<std::string> found) {
                    heard.push_back(found);
                    receiver = std::this_thread::get_id();
                    StartTimer(dialog, 6, 300);  // time for a second end, which must not come
                });
        }
        if (message == kWmTimer) CloseDialog(dialog, 4);
        EXPECT_NE(message, kMsgJobDone) << "the toolkit keeps a job's end to itself";
        return std::intptr_t{0};
    });
    EXPECT_EQ(result, 4);
    EXPECT_EQ(heard, (std::vector<std::optional<std::string>>{"fertig"}));
    EXPECT_EQ(receiver, std::this_thread::get_id());
    EXPECT_NE(worker, std::this_thread::get_id());
}

TEST(Jobs, TheDeadlineComesFirstAndTheLateResultIsThrownAway) {
    Gate gate;
    Dialog d = MakeDialog();
    std::vector<std::optional<std::string>> heard;
    int result = RunGuarded(d, [&](Dialog dialog, std::uint32_t message, WParam, LParam) {
        if (message == kWmInitDialog) {
            StartJob(
                dialog, 100,
                [gate] {
                    gate.Wait();
                    return std::string("zu spät");
                },
                [&, dialog](std::optional<std::string> found) {
                    heard.push_back(found);
                    gate.Open();
                    StartTimer(dialog, 6, 500);
                });
        }
        if (message == kWmTimer) CloseDialog(dialog, 5);
        return std::intptr_t{0};
    });
    EXPECT_EQ(result, 5);
    EXPECT_EQ(heard, (std::vector<std::optional<std::string>>{std::nullopt}));
}

TEST(Jobs, AClosedWindowsJobReachesNoOneAndADroppedJobNeither) {
    Gate gate;
    int heardByFirst = 0, heardDropped = 0;
    Dialog first = MakeDialog(0, " Erster");
    StartJob(
        first, 4000,
        [gate] {
            gate.Wait();
            return std::string("für den ersten");
        },
        [&](auto) { ++heardByFirst; });
    CloseDialog(first, 0);
    // The first one's result comes while the next dialog runs; that one hears only its own.
    Dialog second = MakeDialog(0, " Zweiter");
    std::vector<std::optional<std::string>> heard;
    int result = RunGuarded(second, [&](Dialog dialog, std::uint32_t message, WParam, LParam) {
        if (message == kWmInitDialog) {
            gate.Open();
            Ticket dropped = StartJob(
                dialog, 4000, [] { return std::string("verworfen"); },
                [&](auto) { ++heardDropped; });
            DropJob(dropped);
            StartJob(
                dialog, 4000,
                [gate] {
                    gate.Wait();
                    Sleep(200);  // after the first job's result
                    return std::string("für den zweiten");
                },
                [&, dialog](std::optional<std::string> found) {
                    heard.push_back(found);
                    StartTimer(dialog, 6, 300);
                });
        }
        if (message == kWmTimer) CloseDialog(dialog, 6);
        return std::intptr_t{0};
    });
    EXPECT_EQ(result, 6);
    EXPECT_EQ(heard, (std::vector<std::optional<std::string>>{"für den zweiten"}));
    EXPECT_EQ(heardByFirst, 0);
    EXPECT_EQ(heardDropped, 0);
}

// Works that meet: each waits for the others, so they all end only when they run side by
// side, with "zusammen"; one after the other, each gives up alone.
class Meeting {
  public:
    explicit Meeting(int count) { state_->expected = count; }
    JobWork<std::string> Work() const {
        return [state = state_] {
            std::unique_lock<std::mutex> lock(state->mutex);
            ++state->arrived;
            state->changed.notify_all();
            bool met = state->changed.wait_for(lock, std::chrono::seconds(2),
                                               [&] { return state->arrived >= state->expected; });
            return std::string(met ? "zusammen" : "allein");
        };
    }

  private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        int arrived = 0, expected = 0;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

TEST(Jobs, RunSideBySide) {
    Meeting meeting(2);
    Dialog d = MakeDialog();
    std::vector<std::optional<std::string>> heard;
    int result = RunGuarded(d, [&](Dialog dialog, std::uint32_t message, WParam, LParam) {
        if (message == kWmInitDialog) {
            for (int i = 0; i < 2; ++i)
                StartJob(dialog, 4000, meeting.Work(),
                         [&, dialog](std::optional<std::string> found) {
                             heard.push_back(found);
                             if (heard.size() == 2) CloseDialog(dialog, 2);
                         });
        }
        return std::intptr_t{0};
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(heard, (std::vector<std::optional<std::string>>{"zusammen", "zusammen"}));
}

// Whatever its type, a result crosses from the worker's thread to the window's as it was made.
TEST(Jobs, AResultOfItsOwnTypeArrivesAsMade) {
    struct Finding {
        int code = -1;
        std::string address;
        bool operator==(const Finding&) const = default;
    };
    Dialog d = MakeDialog();
    std::vector<std::optional<Finding>> heard;
    int result = RunGuarded(d, [&](Dialog dialog, std::uint32_t message, WParam, LParam) {
        if (message == kWmInitDialog) {
            StartJob(
                dialog, 4000,
                [] {
                    return Finding{2, "10.0.0.2"};
                },
                [&, dialog](std::optional<Finding> found) {
                    heard.push_back(found);
                    CloseDialog(dialog, 3);
                });
        }
        return std::intptr_t{0};
    });
    EXPECT_EQ(result, 3);
    EXPECT_EQ(heard, (std::vector<std::optional<Finding>>{Finding{2, "10.0.0.2"}}));
    EXPECT_EQ(AwaitJobs<bool>({[] { return false; }, [] { return true; }}, 4000, {}),
              (std::vector<std::optional<bool>>{false, true}));
}

// The program's calls of a function it imports, through its import table: the system refusing a
// window timer cannot be brought about otherwise under Wine. The next `count` calls of
// SetTimer fail, then it works again; the table is put back at the end of the scope.
class RefusedTimers {
  public:
    explicit RefusedTimers(int count) {
        refusals_ = count;
        slot_ = ImportSlot("user32.dll", "SetTimer");
        if (!slot_) return;
        original_ = *slot_;
        Write(reinterpret_cast<ULONG_PTR>(&Refuse));
    }
    ~RefusedTimers() {
        if (slot_) Write(original_);
    }
    bool Installed() const { return slot_ != nullptr; }

  private:
    static UINT_PTR WINAPI Refuse(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
        if (refusals_ > 0) {
            --refusals_;
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        return reinterpret_cast<decltype(&SetTimer)>(original_)(window, id, elapse, procedure);
    }
    static ULONG_PTR* ImportSlot(const char* library, const char* function) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports =
            headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* entry =
                 reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             entry->Name; ++entry) {
            if (lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), library) != 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto* named =
                    reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char*>(named->Name), function) == 0)
                    return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
            }
        }
        return nullptr;
    }
    void Write(ULONG_PTR value) {
        DWORD previous = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &previous);
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, previous, &previous);
    }

    static inline int refusals_ = 0;
    static inline ULONG_PTR original_ = 0;
    ULONG_PTR* slot_ = nullptr;
};

// Without its deadline a job would wait as long as its work: here the full ten seconds of a gate
// that never opens.
TEST(Jobs, AJobWhoseDeadlineCannotBeSetEndsAtOnceAsUnanswered) {
    Gate gate;
    Dialog d = MakeDialog();
    std::vector<std::optional<std::string>> heard;
    bool installed = false, heardInside = true;
    Ticket ticket = 0;
    auto started = std::chrono::steady_clock::now(), ended = started;
    int result = RunGuarded(d, [&](Dialog dialog, std::uint32_t message, WParam wParam, LParam) {
        if (message == kWmInitDialog) PostToWindow(dialog, kAct, 0, 0);
        if (message == kAct) {
            RefusedTimers refused(1);
            installed = refused.Installed();
            started = std::chrono::steady_clock::now();
            ticket = StartJob(
                dialog, 4000,
                [gate] {
                    gate.Wait();
                    return std::string("zu spät");
                },
                [&, dialog](std::optional<std::string> found) {
                    heard.push_back(found);
                    ended = std::chrono::steady_clock::now();
                    StartTimer(dialog, 6, 300);  // time for a second end, which must not come
                });
            heardInside = !heard.empty();
        }
        if (message == kWmTimer && wParam == 6) CloseDialog(dialog, 6);
        return std::intptr_t{0};
    });
    ASSERT_TRUE(installed);
    EXPECT_EQ(result, 6);
    EXPECT_NE(ticket, 0u);
    EXPECT_FALSE(heardInside) << "the end comes from the window's loop, as for every job";
    EXPECT_EQ(heard, (std::vector<std::optional<std::string>>{std::nullopt}));
    EXPECT_LT(ended - started, std::chrono::seconds(1));
}

const char* CursorName(HCURSOR cursor) {
    if (cursor == LoadCursorA(nullptr, IDC_APPSTARTING)) return "busy";
    if (cursor == LoadCursorA(nullptr, IDC_IBEAM)) return "text";
    if (cursor == LoadCursorA(nullptr, IDC_ARROW)) return "arrow";
    return cursor ? "other" : "none";
}

// The mouse, really moved (Wine's SetCursorPos queues the move as the hardware would), over an
// edit and over the window beside it, while a job runs and after it has ended: each WM_SETCURSOR
// must keep the busy cursor as long as the job is in flight.
TEST(Jobs, TheCursorIsBusyOverTheWindowAndItsControlsWhileAJobRuns) {
    constexpr int kEdit = 30;
    constexpr std::uintptr_t kStep = 7;
    Gate gate;
    Dialog d = MakeDialog();
    AddControl(d, ControlKind::Edit, kEdit, "", 4, 4, 60, 12, 0, 0);
    std::vector<std::string> seen;
    int heard = 0, step = 0;
    auto moveTo = [&](bool overEdit, int aside) {
        RECT edit{};
        GetWindowRect(H(ControlWindow(d, kEdit)), &edit);
        if (overEdit)
            SetCursorPos((edit.left + edit.right) / 2 + aside, (edit.top + edit.bottom) / 2);
        else
            SetCursorPos(edit.right + 10 + aside, edit.bottom + 10);
    };
    int result = RunGuarded(d, [&](Dialog dialog, std::uint32_t message, WParam wParam, LParam) {
        if (message == kWmInitDialog) PostToWindow(dialog, kAct, 0, 0);
        if (message == kAct) {
            moveTo(true, 0);
            StartTimer(dialog, kStep, 200);
        }
        if (message != kWmTimer || wParam != kStep) return std::intptr_t{0};
        if (step == 4 && heard == 0) return std::intptr_t{0};  // the worker has yet to run
        seen.push_back(CursorName(GetCursor()));
        switch (step++) {
            case 0:  // over the edit, nothing in flight
                StartJob(
                    dialog, 4000,
                    [gate] {
                        gate.Wait();
                        return std::string("fertig");
                    },
                    [&](auto) { ++heard; });
                seen.push_back(CursorName(GetCursor()));  // at once, before the mouse moves
                moveTo(true, 3);
                break;
            case 1:
                moveTo(false, 0);
                break;
            case 2:
                moveTo(true, 0);
                break;
            case 3:
                gate.Open();
                break;
            case 4:  // the job has ended: the edit's own cursor, with no move needed
                moveTo(false, 3);
                break;
            default:
                CloseDialog(dialog, 5);
        }
        return std::intptr_t{0};
    });
    EXPECT_EQ(result, 5);
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"text", "busy", "busy", "busy", "busy", "text", "arrow"}));
}

TEST(Jobs, AwaitingRunsSideBySideUntilSettledOrTheDeadline) {
    struct Case {
        const char* what;
        std::vector<std::string> works;  // "meet" and "stuck" as above, else the work's result
        unsigned deadline;
        bool settleOnFirst;
        std::vector<std::optional<std::string>> results;
        bool waitsForDeadline;
    };
    const Case cases[] = {
        {"side by side",
         {"meet", "meet", "meet"},
         4000,
         false,
         {"zusammen", "zusammen", "zusammen"},
         false},
        {"every work ended", {"a", "b"}, 4000, false, {"a", "b"}, false},
        {"settled by the first result",
         {"stuck", "1", "stuck"},
         4000,
         true,
         {std::nullopt, "1", std::nullopt},
         false},
        {"the deadline", {"stuck", "1"}, 300, false, {std::nullopt, "1"}, true},
    };
    Gate gate;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Meeting meeting(3);
        std::vector<JobWork<std::string>> works;
        for (const std::string& work : c.works) {
            if (work == "meet")
                works.push_back(meeting.Work());
            else if (work == "stuck")
                works.push_back([gate] {
                    gate.Wait();
                    return std::string("spät");
                });
            else
                works.push_back([work] { return work; });
        }
        auto settled = [&c](const std::vector<std::optional<std::string>>& sofar) {
            for (const auto& result : sofar)
                if (result && c.settleOnFirst) return true;
            return false;
        };
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(AwaitJobs(works, c.deadline, settled), c.results);
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_LT(took, std::chrono::milliseconds(2500));
        if (c.waitsForDeadline) {
            EXPECT_GE(took, std::chrono::milliseconds(c.deadline - 20));
        }
    }
    gate.Open();
}

}  // namespace

// The dialogs of these tests live on a desktop of their own, apart from any other program.
int main(int argc, char** argv) {
    if (HDESK desktop =
            CreateDesktopA("orvano-toolkit-tests", nullptr, nullptr, 0, GENERIC_ALL, nullptr))
        SetThreadDesktop(desktop);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
