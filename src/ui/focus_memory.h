// A window that loses activation remembers its focused control and gives it the focus back
// when it is activated again.
#pragma once

#include "ui/toolkit.h"

namespace orvano::ui {

class FocusMemory {
  public:
    // Call with WM_NCACTIVATE's wParam.
    void OnNcActivate(WParam active);

  private:
    Window saved_ = 0;
};

}  // namespace orvano::ui
