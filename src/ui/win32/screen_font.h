// The dialog font this screen gets, chosen once by measuring the system's fonts.
#pragma once

#include "ui/dialog_font.h"

namespace orvano::ui::win32 {

const DialogFont& ScreenDialogFont();

}  // namespace orvano::ui::win32
