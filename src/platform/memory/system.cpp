#include "platform/system.h"
#include "platform/memory/state.h"

namespace orvano::platform {

bool IsWow64Process() {
    return memory::TheMachine().processKind == memory::ProcessKind::Wow64Process;
}

}  // namespace orvano::platform
