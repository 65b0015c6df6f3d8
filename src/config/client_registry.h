// Where the network CAPI client keeps the router's address and port: one key for each under
// HKEY_LOCAL_MACHINE in each registry view. The program's readers, writers, registry scripts
// and dialog labels all take the names from here.
#pragma once

#include <string>

namespace orvano::config::client {

inline constexpr char kAddressKey[] = "SOFTWARE\\AVM\\AVMIGDCTRL";
inline constexpr char kAddressKeyWow[] = "SOFTWARE\\Wow6432Node\\AVM\\AVMIGDCTRL";
inline constexpr char kPortKey[] = "SOFTWARE\\AVM\\CAPIoTCP";
inline constexpr char kPortKeyWow[] = "SOFTWARE\\Wow6432Node\\AVM\\CAPIoTCP";

inline constexpr char kAddressValue[] = "FoundFritzBoxes";  // REG_SZ, dotted IPv4
inline constexpr char kPortValue[] = "Port";                // REG_DWORD

// A key of the client as registry scripts and the dialogs show it:
// "[HKEY_LOCAL_MACHINE\SOFTWARE\AVM\CAPIoTCP]".
inline std::string MachineKeyLine(const char* key) {
    return std::string("[HKEY_LOCAL_MACHINE\\") + key + "]";
}

}  // namespace orvano::config::client
