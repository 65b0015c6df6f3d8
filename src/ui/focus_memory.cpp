#include "ui/focus_memory.h"

namespace orvano::ui {

void FocusMemory::OnNcActivate(WParam active) {
    if (active == 0) {
        saved_ = FocusedWindow();
        return;
    }
    if (saved_ != 0) {
        SetFocusWindow(saved_);
        saved_ = 0;
    }
}

}  // namespace orvano::ui
