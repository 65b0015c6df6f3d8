// The in-memory name service: a table of forward and reverse entries behind Winsock's
// start-up rules (nothing is found before WSAStartup).
#include <cstdlib>
#include <utility>

#include "platform/memory/state.h"
#include "platform/resolver.h"

namespace orvano::platform {

using memory::Call;
using memory::CallFails;
using memory::TheMachine;

namespace {

constexpr int kWsaNotInitialised = 10093;

// A numeric address is resolved locally, by the rules of inet_addr: one to four numbers,
// each decimal, octal with a leading 0 or hexadecimal with 0x; the last one fills the
// remaining bytes ("127.1" is 127.0.0.1, "010" is 8).
bool ParseNumber(const std::string& text, std::size_t& i, std::uint64_t& number) {
    int base = 10;
    if (i < text.size() && text[i] == '0') {
        base = 8;
        if (i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
            base = 16;
            i += 2;
        }
    }
    std::size_t start = i;
    number = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        int digit = c >= '0' && c <= '9'                     ? c - '0'
                    : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10
                                                             : 99;
        if (digit >= base) break;
        number = number * base + digit;
        if (number > 0xFFFFFFFFu) return false;
    }
    return i > start || base == 8;  // a lone "0" is a number; "0x" alone is not
}

bool ParseDotted(const std::string& text, Ipv4& address) {
    std::uint64_t parts[4] = {};
    int count = 0;
    std::size_t i = 0;
    while (true) {
        if (count == 4 || !ParseNumber(text, i, parts[count])) return false;
        ++count;
        if (i == text.size()) break;
        if (text[i++] != '.') return false;
    }
    std::uint64_t value = 0;
    for (int k = 0; k < count - 1; ++k) {
        if (parts[k] > 0xFF) return false;
        value |= parts[k] << (24 - 8 * k);
    }
    std::uint64_t lastLimit = 0xFFFFFFFFull >> (8 * (count - 1));
    if (parts[count - 1] > lastLimit) return false;
    value |= parts[count - 1];
    for (int k = 0; k < 4; ++k) address[k] = static_cast<std::uint8_t>(value >> (24 - 8 * k));
    return true;
}

// Time passes while the name server is asked; false when it never answers.
template <class Key, class Map>
bool NameServerAnswers(const Map& delays, const Key& key) {
    auto& m = TheMachine();
    auto it = delays.find(key);
    const unsigned delay = it != delays.end() ? it->second : m.nameServerDelay;
    m.lookupTime += delay == memory::kNeverAnswers ? memory::kResolverGivesUp : delay;
    return delay != memory::kNeverAnswers;
}

}  // namespace

int WsaStartup(std::uint16_t /*requested*/, std::uint16_t& version) {
    long error = 0;
    if (CallFails(Call::WsaStartup, error)) return static_cast<int>(error ? error : 10091);
    version = TheMachine().winsockVersion;
    ++TheMachine().winsockUsers;
    return 0;
}

int WsaCleanup() {
    long error = 0;
    if (CallFails(Call::WsaCleanup, error)) return static_cast<int>(error);
    if (TheMachine().winsockUsers == 0) return kWsaNotInitialised;
    --TheMachine().winsockUsers;
    return 0;
}

bool GetHostByName(const std::string& name, std::vector<Ipv4>& addresses) {
    addresses.clear();
    long error = 0;
    if (CallFails(Call::GetHostByName, error)) return false;
    auto& m = TheMachine();
    if (m.winsockUsers == 0) return false;
    Ipv4 literal{};
    if (ParseDotted(name, literal)) {
        addresses.push_back(literal);
        return true;
    }
    if (!m.nameServiceOn || !NameServerAnswers(m.lookupDelays, name)) return false;
    auto it = m.hosts.find(name);
    if (it == m.hosts.end() || it->second.empty()) return false;
    addresses = it->second;
    return true;
}

bool GetHostByAddr(const Ipv4& address, std::string& name) {
    name.clear();
    long error = 0;
    if (CallFails(Call::GetHostByAddr, error)) return false;
    auto& m = TheMachine();
    if (m.winsockUsers == 0 || !m.nameServiceOn) return false;
    if (!NameServerAnswers(m.reverseDelays, address)) return false;
    auto it = m.reverse.find(address);
    if (it == m.reverse.end()) return false;
    name = it->second;
    return true;
}

LookupResult GetHostByNameWithin(const std::string& name, std::vector<Ipv4>& addresses,
                                 std::uint32_t milliseconds) {
    addresses.clear();
    long error = 0;
    if (CallFails(Call::GetHostByName, error)) return LookupResult::NotFound;
    auto& m = TheMachine();
    Ipv4 literal{};
    if (ParseDotted(name, literal)) {
        addresses.push_back(literal);
        return LookupResult::Found;
    }
    if (!m.nameServiceOn) return LookupResult::NotFound;
    auto delay = m.lookupDelays.find(name);
    const unsigned takes = delay != m.lookupDelays.end() ? delay->second : m.nameServerDelay;
    if (takes == memory::kNeverAnswers || takes > milliseconds) {
        m.lookupTime += milliseconds;  // the wait ends at the deadline
        return LookupResult::NoAnswer;
    }
    m.lookupTime += takes;
    auto it = m.hosts.find(name);
    if (it == m.hosts.end() || it->second.empty()) return LookupResult::NotFound;
    addresses = it->second;
    return LookupResult::Found;
}

}  // namespace orvano::platform

namespace orvano::platform::memory {

void AddHost(const std::string& name, const std::vector<Ipv4>& addresses) {
    TheMachine().hosts[name] = addresses;
}

void AddReverse(const Ipv4& address, const std::string& name) {
    TheMachine().reverse[address] = name;
}

void SetNameServiceOn(bool on) {
    TheMachine().nameServiceOn = on;
}

void SetWinsockVersion(std::uint16_t version) {
    TheMachine().winsockVersion = version;
}

int WinsockUsers() {
    return TheMachine().winsockUsers;
}

void SetNameServerDelay(unsigned milliseconds) {
    TheMachine().nameServerDelay = milliseconds;
}

void SetLookupDelay(const std::string& name, unsigned milliseconds) {
    TheMachine().lookupDelays[name] = milliseconds;
}

void SetReverseLookupDelay(const Ipv4& address, unsigned milliseconds) {
    TheMachine().reverseDelays[address] = milliseconds;
}

std::uint64_t TakeLookupTime() {
    return std::exchange(TheMachine().lookupTime, 0);
}

}  // namespace orvano::platform::memory
