// The dialog toolkit: every window of the program is a dialog built at run time from a
// control table and run modally with one callback. Coordinates are dialog units of the
// dialog font ("MS Sans Serif", 8 points) unless a function says pixels. Two builds exist:
// ui/win32 (real windows) and ui/headless (records and a virtual clock, for tests).
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/messages.h"

namespace orvano::ui {

// A window handle (dialog, control, or another program's window); 0 is none.
using Window = std::uintptr_t;
using Dialog = Window;
using FontHandle = std::uintptr_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;

// Receives every message of its dialog. A non-zero result suppresses the toolkit's own
// handling of the message; the program's callbacks return 0.
using DialogCallback = std::function<std::intptr_t(Dialog, std::uint32_t, WParam, LParam)>;

enum class ControlKind { Custom, Button, CheckBox, Frame, Label, Line, Radio, Edit, ListBox };

// Colours are COLORREF 0x00BBGGRR; these two are special.
inline constexpr std::int32_t kDefaultColor = -1;      // the system's colour for the control
inline constexpr std::int32_t kTransparentColor = -2;  // background only: the dialog shows through
constexpr std::int32_t Rgb(int red, int green, int blue) {
    return red | green << 8 | blue << 16;
}

// How a control of a kind is created: class, the style when 0 is given, bits always set and
// bits always cleared, and whether style 0 trades WS_BORDER for WS_EX_CLIENTEDGE.
struct ControlKindInfo {
    const char* className;
    std::uint32_t defaultStyle;
    std::uint32_t alwaysSet;
    std::uint32_t removed;
    bool clientEdgeByDefault;
};
const ControlKindInfo& KindInfo(ControlKind kind);

// The class, style and extended style a control is created with.
struct ResolvedStyle {
    std::string className;
    std::uint32_t style;
    std::uint32_t exStyle;
};
ResolvedStyle ResolveStyle(ControlKind kind, std::uint32_t style, std::uint32_t exStyle,
                           const std::string& customClass);
// The style a dialog is created with: 0 becomes the default, DS_SETFONT | DS_3DLOOK |
// DS_NOFAILCREATE are added, WS_VISIBLE and DS_SYSMODAL removed.
std::uint32_t ResolveDialogStyle(std::uint32_t style);
// A tooltip text as registered: at most 254 characters.
std::string ToolTipText(const std::string& text);
// Whether the toolkit helps a control of this class beyond creating it. Only Wine's IP address
// control ("SysIPAddress32") needs it: its number fields are too narrow for "255", and typing
// moves on to the next field without selecting its number. Under Wine its fields get a font
// that fits and typing runs on as on Windows; on Windows comctl32's control is left as it is.
bool HelpsAddressField(const std::string& className);

// --- Dialogs and controls ------------------------------------------------------------------

Dialog NewDialog(Window owner, const std::string& title, int x, int y, int width, int height,
                 std::uint32_t style, std::uint32_t exStyle);
// Returns the control's window, 0 when it could not be created. Style 0 selects the default.
Window AddControl(Dialog dialog, ControlKind kind, int id, const std::string& text, int x, int y,
                  int width, int height, std::uint32_t style, std::uint32_t exStyle,
                  const std::string& customClass = "");
void SetControlColor(Dialog dialog, int id, std::int32_t textColor, std::int32_t backColor);
// Loads the icon resource ("#555") at 32 x 32 and 16 x 16 as the big and small icon.
void SetDialogIcon(Dialog dialog, const std::string& resourceName);
void SetControlText(Dialog dialog, int id, const std::string& text);
std::string GetControlText(Dialog dialog, int id);
void EnableControl(Dialog dialog, int id, bool enabled);
bool ControlEnabled(Dialog dialog, int id);
void ShowControl(Dialog dialog, int id, bool shown);
bool ControlVisible(Dialog dialog, int id);
void FocusControl(Dialog dialog, int id);
void RedrawControl(Dialog dialog, int id);
int GetCheck(Dialog dialog, int id);
void SetCheck(Dialog dialog, int id, int state);
// Checks checkedId and clears the other radio buttons firstId..lastId.
void SetOption(Dialog dialog, int firstId, int lastId, int checkedId);
void AddListItem(Dialog dialog, int id, const std::string& text);
// The control's window (GetDlgItem), 0 when there is none.
Window ControlWindow(Dialog dialog, int id);
// The control id of a window (GetDlgCtrlID), 0 for none.
int ControlIdOf(Window control);

// SendMessageA and PostMessageA.
std::intptr_t SendToWindow(Window window, std::uint32_t message, WParam wParam, LParam lParam);
bool PostToWindow(Window window, std::uint32_t message, WParam wParam, LParam lParam);

// Screen position and outer size of a dialog, in dialog units.
void GetDialogLocation(Dialog dialog, int& x, int& y);
// Screen position of the top-left corner of the dialog's client area (below its title bar and
// inside its frame), in dialog units: where the positions of the dialogs it owns count from.
void GetClientLocation(Dialog dialog, int& x, int& y);
void SetDialogLocation(Dialog dialog, int x, int y);
void GetDialogSize(Dialog dialog, int& width, int& height);
void SetDialogSize(Dialog dialog, int width, int height);

// A rectangle in dialog units.
struct UnitRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const UnitRect&) const = default;
};
// The work area (the screen without task bars) of the monitor nearest to `rect`, in the dialog
// units of `dialog` (MonitorFromRect with MONITOR_DEFAULTTONEAREST, GetMonitorInfoA). false when
// it cannot be had.
bool NearestWorkArea(Dialog dialog, const UnitRect& rect, UnitRect& area);

// Runs the dialog until it is destroyed; returns the result given to CloseDialog.
int RunModal(Dialog dialog, DialogCallback callback);
void CloseDialog(Dialog dialog, int result);

// Registers a tooltip for the control (id 0: the dialog itself) with the shared tooltip
// window; returns the platform's result.
int AddToolTip(Dialog dialog, int id, const std::string& text);
// Sets the cursor now: IDC_APPSTARTING when busy, IDC_ARROW otherwise. For work the window's
// thread does itself; a window with background jobs in flight shows the busy cursor anyway.
void SetBusyCursor(bool busy);
// The dialogs' font ("MS Sans Serif" 8 unless they use another) in bold for the screen; give
// it to a control with SetControlFont and delete it when the dialog is gone.
FontHandle CreateBoldDialogFont();
void SetControlFont(Dialog dialog, int id, FontHandle font);
void DeleteFont(FontHandle font);

// --- What the dialogs need beyond their own controls ----------------------------------------

// InitCommonControlsEx with the standard, date and internet classes (comctl32 from the system
// folder); InitCommonControls where the former is missing.
void InitCommonControls();
// SetTimer with no timer procedure: WM_TIMER with the id every `milliseconds`.
bool StartTimer(Window window, std::uintptr_t id, unsigned milliseconds);
void StopTimer(Window window, std::uintptr_t id);
// Waits without handling messages (Sleep).
void Wait(unsigned milliseconds);

// MessageBoxA: kIdOk, kIdYes, kIdNo, ...; owner 0 for none.
int ShowMessageBox(Window owner, const std::string& text, const std::string& caption,
                   std::uint32_t flags);

struct MenuItem {
    int id;
    std::string text;
};
// CreatePopupMenu, AppendMenuA (enabled strings) and TrackPopupMenu with flags 0 at the screen
// point x, y (pixels): the chosen item reaches the owner as WM_COMMAND.
void ShowPopupMenu(Window owner, const std::vector<MenuItem>& items, int x, int y);

// The screen rectangle of a window in pixels (GetWindowRect).
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
PixelRect WindowRect(Window window);

// The folder browser (SHBrowseForFolderA, folders of the file system only): opens at the
// start folder, shows `title` above the tree and statusText(selected path) below it while the
// user moves. true and the chosen path when the user confirms one.
bool ShowFolderBrowser(Window owner, const std::string& title, const std::string& startFolder,
                       const std::function<std::string(const std::string&)>& statusText,
                       std::string& chosen);

// Other top-level windows, by exact title (FindWindowA with no class).
Window FindWindowByTitle(const std::string& title);
bool IsWindowAlive(Window window);
bool BringToForeground(Window window);          // SetForegroundWindow
void ShowWindowAs(Window window, int command);  // ShowWindow
bool IsMinimized(Window window);                // IsIconic
Window FocusedWindow();                         // GetFocus
void SetFocusWindow(Window window);             // SetFocus

// ShellExecuteA with `owner` as the owner of any message the shell shows: a result above 32
// means started.
std::intptr_t ShellExecute(Window owner, const std::string& operation, const std::string& file,
                           const std::string& parameters, const std::string& directory,
                           int showCommand);

// --- Work that may block (the name service), kept off the window's thread -------------------

// A job in flight; 0 is none. Tickets are never reused while the program runs.
using Ticket = std::uint64_t;
// A job's work and what receives its result, of any type that can be copied: the result, or
// nullopt when the deadline came first.
template <class Result>
using JobWork = std::function<Result()>;
template <class Result>
using JobDone = std::function<void(std::optional<Result>)>;

// The jobs without their result types, as ui/win32/jobs.cpp and the headless toolkit run them;
// the program starts them through the typed StartJob and AwaitJobs below.
using AnyWork = JobWork<std::any>;
using AnyDone = JobDone<std::any>;
using AnySettled = std::function<bool(const std::vector<std::optional<std::any>>&)>;
Ticket StartAnyJob(Window window, unsigned deadline, AnyWork work, AnyDone done);
std::vector<std::optional<std::any>> AwaitAnyJobs(const std::vector<AnyWork>& works,
                                                  unsigned deadline, const AnySettled& settled);

// A result back in its own type. A work the headless toolkit could not call ended with
// nothing, which reads as the type's empty value.
template <class Result>
std::optional<Result> TypedResult(const std::optional<std::any>& result) {
    if (!result) return std::nullopt;
    const Result* value = std::any_cast<Result>(&*result);
    return value ? *value : Result{};
}

// A typed work as the core runs it; an empty work stays empty.
template <class Result>
AnyWork Untyped(const JobWork<Result>& work) {
    if (!work) return {};
    return [work]() -> std::any { return work(); };
}

// Runs `work` on a thread of its own. `done` runs once on the window's thread, from its
// message loop: with the result when the work ends within `deadline` ms, with nullopt at the
// deadline otherwise (a later result is thrown away), and with nullopt at once when the
// deadline cannot be set. A job whose window is destroyed, or that was dropped, never calls
// `done`, so no result reaches another window. While a window has jobs in flight, the cursor
// over it and its controls is the busy one (IDC_APPSTARTING: the window still works); its own
// comes back when the last of them has ended or been dropped. 0 when no job was started.
template <class Work, class Done, class Result = std::decay_t<std::invoke_result_t<Work&>>>
Ticket StartJob(Window window, unsigned deadline, Work work, Done done) {
    JobDone<Result> typedDone(std::move(done));
    AnyDone anyDone;
    if (typedDone)
        anyDone = [typedDone = std::move(typedDone)](std::optional<std::any> result) {
            typedDone(TypedResult<Result>(result));
        };
    return StartAnyJob(window, deadline, Untyped(JobWork<Result>(std::move(work))),
                       std::move(anyDone));
}
// Forgets the job; its result, should it still come, is thrown away.
void DropJob(Ticket ticket);
// Before any window exists: runs every work on a thread of its own and waits until `settled`
// accepts the results so far, every work has ended, or `deadline` ms have passed. A work that
// had not ended by then gives nullopt.
template <class Result>
std::vector<std::optional<Result>> AwaitJobs(
    const std::vector<JobWork<Result>>& works, unsigned deadline,
    const std::type_identity_t<std::function<bool(const std::vector<std::optional<Result>>&)>>&
        settled) {
    auto typed = [](const std::vector<std::optional<std::any>>& results) {
        std::vector<std::optional<Result>> typedResults;
        for (const auto& result : results) typedResults.push_back(TypedResult<Result>(result));
        return typedResults;
    };
    std::vector<AnyWork> anyWorks;
    for (const auto& work : works) anyWorks.push_back(Untyped(work));
    AnySettled anySettled;
    if (settled)
        anySettled = [&](const std::vector<std::optional<std::any>>& sofar) {
            return settled(typed(sofar));
        };
    return typed(AwaitAnyJobs(anyWorks, deadline, anySettled));
}

}  // namespace orvano::ui
