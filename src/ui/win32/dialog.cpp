// Dialogs on real windows: built from an in-memory template, run modally with one callback.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/toolkit.h"
#include "ui/win32/dialog_records.h"
#include "ui/win32/screen_font.h"

namespace orvano::ui {

using namespace win32;

namespace {

constexpr WORD kTemplateVersion = 1;
constexpr WORD kExtendedSignature = 0xFFFF;
constexpr WORD kFontWeight = FW_NORMAL;

std::map<HWND, std::shared_ptr<DialogRecord>>& Records() {
    static std::map<HWND, std::shared_ptr<DialogRecord>> records;
    return records;
}

// An extended dialog template (DLGTEMPLATEEX) without menu, class or controls.
class DialogTemplate {
  public:
    DialogTemplate(const std::string& title, int x, int y, int width, int height, DWORD style,
                   DWORD exStyle) {
        Word(kTemplateVersion);
        Word(kExtendedSignature);
        Dword(0);  // help id
        Dword(exStyle);
        Dword(style);
        Word(0);  // controls
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(width));
        Word(static_cast<WORD>(height));
        Word(0);  // no menu
        Word(0);  // the standard dialog class
        Text(title);
        // "MS Sans Serif" 8, or where that measures unlike Windows' a font that fits the
        // layout's dialog units (see ui/dialog_font.h).
        const DialogFont& font = ScreenDialogFont();
        Word(static_cast<WORD>(font.points));
        Word(kFontWeight);
        Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, character set
        Text(font.face);
    }
    // The template must be DWORD-aligned; a vector's storage is.
    LPCDLGTEMPLATEA Data() const { return reinterpret_cast<LPCDLGTEMPLATEA>(words_.data()); }

  private:
    void Word(WORD value) { words_.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    // Texts are ANSI in the program; the template holds them as UTF-16 with a terminating 0.
    void Text(const std::string& text) {
        int length =
            MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            length);
        for (wchar_t c : wide) Word(static_cast<WORD>(c));
        Word(0);
    }

    std::vector<WORD> words_;
};

HBRUSH SolidBrush(COLORREF color) {
    // One brush per colour for the life of the process: a handful of colours, no GDI leak.
    static std::map<COLORREF, HBRUSH> brushes;
    HBRUSH& brush = brushes[color];
    if (!brush) brush = CreateSolidBrush(color);
    return brush;
}

// WM_CTLCOLOR*: the colours recorded for the control. 0 leaves the painting to the system.
INT_PTR PaintColors(const DialogRecord& record, UINT message, HDC dc, HWND control) {
    auto colors = record.colors.find(GetDlgCtrlID(control));
    if (colors == record.colors.end()) return 0;
    const ControlColors& c = colors->second;
    if (c.text < 0 && c.back == kDefaultColor) return 0;
    SetTextColor(dc, c.text >= 0 ? static_cast<COLORREF>(c.text) : GetSysColor(COLOR_WINDOWTEXT));
    if (c.back == kTransparentColor) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
    }
    if (c.back >= 0) {
        SetBkColor(dc, static_cast<COLORREF>(c.back));
        return reinterpret_cast<INT_PTR>(SolidBrush(static_cast<COLORREF>(c.back)));
    }
    bool field = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    int system = field ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(system));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(system));
}

// A dialog procedure returns most results through DWLP_MSGRESULT; these few directly.
INT_PTR Handled(HWND dialog, UINT message, std::intptr_t result) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_INITDIALOG:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return result;
        default:
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
            return TRUE;
    }
}

// The end of a close whose WM_CLOSE the callback has seen.
void FinishClose(HWND hwnd, DialogRecord& record, int result) {
    record.closing = true;
    // Re-enabled before the dialog goes, so that the owner becomes the active window again.
    if (record.owner) EnableWindow(record.owner, TRUE);
    if (!record.alive) return;
    record.result = result;
    DestroyWindow(hwnd);
}

INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages of the creation itself arrive before the record exists; they are not delivered.
    std::shared_ptr<DialogRecord> record = FindRecord(hwnd);
    if (!record) return FALSE;
    // A background job's end or deadline is the toolkit's own business, never the callback's.
    if (HandleJobMessage(hwnd, message, wParam)) return TRUE;
    std::intptr_t result = 0;
    if (record->callback) result = record->callback(ToWindow(hwnd), message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        DropJobsOf(hwnd);
        record->alive = false;
        Records().erase(hwnd);
        return FALSE;
    }
    if (result != 0) return Handled(hwnd, message, result);
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return PaintColors(*record, message, reinterpret_cast<HDC>(wParam),
                               reinterpret_cast<HWND>(lParam));
        case WM_SETCURSOR:
            // Asked for the window and, through their default handling, for its controls.
            return ShowBusyCursor(hwnd, lParam) ? Handled(hwnd, message, TRUE) : FALSE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            CloseDialog(ToWindow(hwnd), 0);
            return TRUE;  // the system's own handling would close the window a second time
        case WM_CLOSE:
            // The system's default would post IDCANCEL. A WM_CLOSE that CloseDialog did not
            // send comes from outside (another program, the session ending): the callback has
            // had it, so the dialog ends here instead of staying open half closed.
            if (!record->closing) FinishClose(hwnd, *record, 0);
            return TRUE;
        case WM_ENDSESSION:
            // The session ends and the process with it once this returns: close now, through
            // the callback's WM_CLOSE, so that its clean-up runs as for any close from outside.
            if (wParam && !record->closing) SendMessageA(hwnd, WM_CLOSE, 0, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

// Pixels per dialog unit of a dialog, as MapDialogRect computes them: base units x/4, y/8.
void BaseUnits(HWND dialog, int& x, int& y) {
    RECT units{0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    x = units.right > 0 ? units.right : 1;
    y = units.bottom > 0 ? units.bottom : 1;
}

// Pixels to dialog units, rounded to the nearest: a unit is at least one pixel wide, so
// units -> pixels -> units gives back the same number.
int ToUnits(int pixels, int base, int unitsPerBase) {
    return MulDiv(pixels, unitsPerBase, base);
}
int ToPixels(int units, int base, int unitsPerBase) {
    return MulDiv(units, base, unitsPerBase);
}

}  // namespace

namespace win32 {

std::shared_ptr<DialogRecord> FindRecord(HWND dialog) {
    auto found = Records().find(dialog);
    return found == Records().end() ? nullptr : found->second;
}

void RepaintBehind(HWND control) {
    HWND dialog = GetParent(control);
    std::shared_ptr<DialogRecord> record = FindRecord(dialog);
    if (!record) return;
    auto colors = record->colors.find(GetDlgCtrlID(control));
    if (colors == record->colors.end() || colors->second.back != kTransparentColor) return;
    RECT area;
    GetWindowRect(control, &area);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(dialog, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace win32

Dialog NewDialog(Window owner, const std::string& title, int x, int y, int width, int height,
                 std::uint32_t style, std::uint32_t exStyle) {
    DialogTemplate dialogTemplate(title, x, y, width, height, ResolveDialogStyle(style), exStyle);
    HWND hwnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate.Data(),
                                           ToHwnd(owner), DialogProcedure, 0);
    if (!hwnd) return 0;
    auto record = std::make_shared<DialogRecord>();
    record->owner = ToHwnd(owner);
    Records()[hwnd] = record;
    return ToWindow(hwnd);
}

void SetControlColor(Dialog dialog, int id, std::int32_t textColor, std::int32_t backColor) {
    std::shared_ptr<DialogRecord> record = FindRecord(ToHwnd(dialog));
    if (!record || !ControlOf(dialog, id)) return;
    record->colors[id] = {textColor, backColor};
}

void SetDialogIcon(Dialog dialog, const std::string& resourceName) {
    struct Icons {
        HICON big = nullptr, small = nullptr;
    };
    // Loaded once per resource and kept: every dialog shows the same icon.
    static std::map<std::string, Icons> loaded;
    auto known = loaded.find(resourceName);
    if (known == loaded.end()) {
        HINSTANCE module = GetModuleHandleA(nullptr);
        Icons icons;
        icons.big = static_cast<HICON>(
            LoadImageA(module, resourceName.c_str(), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
        icons.small = static_cast<HICON>(
            LoadImageA(module, resourceName.c_str(), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        known = loaded.emplace(resourceName, icons).first;
    }
    HWND hwnd = ToHwnd(dialog);
    if (known->second.big)
        SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(known->second.big));
    if (known->second.small)
        SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(known->second.small));
}

void GetDialogLocation(Dialog dialog, int& x, int& y) {
    x = y = 0;
    HWND hwnd = ToHwnd(dialog);
    RECT frame;
    if (!FindRecord(hwnd) || !GetWindowRect(hwnd, &frame)) return;
    int baseX, baseY;
    BaseUnits(hwnd, baseX, baseY);
    x = ToUnits(frame.left, baseX, 4);
    y = ToUnits(frame.top, baseY, 8);
}

void GetClientLocation(Dialog dialog, int& x, int& y) {
    x = y = 0;
    HWND hwnd = ToHwnd(dialog);
    POINT origin{0, 0};
    if (!FindRecord(hwnd) || !ClientToScreen(hwnd, &origin)) return;
    int baseX, baseY;
    BaseUnits(hwnd, baseX, baseY);
    x = ToUnits(origin.x, baseX, 4);
    y = ToUnits(origin.y, baseY, 8);
}

void SetDialogLocation(Dialog dialog, int x, int y) {
    HWND hwnd = ToHwnd(dialog);
    if (!FindRecord(hwnd)) return;
    int baseX, baseY;
    BaseUnits(hwnd, baseX, baseY);
    SetWindowPos(hwnd, nullptr, ToPixels(x, baseX, 4), ToPixels(y, baseY, 8), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void GetDialogSize(Dialog dialog, int& width, int& height) {
    width = height = 0;
    HWND hwnd = ToHwnd(dialog);
    RECT frame;
    if (!FindRecord(hwnd) || !GetWindowRect(hwnd, &frame)) return;
    int baseX, baseY;
    BaseUnits(hwnd, baseX, baseY);
    width = ToUnits(frame.right - frame.left, baseX, 4);
    height = ToUnits(frame.bottom - frame.top, baseY, 8);
}

void SetDialogSize(Dialog dialog, int width, int height) {
    HWND hwnd = ToHwnd(dialog);
    if (!FindRecord(hwnd)) return;
    int baseX, baseY;
    BaseUnits(hwnd, baseX, baseY);
    SetWindowPos(hwnd, nullptr, 0, 0, ToPixels(width, baseX, 4), ToPixels(height, baseY, 8),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool NearestWorkArea(Dialog dialog, const UnitRect& rect, UnitRect& area) {
    HWND hwnd = ToHwnd(dialog);
    if (!FindRecord(hwnd)) return false;
    int baseX, baseY;
    BaseUnits(hwnd, baseX, baseY);
    const RECT pixels{ToPixels(rect.x, baseX, 4), ToPixels(rect.y, baseY, 8),
                      ToPixels(rect.x + rect.width, baseX, 4),
                      ToPixels(rect.y + rect.height, baseY, 8)};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromRect(&pixels, MONITOR_DEFAULTTONEAREST), &info)) return false;
    const RECT& work = info.rcWork;
    // Inwards, so that a window fitted into the area never reaches past it by a rounding.
    const int left = ToUnits(work.left, baseX, 4), top = ToUnits(work.top, baseY, 8);
    area = {left, top, (work.right - work.left) * 4 / baseX, (work.bottom - work.top) * 8 / baseY};
    return true;
}

int RunModal(Dialog dialog, DialogCallback callback) {
    HWND hwnd = ToHwnd(dialog);
    std::shared_ptr<DialogRecord> record = FindRecord(hwnd);
    if (!record) return 0;
    record->callback = std::move(callback);

    record->callback(dialog, kWmInitDialog, dialog, 0);
    if (record->alive) {
        RECT client{};
        GetClientRect(hwnd, &client);
        LONG style = GetWindowLongA(hwnd, GWL_STYLE);
        WParam shown = (style & WS_MINIMIZE)   ? kSizeMinimized
                       : (style & WS_MAXIMIZE) ? kSizeMaximized
                                               : kSizeRestored;
        record->callback(dialog, kWmSize, shown, MAKELPARAM(client.right, client.bottom));
    }
    HWND owner = record->owner;
    if (record->alive) {
        if (owner) {
            SendMessageA(owner, WM_CANCELMODE, 0, 0);
            EnableWindow(owner, FALSE);
        }
        ShowWindow(hwnd, SW_SHOW);
    }

    MSG message;
    while (record->alive) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (owner)
                SendMessageA(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(hwnd));
            // A handler may have closed the dialog meanwhile; then nothing would wake the wait.
            if (!record->alive) break;
            // Sleeps until anything arrives (posted, sent, input, timer); polling would wake
            // the thread a thousand times a second.
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        if (!IsDialogMessageA(hwnd, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    // A dialog destroyed without CloseDialog must not leave its owner disabled for good.
    if (owner && IsWindow(owner) && !IsWindowEnabled(owner)) EnableWindow(owner, TRUE);
    return record->result;
}

void CloseDialog(Dialog dialog, int result) {
    HWND hwnd = ToHwnd(dialog);
    std::shared_ptr<DialogRecord> record = FindRecord(hwnd);
    // A CloseDialog from the callback's WM_CLOSE or WM_DESTROY would close it a second time.
    if (!record || record->closing) return;
    record->closing = true;
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    FinishClose(hwnd, *record, result);
}

}  // namespace orvano::ui
