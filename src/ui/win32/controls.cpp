// Controls of a dialog on real windows: creation from the kind table, texts, states, fonts.
#include <windows.h>

#include <string>

#include "ui/toolkit.h"
#include "ui/win32/address_field.h"
#include "ui/win32/dialog_records.h"
#include "ui/win32/screen_font.h"
#include "ui/win32/system_libraries.h"

namespace orvano::ui {

using namespace win32;

Window AddControl(Dialog dialog, ControlKind kind, int id, const std::string& text, int x, int y,
                  int width, int height, std::uint32_t style, std::uint32_t exStyle,
                  const std::string& customClass) {
    HWND hwnd = ToHwnd(dialog);
    std::shared_ptr<DialogRecord> record = FindRecord(hwnd);
    if (!record) return 0;
    // The common-control classes exist only once comctl32 has registered them.
    if (kind == ControlKind::Custom) CommonControlsReady();

    RECT area{x, y, x + width, y + height};
    MapDialogRect(hwnd, &area);
    ResolvedStyle resolved = ResolveStyle(kind, style, exStyle, customClass);
    bool addressField = IsAddressField(resolved.className);
    HWND control = CreateWindowExA(
        resolved.exStyle, resolved.className.c_str(), addressField ? "" : text.c_str(),
        resolved.style, area.left, area.top, area.right - area.left, area.bottom - area.top, hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (!control) return 0;
    HFONT textFont = ScreenTextFont();
    SendMessageA(
        control, WM_SETFONT,
        textFont ? reinterpret_cast<WPARAM>(textFont) : SendMessageA(hwnd, WM_GETFONT, 0, 0),
        FALSE);
    record->colors[id] = ControlColors{};
    if (HelpsAddressField(resolved.className)) {
        FitAddressFields(control);
        FollowTyping(control);
    }
    if (addressField && !text.empty()) SetAddressText(control, text);
    return ToWindow(control);
}

void SetControlText(Dialog dialog, int id, const std::string& text) {
    HWND control = ControlOf(dialog, id);
    if (!control) return;
    if (IsAddressField(control)) {
        SetAddressText(control, text);
        return;
    }
    SetWindowTextA(control, text.c_str());
    RepaintBehind(control);
}

std::string GetControlText(Dialog dialog, int id) {
    HWND control = ControlOf(dialog, id);
    if (!control) return "";
    if (IsAddressField(control)) return GetAddressText(control);
    int length = GetWindowTextLengthA(control);
    if (length <= 0) return "";
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void EnableControl(Dialog dialog, int id, bool enabled) {
    if (HWND control = ControlOf(dialog, id)) EnableWindow(control, enabled);
}

bool ControlEnabled(Dialog dialog, int id) {
    HWND control = ControlOf(dialog, id);
    return control && IsWindowEnabled(control);
}

void ShowControl(Dialog dialog, int id, bool shown) {
    if (HWND control = ControlOf(dialog, id)) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

bool ControlVisible(Dialog dialog, int id) {
    // The control's own state: a control of a dialog not shown yet still counts as shown.
    HWND control = ControlOf(dialog, id);
    return control && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void FocusControl(Dialog dialog, int id) {
    if (HWND control = ControlOf(dialog, id)) SetFocus(control);
}

void RedrawControl(Dialog dialog, int id) {
    HWND control = ControlOf(dialog, id);
    if (!control) return;
    RepaintBehind(control);
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

int GetCheck(Dialog dialog, int id) {
    HWND control = ControlOf(dialog, id);
    return control ? static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0)) : kUnchecked;
}

void SetCheck(Dialog dialog, int id, int state) {
    if (HWND control = ControlOf(dialog, id)) SendMessageA(control, BM_SETCHECK, state, 0);
}

void SetOption(Dialog dialog, int firstId, int lastId, int checkedId) {
    if (dialog) CheckRadioButton(ToHwnd(dialog), firstId, lastId, checkedId);
}

void AddListItem(Dialog dialog, int id, const std::string& text) {
    if (HWND control = ControlOf(dialog, id))
        SendMessageA(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

Window ControlWindow(Dialog dialog, int id) {
    return ToWindow(ControlOf(dialog, id));
}

int ControlIdOf(Window control) {
    return control ? GetDlgCtrlID(ToHwnd(control)) : 0;
}

FontHandle CreateBoldDialogFont() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // The dialogs' face, in bold: "MS Sans Serif" 8 unless that was replaced.
    const DialogFont& dialogFont = ScreenDialogFont();
    LOGFONTA font{};
    font.lfHeight = -(dpi * dialogFont.points) / 72;  // the character height in points
    font.lfWeight = FW_BOLD;
    font.lfCharSet = ANSI_CHARSET;
    lstrcpynA(font.lfFaceName, dialogFont.face.c_str(), LF_FACESIZE);
    return reinterpret_cast<FontHandle>(CreateFontIndirectA(&font));
}

void SetControlFont(Dialog dialog, int id, FontHandle font) {
    HWND control = ControlOf(dialog, id);
    if (!control) return;
    SendMessageA(control, WM_SETFONT, font, 0);
    InvalidateRect(control, nullptr, TRUE);  // a control already shown changes at once
}

void DeleteFont(FontHandle font) {
    if (font) DeleteObject(reinterpret_cast<HGDIOBJ>(font));
}

}  // namespace orvano::ui
