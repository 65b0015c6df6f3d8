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

}  // namespace orvano::ui
