// A capi2032.dll that is not one of the program's own (the vendor's working client, say) is
// never destroyed: before it is replaced or deleted it is copied beside itself, and the copy
// can be put back. Each different file that had to go is kept: the first copy at a place is
// capi2032.dll.gesichert, later ones capi2032.dll.gesichert2, .gesichert3, ...; the highest
// number is the newest, and the newest goes back first.
#pragma once

#include <string>

#include "platform/files.h"

namespace orvano::deploy {

// The first kept copy's name, beside capi2032.dll; not a .dll, so that nothing loads it.
inline constexpr char kKeptCopyName[] = "capi2032.dll.gesichert";
// More copies than this at one place are not made: the file then stays.
inline constexpr int kMostKeptCopies = 99;

// The name of the kept copy with this number (1: kKeptCopyName, 2: "...gesichert2", ...).
std::string KeptCopyName(int number);

// 1 when the bytes are exactly one of the program's own capi2032.dll payloads.
int IsOwnCapi(const std::string& bytes);

// Before capi2032.dll in `folder` (ending in "\") is replaced or deleted: 1 when it may go (it
// is absent, one of ours, the same bytes are kept already, or it is now kept under the next
// number with its attributes and times; `made` then gets the new copy's path, else ""). 0 when
// it must stay because no copy could be made; `why` says what stood in the way.
int KeepForeignCapi(const std::string& folder, std::string& made, platform::FileFailure& why);

// Removes a copy that KeepForeignCapi has just made, when the file it was made of stays after
// all: a copy is only kept of a file that is gone.
void DropKeptCopy(const std::string& made);

// The full path of the newest copy kept in `folder`, "" when there is none.
std::string KeptCopyIn(const std::string& folder);

// 1 when the newest copy kept in `folder` can go back: there is one, and capi2032.dll is
// absent or one of ours.
int CanRestoreKeptCopy(const std::string& folder);

// Moves the newest kept copy back over capi2032.dll (when CanRestoreKeptCopy), and gives it
// the attributes and times it was kept with; 1 when it is back. Otherwise `why`, when given,
// says what stood in the way (kNone: nothing to put back).
int RestoreKeptCopy(const std::string& folder, platform::FileFailure* why = nullptr);

}  // namespace orvano::deploy
