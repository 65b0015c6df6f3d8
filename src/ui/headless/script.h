// Test control of the headless toolkit. Dialogs are records, messages run through a real
// queue, and time is a virtual clock that only the test moves. A test drives a modal run by a
// script: each time the innermost RunModal finds its queue empty (after WM_ENTERIDLE to the
// owner), it takes the next step and runs it. Message boxes, the folder browser and the popup
// menu are answered from queues the test fills, and every one shown is recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/toolkit.h"

namespace orvano::ui::headless {

// Forgets every window, timer, answer, record and step, and sets the clock to 0.
void Reset();

// The monitors' work areas in dialog units, for NearestWorkArea; none (the default) means the
// placement of a window is never corrected.
void SetWorkAreas(std::vector<UnitRect> areas);

// --- Script --------------------------------------------------------------------------------

using Step = std::function<void()>;
// Appends steps. When a modal loop runs out of steps while its dialog is still open, that is a
// problem (see Problems); the dialog is then closed as by its close box, so no test hangs.
void AddSteps(std::vector<Step> steps);
void AddStep(Step step);
std::size_t StepsLeft();
// What went wrong outside the test's assertions: ran out of steps, unanswered message box,
// a click on a missing, hidden or disabled control, ...
const std::vector<std::string>& Problems();

// --- Actions (from a step, or directly before or after a run) -------------------------------

// A user click: BN_CLICKED (STN_CLICKED for labels) to the dialog. Check boxes and radio
// buttons change their check first, as the automatic styles do. Refused (a problem) when the
// control or the dialog is disabled or hidden, or when the dialog is not the active one.
void Click(Dialog dialog, int id);
// STN_DBLCLK from a label (reported only with SS_NOTIFY).
void DoubleClick(Dialog dialog, int id);
// WM_COMMAND with any notification code, as a control would send it.
void Notify(Dialog dialog, int id, std::uint32_t code);
// Replaces an edit's text as typing does (refused when read-only) and sends EN_CHANGE.
void Type(Dialog dialog, int id, const std::string& text);
// Selects a list item (LB_SETCURSEL) and sends LBN_SELCHANGE.
void SelectListItem(Dialog dialog, int id, int index);
// The title bar's close box: WM_SYSCOMMAND SC_CLOSE.
void PressCloseBox(Dialog dialog);
// The user minimises or restores the window: WM_SYSCOMMAND, then WM_SIZE.
void Minimize(Dialog dialog);
void Restore(Dialog dialog);
// The user moves or resizes the window (dialog units): WM_EXITSIZEMOVE follows.
void MoveTo(Dialog dialog, int x, int y, int width, int height);
// Activation changes: WM_NCACTIVATE with wParam 1 or 0.
void Activate(Dialog dialog, bool active);
// Moves the clock, firing each due timer in time order (WM_TIMER to its window) and running
// what the timers post.
void AdvanceClock(unsigned milliseconds);
std::uint64_t Now();
// Background jobs started and not yet settled, dropped or gone with their window. A job's work
// runs when it starts; its end is due after the time the in-memory name service took (at once
// when it took none) and reaches the window like any posted message, or its deadline comes
// first. AdvanceClock moves through job ends and timers in time order.
std::size_t JobsPending();

// --- Answers ------------------------------------------------------------------------------

void AnswerMessageBox(int answer);
// A folder, or nullopt for Cancel.
void AnswerFolderBrowser(std::optional<std::string> folder);
// The id of the chosen item, or 0 when the menu is dismissed.
void AnswerPopupMenu(int id);

struct MessageBoxRecord {
    Window owner;
    std::string text;
    std::string caption;
    std::uint32_t flags;
    int answer;
    std::uint64_t at = 0;  // the clock when it showed
};
const std::vector<MessageBoxRecord>& MessageBoxes();

struct FolderBrowserRecord {
    Window owner;
    std::string title;
    std::string startFolder;
    std::string statusForStart;  // what the status line showed for the start folder
};
const std::vector<FolderBrowserRecord>& FolderBrowsers();

struct PopupMenuRecord {
    Window owner;
    std::vector<MenuItem> items;
    int x, y;
};
const std::vector<PopupMenuRecord>& PopupMenus();

// --- State --------------------------------------------------------------------------------

struct ControlState {
    int id = 0;
    ControlKind kind = ControlKind::Label;
    std::string className;
    std::string text;
    std::uint32_t style = 0, exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    bool enabled = true, visible = true, readOnly = false;
    int check = 0;
    std::int32_t textColor = kDefaultColor, backColor = kDefaultColor;
    std::vector<std::string> items;
    int selected = -1;
    int limit = 0;  // EM_LIMITTEXT, 0 for none
    int marginLeft = 0, marginRight = 0;
    FontHandle font = 0;
    std::string toolTip;
    int redraws = 0;
};

struct Delivered {
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
};

struct DialogState {
    Window owner = 0;
    std::string title;
    std::uint32_t style = 0, exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;  // screen position and outer size, dialog units
    bool alive = true, running = false, enabled = true, visible = false, minimized = false;
    std::string icon;
    std::string toolTip;  // tooltip of the dialog itself (id 0)
    int result = 0;
    std::vector<Delivered> received;  // every message the callback got, in order
};

// The newest live dialog with exactly this title, 0 when none.
Dialog FindDialog(const std::string& title);
// The innermost running dialog, 0 when none runs.
Dialog ActiveDialog();
// null when the dialog or control does not exist.
const DialogState* DialogOf(Dialog dialog);
const ControlState* ControlOf(Dialog dialog, int id);
// The id of the focused control of the dialog, 0 when none.
int FocusedId(Dialog dialog);
// The cursor last set with SetBusyCursor: whether it is the busy one.
bool BusyCursorShown();
// Whether the cursor over the window (a dialog or one of its controls) is the busy one: while
// the dialog has background jobs in flight, as the toolkit shows it.
bool BusyCursorOver(Window window);

// --- Other programs' windows ----------------------------------------------------------------

// A top-level window of another program, found by FindWindowByTitle.
Window AddForeignWindow(const std::string& title, bool minimized = false);
void RemoveForeignWindow(Window window);
struct ForeignWindowState {
    std::string title;
    bool alive = true, minimized = false, foreground = false;
    std::vector<Delivered> received;  // messages sent or posted to it
};
const ForeignWindowState* ForeignOf(Window window);

struct ShellRecord {
    Window owner;
    std::string operation, file, parameters, directory;
    int showCommand;
};
const std::vector<ShellRecord>& ShellExecutes();
// What ShellExecute returns (default 42: started); a hook may create windows, as the program
// started would.
void SetShellExecuteResult(std::intptr_t result, std::function<void(const ShellRecord&)> hook = {});

}  // namespace orvano::ui::headless
