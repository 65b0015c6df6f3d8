// The main window's placement: restored from the settings file when the window opens, followed
// while the user moves, resizes and minimises it, and saved when it closes.
#pragma once

#include <cstdint>

#include "app/settings_file.h"
#include "ui/toolkit.h"

namespace orvano::app {

// Where a window goes so that all of it lies on the work area: moved the least distance, with
// its size when that fits the area, else with its designed size.
ui::UnitRect FitOnWorkArea(const ui::UnitRect& window, int designedWidth, int designedHeight,
                           const ui::UnitRect& area);

class WindowPlacement {
  public:
    // Called with every message of the window before its own handling.
    void Track(ui::Dialog dialog, std::uint32_t message, ui::WParam wParam);

  private:
    void Restore(ui::Dialog dialog);
    void TakeCurrent(ui::Dialog dialog);
    void KeepOnWorkArea(ui::Dialog dialog);

    StoredPlacement placement_;    // as it will be saved
    int designedW_ = 0, designedH_ = 0;
};

}  // namespace orvano::app
