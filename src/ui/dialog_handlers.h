// How the program's dialogs answer their messages. Each says what it does when it opens, on
// its reload message and on its commands; RunDialog does the rest as every one of them does:
// the focused control is remembered while the dialog is inactive, only clicks (notification
// 0 or 1) reach the click handler, and the close button ends the dialog with 0.
#pragma once

#include <cstdint>
#include <functional>

#include "ui/toolkit.h"

namespace orvano::ui {

struct DialogHandlers {
    std::function<void(Dialog)> open;  // WM_INITDIALOG
    std::uint32_t reloadMessage = 0;   // a private message that fills the controls again
    std::function<void(Dialog)> reload;
    // Every command first, whatever its notification (an edit's change, an option chosen);
    // true when it is handled and goes no further.
    std::function<bool(Dialog, int id, std::uint32_t code)> command;
    // A click or a menu choice that `command` left.
    std::function<void(Dialog, int id)> click;
    int closeId = 0;  // the button that ends the dialog with 0; 0 for none
};

// The callback the handlers make, for a dialog that must see some messages before them.
DialogCallback HandlersCallback(DialogHandlers handlers);
// RunModal with that callback.
int RunDialog(Dialog dialog, DialogHandlers handlers);

}  // namespace orvano::ui
