// Checks a dialog's layout from inside the program that shows it: the driver loads this library
// into that program and runs CheckLayout on a thread of its own. Only there can a control's
// text be measured in the control's own font (fonts belong to the process that made them).
//
// Rules, each failure one line naming dialog, control and overflow in pixels:
//   - every control lies inside the dialog's client area;
//   - the text of every label, button, check box, radio button and frame fits its control,
//     measured as the control draws it (hidden controls too: they are shown later);
//   - every edit field, and each field of an address control, shows its whole content: its
//     first and last characters lie inside the field's text area;
//   - no two visible controls overlap, frames and lines aside, unless the pair is allowed.
// The caller names what the layout means: overlapping pairs, and running texts.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "layout_probe.h"

namespace {

struct Control {
    HWND hwnd;
    int id;
    std::wstring className;
    LONG style;
    bool visible;
    RECT rect;  // in the dialog's client coordinates
};

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

bool Is(const Control& control, const wchar_t* className) {
    return lstrcmpiW(control.className.c_str(), className) == 0;
}

// The direct children of a window, in their order.
std::vector<Control> ControlsOf(HWND dialog) {
    std::vector<Control> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        Control control{child,
                        GetDlgCtrlID(child),
                        ClassOf(child),
                        GetWindowLongW(child, GWL_STYLE),
                        (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0,
                        {}};
        GetWindowRect(child, &control.rect);
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&control.rect), 2);
        controls.push_back(control);
    }
    return controls;
}

class Report {
  public:
    Report(HWND dialog) : dialog_(TextOf(dialog)) {}
    void Add(const Control& control, const std::wstring& what) {
        std::wstring text = TextOf(control.hwnd);
        lines_ += L"\"" + dialog_ + L"\": control " + std::to_wstring(control.id) + L" (" +
                  control.className + (text.empty() ? L"" : L" \"" + text + L"\"") + L"): " + what +
                  L"\n";
        ++count_;
    }
    int Count() const { return count_; }
    const std::wstring& Lines() const { return lines_; }

  private:
    std::wstring dialog_, lines_;
    int count_ = 0;
};

std::wstring Px(LONG pixels) {
    return std::to_wstring(pixels) + L" px";
}

void CheckInside(const Control& control, const RECT& client, Report& report) {
    const RECT& r = control.rect;
    std::wstring out;
    if (r.left < client.left) out += L" left by " + Px(client.left - r.left);
    if (r.top < client.top) out += L" top by " + Px(client.top - r.top);
    if (r.right > client.right) out += L" right by " + Px(r.right - client.right);
    if (r.bottom > client.bottom) out += L" bottom by " + Px(r.bottom - client.bottom);
    if (!out.empty()) report.Add(control, L"outside the client area," + out);
}

// A device context with the control's own font selected.
class FontContext {
  public:
    explicit FontContext(HWND control) : dc_(CreateCompatibleDC(nullptr)) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        previous_ = SelectObject(dc_, font);
    }
    ~FontContext() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The room a control gives its text, and how the control draws it (DrawText flags); false
// for controls without text of this kind.
bool TextRoom(const Control& control, RECT& room, UINT& format) {
    RECT client;
    GetClientRect(control.hwnd, &client);
    room = client;
    LONG style = control.style;
    if (Is(control, L"Static")) {
        switch (style & SS_TYPEMASK) {
            case SS_LEFT:
                format = DT_LEFT | DT_WORDBREAK;
                break;
            case SS_CENTER:
                format = DT_CENTER | DT_WORDBREAK;
                break;
            case SS_RIGHT:
                format = DT_RIGHT | DT_WORDBREAK;
                break;
            case SS_SIMPLE:
            case SS_LEFTNOWORDWRAP:
                format = DT_LEFT | DT_SINGLELINE;
                break;
            default:
                return false;  // frames, lines, pictures
        }
        if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE;
        if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
        format |= DT_EXPANDTABS;
        return true;
    }
    if (!Is(control, L"Button")) return false;
    bool multiLine = (style & BS_MULTILINE) != 0;
    format = multiLine ? DT_WORDBREAK : DT_SINGLELINE;
    switch (style & BS_CENTER) {
        case BS_LEFT:
            break;
        case BS_RIGHT:
            format |= DT_RIGHT;
            break;
        case BS_CENTER:
            format |= DT_CENTER;
            break;
        default:  // push buttons centre their text, the others start it beside the box
            LONG type = style & BS_TYPEMASK;
            if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) format |= DT_CENTER;
    }
    switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            // Inside the button's raised edge.
            InflateRect(&room, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
            return true;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: {
            // Beside the box, with the gap the button keeps between box and text.
            int box = GetSystemMetrics(SM_CXMENUCHECK) + 4;
            if (style & BS_LEFTTEXT)
                room.right -= box;
            else
                room.left += box;
            return true;
        }
        case BS_GROUPBOX:
            // The caption sits in the top edge, indented from both corners.
            InflateRect(&room, -7, 0);
            format = (format & DT_CENTER) | DT_SINGLELINE;
            return true;
        default:
            return false;
    }
}

LONG TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{};
    if (!text.empty())
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// One line: the visible characters must lie inside the room where the alignment puts them;
// the blanks around a text may fall outside (a centred " ! " in a narrow label shows whole).
void CheckLine(const Control& control, HDC dc, const std::wstring& text, UINT format, LONG width,
               Report& report) {
    std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return;
    std::size_t last = text.find_last_not_of(L' ');
    LONG lead = TextWidth(dc, text.substr(0, first));
    LONG ink = TextWidth(dc, text.substr(first, last + 1 - first));
    LONG whole = TextWidth(dc, text);
    LONG start = format & DT_CENTER ? (width - whole) / 2 : format & DT_RIGHT ? width - whole : 0;
    LONG left = start + lead, right = left + ink;
    if (left < 0 || right > width)
        report.Add(control, L"the text needs " + Px(ink) + L" in " + Px(width) + L", " +
                                Px(std::max(-left, 0L) + std::max(right - width, 0L)) +
                                L" too wide");
}

void CheckText(const Control& control, const std::set<int>& unmeasured, Report& report) {
    RECT room;
    UINT format = 0;
    if (unmeasured.count(control.id) || !TextRoom(control, room, format)) return;
    std::wstring text = TextOf(control.hwnd);
    if (text.empty()) return;
    FontContext context(control.hwnd);
    LONG width = room.right - room.left, height = room.bottom - room.top;
    TEXTMETRICW metrics{};
    GetTextMetricsW(context.dc(), &metrics);
    // A text that may wrap, in a control with room for more than one line, is measured as
    // drawn: a word longer than a line widens the rectangle, more lines make it taller.
    if (format & DT_SINGLELINE || height < 2 * metrics.tmHeight) {
        CheckLine(control, context.dc(), text, format, width, report);
        return;
    }
    RECT needed{0, 0, width, 0};
    DrawTextW(context.dc(), text.c_str(), -1, &needed, format | DT_CALCRECT);
    LONG wide = needed.right - needed.left, high = needed.bottom - needed.top;
    if (wide > width)
        report.Add(control, L"the text needs " + Px(wide) + L" in " + Px(width) + L", " +
                                Px(wide - width) + L" too wide");
    if (high > height)
        report.Add(control, L"the text needs " + Px(high) + L" of height in " + Px(height) +
                                L" (more lines than room), " + Px(high - height) + L" too high");
}

// The first and the last character of an edit field inside its text rectangle.
void CheckEditContent(const Control& owner, HWND edit, Report& report, const std::wstring& field) {
    std::wstring text = TextOf(edit);
    // A text of several lines ends with its last visible character, not a line end.
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    if (text.empty()) return;
    RECT area{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    LRESULT first = SendMessageW(edit, EM_POSFROMCHAR, 0, 0);
    LRESULT last = SendMessageW(edit, EM_POSFROMCHAR, text.size() - 1, 0);
    if (first == -1 || last == -1) {
        report.Add(owner, field + L"no position for its characters");
        return;
    }
    FontContext context(edit);
    SIZE lastSize{};
    GetTextExtentPoint32W(context.dc(), &text.back(), 1, &lastSize);
    short firstX = static_cast<short>(LOWORD(first));
    short lastRight = static_cast<short>(static_cast<short>(LOWORD(last)) + lastSize.cx);
    std::wstring shown = L"shows \"" + text + L"\" ";
    if (firstX < area.left)
        report.Add(owner, field + shown + L"with its first character " + Px(area.left - firstX) +
                              L" left of the field");
    if (lastRight > area.right)
        report.Add(owner, field + shown + L"with its last character " + Px(lastRight - area.right) +
                              L" right of the field (" + Px(area.right - area.left) + L" wide)");
}

void CheckContent(const Control& control, Report& report) {
    if (Is(control, L"Edit")) {
        CheckEditContent(control, control.hwnd, report, L"");
        return;
    }
    if (!Is(control, L"SysIPAddress32")) return;
    std::vector<Control> fields = ControlsOf(control.hwnd);
    std::sort(fields.begin(), fields.end(),
              [](const Control& a, const Control& b) { return a.rect.left < b.rect.left; });
    for (std::size_t i = 0; i < fields.size(); ++i)
        CheckEditContent(control, fields[i].hwnd, report,
                         L"field " + std::to_wstring(i + 1) + L" ");
}

bool Decoration(const Control& control) {
    if (Is(control, L"Button")) return (control.style & BS_TYPEMASK) == BS_GROUPBOX;
    if (!Is(control, L"Static")) return false;
    LONG type = control.style & SS_TYPEMASK;
    return type >= SS_BLACKRECT && type <= SS_WHITEFRAME
               ? true
               : type >= SS_ETCHEDHORZ && type <= SS_ETCHEDFRAME;
}

// What the layout means: "ID:ID" a pair of controls that overlap, "ID" a control whose text
// is not measured (a running text, longer than its control; a label under another control).
struct Allowed {
    std::set<std::pair<int, int>> pairs;
    std::set<int> unmeasured;
};

Allowed ParseAllowed(const wchar_t* text) {
    Allowed allowed;
    int a = 0, b = 0, consumed = 0;
    while (text && *text) {
        if (swscanf(text, L" %d:%d%n", &a, &b, &consumed) == 2)
            allowed.pairs.insert({std::min(a, b), std::max(a, b)});
        else if (swscanf(text, L" %d%n", &a, &consumed) == 1)
            allowed.unmeasured.insert(a);
        else
            break;
        text += consumed;
    }
    return allowed;
}

void CheckOverlaps(const std::vector<Control>& controls,
                   const std::set<std::pair<int, int>>& allowedPairs, Report& report) {
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const Control &a = controls[i], &b = controls[j];
            if (!a.visible || !b.visible || Decoration(a) || Decoration(b)) continue;
            RECT common;
            if (!IntersectRect(&common, &a.rect, &b.rect)) continue;
            if (allowedPairs.count({std::min(a.id, b.id), std::max(a.id, b.id)})) continue;
            report.Add(a, L"overlaps control " + std::to_wstring(b.id) + L" by " +
                              Px(common.right - common.left) + L" x " +
                              Px(common.bottom - common.top));
        }
    }
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI CheckLayout(void* parameter) {
    const auto* request = static_cast<const LayoutRequest*>(parameter);
    HWND dialog = reinterpret_cast<HWND>(request->dialog);
    if (!IsWindow(dialog)) return kLayoutNoDialog;
    Report report(dialog);
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<Control> controls = ControlsOf(dialog);
    Allowed allowed = ParseAllowed(request->allowed);
    for (const Control& control : controls) {
        CheckInside(control, client, report);
        CheckText(control, allowed.unmeasured, report);
        CheckContent(control, report);
    }
    CheckOverlaps(controls, allowed.pairs, report);

    HANDLE file = CreateFileW(request->reportPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kLayoutNoReport;
    int length =
        WideCharToMultiByte(CP_UTF8, 0, report.Lines().c_str(),
                            static_cast<int>(report.Lines().size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, report.Lines().c_str(), static_cast<int>(report.Lines().size()),
                        utf8.data(), length, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
    return static_cast<DWORD>(report.Count());
}
