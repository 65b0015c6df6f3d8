// The mouse cursor on Windows.
#include "platform/cursor.h"

#include <windows.h>

namespace orvano::platform {

// SetCursor(LoadCursorA(NULL, IDC_APPSTARTING or IDC_ARROW)).
void SetBusyCursor(bool busy) {
    SetCursor(LoadCursorA(nullptr, busy ? IDC_APPSTARTING : IDC_ARROW));
}

}  // namespace orvano::platform
