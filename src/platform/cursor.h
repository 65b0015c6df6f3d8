// The mouse cursor shown while the user interface thread is busy.
#pragma once

namespace orvano::platform {

// SetCursor(LoadCursorA(NULL, IDC_APPSTARTING)) when busy, IDC_ARROW otherwise.
void SetBusyCursor(bool busy);

}  // namespace orvano::platform
