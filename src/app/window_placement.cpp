#include "app/window_placement.h"

namespace orvano::app {

namespace {

int Clamped(int position, int size, int start, int length) {
    if (position + size > start + length) position = start + length - size;
    return position < start ? start : position;
}

}  // namespace

ui::UnitRect FitOnWorkArea(const ui::UnitRect& window, int designedWidth, int designedHeight,
                           const ui::UnitRect& area) {
    ui::UnitRect fitted = window;
    if (fitted.width > area.width || fitted.height > area.height) {
        fitted.width = designedWidth;
        fitted.height = designedHeight;
    }
    fitted.x = Clamped(fitted.x, fitted.width, area.x, area.width);
    fitted.y = Clamped(fitted.y, fitted.height, area.y, area.height);
    return fitted;
}

void WindowPlacement::TakeCurrent(ui::Dialog dialog) {
    ui::GetDialogLocation(dialog, placement_.x, placement_.y);
    ui::GetDialogSize(dialog, placement_.w, placement_.h);
}

// A placement stored on a monitor that is gone (a laptop undocked) would open the window where
// nobody can see it, and the program would seem not to start.
void WindowPlacement::KeepOnWorkArea(ui::Dialog dialog) {
    StoredPlacement& r = placement_;
    const ui::UnitRect stored{r.x, r.y, r.w, r.h};
    ui::UnitRect area;
    if (!ui::NearestWorkArea(dialog, stored, area)) return;
    const ui::UnitRect fitted = FitOnWorkArea(stored, designedW_, designedH_, area);
    if (fitted == stored) return;
    if (fitted.width != r.w || fitted.height != r.h)
        ui::SetDialogSize(dialog, fitted.width, fitted.height);
    ui::SetDialogLocation(dialog, fitted.x, fitted.y);
    r.x = fitted.x;
    r.y = fitted.y;
    r.w = fitted.width;
    r.h = fitted.height;
}

void WindowPlacement::Restore(ui::Dialog dialog) {
    placement_ = {};
    ui::GetDialogSize(dialog, designedW_, designedH_);
    const bool found = ReadStoredPlacement(placement_);
    StoredPlacement& r = placement_;
    if (found && (r.x > 0 || r.y > 0 || r.w > 0 || r.h > 0)) {
        ui::SetDialogLocation(dialog, r.x, r.y);
        if (designedW_ < r.w || designedH_ < r.h) {
            // Never smaller than designed in both directions at once; and a width or height
            // of 0 or less from a file edited by hand would leave no window to see.
            if (r.w <= 0) r.w = designedW_;
            if (r.h <= 0) r.h = designedH_;
            ui::SetDialogSize(dialog, r.w, r.h);
        } else {
            r.w = designedW_;
            r.h = designedH_;
        }
        KeepOnWorkArea(dialog);
    }
    // Taken before minimising: a minimised window's own location is the icon's, not the
    // place it returns to.
    if (r.x == 0 || r.y == 0 || r.w == 0 || r.h == 0) TakeCurrent(dialog);
    if (found && r.minm == 1) ui::ShowWindowAs(dialog, ui::kSwMinimize);
}

void WindowPlacement::Track(ui::Dialog dialog, std::uint32_t message, ui::WParam wParam) {
    switch (message) {
        case ui::kWmInitDialog:
            Restore(dialog);
            break;
        case ui::kWmExitSizeMove:
            TakeCurrent(dialog);
            break;
        case ui::kWmSize:
            placement_.minm = static_cast<int>(wParam);
            break;
        case ui::kWmSysCommand:
            // Comes before minimising takes effect, so the restored placement stays recorded.
            if (placement_.minm == 0) TakeCurrent(dialog);
            break;
        case ui::kWmClose:
            WriteStoredPlacement(placement_);
            break;
        default:
            break;
    }
}

}  // namespace orvano::app
