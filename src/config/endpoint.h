// Where the network CAPI client finds the router: its IPv4 address and the TCP port of
// its CAPI-over-TCP service, each in the native key and in the Wow6432Node twin. The two
// views are read and written separately and never synchronised.
#pragma once

#include <string>

#include "config/client_registry.h"
#include "config/registry.h"

namespace orvano::config {

enum class RegistryView { Native, Wow6432Node };

inline constexpr int kActionWrite = 1;
inline constexpr int kActionDelete = 4;

inline constexpr char kDefaultPortText[] = "000013a7";  // 5031

// The view's key of the router address and of the port (config/client_registry.h).
const char* RouterAddressKey(RegistryView view);
const char* PortKey(RegistryView view);

// The title of the view's section in the router address and port dialogs, as the test tool
// names it too: " Windows Registry Eintrag " and " Windows Registry Eintrag Wow6432Node ".
const char* SectionTitle(RegistryView view);

// 1 and the address filtered to digits and dots when the stored text has exactly three dots.
// Only a REG_SZ counts, the one type the client reads; `found` tells what was stored.
int ReadRouterAddress(RegistryView view, std::string& address);
int ReadRouterAddress(RegistryView view, std::string& address, ValueRead& found);
// 1 when a Port greater than 0 is stored; the hex text is handed out for 0 too. Only a
// 4-byte REG_DWORD counts; `found` tells what was stored.
int ReadPort(RegistryView view, std::string& hex);
int ReadPort(RegistryView view, std::string& hex, ValueRead& found);
// Action 1 writes the address filtered to digits and dots (not validated here), action 4
// deletes it; other actions do nothing and give 0.
int ChangeRouterAddress(RegistryView view, const std::string& address, int action);
// Action 1 writes the port, or 5031 while no Port value of the right type exists yet (one of
// the wrong type is rewritten as a missing one would be); action 4 deletes it; other actions
// do nothing and give 0.
int ChangePort(RegistryView view, const std::string& hex, int action);
// 1 when a valid router address is stored in either view.
int RouterAddressStored();

}  // namespace orvano::config
