#include "config/registry.h"

#include <array>
#include <cstring>

#include "platform/system.h"
#include "platform/text.h"
#include "sysinfo/text.h"

namespace orvano::config {

namespace p = orvano::platform;
using sysinfo::Trimmed;
using sysinfo::TrimmedEnd;

namespace {

constexpr std::size_t kMaxKeyPath = 259;     // paths pass a 260-byte buffer
constexpr std::uint32_t kTextBuffer = 255;   // text values
constexpr std::uint32_t kEnumBuffer = 1024;  // names and listed data

// Closes the key on every path, also when the open failed and left it null.
class ScopedKey {
  public:
    ScopedKey() = default;
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    ~ScopedKey() { Close(); }
    void Close() {
        p::CloseKey(key_);
        key_ = 0;
    }
    p::RegKey& Out() { return key_; }
    p::RegKey Get() const { return key_; }

  private:
    p::RegKey key_ = 0;
};

std::string KeyPath(const std::string& path) {
    return sysinfo::CutAtNul(path).substr(0, kMaxKeyPath);
}

// A 32-bit process on 64-bit Windows would be redirected from SOFTWARE to its Wow6432Node;
// native SOFTWARE paths are therefore opened in the 64-bit view, so that they and their
// Wow6432Node twins stay two different keys.
std::uint32_t ViewFlag(RegKey root, const std::string& path) {
    if (root != kLocalMachine) return 0;
    std::string upper = p::UpperCaseAnsi(path);
    if (upper.rfind("SOFTWARE", 0) != 0) return 0;
    if (upper.size() > 8 && upper[8] != '\\') return 0;
    if (upper.rfind("SOFTWARE\\WOW6432NODE", 0) == 0 && (upper.size() == 20 || upper[20] == '\\'))
        return 0;
    return p::IsWow64Process() ? p::kKeyWow64_64Key : 0;
}

long OpenWith(RegKey root, const std::string& path, std::uint32_t access, ScopedKey& key) {
    return p::OpenKeyEx(root, path.c_str(), access | ViewFlag(root, path), key.Out());
}

// RegOpenKeyA, or its equivalent in the 64-bit view.
long OpenPlain(RegKey root, const std::string& path, ScopedKey& key) {
    std::uint32_t view = ViewFlag(root, path);
    if (view == 0) return p::OpenKey(root, path.c_str(), key.Out());
    return p::OpenKeyEx(root, path.c_str(), p::kMaximumAllowed | view, key.Out());
}

// RegCreateKeyA, or its equivalent in the 64-bit view.
long CreatePlain(RegKey root, const std::string& path, ScopedKey& key) {
    std::uint32_t view = ViewFlag(root, path);
    if (view == 0) return p::CreateKey(root, path.c_str(), key.Out());
    return p::CreateKeyEx(root, path.c_str(), p::kMaximumAllowed | view, key.Out());
}

// RegDeleteKeyA, or its equivalent in the 64-bit view.
long DeletePlain(RegKey root, const std::string& path) {
    std::uint32_t view = ViewFlag(root, path);
    if (view == 0) return p::DeleteKey(root, path.c_str());
    return p::DeleteKeyEx(root, path.c_str(), view);
}

int WriteValue(RegKey root, const std::string& rawPath, const std::string& name, std::uint32_t type,
               const std::uint8_t* data, std::uint32_t size) {
    std::string path = KeyPath(rawPath);
    ScopedKey key;
    if (OpenPlain(root, path, key) != p::kErrorSuccess) {
        key.Close();
        if (CreatePlain(root, path, key) != p::kErrorSuccess) return 0;
    }
    return p::SetValueEx(key.Get(), name.c_str(), type, data, size) == p::kErrorSuccess ? 1 : 0;
}

// Counts what an enumeration yields until it ends. A name that does not fit still counts:
// the key is not empty, whatever its names look like.
template <typename EnumOne>
int CountEntries(EnumOne enumOne) {
    int count = 0;
    for (std::uint32_t index = 0;; ++index) {
        long result = enumOne(index);
        if (result != p::kErrorSuccess && result != p::kErrorMoreData) return count;
        ++count;
    }
}

// The value's type and size without its data: Missing when there is no such value, WrongType
// when it is there under another type than `wanted`.
ValueRead KindOf(const ScopedKey& key, const std::string& name, std::uint32_t wanted,
                 std::uint32_t& size) {
    std::uint32_t type = p::kRegNone;
    size = 0;
    if (p::QueryValueEx(key.Get(), name.c_str(), &type, nullptr, &size) != p::kErrorSuccess)
        return ValueRead::Missing;
    return type == wanted ? ValueRead::Read : ValueRead::WrongType;
}

// The value into the 255-byte text buffer, cut at its first NUL; `type` in: the preset type
// slot, out: the stored type. False when it cannot be read or does not fit.
bool QueryText(const ScopedKey& key, const std::string& name, std::uint32_t& type,
               std::string& text) {
    std::array<std::uint8_t, kTextBuffer> buffer{};
    std::uint32_t size = kTextBuffer;
    if (p::QueryValueEx(key.Get(), name.c_str(), &type, buffer.data(), &size) != p::kErrorSuccess)
        return false;
    const char* chars = reinterpret_cast<const char*>(buffer.data());
    text.assign(chars, strnlen(chars, buffer.size()));
    return true;
}

struct VendorKey {
    RegKey root;
    const char* path;
    const char* text;
};

const VendorKey* VendorKeyAt(int location) {
    static const VendorKey kKeys[] = {
        {kCurrentUser, "Software\\AVM", "HKEY_CURRENT_USER\\SOFTWARE\\AVM"},
        {kLocalMachine, "Software\\AVM", "HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM"},
        {kLocalMachine, "Software\\Wow6432Node\\AVM",
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM"},
    };
    if (location < 1 || location > 3) return nullptr;
    return &kKeys[location - 1];
}

}  // namespace

std::string DwordText(std::uint32_t number) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, number >>= 4) text[i] = kDigits[number & 0xF];
    return text;
}

std::uint32_t HexTextNumber(const std::string& hex) {
    std::uint32_t number = 0;
    for (char c : sysinfo::KeepOnly(hex, sysinfo::kHexDigits)) {
        std::uint32_t digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        number = (number << 4) | digit;  // only the low 32 bits are kept
    }
    return number;
}

std::uint32_t ReadInstallSeconds() {
    static const char* const kKeys[] = {
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
        "SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion"};
    std::string hex;
    std::uint32_t seconds = 0;
    for (const char* key : kKeys)
        if (ReadDwordValue(kLocalMachine, key, "InstallDate", hex, seconds)) break;
    return seconds;
}

std::string ReadInternetExplorerVersion() {
    std::string version;
    ReadTextValue(kLocalMachine, "Software\\Microsoft\\Internet Explorer", "Version", version);
    return version;
}

int KeyExists(RegKey root, const std::string& path) {
    ScopedKey key;
    return OpenWith(root, KeyPath(path), p::kKeyQueryValue, key) == p::kErrorSuccess ? 1 : 0;
}

int VendorKeyExists(int location) {
    const VendorKey* vendor = VendorKeyAt(location);
    return vendor ? KeyExists(vendor->root, vendor->path) : 0;
}

std::string VendorKeyText(int location) {
    return VendorKeyExists(location) ? VendorKeyAt(location)->text : "";
}

int ReadTextValue(RegKey root, const std::string& path, const std::string& name,
                  std::string& text) {
    text.clear();
    ScopedKey key;
    if (OpenWith(root, KeyPath(path), p::kKeyQueryValue, key) != p::kErrorSuccess) return 0;
    std::uint32_t type = p::kRegSz;
    return QueryText(key, name, type, text) ? 1 : 0;
}

ValueRead ReadStringValue(RegKey root, const std::string& path, const std::string& name,
                          std::string& text) {
    text.clear();
    ScopedKey key;
    if (OpenWith(root, KeyPath(path), p::kKeyQueryValue, key) != p::kErrorSuccess)
        return ValueRead::Missing;
    std::uint32_t size = 0;
    const ValueRead kind = KindOf(key, name, p::kRegSz, size);
    if (kind != ValueRead::Read) return kind;
    std::uint32_t type = p::kRegSz;
    if (!QueryText(key, name, type, text)) return ValueRead::Missing;
    if (type == p::kRegSz) return ValueRead::Read;
    text.clear();  // changed under our feet between the two queries
    return ValueRead::WrongType;
}

ValueRead ReadDword(RegKey root, const std::string& path, const std::string& name, std::string& hex,
                    std::uint32_t& number) {
    hex.clear();
    number = 0;
    ScopedKey key;
    if (OpenWith(root, KeyPath(path), p::kKeyQueryValue, key) != p::kErrorSuccess)
        return ValueRead::Missing;
    std::uint32_t size = 0;
    const ValueRead kind = KindOf(key, name, p::kRegDword, size);
    if (kind != ValueRead::Read) return kind;
    if (size != 4) return ValueRead::WrongType;
    std::array<std::uint8_t, 4> buffer{};
    size = 4;
    std::uint32_t type = p::kRegDword;
    if (p::QueryValueEx(key.Get(), name.c_str(), &type, buffer.data(), &size) != p::kErrorSuccess)
        return ValueRead::Missing;
    if (type != p::kRegDword || size != 4) return ValueRead::WrongType;
    number =
        buffer[0] | buffer[1] << 8 | buffer[2] << 16 | static_cast<std::uint32_t>(buffer[3]) << 24;
    hex = DwordText(number);
    return ValueRead::Read;
}

int ReadValueType(RegKey root, const std::string& path, const std::string& name,
                  std::uint32_t& type, std::uint32_t& size) {
    type = p::kRegNone;
    size = 0;
    ScopedKey key;
    if (OpenWith(root, KeyPath(path), p::kKeyQueryValue, key) != p::kErrorSuccess) return 0;
    return p::QueryValueEx(key.Get(), name.c_str(), &type, nullptr, &size) == p::kErrorSuccess;
}

int ReadDwordValue(RegKey root, const std::string& path, const std::string& name, std::string& hex,
                   std::uint32_t& number) {
    return ReadDword(root, path, name, hex, number) == ValueRead::Read ? 1 : 0;
}

int WriteTextValue(RegKey root, const std::string& path, const std::string& name,
                   const std::string& text) {
    return WriteValue(root, path, name, p::kRegSz,
                      reinterpret_cast<const std::uint8_t*>(text.data()),
                      static_cast<std::uint32_t>(text.size()));
}

int WriteDwordValue(RegKey root, const std::string& path, const std::string& name,
                    const std::string& hex) {
    std::uint32_t number = HexTextNumber(hex);
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
        static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
    return WriteValue(root, path, name, p::kRegDword, bytes, 4);
}

int DeleteValue(RegKey root, const std::string& rawPath, const std::string& name) {
    std::string path = KeyPath(rawPath);
    {
        ScopedKey key;
        if (OpenWith(root, path, p::kKeyQueryValue | p::kKeySetValue, key) != p::kErrorSuccess)
            return 0;
        if (p::DeleteValue(key.Get(), name.c_str()) != p::kErrorSuccess) return 0;
    }
    DeleteKeyIfEmpty(root, path);
    return 1;
}

int DeleteKeyIfEmpty(RegKey root, const std::string& rawPath) {
    std::string path = KeyPath(rawPath);
    if (TrimmedEnd(path).empty()) return 0;
    // A key that cannot be looked into is never taken for empty: deleting it could take
    // values along that were simply not visible.
    int values = 0;
    {
        ScopedKey key;
        if (OpenWith(root, path, p::kKeyAllAccess, key) != p::kErrorSuccess) return 0;
        values = CountEntries([&](std::uint32_t index) {
            char name[kEnumBuffer];
            std::uint32_t size = kEnumBuffer;
            return p::EnumValue(key.Get(), index, name, &size, nullptr, nullptr, nullptr);
        });
    }
    if (values != 0) return 0;
    int subkeys = 0;
    {
        ScopedKey key;
        if (OpenWith(root, path, p::kKeyEnumerateSubKeys, key) != p::kErrorSuccess) return 0;
        subkeys = CountEntries([&](std::uint32_t index) {
            char name[kEnumBuffer];
            return p::EnumKey(key.Get(), index, name, kEnumBuffer);
        });
    }
    if (subkeys != 0) return 0;
    ScopedKey key;
    if (OpenPlain(root, path, key) != p::kErrorSuccess) return 0;
    return DeletePlain(root, path) == p::kErrorSuccess ? 1 : 0;
}

int ListStringValuesByPrefix(RegKey root, const std::string& rawPath, const std::string& prefix,
                             std::vector<std::string>& names, std::vector<std::string>& data,
                             int& count) {
    names.clear();
    data.clear();
    count = 0;
    std::string path = KeyPath(rawPath);
    if (TrimmedEnd(path).empty() || TrimmedEnd(prefix).empty()) return 0;
    ScopedKey key;
    if (OpenWith(root, path, p::kKeyAllAccess, key) != p::kErrorSuccess) return 0;

    const std::string wanted = p::UpperCaseAnsi(Trimmed(prefix));
    for (std::uint32_t index = 0;; ++index) {
        char nameBuffer[kEnumBuffer];
        std::uint32_t nameSize = kEnumBuffer;
        std::uint32_t type = p::kRegNone;
        std::uint32_t dataSize = 0;
        if (p::EnumValue(key.Get(), index, nameBuffer, &nameSize, &type, nullptr, &dataSize) !=
            p::kErrorSuccess)
            break;
        if (type != p::kRegSz) continue;
        const std::string name(nameBuffer, strnlen(nameBuffer, kEnumBuffer));

        // The size the enumeration reported, and room for a NUL the data may lack.
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(dataSize) + 1, 0);
        std::uint32_t size = dataSize;
        std::uint32_t queriedType = p::kRegSz;
        if (p::QueryValueEx(key.Get(), name.c_str(), &queriedType, buffer.data(), &size) !=
            p::kErrorSuccess)
            continue;
        if (p::UpperCaseAnsi(Trimmed(name).substr(0, wanted.size())) != wanted) continue;

        const char* chars = reinterpret_cast<const char*>(buffer.data());
        names.push_back(name);
        data.push_back(std::string(chars, strnlen(chars, size)).substr(0, kEnumBuffer - 1));
        ++count;
    }
    return count > 0 ? 1 : 0;
}

}  // namespace orvano::config
