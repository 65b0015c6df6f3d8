// Window message numbers, notification codes and flags the program uses, under names of its
// own so that they never meet the macros of windows.h. The values are the Win32 ones.
#pragma once

#include <cstdint>

namespace orvano::ui {

// Messages.
inline constexpr std::uint32_t kWmDestroy = 0x0002;
inline constexpr std::uint32_t kWmSize = 0x0005;
inline constexpr std::uint32_t kWmSetText = 0x000C;
inline constexpr std::uint32_t kWmGetText = 0x000D;
inline constexpr std::uint32_t kWmGetTextLength = 0x000E;
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmCancelMode = 0x001F;
inline constexpr std::uint32_t kWmSetFont = 0x0030;
inline constexpr std::uint32_t kWmSetIcon = 0x0080;
inline constexpr std::uint32_t kWmNcActivate = 0x0086;
inline constexpr std::uint32_t kWmInitDialog = 0x0110;
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmSysCommand = 0x0112;
inline constexpr std::uint32_t kWmTimer = 0x0113;
inline constexpr std::uint32_t kWmEnterIdle = 0x0121;
inline constexpr std::uint32_t kWmExitSizeMove = 0x0232;
inline constexpr std::uint32_t kWmUser = 0x0400;
inline constexpr std::uint32_t kWmApp = 0x8000;
// The toolkit's own: a background job has ended (wParam: its ticket). No callback sees it.
inline constexpr std::uint32_t kMsgJobDone = kWmApp + 0x3F00;

// Edit controls.
inline constexpr std::uint32_t kEmSetSel = 0x00B1;
inline constexpr std::uint32_t kEmLimitText = 0x00C5;
inline constexpr std::uint32_t kEmSetReadOnly = 0x00CF;
inline constexpr std::uint32_t kEmSetMargins = 0x00D3;
inline constexpr std::uint32_t kEcLeftMargin = 0x0001;
inline constexpr std::uint32_t kEcRightMargin = 0x0002;

// Buttons.
inline constexpr std::uint32_t kBmGetCheck = 0x00F0;
inline constexpr std::uint32_t kBmSetCheck = 0x00F1;
inline constexpr std::uint32_t kBmClick = 0x00F5;

// List boxes.
inline constexpr std::uint32_t kLbAddString = 0x0180;
inline constexpr std::uint32_t kLbResetContent = 0x0184;
inline constexpr std::uint32_t kLbSetCurSel = 0x0186;
inline constexpr std::uint32_t kLbGetCurSel = 0x0188;
inline constexpr std::uint32_t kLbGetText = 0x0189;
inline constexpr std::uint32_t kLbGetTextLen = 0x018A;
inline constexpr std::uint32_t kLbGetCount = 0x018B;
inline constexpr std::intptr_t kLbErr = -1;

// Notification codes (high word of WM_COMMAND's wParam).
inline constexpr std::uint32_t kBnClicked = 0;
inline constexpr std::uint32_t kStnClicked = 0;
inline constexpr std::uint32_t kStnDblClk = 1;
inline constexpr std::uint32_t kEnChange = 0x0300;
inline constexpr std::uint32_t kLbnSelChange = 1;
inline constexpr std::uint32_t kLbnDblClk = 2;

// WM_SIZE types, WM_SYSCOMMAND commands, WM_ENTERIDLE source.
inline constexpr std::uintptr_t kSizeRestored = 0;
inline constexpr std::uintptr_t kSizeMinimized = 1;
inline constexpr std::uintptr_t kSizeMaximized = 2;
inline constexpr std::uintptr_t kScMinimize = 0xF020;
inline constexpr std::uintptr_t kScClose = 0xF060;
inline constexpr std::uintptr_t kScRestore = 0xF120;
inline constexpr std::uintptr_t kMsgfDialogBox = 0;

// Check states.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;

// ShowWindow commands.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShow = 5;
inline constexpr int kSwMinimize = 6;
inline constexpr int kSwRestore = 9;

// Message box styles and answers.
inline constexpr std::uint32_t kMbOk = 0x0000;
inline constexpr std::uint32_t kMbYesNo = 0x0004;
inline constexpr std::uint32_t kMbIconExclamation = 0x0030;
inline constexpr std::uint32_t kMbTaskModal = 0x2000;
inline constexpr std::uint32_t kMbSetForeground = 0x10000;
inline constexpr std::uint32_t kMbInfo = kMbOk | kMbTaskModal | kMbSetForeground;         // 0x12000
inline constexpr std::uint32_t kMbQuestion = kMbYesNo | kMbTaskModal | kMbSetForeground;  // 0x12004
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Window and dialog styles.
inline constexpr std::uint32_t kWsExControlParent = 0x00010000;
inline constexpr std::uint32_t kWsExClientEdge = 0x00000200;
inline constexpr std::uint32_t kWsExStaticEdge = 0x00020000;
inline constexpr std::uint32_t kWsBorder = 0x00800000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;
inline constexpr std::uint32_t kDsSysModal = 0x00000002;
inline constexpr std::uint32_t kDsSetFont = 0x00000040;
inline constexpr std::uint32_t kDs3dLook = 0x00000004;
inline constexpr std::uint32_t kDsNoFailCreate = 0x00000010;
inline constexpr std::uint32_t kMainWindowStyle = 0x94CA0AD4;
inline constexpr std::uint32_t kDialogStyle = 0x94C802D4;
inline constexpr std::uint32_t kDefaultDialogStyle = 0x80C000D4;

// WM_COMMAND's wParam from an id and a notification code, and back.
constexpr std::uintptr_t CommandParam(int id, std::uint32_t code) {
    return (static_cast<std::uintptr_t>(code & 0xFFFF) << 16) |
           (static_cast<std::uint32_t>(id) & 0xFFFF);
}
constexpr int CommandId(std::uintptr_t wParam) {
    return static_cast<int>(wParam & 0xFFFF);
}
constexpr std::uint32_t CommandCode(std::uintptr_t wParam) {
    return static_cast<std::uint32_t>((wParam >> 16) & 0xFFFF);
}

}  // namespace orvano::ui
