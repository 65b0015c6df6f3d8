#include "platform/cursor.h"
#include "platform/memory/state.h"

namespace orvano::platform {

void SetBusyCursor(bool busy) {
    memory::TheMachine().busyCursor = busy;
    memory::TheMachine().cursorChanges.push_back(busy);
}

}  // namespace orvano::platform

namespace orvano::platform::memory {

bool BusyCursorShown() {
    return TheMachine().busyCursor;
}

const std::vector<bool>& CursorChanges() {
    return TheMachine().cursorChanges;
}

}  // namespace orvano::platform::memory
