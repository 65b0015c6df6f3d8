// A question asked in place: the pressed button gives way to a label of the same text and a
// " Ja " / " Nein " pair, and the section's other buttons rest until it is answered.
#pragma once

#include "ui/toolkit.h"

namespace orvano::dialogs {

struct ConfirmationRow {
    int button;
    int label;
    int yes;
    int no;
    int resting[3];  // buttons disabled while asking; 0 ends the list early
    int field;       // an edit made writable while asking; 0 for none
};

// Switches the row on (asking) or off; the focus goes to the row's label either way.
void SwitchRow(ui::Dialog dialog, const ConfirmationRow& row, bool asking);
// Whether the row is asking now.
bool RowAsking(ui::Dialog dialog, const ConfirmationRow& row);

}  // namespace orvano::dialogs
