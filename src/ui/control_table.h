// A dialog's controls as a table: one row a control, added in the table's order (which is
// also the tab order).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/toolkit.h"

namespace orvano::ui {

// Styles and colours the program's dialogs share.
inline constexpr std::uint32_t kCentredLabel = 0x50000001;  // visible child, text centred
inline constexpr std::uint32_t kRightLabel = 0x50000002;    // visible child, text to the right
inline constexpr std::uint32_t kFlatButton = 0x50018F00;    // flat push button, tab stop
inline constexpr std::int32_t kRed = Rgb(255, 0, 0);
inline constexpr std::int32_t kNavy = Rgb(0, 0, 128);
inline constexpr std::int32_t kWhite = Rgb(255, 255, 255);
inline constexpr std::int32_t kTitleBlue = Rgb(64, 128, 192);

// A text with the one blank on each side that the program's labels carry.
inline std::string Blanked(const std::string& text) {
    std::string blanked(1, ' ');
    blanked += text;
    blanked += ' ';
    return blanked;
}

struct ControlRow {
    int id;
    ControlKind kind;
    std::string text;
    int x, y, width, height;
    std::uint32_t style = 0, exStyle = 0;  // 0: the kind's default style
    std::int32_t textColor = kDefaultColor;
    std::int32_t backColor = kDefaultColor;
};

// Adds the controls in order and gives each the colours of its row; a row with both colours
// left at kDefaultColor is not coloured. customClass is the class of the ControlKind::Custom
// rows.
void AddControls(Dialog dialog, const ControlRow* rows, std::size_t count,
                 const std::string& customClass = "");

template <std::size_t N>
void AddControls(Dialog dialog, const ControlRow (&rows)[N], const std::string& customClass = "") {
    AddControls(dialog, rows, N, customClass);
}

// Inner left and right margins of an edit field, in pixels (EM_SETMARGINS).
void SetEditMargins(Dialog dialog, int id, int pixels);
// Whether the user can type into the edit field (EM_SETREADONLY).
void SetEditReadOnly(Dialog dialog, int id, bool readOnly);

// Puts text into a control on the program's behalf. An edit reports that change as it
// reports typing; TextSetByProgram() is true while it does, so a dialog counts only the user's.
void SetTextByProgram(Dialog dialog, int id, const std::string& text);
bool TextSetByProgram();

struct ToolTipRow {
    int id;
    std::string text;
};

// Registers the tooltips in the table's order.
void AddToolTips(Dialog dialog, const ToolTipRow* rows, std::size_t count);

template <std::size_t N>
void AddToolTips(Dialog dialog, const ToolTipRow (&rows)[N]) {
    AddToolTips(dialog, rows, N);
}

}  // namespace orvano::ui
