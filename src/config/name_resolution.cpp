#include "config/name_resolution.h"

#include <cstdint>

#include "platform/resolver.h"
#include "sysinfo/text.h"

namespace orvano::config {

namespace p = orvano::platform;

namespace {

constexpr std::uint16_t kWinsockVersion = 0x0202;

// Winsock for the length of one lookup: started in version 2, released before returning.
class WinsockSession {
  public:
    WinsockSession() {
        std::uint16_t granted = 0;
        started_ = p::WsaStartup(kWinsockVersion, granted) == 0;
        usable_ = started_ && (granted & 0xFF) == 2;
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    ~WinsockSession() {
        if (started_) p::WsaCleanup();
    }
    bool Usable() const { return usable_; }

  private:
    bool started_ = false;
    bool usable_ = false;
};

bool IsZero(const p::Ipv4& address) {
    return address == p::Ipv4{0, 0, 0, 0};
}

// The first address of the name, or 0.0.0.0 when there is none.
p::Ipv4 FirstAddress(const std::string& name) {
    WinsockSession winsock;
    std::vector<p::Ipv4> addresses;
    if (!winsock.Usable() || !p::GetHostByName(name, addresses) || addresses.empty()) return {};
    return addresses.front();
}

std::string HostNameOf(const p::Ipv4& address) {
    WinsockSession winsock;
    std::string name;
    if (!winsock.Usable() || !p::GetHostByAddr(address, name)) return "";
    return name;
}

AddressCheck ReverseOf(const p::Ipv4& address) {
    return sysinfo::Trimmed(HostNameOf(address)).empty() ? AddressCheck::NoHostName
                                                         : AddressCheck::Confirmed;
}

}  // namespace

std::string Dotted(const p::Ipv4& address) {
    return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
           std::to_string(address[2]) + "." + std::to_string(address[3]);
}

bool FromDotted(const std::string& text, p::Ipv4& address) {
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && (at >= text.size() || text[at++] != '.')) return false;
        unsigned number = 0;
        std::size_t digits = 0;
        for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4; ++digits)
            number = number * 10 + static_cast<unsigned>(text[at++] - '0');
        if (digits == 0 || digits > 3 || number > 255) return false;
        address[part] = static_cast<std::uint8_t>(number);
    }
    return at == text.size();
}

int ResolveHostAddress(const std::string& name, std::string& dotted) {
    dotted.clear();
    std::string trimmed = sysinfo::Trimmed(name);
    if (trimmed.empty()) return 0;
    p::Ipv4 address = FirstAddress(trimmed);
    if (IsZero(address)) return 0;
    dotted = Dotted(address);
    return 1;
}

AddressCheck CheckForward(const std::string& address, std::string& dotted) {
    dotted.clear();
    if (sysinfo::CountOf(address, '.') != 3) return AddressCheck::NotDotted;
    const p::Ipv4 found = FirstAddress(sysinfo::Trimmed(address));
    if (IsZero(found)) return AddressCheck::NoAddress;
    dotted = Dotted(found);
    return AddressCheck::Confirmed;
}

AddressCheck CheckReverse(const std::string& dotted) {
    p::Ipv4 address{};
    if (!FromDotted(dotted, address) || IsZero(address)) return AddressCheck::NoHostName;
    return ReverseOf(address);
}

AddressCheck CheckAddress(const std::string& address) {
    if (sysinfo::CountOf(address, '.') != 3) return AddressCheck::NotDotted;
    const p::Ipv4 found = FirstAddress(sysinfo::Trimmed(address));
    if (IsZero(found)) return AddressCheck::NoAddress;
    return ReverseOf(found);
}

}  // namespace orvano::config
