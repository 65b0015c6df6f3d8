// Facts about the running process and machine.
#pragma once

namespace orvano::platform {

// IsWow64Process on the current process: true for a 32-bit process on 64-bit Windows.
bool IsWow64Process();

}  // namespace orvano::platform
