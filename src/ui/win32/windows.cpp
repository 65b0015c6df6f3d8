// What dialogs need beyond their own controls: messages, timers, message boxes, the popup
// menu and other programs' windows.
#include <windows.h>

#include "platform/cursor.h"
#include "ui/toolkit.h"
#include "ui/win32/dialog_records.h"

namespace orvano::ui {

using namespace win32;

std::intptr_t SendToWindow(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
    return SendMessageA(ToHwnd(window), message, wParam, lParam);
}

bool PostToWindow(Window window, std::uint32_t message, WParam wParam, LParam lParam) {
    return PostMessageA(ToHwnd(window), message, wParam, lParam) != FALSE;
}

void SetBusyCursor(bool busy) {
    platform::SetBusyCursor(busy);
}

bool StartTimer(Window window, std::uintptr_t id, unsigned milliseconds) {
    return SetTimer(ToHwnd(window), id, milliseconds, nullptr) != 0;
}

void StopTimer(Window window, std::uintptr_t id) {
    KillTimer(ToHwnd(window), id);
}

void Wait(unsigned milliseconds) {
    Sleep(milliseconds);
}

int ShowMessageBox(Window owner, const std::string& text, const std::string& caption,
                   std::uint32_t flags) {
    return MessageBoxA(ToHwnd(owner), text.c_str(), caption.c_str(), flags);
}

void ShowPopupMenu(Window owner, const std::vector<MenuItem>& items, int x, int y) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    for (const MenuItem& item : items)
        AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(item.id), item.text.c_str());
    TrackPopupMenu(menu, 0, x, y, 0, ToHwnd(owner), nullptr);
    DestroyMenu(menu);
}

PixelRect WindowRect(Window window) {
    RECT frame;
    if (!GetWindowRect(ToHwnd(window), &frame)) return {};
    return {frame.left, frame.top, frame.right, frame.bottom};
}

Window FindWindowByTitle(const std::string& title) {
    return ToWindow(FindWindowA(nullptr, title.c_str()));
}

bool IsWindowAlive(Window window) {
    return window && IsWindow(ToHwnd(window));
}

bool BringToForeground(Window window) {
    return SetForegroundWindow(ToHwnd(window)) != FALSE;
}

void ShowWindowAs(Window window, int command) {
    ShowWindow(ToHwnd(window), command);
}

bool IsMinimized(Window window) {
    return IsIconic(ToHwnd(window)) != FALSE;
}

Window FocusedWindow() {
    return ToWindow(GetFocus());
}

void SetFocusWindow(Window window) {
    SetFocus(ToHwnd(window));
}

}  // namespace orvano::ui
