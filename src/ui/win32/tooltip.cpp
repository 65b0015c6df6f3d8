// The one tooltip window of the process, shared by every dialog, and comctl32's start.
#include <windows.h>

#include <commctrl.h>

#include "ui/toolkit.h"
#include "ui/win32/dialog_records.h"
#include "ui/win32/system_libraries.h"

namespace orvano::ui {

using namespace win32;

namespace {

HWND& SharedToolTipWindow() {
    static HWND window = nullptr;
    return window;
}

}  // namespace

void InitCommonControls() { CommonControlsReady(); }

int AddToolTip(Dialog dialog, int id, const std::string& text) {
    HWND& tips = SharedToolTipWindow();
    if (!tips || !IsWindow(tips)) {
        InitCommonControls();
        tips = CreateWindowExA(0, TOOLTIPS_CLASSA, "", TTS_ALWAYSTIP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        if (!tips) return 0;
    }
    HWND owner = ToHwnd(dialog);
    HWND tool = id == 0 ? owner : ControlOf(dialog, id);
    if (!owner || !tool) return 0;
    std::string tip = ToolTipText(text);
    TOOLINFOA info{};
    // The size comctl32 5 knows as well as 6: the program runs with the classic controls, and
    // version 5 refuses a tool described with the newer, larger structure.
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = tip.data();  // the tooltip keeps a copy
    return static_cast<int>(SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
}

}  // namespace orvano::ui
