// The dialog font this screen gets, chosen once by measuring the system's fonts.
#pragma once

#include <windows.h>

#include "ui/dialog_font.h"

namespace orvano::ui::win32 {

const DialogFont& ScreenDialogFont();

// The font controls get instead of their dialog's, kept for the life of the process; null
// where the dialog's own font is the one.
HFONT ScreenTextFont();

}  // namespace orvano::ui::win32
