// A capi2032.dll that is not one of the program's own (the vendor's working client, say) is
// never destroyed: before it is replaced or deleted it is copied beside itself under a fixed
// name, and the copy can be put back.
#pragma once

#include <string>

namespace orvano::deploy {

// The kept copy's name, beside capi2032.dll; not a .dll, so that nothing loads it.
inline constexpr char kKeptCopyName[] = "capi2032.dll.gesichert";

// 1 when the bytes are exactly one of the program's own capi2032.dll payloads.
int IsOwnCapi(const std::string& bytes);

// Before capi2032.dll in `folder` (ending in "\") is replaced or deleted: 1 when it may go (it
// is absent, one of ours, or now kept with its times), 0 when it must stay (the copy could
// not be written, or a different copy kept earlier is in the way).
int KeepForeignCapi(const std::string& folder);

// The full path of the copy kept in `folder`, "" when there is none.
std::string KeptCopyIn(const std::string& folder);

// 1 when the copy kept in `folder` can go back: there is one, and capi2032.dll is absent or
// one of ours.
int CanRestoreKeptCopy(const std::string& folder);

// Moves the kept copy back over capi2032.dll (when CanRestoreKeptCopy); 1 when it is back.
int RestoreKeptCopy(const std::string& folder);

}  // namespace orvano::deploy
