#include "config/endpoint.h"

#include <cstdint>

#include "config/client_registry.h"
#include "config/registry.h"
#include "sysinfo/text.h"

namespace orvano::config {

namespace {
constexpr std::size_t kMaxAddressLength = 254;  // the text passes a 255-byte buffer
}  // namespace

const char* RouterAddressKey(RegistryView view) {
    return view == RegistryView::Native ? client::kAddressKey : client::kAddressKeyWow;
}

const char* PortKey(RegistryView view) {
    return view == RegistryView::Native ? client::kPortKey : client::kPortKeyWow;
}

const char* SectionTitle(RegistryView view) {
    return view == RegistryView::Native ? " Windows Registry Eintrag "
                                        : " Windows Registry Eintrag Wow6432Node ";
}

int ReadRouterAddress(RegistryView view, std::string& address) {
    ValueRead found;
    return ReadRouterAddress(view, address, found);
}

int ReadRouterAddress(RegistryView view, std::string& address, ValueRead& found) {
    address.clear();
    std::string stored;
    found = ReadStringValue(kLocalMachine, RouterAddressKey(view), client::kAddressValue, stored);
    if (found != ValueRead::Read) return 0;
    if (sysinfo::CountOf(stored, '.') != 3) return 0;
    address = sysinfo::KeepOnly(stored, sysinfo::kAddressCharacters);
    return 1;
}

int ReadPort(RegistryView view, std::string& hex) {
    ValueRead found;
    return ReadPort(view, hex, found);
}

int ReadPort(RegistryView view, std::string& hex, ValueRead& found) {
    std::uint32_t number = 0;
    found = ReadDword(kLocalMachine, PortKey(view), client::kPortValue, hex, number);
    return found == ValueRead::Read && number > 0 ? 1 : 0;
}

int ChangeRouterAddress(RegistryView view, const std::string& address, int action) {
    if (action == kActionWrite) {
        std::string filtered = sysinfo::KeepOnly(address, sysinfo::kAddressCharacters);
        return WriteTextValue(kLocalMachine, RouterAddressKey(view), client::kAddressValue,
                              filtered.substr(0, kMaxAddressLength));
    }
    if (action == kActionDelete)
        return DeleteValue(kLocalMachine, RouterAddressKey(view), client::kAddressValue);
    return 0;
}

int ChangePort(RegistryView view, const std::string& hex, int action) {
    if (action == kActionWrite) {
        std::string stored;
        std::uint32_t number = 0;
        // A Port value of any number, 0 included, is overwritten; without one the client can
        // read, the client's default goes in first, whatever was asked for.
        bool present =
            ReadDwordValue(kLocalMachine, PortKey(view), client::kPortValue, stored, number) == 1;
        return WriteDwordValue(kLocalMachine, PortKey(view), client::kPortValue,
                               present ? hex : kDefaultPortText);
    }
    if (action == kActionDelete)
        return DeleteValue(kLocalMachine, PortKey(view), client::kPortValue);
    return 0;
}

int RouterAddressStored() {
    std::string ignored;
    if (ReadRouterAddress(RegistryView::Native, ignored)) return 1;
    return ReadRouterAddress(RegistryView::Wow6432Node, ignored);
}

}  // namespace orvano::config
