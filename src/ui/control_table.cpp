#include "ui/control_table.h"

namespace orvano::ui {

void AddControls(Dialog dialog, const ControlRow* rows, std::size_t count,
                 const std::string& customClass) {
    for (std::size_t i = 0; i < count; ++i) {
        const ControlRow& row = rows[i];
        AddControl(dialog, row.kind, row.id, row.text, row.x, row.y, row.width, row.height,
                   row.style, row.exStyle, row.kind == ControlKind::Custom ? customClass : "");
        if (row.textColor != kDefaultColor || row.backColor != kDefaultColor)
            SetControlColor(dialog, row.id, row.textColor, row.backColor);
    }
}

void SetEditMargins(Dialog dialog, int id, int pixels) {
    SendToWindow(ControlWindow(dialog, id), kEmSetMargins, kEcLeftMargin | kEcRightMargin,
                 (pixels & 0xFFFF) | (pixels & 0xFFFF) << 16);
}

void SetEditReadOnly(Dialog dialog, int id, bool readOnly) {
    SendToWindow(ControlWindow(dialog, id), kEmSetReadOnly, readOnly ? 1 : 0, 0);
}

namespace {
int& ProgramTextDepth() {
    static int depth = 0;
    return depth;
}
}  // namespace

void SetTextByProgram(Dialog dialog, int id, const std::string& text) {
    ++ProgramTextDepth();
    SetControlText(dialog, id, text);
    --ProgramTextDepth();
}

bool TextSetByProgram() {
    return ProgramTextDepth() > 0;
}

void AddToolTips(Dialog dialog, const ToolTipRow* rows, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) AddToolTip(dialog, rows[i].id, rows[i].text);
}

}  // namespace orvano::ui
