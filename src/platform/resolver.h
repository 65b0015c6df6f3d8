// The name service as reached through Winsock (WSOCK32.DLL).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvano::platform {

// An IPv4 address, first byte first (network order).
using Ipv4 = std::array<std::uint8_t, 4>;

// WSAStartup: 0 on success, a Winsock error otherwise; version gets the version granted
// (low byte major, high byte minor).
int WsaStartup(std::uint16_t requested, std::uint16_t& version);
// WSACleanup: 0 on success.
int WsaCleanup();
// gethostbyname: true when a result came back; addresses gets its h_addr_list in order.
bool GetHostByName(const std::string& name, std::vector<Ipv4>& addresses);
// gethostbyaddr with AF_INET and a 4-byte address: true when a result came back;
// name gets its official host name (h_name).
bool GetHostByAddr(const Ipv4& address, std::string& name);

// What a lookup with a deadline came to.
enum class LookupResult { Found, NotFound, NoAnswer };
// gethostbyname on a thread of its own, which starts and ends Winsock itself, waited for at
// most `milliseconds`: Found with addresses as GetHostByName gives them, NotFound when no
// result came back, NoAnswer when the deadline passed first (the lookup then ends on its own,
// unheeded). A dotted address is no question to the name server and comes back at once.
LookupResult GetHostByNameWithin(const std::string& name, std::vector<Ipv4>& addresses,
                                 std::uint32_t milliseconds);

}  // namespace orvano::platform
