// The IP address control as a text field.
#include "ui/win32/address_field.h"

#include <commctrl.h>

#include <map>
#include <optional>

namespace orvano::ui::win32 {

namespace {

constexpr char kAddressClass[] = "SysIPAddress32";

bool IsBlank(char c) {
    return c == ' ' || c == '\0';
}

// The address in dotted text, exactly four fields of one to three digits up to 255.
std::optional<DWORD> ParseDotted(const std::string& text) {
    BYTE fields[4] = {};
    int field = 0, digits = 0, value = 0;
    for (char c : text) {
        if (c == '.') {
            if (digits == 0 || field == 3) return std::nullopt;
            fields[field++] = static_cast<BYTE>(value);
            digits = value = 0;
        } else if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
            if (++digits > 3 || value > 255) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || field != 3) return std::nullopt;
    fields[3] = static_cast<BYTE>(value);
    return MAKEIPADDRESS(fields[0], fields[1], fields[2], fields[3]);
}

constexpr char kWidestNumber[] = "255";
constexpr int kSmallestHeight = 6;  // pixels; smaller is not readable

int TextWidth(HFONT font, const char* text) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    SIZE size{};
    GetTextExtentPoint32A(screen, text, lstrlenA(text), &size);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return size.cx;
}

// Fonts made for the fields, one per face and height, kept for the life of the process.
HFONT FieldFont(const LOGFONTA& base, LONG height) {
    static std::map<std::pair<std::string, LONG>, HFONT> fonts;
    HFONT& font = fonts[{base.lfFaceName, height}];
    if (!font) {
        LOGFONTA smaller = base;
        smaller.lfHeight = height;
        smaller.lfWidth = 0;
        font = CreateFontIndirectA(&smaller);
    }
    return font;
}

constexpr char kFieldProperty[] = "OrvanoAddressField";

struct FieldState {
    WNDPROC previous = nullptr;
    bool movedOn = false;  // entered from another field, nothing typed yet
};

LRESULT CALLBACK FieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = static_cast<FieldState*>(GetPropA(field, kFieldProperty));
    if (!state) return DefWindowProcA(field, message, wParam, lParam);
    WNDPROC previous = state->previous;
    switch (message) {
        case WM_SETFOCUS: {
            LRESULT result = CallWindowProcA(previous, field, message, wParam, lParam);
            HWND from = reinterpret_cast<HWND>(wParam);
            state->movedOn = from && from != field && GetParent(from) == GetParent(field);
            if (state->movedOn) SendMessageA(field, EM_SETSEL, 0, -1);
            return result;
        }
        case WM_CHAR:
            if (wParam == '.' && state->movedOn) {
                state->movedOn = false;
                return 0;
            }
            state->movedOn = false;
            break;
        case WM_KILLFOCUS:
        case WM_LBUTTONDOWN:
            state->movedOn = false;
            break;
        case WM_NCDESTROY:
            RemovePropA(field, kFieldProperty);
            SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            delete state;
            break;
        default:
            break;
    }
    return CallWindowProcA(previous, field, message, wParam, lParam);
}

}  // namespace

void FollowTyping(HWND control) {
    for (HWND field = FindWindowExA(control, nullptr, "Edit", nullptr); field;
         field = FindWindowExA(control, field, "Edit", nullptr)) {
        if (GetPropA(field, kFieldProperty)) continue;
        auto* state = new FieldState;
        SetPropA(field, kFieldProperty, state);
        state->previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FieldProcedure)));
    }
}

void FitAddressFields(HWND control) {
    HWND first = FindWindowExA(control, nullptr, "Edit", nullptr);
    if (!first) return;
    RECT area{};
    SendMessageA(first, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    RECT client{};
    GetClientRect(first, &client);
    auto font = reinterpret_cast<HFONT>(SendMessageA(first, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    if (area.right <= area.left || TextWidth(font, kWidestNumber) <= area.right - area.left) return;
    // A new font brings its own margins; the fields get none, so the whole width counts.
    int room = client.right - client.left;
    LOGFONTA base{};
    if (!GetObjectA(font, sizeof base, &base)) return;
    HDC screen = GetDC(nullptr);
    TEXTMETRICA metrics{};
    HGDIOBJ previous = SelectObject(screen, font);
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    // Character heights (negative), from the font's own downwards.
    for (LONG height = -(metrics.tmHeight - metrics.tmInternalLeading) + 1;
         - height >= kSmallestHeight; ++height) {
        HFONT smaller = FieldFont(base, height);
        if (!smaller || TextWidth(smaller, kWidestNumber) > room) continue;
        for (HWND field = first; field; field = FindWindowExA(control, field, "Edit", nullptr)) {
            SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(smaller), TRUE);
            SendMessageA(field, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        }
        return;
    }
}

bool IsAddressField(const std::string& className) {
    return lstrcmpiA(className.c_str(), kAddressClass) == 0;
}

bool IsAddressField(HWND control) {
    char name[64];
    int length = GetClassNameA(control, name, sizeof name);
    return length > 0 && IsAddressField(std::string(name, static_cast<std::size_t>(length)));
}

void SetAddressText(HWND control, const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    std::string trimmed = text.substr(first, last - first);
    if (std::optional<DWORD> address = ParseDotted(trimmed)) {
        SendMessageA(control, IPM_SETADDRESS, 0, static_cast<LPARAM>(*address));
        return;
    }
    SendMessageA(control, IPM_CLEARADDRESS, 0, 0);
    // Windows' own control fills what it can read of a partial address; elsewhere the
    // fields stay blank.
    if (!trimmed.empty())
        SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(trimmed.c_str()));
}

std::string GetAddressText(HWND control) {
    if (SendMessageA(control, IPM_ISBLANK, 0, 0)) return "";
    DWORD address = 0;
    SendMessageA(control, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    return std::to_string(FIRST_IPADDRESS(address)) + '.' +
           std::to_string(SECOND_IPADDRESS(address)) + '.' +
           std::to_string(THIRD_IPADDRESS(address)) + '.' +
           std::to_string(FOURTH_IPADDRESS(address));
}

}  // namespace orvano::ui::win32
