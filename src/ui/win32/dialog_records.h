// What the real toolkit keeps about each dialog it created, keyed by the dialog's window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>

#include "ui/toolkit.h"

namespace orvano::ui::win32 {

inline HWND ToHwnd(Window window) {
    return reinterpret_cast<HWND>(window);
}
inline Window ToWindow(HWND hwnd) {
    return reinterpret_cast<Window>(hwnd);
}

struct ControlColors {
    std::int32_t text = kDefaultColor;
    std::int32_t back = kDefaultColor;
};

struct DialogRecord {
    HWND owner = nullptr;
    DialogCallback callback;  // empty until RunModal attaches it
    int result = 0;
    bool closing = false;
    bool alive = true;                    // false from WM_NCDESTROY on
    std::map<int, ControlColors> colors;  // by control id
};

// The record of a dialog made by NewDialog, null for any other window. Shared, so that a
// record outlives its window for as long as a caller still works with it.
std::shared_ptr<DialogRecord> FindRecord(HWND dialog);

// The control with this id, nullptr when there is none.
inline HWND ControlOf(Dialog dialog, int id) {
    return dialog ? GetDlgItem(ToHwnd(dialog), id) : nullptr;
}

// Repaints the dialog's background behind a control with a transparent background: such a
// control cannot erase what it drew before.
void RepaintBehind(HWND control);

// Background jobs (jobs.cpp): true when the message was a job's end or deadline for this
// window and has been handled; the window's jobs are forgotten when it is destroyed.
bool HandleJobMessage(HWND window, UINT message, WPARAM wParam);
void DropJobsOf(HWND window);
// WM_SETCURSOR over the window or one of its controls: sets the busy cursor and says true while
// the window has a job in flight (the frame's sizing borders aside).
bool ShowBusyCursor(HWND window, LPARAM lParam);

}  // namespace orvano::ui::win32
