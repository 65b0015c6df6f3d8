// The router found by name, and addresses checked forward and backward through the name
// service. Every call looks up afresh; nothing is cached.
#pragma once

#include <string>

#include "platform/resolver.h"

namespace orvano::config {

// An address as dotted text, "192.168.178.1".
std::string Dotted(const platform::Ipv4& address);
// Dotted's text back: four decimal numbers up to 255; false for any other text.
bool FromDotted(const std::string& text, platform::Ipv4& address);

// Local host names under which the router answers. The second is another name of the
// router the first one names and is tried only when the first does not resolve.
inline constexpr char kRouterHostName1[] = "fritz.box";
inline constexpr char kRouterHostName2[] = "www.fritz.box";
inline constexpr char kRouterHostName3[] = "fritz.nas";

// 1 and the first IPv4 address of the name as dotted text ("192.168.178.1"); 0 and "" when
// the trimmed name is empty, unknown, or resolves to 0.0.0.0.
int ResolveHostAddress(const std::string& name, std::string& dotted);
// What the check of a typed address finds: confirmed when the text has exactly three dots,
// resolves to a non-zero address and that address has a host name in the reverse direction;
// otherwise the reason.
enum class AddressCheck {
    Confirmed,
    NotDotted,   // not exactly three dots: nothing was looked up
    NoAddress,   // the name service gives no address, or 0.0.0.0
    NoHostName,  // the address has no host name in the reverse direction
};
// Both questions at once; it blocks, so the windows ask it off their thread
// (dialogs/name_lookups.h).
AddressCheck CheckAddress(const std::string& address);
// CheckAddress in its two questions to the name service, so that each may be given a deadline
// of its own. The forward one: NotDotted, NoAddress, or Confirmed with the address found as
// dotted text; the reverse one, for that text: Confirmed or NoHostName.
AddressCheck CheckForward(const std::string& address, std::string& dotted);
AddressCheck CheckReverse(const std::string& dotted);

}  // namespace orvano::config
