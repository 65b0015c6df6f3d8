// The headless toolkit: dialogs and controls are records, messages run through a queue of
// their own, and time is a virtual clock. It keeps the order in which Windows delivers
// messages to a dialog's callback wherever the program can tell.
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>

#include "platform/cursor.h"
#include "platform/memory/virtual_clock.h"
#include "platform/text.h"
#include "ui/headless/script.h"
#include "ui/toolkit.h"

namespace orvano::ui {

using namespace headless;

namespace {

constexpr std::uint32_t kSsNotify = 0x0100;
constexpr std::uint32_t kSsTypeMask = 0x001F;
constexpr std::uint32_t kBsTypeMask = 0x000F;
constexpr std::uint32_t kBsAutoCheckBox = 0x0003;
constexpr std::uint32_t kBsAutoRadioButton = 0x0009;
constexpr std::uint32_t kWsGroup = 0x00020000;
constexpr std::uint32_t kWsDisabled = 0x08000000;
constexpr std::uint32_t kLbsSort = 0x0002;
constexpr std::uint32_t kEsReadOnly = 0x0800;
constexpr std::uint32_t kDsCenter = 0x0800;
constexpr std::uint32_t kWsCaption = 0x00C00000;
// A dialog's frame in dialog units, about Windows 7's classic one at 96 dpi: a 3-pixel border
// all round, and a 19-pixel title bar above the client area of a dialog with a caption.
constexpr int kFrameX = 2;
constexpr int kFrameY = 2;
constexpr int kCaptionHeight = 12;
constexpr int kScreenWidth = 683;   // 1024 pixels in dialog units
constexpr int kScreenHeight = 472;  // 768 pixels in dialog units
constexpr unsigned kMinimumTimer = 10;
constexpr int kMaxMessagesPerIdle = 100000;

struct ControlRecord {
    ControlState state;
    Window window = 0;
    Dialog dialog = 0;
};

struct DialogRecord {
    DialogState state;
    DialogCallback callback;
    std::vector<ControlRecord> controls;  // creation order
    int focusedId = 0;
    bool closing = false;
};

struct Posted {
    Window window;
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
};

struct Timer {
    Window window;
    std::uintptr_t id;
    unsigned interval;
    std::uint64_t due;
    std::uint64_t order;
};

// A background job: its work already ran (the in-memory name service tells how long it took),
// and its end or deadline is due on the clock.
struct PendingJob {
    Window window;
    std::uint64_t due;
    std::optional<std::any> result;
    AnyDone done;
    bool posted = false;
};

struct World {
    Window nextHandle = 0x10000;
    std::map<Window, DialogRecord> dialogs;
    std::map<Window, std::pair<Dialog, int>> controlWindows;
    std::map<Window, ForeignWindowState> foreign;
    std::deque<Posted> posted;
    std::vector<Timer> timers;
    std::uint64_t timerOrder = 0;
    std::uint64_t now = 0;
    std::vector<Dialog> running;  // innermost last
    std::deque<Step> steps;
    std::vector<std::string> problems;
    std::deque<int> messageBoxAnswers;
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<int> popupAnswers;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<FolderBrowserRecord> folderBrowsers;
    std::vector<PopupMenuRecord> popupMenus;
    std::vector<ShellRecord> shellExecutes;
    std::vector<UnitRect> workAreas;
    std::intptr_t shellResult = 42;
    std::function<void(const ShellRecord&)> shellHook;
    FontHandle nextFont = 0x50000;
    std::map<Ticket, PendingJob> jobs;
    Ticket nextTicket = 1;
};

World& TheWorld() {
    static World world;
    return world;
}

Window NewHandle() {
    Window handle = TheWorld().nextHandle;
    TheWorld().nextHandle += 4;
    return handle;
}

void Problem(const std::string& text) {
    TheWorld().problems.push_back(text);
}

DialogRecord* FindDialogRecord(Window window) {
    auto it = TheWorld().dialogs.find(window);
    return it == TheWorld().dialogs.end() || !it->second.state.alive ? nullptr : &it->second;
}

ControlRecord* FindControl(Dialog dialog, int id) {
    DialogRecord* record = FindDialogRecord(dialog);
    if (!record) return nullptr;
    for (ControlRecord& control : record->controls)
        if (control.state.id == id) return &control;
    return nullptr;
}

ControlRecord* ControlByWindow(Window window) {
    auto it = TheWorld().controlWindows.find(window);
    if (it == TheWorld().controlWindows.end()) return nullptr;
    return FindControl(it->second.first, it->second.second);
}

// Horizontal and vertical dialog units of "MS Sans Serif" 8 at 96 dpi, in pixels.
int PixelsX(int units) {
    return units * 3 / 2;
}
int PixelsY(int units) {
    return units * 13 / 8;
}

bool IsEditLike(const ControlRecord& control) {
    return control.state.kind == ControlKind::Edit || control.state.kind == ControlKind::Custom;
}

void FinishClose(Dialog dialog, int result);

// Where the client area starts inside a dialog's outer rectangle.
struct ClientOffset {
    int x, y;
};
ClientOffset ClientOffsetOf(std::uint32_t style) {
    const bool caption = (style & kWsCaption) == kWsCaption;
    return {kFrameX, kFrameY + (caption ? kCaptionHeight : 0)};
}

// A job's end or deadline, on the window that started it: done runs once.
void SettleJob(Dialog dialog, Ticket ticket) {
    auto& jobs = TheWorld().jobs;
    auto job = jobs.find(ticket);
    if (job == jobs.end() || job->second.window != dialog || !job->second.posted) return;
    PendingJob settled = std::move(job->second);
    jobs.erase(job);
    if (settled.done) settled.done(std::move(settled.result));
}

// Posts the end of every job due by now, in the order they fall due.
void PostDueJobs() {
    World& w = TheWorld();
    std::vector<std::pair<std::uint64_t, Ticket>> due;
    for (auto& [ticket, job] : w.jobs)
        if (!job.posted && job.due <= w.now) due.emplace_back(job.due, ticket);
    std::sort(due.begin(), due.end());
    for (const auto& [at, ticket] : due) {
        PendingJob& job = w.jobs[ticket];
        job.posted = true;
        w.posted.push_back({job.window, kMsgJobDone, static_cast<WParam>(ticket), 0});
    }
}

// Delivers a message to a dialog's callback (when one is attached), then does the toolkit's
// own handling of it.
std::intptr_t DeliverToDialog(Dialog dialog, std::uint32_t message, WParam wParam, LParam lParam) {
    DialogRecord* record = FindDialogRecord(dialog);
    if (!record) return 0;
    if (message == kMsgJobDone) {
        SettleJob(dialog, static_cast<Ticket>(wParam));
        return 0;
    }
    std::intptr_t result = 0;
    if (record->callback) {
        record->state.received.push_back({message, wParam, lParam});
        DialogCallback callback = record->callback;  // the record may move while it runs
        result = callback(dialog, message, wParam, lParam);
    }
    if (result == 0 && message == kWmSysCommand && (wParam & 0xFFF0) == kScClose)
        CloseDialog(dialog, 0);
    // A WM_CLOSE that CloseDialog did not send comes from outside: the dialog ends, as on Windows.
    if (result == 0 && message == kWmClose) {
        record = FindDialogRecord(dialog);
        if (record && !record->closing) {
            record->closing = true;
            FinishClose(dialog, 0);
        }
    }
    return result;
}

void Command(Dialog dialog, int id, std::uint32_t code) {
    DeliverToDialog(dialog, kWmCommand, CommandParam(id, code),
                    static_cast<LParam>(ControlWindow(dialog, id)));
}

std::intptr_t CopyOut(const std::string& text, WParam size, LParam buffer) {
    if (buffer == 0 || size == 0) return 0;
    std::size_t count = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(reinterpret_cast<char*>(buffer), text.data(), count);
    reinterpret_cast<char*>(buffer)[count] = '\0';
    return static_cast<std::intptr_t>(count);
}

bool LessNoCase(const std::string& a, const std::string& b) {
    return platform::UpperCaseAnsi(a) < platform::UpperCaseAnsi(b);
}

std::intptr_t ControlMessage(ControlRecord& control, std::uint32_t message, WParam wParam,
                             LParam lParam) {
    ControlState& s = control.state;
    switch (message) {
        case kWmSetText:
            s.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            // A single-line edit reports every change of its text, also one made by the program.
            if (s.kind == ControlKind::Edit) Command(control.dialog, s.id, kEnChange);
            return 1;
        case kWmGetText:
            return CopyOut(s.text, wParam, lParam);
        case kWmGetTextLength:
            return static_cast<std::intptr_t>(s.text.size());
        case kWmSetFont:
            s.font = wParam;
            return 0;
        case kEmSetReadOnly:
            s.readOnly = wParam != 0;
            return 1;
        case kEmLimitText:
            s.limit = static_cast<int>(wParam);
            return 0;
        case kEmSetMargins:
            if (wParam & kEcLeftMargin) s.marginLeft = static_cast<int>(lParam & 0xFFFF);
            if (wParam & kEcRightMargin) s.marginRight = static_cast<int>((lParam >> 16) & 0xFFFF);
            return 0;
        case kEmSetSel:
            return 0;
        case kBmGetCheck:
            return s.check;
        case kBmSetCheck:
            s.check = static_cast<int>(wParam);
            return 0;
        case kBmClick:
            headless::Click(control.dialog, s.id);
            return 0;
        case kLbAddString: {
            std::string item = lParam ? reinterpret_cast<const char*>(lParam) : "";
            auto at = s.items.end();
            if (s.style & kLbsSort)
                at = std::upper_bound(s.items.begin(), s.items.end(), item, LessNoCase);
            return s.items.insert(at, item) - s.items.begin();
        }
        case kLbResetContent:
            s.items.clear();
            s.selected = -1;
            return 0;
        case kLbGetCount:
            return static_cast<std::intptr_t>(s.items.size());
        case kLbGetCurSel:
            return s.selected;
        case kLbSetCurSel: {
            auto index = static_cast<std::intptr_t>(wParam);
            if (index < 0 || index >= static_cast<std::intptr_t>(s.items.size())) {
                s.selected = -1;
                return kLbErr;
            }
            s.selected = static_cast<int>(index);
            return index;
        }
        case kLbGetText:
        case kLbGetTextLen: {
            auto index = static_cast<std::size_t>(wParam);
            if (index >= s.items.size()) return kLbErr;
            if (message == kLbGetTextLen) return static_cast<std::intptr_t>(s.items[index].size());
            std::strcpy(reinterpret_cast<char*>(lParam), s.items[index].c_str());
            return static_cast<std::intptr_t>(s.items[index].size());
        }
        default:
            return 0;
    }
}

void Dispatch(const Posted& posted) {
    SendToWindow(posted.window, posted.message, posted.wParam, posted.lParam);
}

// Runs what is posted until the queue is empty.
void DrainPosted() {
    World& w = TheWorld();
    int count = 0;
    while (!w.posted.empty()) {
        Posted next = w.posted.front();
        w.posted.pop_front();
        Dispatch(next);
        if (++count > kMaxMessagesPerIdle) {
            Problem("posted messages never stop coming");
            w.posted.clear();
        }
    }
}

void Activation(Dialog dialog, bool active) {
    if (FindDialogRecord(dialog)) DeliverToDialog(dialog, kWmNcActivate, active ? 1 : 0, 0);
}

bool Usable(DialogRecord* record, const ControlRecord* control, const char* action, int id) {
    std::string where = " " + std::string(action) + " " + std::to_string(id);
    if (!record) return Problem(where + ": no such dialog"), false;
    if (!control) return Problem(record->state.title + where + ": no such control"), false;
    if (!record->state.running || ActiveDialog() != control->dialog)
        return Problem(record->state.title + where + ": the dialog is not the active one"), false;
    if (!record->state.enabled)
        return Problem(record->state.title + where + ": the dialog is disabled"), false;
    if (!control->state.enabled || !control->state.visible)
        return Problem(record->state.title + where + ": the control is disabled or hidden"), false;
    return true;
}

void SetSizeType(Dialog dialog, bool minimized) {
    DialogRecord* record = FindDialogRecord(dialog);
    if (!record) return;
    record->state.minimized = minimized;
    LParam client = PixelsX(record->state.width) | PixelsY(record->state.height) << 16;
    DeliverToDialog(dialog, kWmSize, minimized ? kSizeMinimized : kSizeRestored, client);
}

}  // namespace

// --- The toolkit --------------------------------------------------------------------------

Dialog NewDialog(Window owner, const std::string& title, int x, int y, int width, int height,
                 std::uint32_t style, std::uint32_t exStyle) {
    Dialog dialog = NewHandle();
    DialogRecord record;
    record.state.owner = owner;
    record.state.title = title;
    record.state.style = ResolveDialogStyle(style);
    record.state.exStyle = exStyle;
    record.state.width = width;
    record.state.height = height;
    if (record.state.style & kDsCenter) {
        record.state.x = (kScreenWidth - width) / 2;
        record.state.y = (kScreenHeight - height) / 2;
    } else if (FindDialogRecord(owner)) {
        // As on Windows, an owned dialog's position is that of its client area, counted from
        // its owner's client area.
        int ownerX = 0, ownerY = 0;
        GetClientLocation(owner, ownerX, ownerY);
        const ClientOffset offset = ClientOffsetOf(record.state.style);
        record.state.x = ownerX + x - offset.x;
        record.state.y = ownerY + y - offset.y;
    } else {
        // The program's one window without an owner, the main window, is centred anyway.
        record.state.x = x;
        record.state.y = y;
    }
    TheWorld().dialogs[dialog] = std::move(record);
    return dialog;
}

Window AddControl(Dialog dialog, ControlKind kind, int id, const std::string& text, int x, int y,
                  int width, int height, std::uint32_t style, std::uint32_t exStyle,
                  const std::string& customClass) {
    DialogRecord* record = FindDialogRecord(dialog);
    if (!record) return 0;
    ResolvedStyle resolved = ResolveStyle(kind, style, exStyle, customClass);
    ControlRecord control;
    control.window = NewHandle();
    control.dialog = dialog;
    ControlState& s = control.state;
    s.id = id;
    s.kind = kind;
    s.className = resolved.className;
    s.text = text;
    s.style = resolved.style;
    s.exStyle = resolved.exStyle;
    s.x = x;
    s.y = y;
    s.width = width;
    s.height = height;
    s.enabled = (resolved.style & kWsDisabled) == 0;
    s.visible = (resolved.style & kWsVisible) != 0;
    s.readOnly = kind == ControlKind::Edit && (resolved.style & kEsReadOnly) != 0;
    record->controls.push_back(control);
    TheWorld().controlWindows[control.window] = {dialog, id};
    return control.window;
}

void SetControlColor(Dialog dialog, int id, std::int32_t textColor, std::int32_t backColor) {
    if (ControlRecord* control = FindControl(dialog, id)) {
        control->state.textColor = textColor;
        control->state.backColor = backColor;
    }
}

void SetDialogIcon(Dialog dialog, const std::string& resourceName) {
    if (DialogRecord* record = FindDialogRecord(dialog)) record->state.icon = resourceName;
}

void SetControlText(Dialog dialog, int id, const std::string& text) {
    if (ControlRecord* control = FindControl(dialog, id))
        ControlMessage(*control, kWmSetText, 0, reinterpret_cast<LParam>(text.c_str()));
}

std::string GetControlText(Dialog dialog, int id) {
    ControlRecord* control = FindControl(dialog, id);
    return control ? control->state.text : "";
}

void EnableControl(Dialog dialog, int id, bool enabled) {
    if (ControlRecord* control = FindControl(dialog, id)) control->state.enabled = enabled;
}

bool ControlEnabled(Dialog dialog, int id) {
    ControlRecord* control = FindControl(dialog, id);
    return control && control->state.enabled;
}

void ShowControl(Dialog dialog, int id, bool shown) {
    if (ControlRecord* control = FindControl(dialog, id)) control->state.visible = shown;
}

bool ControlVisible(Dialog dialog, int id) {
    ControlRecord* control = FindControl(dialog, id);
    return control && control->state.visible;
}

void FocusControl(Dialog dialog, int id) {
    if (FindControl(dialog, id)) FindDialogRecord(dialog)->focusedId = id;
}

void RedrawControl(Dialog dialog, int id) {
    if (ControlRecord* control = FindControl(dialog, id)) ++control->state.redraws;
}

int GetCheck(Dialog dialog, int id) {
    ControlRecord* control = FindControl(dialog, id);
    return control ? control->state.check : 0;
}

void SetCheck(Dialog dialog, int id, int state) {
    if (ControlRecord* control = FindControl(dialog, id)) control->state.check = state;
}

void SetOption(Dialog dialog, int firstId, int lastId, int checkedId) {
    for (int id = firstId; id <= lastId; ++id)
        SetCheck(dialog, id, id == checkedId ? kChecked : kUnchecked);
}

void AddListItem(Dialog dialog, int id, const std::string& text) {
    if (ControlRecord* control = FindControl(dialog, id))
        ControlMessage(*control, kLbAddString, 0, reinterpret_cast<LParam>(text.c_str()));
}

Window ControlWindow(Dialog dialog, int id) {
    ControlRecord* control = FindControl(dialog, id);
    return control ? control->window : 0;
}

int ControlIdOf(Window window) {
    ControlRecord* control = ControlByWindow(window);
    return control ? control->state.id : 0;
}

std::intptr_t SendToWindow(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
    World& w = TheWorld();
    if (FindDialogRecord(window)) return DeliverToDialog(window, message, wParam, lParam);
    if (ControlRecord* control = ControlByWindow(window))
        return ControlMessage(*control, message, wParam, lParam);
    auto it = w.foreign.find(window);
    if (it != w.foreign.end() && it->second.alive)
        it->second.received.push_back({message, wParam, lParam});
    return 0;
}

bool PostToWindow(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
    // Windows would put it into the thread's own queue, as a message for no window at all.
    if (window == 0) {
        Problem("message " + std::to_string(message) + " posted to no window");
        return false;
    }
    if (!IsWindowAlive(window)) return false;
    // Another program's window has a queue of its own: the message is there at once, whether
    // or not this program's loop runs again.
    auto foreign = TheWorld().foreign.find(window);
    if (foreign != TheWorld().foreign.end()) {
        foreign->second.received.push_back({message, wParam, lParam});
        return true;
    }
    TheWorld().posted.push_back({window, message, wParam, lParam});
    return true;
}

void GetDialogLocation(Dialog dialog, int& x, int& y) {
    DialogRecord* record = FindDialogRecord(dialog);
    x = record ? record->state.x : 0;
    y = record ? record->state.y : 0;
}

void GetClientLocation(Dialog dialog, int& x, int& y) {
    x = y = 0;
    const DialogRecord* record = FindDialogRecord(dialog);
    if (!record) return;
    const ClientOffset offset = ClientOffsetOf(record->state.style);
    x = record->state.x + offset.x;
    y = record->state.y + offset.y;
}

void SetDialogLocation(Dialog dialog, int x, int y) {
    if (DialogRecord* record = FindDialogRecord(dialog)) {
        record->state.x = x;
        record->state.y = y;
    }
}

void GetDialogSize(Dialog dialog, int& width, int& height) {
    DialogRecord* record = FindDialogRecord(dialog);
    width = record ? record->state.width : 0;
    height = record ? record->state.height : 0;
}

void SetDialogSize(Dialog dialog, int width, int height) {
    if (DialogRecord* record = FindDialogRecord(dialog)) {
        record->state.width = width;
        record->state.height = height;
    }
}

bool NearestWorkArea(Dialog, const UnitRect& rect, UnitRect& area) {
    const std::vector<UnitRect>& areas = TheWorld().workAreas;
    if (areas.empty()) return false;
    // The monitor sharing the most of the rectangle; with none, the closest one.
    auto overlap = [&rect](const UnitRect& a) {
        const long long w = std::min(a.x + a.width, rect.x + rect.width) - std::max(a.x, rect.x);
        const long long h = std::min(a.y + a.height, rect.y + rect.height) - std::max(a.y, rect.y);
        return w > 0 && h > 0 ? w * h : 0;
    };
    auto distance = [&rect](const UnitRect& a) {
        const long long dx = std::max({0, a.x - (rect.x + rect.width), rect.x - (a.x + a.width)});
        const long long dy = std::max({0, a.y - (rect.y + rect.height), rect.y - (a.y + a.height)});
        return dx * dx + dy * dy;
    };
    const UnitRect* best = &areas.front();
    for (const UnitRect& a : areas) {
        if (overlap(a) > overlap(*best) ||
            (overlap(*best) == 0 && overlap(a) == 0 && distance(a) < distance(*best)))
            best = &a;
    }
    area = *best;
    return true;
}

int RunModal(Dialog dialog, DialogCallback callback) {
    World& w = TheWorld();
    DialogRecord* record = FindDialogRecord(dialog);
    if (!record) return 0;
    record->callback = std::move(callback);
    record->state.running = true;

    DeliverToDialog(dialog, kWmInitDialog, dialog, 0);
    if (!FindDialogRecord(dialog)) return TheWorld().dialogs[dialog].state.result;
    SetSizeType(dialog, FindDialogRecord(dialog)->state.minimized);

    Window owner = FindDialogRecord(dialog)->state.owner;
    SendToWindow(owner, kWmCancelMode, 0, 0);
    if (DialogRecord* parent = FindDialogRecord(owner)) parent->state.enabled = false;
    if (DialogRecord* self = FindDialogRecord(dialog)) self->state.visible = true;
    w.running.push_back(dialog);
    Activation(owner, false);
    Activation(dialog, true);

    int handled = 0;
    while (FindDialogRecord(dialog)) {
        if (!w.posted.empty()) {
            Posted next = w.posted.front();
            w.posted.pop_front();
            Dispatch(next);
            if (++handled > kMaxMessagesPerIdle) {
                Problem(w.dialogs[dialog].state.title + ": posted messages never stop coming");
                w.posted.clear();
            }
            continue;
        }
        handled = 0;
        if (owner) SendToWindow(owner, kWmEnterIdle, kMsgfDialogBox, static_cast<LParam>(dialog));
        if (!FindDialogRecord(dialog)) break;
        if (w.steps.empty()) {
            Problem(w.dialogs[dialog].state.title +
                    ": the script ran out of steps while it was open");
            CloseDialog(dialog, 0);
            break;
        }
        Step step = std::move(w.steps.front());
        w.steps.pop_front();
        step();
    }
    w.running.erase(std::remove(w.running.begin(), w.running.end(), dialog), w.running.end());
    Activation(owner, true);
    return w.dialogs[dialog].state.result;
}

void CloseDialog(Dialog dialog, int result) {
    DialogRecord* record = FindDialogRecord(dialog);
    if (!record || record->closing) return;
    record->closing = true;
    DeliverToDialog(dialog, kWmClose, 0, 0);
    FinishClose(dialog, result);
}

namespace {
// The end of a close whose WM_CLOSE the callback has seen.
void FinishClose(Dialog dialog, int result) {
    DialogRecord* record = FindDialogRecord(dialog);
    if (!record) return;
    if (DialogRecord* parent = FindDialogRecord(record->state.owner)) parent->state.enabled = true;
    record->state.result = result;
    DeliverToDialog(dialog, kWmDestroy, 0, 0);
    record = &TheWorld().dialogs[dialog];
    record->state.alive = false;
    record->state.running = false;
    record->state.visible = false;
    auto& timers = TheWorld().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.window == dialog; }),
                 timers.end());
    // Its jobs go with the window: a result that comes later reaches no one.
    std::erase_if(TheWorld().jobs, [&](const auto& job) { return job.second.window == dialog; });
    for (const ControlRecord& control : record->controls)
        TheWorld().controlWindows.erase(control.window);
}
}  // namespace

int AddToolTip(Dialog dialog, int id, const std::string& text) {
    if (id == 0) {
        DialogRecord* record = FindDialogRecord(dialog);
        if (!record) return 0;
        record->state.toolTip = ToolTipText(text);
        return 1;
    }
    ControlRecord* control = FindControl(dialog, id);
    if (!control) return 0;
    control->state.toolTip = ToolTipText(text);
    return 1;
}

void SetBusyCursor(bool busy) {
    platform::SetBusyCursor(busy);
}

FontHandle CreateBoldDialogFont() {
    FontHandle font = TheWorld().nextFont;
    TheWorld().nextFont += 4;
    return font;
}

void SetControlFont(Dialog dialog, int id, FontHandle font) {
    if (ControlRecord* control = FindControl(dialog, id))
        ControlMessage(*control, kWmSetFont, font, 0);
}

void DeleteFont(FontHandle) {}

void InitCommonControls() {}

bool StartTimer(Window window, std::uintptr_t id, unsigned milliseconds) {
    if (!IsWindowAlive(window)) return false;
    World& w = TheWorld();
    unsigned interval = std::max(milliseconds, kMinimumTimer);
    for (Timer& timer : w.timers) {
        if (timer.window == window && timer.id == id) {
            timer.interval = interval;
            timer.due = w.now + interval;
            return true;
        }
    }
    w.timers.push_back({window, id, interval, w.now + interval, w.timerOrder++});
    return true;
}

void StopTimer(Window window, std::uintptr_t id) {
    auto& timers = TheWorld().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.window == window && t.id == id; }),
                 timers.end());
}

void Wait(unsigned milliseconds) {
    TheWorld().now += milliseconds;
}

int ShowMessageBox(Window owner, const std::string& text, const std::string& caption,
                   std::uint32_t flags) {
    World& w = TheWorld();
    int answer = (flags & 0xF) == kMbYesNo ? kIdNo : kIdOk;
    if (w.messageBoxAnswers.empty()) {
        Problem("unanswered message box \"" + caption + "\": " + text);
    } else {
        answer = w.messageBoxAnswers.front();
        w.messageBoxAnswers.pop_front();
    }
    w.messageBoxes.push_back({owner, text, caption, flags, answer, w.now});
    return answer;
}

void ShowPopupMenu(Window owner, const std::vector<MenuItem>& items, int x, int y) {
    World& w = TheWorld();
    w.popupMenus.push_back({owner, items, x, y});
    int chosen = 0;
    if (w.popupAnswers.empty()) {
        Problem("unanswered popup menu");
    } else {
        chosen = w.popupAnswers.front();
        w.popupAnswers.pop_front();
    }
    if (chosen != 0) PostToWindow(owner, kWmCommand, CommandParam(chosen, 0), 0);
}

PixelRect WindowRect(Window window) {
    if (DialogRecord* record = FindDialogRecord(window)) {
        const DialogState& s = record->state;
        return {PixelsX(s.x), PixelsY(s.y), PixelsX(s.x + s.width), PixelsY(s.y + s.height)};
    }
    if (ControlRecord* control = ControlByWindow(window)) {
        const DialogState& d = FindDialogRecord(control->dialog)->state;
        const ControlState& s = control->state;
        return {PixelsX(d.x + s.x), PixelsY(d.y + s.y), PixelsX(d.x + s.x + s.width),
                PixelsY(d.y + s.y + s.height)};
    }
    return {};
}

bool ShowFolderBrowser(Window owner, const std::string& title, const std::string& startFolder,
                       const std::function<std::string(const std::string&)>& statusText,
                       std::string& chosen) {
    World& w = TheWorld();
    std::string status = statusText && !startFolder.empty() ? statusText(startFolder) : "";
    w.folderBrowsers.push_back({owner, title, startFolder, status});
    std::optional<std::string> answer;
    if (w.folderAnswers.empty()) {
        Problem("unanswered folder browser");
    } else {
        answer = w.folderAnswers.front();
        w.folderAnswers.pop_front();
    }
    if (!answer) return false;
    chosen = *answer;
    return true;
}

Window FindWindowByTitle(const std::string& title) {
    if (Dialog dialog = FindDialog(title)) return dialog;
    for (auto& [window, state] : TheWorld().foreign)
        if (state.alive && state.title == title) return window;
    return 0;
}

bool IsWindowAlive(Window window) {
    World& w = TheWorld();
    if (FindDialogRecord(window) || ControlByWindow(window)) return true;
    auto it = w.foreign.find(window);
    return it != w.foreign.end() && it->second.alive;
}

bool BringToForeground(Window window) {
    auto& foreign = TheWorld().foreign;
    auto it = foreign.find(window);
    if (it == foreign.end() || !it->second.alive) return FindDialogRecord(window) != nullptr;
    for (auto& [handle, state] : foreign) state.foreground = handle == window;
    return true;
}

void ShowWindowAs(Window window, int command) {
    auto& foreign = TheWorld().foreign;
    auto it = foreign.find(window);
    if (it != foreign.end() && it->second.alive) {
        if (command == kSwMinimize) it->second.minimized = true;
        if (command == kSwRestore || command == kSwShowNormal) it->second.minimized = false;
        return;
    }
    DialogRecord* record = FindDialogRecord(window);
    if (!record) return;
    if (command == kSwMinimize)
        SetSizeType(window, true);
    else if (command == kSwRestore || command == kSwShowNormal)
        SetSizeType(window, false);
    else if (command == kSwHide)
        record->state.visible = false;
    else if (command == kSwShow)
        record->state.visible = true;
}

bool IsMinimized(Window window) {
    if (DialogRecord* record = FindDialogRecord(window)) return record->state.minimized;
    auto& foreign = TheWorld().foreign;
    auto it = foreign.find(window);
    return it != foreign.end() && it->second.alive && it->second.minimized;
}

Window FocusedWindow() {
    Dialog active = ActiveDialog();
    DialogRecord* record = FindDialogRecord(active);
    return record ? ControlWindow(active, record->focusedId) : 0;
}

void SetFocusWindow(Window window) {
    if (ControlRecord* control = ControlByWindow(window))
        FindDialogRecord(control->dialog)->focusedId = control->state.id;
}

std::intptr_t ShellExecute(Window owner, const std::string& operation, const std::string& file,
                           const std::string& parameters, const std::string& directory,
                           int showCommand) {
    World& w = TheWorld();
    w.shellExecutes.push_back({owner, operation, file, parameters, directory, showCommand});
    if (w.shellHook) w.shellHook(w.shellExecutes.back());
    return w.shellResult;
}

Ticket StartAnyJob(Window window, unsigned deadline, AnyWork work, AnyDone done) {
    World& w = TheWorld();
    if (!work || !FindDialogRecord(window)) return 0;
    // The work runs now; the in-memory name service says how long it would have taken.
    platform::memory::TakeLookupTime();
    std::any result = work();
    const std::uint64_t took = platform::memory::TakeLookupTime();
    const Ticket ticket = w.nextTicket++;
    PendingJob job{window, w.now + std::min<std::uint64_t>(took, deadline), std::nullopt,
                   std::move(done)};
    if (took <= deadline) job.result = std::move(result);
    w.jobs.emplace(ticket, std::move(job));
    PostDueJobs();
    return ticket;
}

void DropJob(Ticket ticket) {
    TheWorld().jobs.erase(ticket);
}

std::vector<std::optional<std::any>> AwaitAnyJobs(const std::vector<AnyWork>& works,
                                                  unsigned deadline, const AnySettled& settled) {
    // Each work runs now; the results come in the order of the time each took.
    std::vector<std::any> values;
    std::vector<std::pair<std::uint64_t, std::size_t>> ends;
    for (std::size_t i = 0; i < works.size(); ++i) {
        platform::memory::TakeLookupTime();
        values.push_back(works[i] ? works[i]() : std::any());
        ends.emplace_back(platform::memory::TakeLookupTime(), i);
    }
    std::stable_sort(ends.begin(), ends.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::optional<std::any>> results(works.size());
    std::uint64_t waited = 0;
    bool all = true;
    for (const auto& [took, i] : ends) {
        if (took > deadline) {
            all = false;
            break;
        }
        results[i] = values[i];
        waited = took;
        if (settled && settled(results)) break;
    }
    TheWorld().now += all ? waited : deadline;
    return results;
}

}  // namespace orvano::ui

// --- Test control ----------------------------------------------------------------------------

namespace orvano::ui::headless {

void Reset() {
    TheWorld() = World{};
}

void SetWorkAreas(std::vector<UnitRect> areas) {
    TheWorld().workAreas = std::move(areas);
}

void AddSteps(std::vector<Step> steps) {
    for (Step& step : steps) TheWorld().steps.push_back(std::move(step));
}

void AddStep(Step step) {
    TheWorld().steps.push_back(std::move(step));
}

std::size_t StepsLeft() {
    return TheWorld().steps.size();
}

const std::vector<std::string>& Problems() {
    return TheWorld().problems;
}

void Click(Dialog dialog, int id) {
    DialogRecord* record = FindDialogRecord(dialog);
    ControlRecord* control = FindControl(dialog, id);
    if (!Usable(record, control, "click", id)) return;
    ControlState& s = control->state;
    if (s.kind == ControlKind::Label || s.kind == ControlKind::Line) {
        if ((s.style & kSsNotify) == 0)
            return Problem(record->state.title + ": label " + std::to_string(id) +
                           " reports no clicks");
        Command(dialog, id, kStnClicked);
        return;
    }
    if (s.className == "BUTTON") {
        std::uint32_t type = s.style & kBsTypeMask;
        if (type == kBsAutoCheckBox) s.check = s.check == kChecked ? kUnchecked : kChecked;
        if (type == kBsAutoRadioButton) {
            // The automatic radio button clears the others of its group: the controls from the
            // last one with WS_GROUP up to the next one with it, whatever lies between.
            auto& controls = record->controls;
            auto self = std::find_if(controls.begin(), controls.end(),
                                     [&](auto& c) { return c.state.id == id; });
            auto first = self;
            while (first != controls.begin() && !(first->state.style & kWsGroup)) --first;
            for (auto it = first; it != controls.end(); ++it) {
                if (it != first && (it->state.style & kWsGroup)) break;
                if (it->state.className == "BUTTON" &&
                    (it->state.style & kBsTypeMask) == kBsAutoRadioButton)
                    it->state.check = kUnchecked;
            }
            s.check = kChecked;
        }
    }
    record->focusedId = id;
    Command(dialog, id, kBnClicked);
}

void DoubleClick(Dialog dialog, int id) {
    DialogRecord* record = FindDialogRecord(dialog);
    ControlRecord* control = FindControl(dialog, id);
    if (!Usable(record, control, "double-click", id)) return;
    if ((control->state.style & kSsNotify) == 0 || control->state.className != "STATIC")
        return Problem(record->state.title + ": control " + std::to_string(id) +
                       " reports no double-clicks");
    Command(dialog, id, kStnClicked);
    if (FindControl(dialog, id)) Command(dialog, id, kStnDblClk);
}

void Notify(Dialog dialog, int id, std::uint32_t code) {
    if (!FindControl(dialog, id))
        return Problem("notify " + std::to_string(id) + ": no such control");
    Command(dialog, id, code);
}

void Type(Dialog dialog, int id, const std::string& text) {
    DialogRecord* record = FindDialogRecord(dialog);
    ControlRecord* control = FindControl(dialog, id);
    if (!Usable(record, control, "type into", id)) return;
    if (!IsEditLike(*control) || control->state.readOnly)
        return Problem(record->state.title + ": control " + std::to_string(id) +
                       " takes no typing");
    std::string typed = control->state.limit > 0 ? text.substr(0, control->state.limit) : text;
    record->focusedId = id;
    control->state.text = typed;
    Command(dialog, id, kEnChange);
}

void SelectListItem(Dialog dialog, int id, int index) {
    DialogRecord* record = FindDialogRecord(dialog);
    ControlRecord* control = FindControl(dialog, id);
    if (!Usable(record, control, "select in", id)) return;
    ControlMessage(*control, kLbSetCurSel, static_cast<WParam>(index), 0);
    record->focusedId = id;
    Command(dialog, id, kLbnSelChange);
}

void PressCloseBox(Dialog dialog) {
    if (!FindDialogRecord(dialog)) return Problem("close box of a dialog that is gone");
    DeliverToDialog(dialog, kWmSysCommand, kScClose, 0);
}

void Minimize(Dialog dialog) {
    DeliverToDialog(dialog, kWmSysCommand, kScMinimize, 0);
    SetSizeType(dialog, true);
}

void Restore(Dialog dialog) {
    DeliverToDialog(dialog, kWmSysCommand, kScRestore, 0);
    SetSizeType(dialog, false);
}

void MoveTo(Dialog dialog, int x, int y, int width, int height) {
    SetDialogLocation(dialog, x, y);
    SetDialogSize(dialog, width, height);
    DeliverToDialog(dialog, kWmExitSizeMove, 0, 0);
}

void Activate(Dialog dialog, bool active) {
    Activation(dialog, active);
}

void AdvanceClock(unsigned milliseconds) {
    World& w = TheWorld();
    const std::uint64_t target = w.now + milliseconds;
    while (true) {
        auto next =
            std::min_element(w.timers.begin(), w.timers.end(), [](const Timer& a, const Timer& b) {
                return a.due != b.due ? a.due < b.due : a.order < b.order;
            });
        // A job that ends before the next timer ends first.
        std::uint64_t jobDue = target + 1;
        for (const auto& [ticket, job] : w.jobs)
            if (!job.posted) jobDue = std::min(jobDue, job.due);
        if (jobDue <= target && (next == w.timers.end() || jobDue < next->due)) {
            w.now = std::max(w.now, jobDue);
            PostDueJobs();
            DrainPosted();
            continue;
        }
        if (next == w.timers.end() || next->due > target) break;
        // An overdue timer fires once, not once for every period it missed.
        w.now = std::max(w.now, next->due);
        next->due = w.now + next->interval;
        Window window = next->window;
        std::uintptr_t id = next->id;
        SendToWindow(window, kWmTimer, id, 0);
        DrainPosted();
    }
    w.now = target;
}

std::uint64_t Now() {
    return TheWorld().now;
}

std::size_t JobsPending() {
    return TheWorld().jobs.size();
}

void AnswerMessageBox(int answer) {
    TheWorld().messageBoxAnswers.push_back(answer);
}
void AnswerFolderBrowser(std::optional<std::string> folder) {
    TheWorld().folderAnswers.push_back(std::move(folder));
}
void AnswerPopupMenu(int id) {
    TheWorld().popupAnswers.push_back(id);
}

const std::vector<MessageBoxRecord>& MessageBoxes() {
    return TheWorld().messageBoxes;
}
const std::vector<FolderBrowserRecord>& FolderBrowsers() {
    return TheWorld().folderBrowsers;
}
const std::vector<PopupMenuRecord>& PopupMenus() {
    return TheWorld().popupMenus;
}

Dialog FindDialog(const std::string& title) {
    Dialog found = 0;
    for (auto& [handle, record] : TheWorld().dialogs)
        if (record.state.alive && record.state.title == title) found = handle;
    return found;
}

Dialog ActiveDialog() {
    return TheWorld().running.empty() ? 0 : TheWorld().running.back();
}

const DialogState* DialogOf(Dialog dialog) {
    auto it = TheWorld().dialogs.find(dialog);
    return it == TheWorld().dialogs.end() ? nullptr : &it->second.state;
}

const ControlState* ControlOf(Dialog dialog, int id) {
    auto it = TheWorld().dialogs.find(dialog);
    if (it == TheWorld().dialogs.end()) return nullptr;
    for (const ControlRecord& control : it->second.controls)
        if (control.state.id == id) return &control.state;
    return nullptr;
}

int FocusedId(Dialog dialog) {
    auto it = TheWorld().dialogs.find(dialog);
    return it == TheWorld().dialogs.end() ? 0 : it->second.focusedId;
}

bool BusyCursorShown() {
    return platform::memory::BusyCursorShown();
}

bool BusyCursorOver(Window window) {
    Dialog dialog = window;
    if (ControlRecord* control = ControlByWindow(window)) dialog = control->dialog;
    if (!FindDialogRecord(dialog)) return false;
    for (const auto& [ticket, job] : TheWorld().jobs)
        if (job.window == dialog) return true;
    return false;
}

Window AddForeignWindow(const std::string& title, bool minimized) {
    Window window = NewHandle();
    ForeignWindowState state;
    state.title = title;
    state.minimized = minimized;
    TheWorld().foreign[window] = state;
    return window;
}

void RemoveForeignWindow(Window window) {
    auto it = TheWorld().foreign.find(window);
    if (it != TheWorld().foreign.end()) it->second.alive = false;
}

const ForeignWindowState* ForeignOf(Window window) {
    auto it = TheWorld().foreign.find(window);
    return it == TheWorld().foreign.end() ? nullptr : &it->second;
}

const std::vector<ShellRecord>& ShellExecutes() {
    return TheWorld().shellExecutes;
}

void SetShellExecuteResult(std::intptr_t result, std::function<void(const ShellRecord&)> hook) {
    TheWorld().shellResult = result;
    TheWorld().shellHook = std::move(hook);
}

}  // namespace orvano::ui::headless
