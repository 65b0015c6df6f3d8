#include "dialogs/registry_export.h"

#include "config/client_registry.h"
#include "platform/text.h"
#include "sysinfo/file_write.h"
#include "sysinfo/text.h"

namespace orvano::dialogs {

namespace {

constexpr char kByteOrderMark[] = "\xFF\xFE";

std::string& Pending() {
    static std::string text;
    return text;
}

struct Section {
    const char* key;
    const char* value;
    bool address;
};

// The section each mode builds.
const Section* SectionOf(int mode) {
    using namespace config::client;
    static const Section kAddress{kAddressKey, kAddressValue, true};
    static const Section kAddressWow{kAddressKeyWow, kAddressValue, true};
    static const Section kPort{kPortKey, kPortValue, false};
    static const Section kPortWow{kPortKeyWow, kPortValue, false};
    switch (mode) {
        case kBuildAddress:
        case kTextAddress:
            return &kAddress;
        case kBuildAddressWow:
        case kTextAddressWow:
            return &kAddressWow;
        case kBuildPort:
        case kTextPort:
            return &kPort;
        case kBuildPortWow:
        case kTextPortWow:
            return &kPortWow;
        default:
            return nullptr;
    }
}

bool Writable(const std::string& path, const std::string& content) {
    return !sysinfo::TrimmedEnd(path).empty() && !sysinfo::Trimmed(content).empty();
}

}  // namespace

std::string RegFileName(RegEntry entry) {
    switch (entry) {
        case RegEntry::RouterAddress:
            return "Reg5_AVM_NC_FB_IP.reg";
        case RegEntry::RouterAddressWow:
            return "Reg5_AVM_NC_FB_IP_Wow6432Node.reg";
        case RegEntry::Port:
            return "Reg5_AVM_NC_FB_Port.reg";
        case RegEntry::PortWow:
            return "Reg5_AVM_NC_FB_Port_Wow6432Node.reg";
        case RegEntry::Isdn:
            return "Reg5_AVM_FB_FF_ISDN.reg";
        case RegEntry::IsdnWow:
            return "Reg5_AVM_FB_FF_ISDN_Wow6432Node.reg";
        case RegEntry::Defaults:
            return "FB_IP_1921681781.reg";
        case RegEntry::DefaultsWow:
            return "FB_IP_Wow6432Node_1921681781.reg";
        case RegEntry::CountryCode:
            return "Reg5_AVM_FB_FF_Laendervorwahl.reg";
    }
    return "";
}

std::string RegTextValueLine(const std::string& name, const std::string& text) {
    return "\"" + name + "\"=\"" + text + "\"";
}

std::string RegNumberValueLine(const std::string& name, const std::string& hex) {
    return "\"" + name + "\"=dword:" + hex;
}

int WriteRegFile(const std::string& path, const std::string& body) {
    if (!Writable(path, body)) return 0;
    const std::string text = std::string(kRegHeader) + kCrLf + kCrLf + body + kCrLf + kCrLf;
    return sysinfo::WriteFileReplacing(sysinfo::TrimmedEnd(path),
                                       kByteOrderMark + platform::AnsiToUtf16(text))
               ? 1
               : 0;
}

int WriteRawFile(const std::string& path, const std::string& bytes) {
    if (!Writable(path, bytes)) return 0;
    return sysinfo::WriteFileReplacing(sysinfo::TrimmedEnd(path), bytes) ? 1 : 0;
}

int BuildRegText(const std::string& path, std::string& text, const std::string& value, int mode) {
    if (mode == kBuildHeader) {
        text = std::string(kRegHeader) + kCrLf + kCrLf;
        return 1;
    }
    const Section* section = SectionOf(mode);
    if (!section || sysinfo::Trimmed(value).empty()) return 0;
    std::string line;
    if (section->address) {
        const std::string address = sysinfo::KeepOnly(value, sysinfo::kAddressCharacters);
        // The address field's own texts while nothing is stored: never a router's address.
        if (address == "0.0.0.0" || address == "255.255.255.255") return 0;
        line = RegTextValueLine(section->value, address);
    } else {
        const std::string hex = sysinfo::KeepOnly(value, sysinfo::kHexDigits);
        if (hex.size() != 8) return 0;
        line = RegNumberValueLine(section->value, hex);
    }
    text = config::client::MachineKeyLine(section->key) + kCrLf + line;
    return mode >= kTextAddress ? 1 : WriteRegFile(path, text);
}

std::string PendingRegText() {
    return Pending();
}
void SetPendingRegText(const std::string& text) {
    Pending() = text;
}
void ClearPendingRegText() {
    Pending().clear();
}

}  // namespace orvano::dialogs
