// What the in-memory Windows tells the headless toolkit, its twin on the host: how long the name
// service would have taken on the toolkit's clock, and whether the busy cursor shows. The
// headless toolkit includes this; tests set the machine up through control.h.
#pragma once

#include <cstdint>

namespace orvano::platform::memory {

// Milliseconds the name service took since the last call.
std::uint64_t TakeLookupTime();
// Whether the busy cursor shows.
bool BusyCursorShown();

}  // namespace orvano::platform::memory
