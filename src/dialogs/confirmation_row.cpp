#include "dialogs/confirmation_row.h"

#include "ui/control_table.h"

namespace orvano::dialogs {

void SwitchRow(ui::Dialog dialog, const ConfirmationRow& row, bool asking) {
    if (row.field != 0) ui::SetEditReadOnly(dialog, row.field, !asking);
    ui::ShowControl(dialog, row.label, asking);
    ui::ShowControl(dialog, row.button, !asking);
    ui::ShowControl(dialog, row.yes, asking);
    ui::ShowControl(dialog, row.no, asking);
    for (int id : row.resting)
        if (id != 0) ui::EnableControl(dialog, id, !asking);
    ui::FocusControl(dialog, row.label);
}

bool RowAsking(ui::Dialog dialog, const ConfirmationRow& row) {
    return ui::ControlVisible(dialog, row.label);
}

}  // namespace orvano::dialogs
