// Where capi2032.dll can lie, whether a copy is the CAPI-over-TCP client, and its versions.
#pragma once

#include <string>

#include "ui/toolkit.h"

namespace orvano::deploy {

// The places, in the order every loop visits them.
inline constexpr int kFaxProgramLocation = 1;
inline constexpr int kSysWow64Location = 2;
inline constexpr int kSystem32Location = 3;

inline constexpr int kNoCapi = 0;
inline constexpr int kOtherCapi = 1;
inline constexpr int kCapiOverTcp = 2;

inline constexpr char kCapiFileName[] = "capi2032.dll";
// The client library carries the name of its own registry key.
inline constexpr char kCapiOverTcpMarker[] = "Software\\AVM\\CAPIoTCP";

// 1 when the folder exists; the argument then becomes the cleaned path with one "\".
int CheckFolder(std::string& folder);
int System32Folder(std::string& folder);
int SysWow64Folder(std::string& folder);
// The fax application's program folder, when it is stored and there.
int FaxProgramFolder(std::string& folder);
// The folder of a place; 0 and "" for an unknown place or one that is missing.
int CapiLocationFolder(int location, std::string& folder);
// The kind of the capi2032.dll in the folder; for kinds 1 and 2 the argument gets the file
// name appended.
int CapiKindOf(std::string& folder);
// 1 when the place holds a capi2032.dll of the wanted kind.
int CapiKindAt(int location, int wantedKind);
// The first place holding a capi2032.dll, 0 when none does.
int FirstCapiLocation();
// The first place holding the CAPI-over-TCP client, 0 when none does.
int FirstCapiOverTcpLocation();
// File and product version of the folder's capi2032.dll, as "3.8.1.0".
int CapiFileVersion(const std::string& folder, std::string& fileVersion,
                    std::string& productVersion);
// "file / product", with " CoT" for the CAPI-over-TCP client; 0 and "" when unreadable.
int CapiVersionText(const std::string& folder, std::string& text);
// Shows CapiVersionText in the control; leaves the control alone when there is none.
int ShowCapiVersion(ui::Dialog dialog, int controlId, const std::string& folder);

}  // namespace orvano::deploy
