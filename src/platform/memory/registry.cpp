// The in-memory registry: a tree per root, handles with the access they were granted, and
// the 32-bit view of a WOW64 process kept where Windows keeps it, under SOFTWARE\Wow6432Node.
#include <algorithm>
#include <cstring>

#include "platform/memory/state.h"
#include "platform/osinfo.h"
#include "platform/registry.h"

namespace orvano::platform {

using memory::Call;
using memory::CallFails;
using memory::Key;
using memory::Machine;
using memory::SameNoCase;
using memory::StoredValue;
using memory::TheMachine;

namespace {

constexpr std::uint32_t kWriteRights = kKeySetValue | kKeyCreateSubKey | 0x10000 /*DELETE*/;
constexpr std::uint32_t kViewFlags = kKeyWow64_64Key | kKeyWow64_32Key;

bool SixtyFourBitWindows() {
    const int architecture = NativeProcessorArchitecture();
    return architecture == 6 || architecture == 9 || architecture == 12;  // IA-64, x64, ARM64
}

bool IsRoot(RegKey key) {
    return key == kHkeyCurrentUser || key == kHkeyLocalMachine;
}

int RootIndex(RegKey root) {
    return root == kHkeyCurrentUser ? 0 : 1;
}

// The key a handle stands for, with the root it belongs to and the rights it carries.
struct Base {
    std::shared_ptr<Key> key;
    RegKey root = 0;
    std::uint32_t access = 0;
};

long BaseOf(RegKey handle, Base& base) {
    Machine& m = TheMachine();
    if (handle == kHkeyCurrentUser || handle == kHkeyLocalMachine) {
        base.key = handle == kHkeyCurrentUser ? m.currentUser : m.localMachine;
        base.root = handle;
        base.access = m.readOnly[RootIndex(handle)] ? kKeyRead : kKeyAllAccess;
        return kErrorSuccess;
    }
    auto it = m.handles.find(handle);
    if (it == m.handles.end()) return kErrorInvalidHandle;
    if (it->second.key->deleted) return kErrorKeyDeleted;
    base = {it->second.key, it->second.root, it->second.access};
    return kErrorSuccess;
}

// Splits a path into its names; a trailing backslash is allowed, empty names are not.
bool SplitPath(const char* path, std::vector<std::string>& names) {
    names.clear();
    if (path == nullptr || *path == '\0') return true;
    std::string text(path);
    if (text.front() == '\\') return false;
    if (text.back() == '\\') text.pop_back();
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find('\\', start);
        std::string name = text.substr(start, end == std::string::npos ? end : end - start);
        if (name.empty()) return false;
        names.push_back(name);
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

// A 32-bit process on 64-bit Windows sees HKLM\SOFTWARE\Wow6432Node as HKLM\SOFTWARE,
// unless it asks for the 64-bit view; a 64-bit process sees it there when it asks for the
// 32-bit view. 32-bit Windows has one view and ignores both flags.
void Redirect(const Base& base, std::uint32_t access, std::vector<std::string>& names) {
    const Machine& m = TheMachine();
    if (base.key != m.localMachine) return;
    if (m.processKind == memory::ProcessKind::Wow64Process) {
        if ((access & kKeyWow64_64Key) != 0) return;
    } else if ((access & kKeyWow64_32Key) == 0 || !SixtyFourBitWindows()) {
        return;
    }
    if (names.empty() || !SameNoCase(names[0], "SOFTWARE")) return;
    if (names.size() > 1 && SameNoCase(names[1], "Wow6432Node")) return;
    names.insert(names.begin() + 1, "Wow6432Node");
}

std::shared_ptr<Key> Find(const std::shared_ptr<Key>& from, const std::vector<std::string>& names) {
    std::shared_ptr<Key> key = from;
    for (const std::string& name : names) {
        auto it = key->subkeys.find(name);
        if (it == key->subkeys.end()) return nullptr;
        key = it->second;
    }
    return key;
}

RegKey NewHandle(const Base& base, std::shared_ptr<Key> key, std::uint32_t access) {
    Machine& m = TheMachine();
    RegKey handle = m.nextHandle;
    m.nextHandle += 4;
    m.handles[handle] = {std::move(key), base.root, access};
    return handle;
}

// What the caller is granted when it asks for `access` on a key of this root.
long Grant(const Base& base, std::uint32_t access, std::uint32_t& granted) {
    bool readOnly = TheMachine().readOnly[RootIndex(base.root)];
    access &= ~kViewFlags;
    if (access & kMaximumAllowed) {
        granted = readOnly ? kKeyRead : kKeyAllAccess;
        return kErrorSuccess;
    }
    if (readOnly && (access & kWriteRights) != 0) return kErrorAccessDenied;
    granted = access;
    return kErrorSuccess;
}

long Open(Call call, RegKey root, const char* path, std::uint32_t access, RegKey& key) {
    key = 0;
    long error = kErrorSuccess;
    if (CallFails(call, error)) return error;
    Base base;
    if ((error = BaseOf(root, base)) != kErrorSuccess) return error;
    std::vector<std::string> names;
    if (!SplitPath(path, names)) return kErrorBadPathname;
    Redirect(base, access, names);
    std::shared_ptr<Key> found = Find(base.key, names);
    if (!found) return kErrorFileNotFound;
    std::uint32_t granted = 0;
    if ((error = Grant(base, access, granted)) != kErrorSuccess) return error;
    key = NewHandle(base, found, granted);
    return kErrorSuccess;
}

long Create(Call call, RegKey root, const char* path, std::uint32_t access, RegKey& key) {
    key = 0;
    long error = kErrorSuccess;
    if (CallFails(call, error)) return error;
    Base base;
    if ((error = BaseOf(root, base)) != kErrorSuccess) return error;
    std::vector<std::string> names;
    if (!SplitPath(path, names)) return kErrorBadPathname;
    Redirect(base, access, names);
    bool readOnly = TheMachine().readOnly[RootIndex(base.root)];
    std::shared_ptr<Key> existing = Find(base.key, names);
    if (!existing && readOnly) return kErrorAccessDenied;
    std::shared_ptr<Key> node = base.key;
    for (const std::string& name : names) {
        auto it = node->subkeys.find(name);
        if (it == node->subkeys.end()) {
            auto child = std::make_shared<Key>();
            child->name = name;
            it = node->subkeys.emplace(name, child).first;
        }
        node = it->second;
    }
    std::uint32_t granted = 0;
    if ((error = Grant(base, access, granted)) != kErrorSuccess) return error;
    key = NewHandle(base, node, granted);
    return kErrorSuccess;
}

long Remove(Call call, RegKey root, const char* path, std::uint32_t access) {
    long error = kErrorSuccess;
    if (CallFails(call, error)) return error;
    Base base;
    if ((error = BaseOf(root, base)) != kErrorSuccess) return error;
    std::vector<std::string> names;
    if (!SplitPath(path, names)) return kErrorBadPathname;
    if (names.empty()) return kErrorAccessDenied;  // a root cannot be deleted
    Redirect(base, access, names);
    std::string last = names.back();
    names.pop_back();
    std::shared_ptr<Key> parent = Find(base.key, names);
    if (!parent) return kErrorFileNotFound;
    auto it = parent->subkeys.find(last);
    if (it == parent->subkeys.end()) return kErrorFileNotFound;
    if (TheMachine().readOnly[RootIndex(base.root)]) return kErrorAccessDenied;
    if (!it->second->subkeys.empty()) return kErrorAccessDenied;
    it->second->deleted = true;
    parent->subkeys.erase(it);
    return kErrorSuccess;
}

bool IsStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

StoredValue* FindValue(Key& key, const char* name) {
    std::string wanted = name ? name : "";
    for (StoredValue& value : key.values)
        if (SameNoCase(value.name, wanted)) return &value;
    return nullptr;
}

// Copies data out as the query and enumeration calls do: size only when there is no buffer,
// ERROR_MORE_DATA and the size needed when the buffer is too small. Text stored without its
// NUL gets one written after it where the buffer has room; the size stays that of the data.
long CopyData(const StoredValue& value, std::uint8_t* data, std::uint32_t* size) {
    const std::vector<std::uint8_t>& from = value.data;
    const auto needed = static_cast<std::uint32_t>(from.size());
    if (data == nullptr) {
        if (size) *size = needed;
        return kErrorSuccess;
    }
    if (size == nullptr) return kErrorInvalidParameter;
    if (*size < needed) {
        *size = needed;
        return kErrorMoreData;
    }
    if (needed) std::memcpy(data, from.data(), needed);
    if (IsStringType(value.type) && needed > 0 && from.back() != 0 && *size > needed)
        data[needed] = 0;
    *size = needed;
    return kErrorSuccess;
}

}  // namespace

long OpenKeyEx(RegKey root, const char* path, std::uint32_t access, RegKey& key) {
    return Open(Call::OpenKeyEx, root, path, access, key);
}

long OpenKey(RegKey root, const char* path, RegKey& key) {
    return Open(Call::OpenKey, root, path, kMaximumAllowed, key);
}

long CreateKey(RegKey root, const char* path, RegKey& key) {
    return Create(Call::CreateKey, root, path, kMaximumAllowed, key);
}

long CreateKeyEx(RegKey root, const char* path, std::uint32_t access, RegKey& key) {
    return Create(Call::CreateKeyEx, root, path, access, key);
}

long QueryValueEx(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) {
    long error = kErrorSuccess;
    if (CallFails(Call::QueryValueEx, error)) return error;
    Base base;
    if ((error = BaseOf(key, base)) != kErrorSuccess) return error;
    if ((base.access & kKeyQueryValue) == 0) return kErrorAccessDenied;
    if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
    const StoredValue* value = FindValue(*base.key, name);
    if (!value) return kErrorFileNotFound;
    if (type) *type = value->type;
    return CopyData(*value, data, size);
}

long SetValueEx(RegKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) {
    long error = kErrorSuccess;
    if (CallFails(Call::SetValueEx, error)) return error;
    Base base;
    if ((error = BaseOf(key, base)) != kErrorSuccess) return error;
    if ((base.access & kKeySetValue) == 0) return kErrorAccessDenied;
    std::vector<std::uint8_t> bytes;
    if (data != nullptr) {
        // Like Windows, text given without its NUL keeps the NUL that follows it in memory.
        if (IsStringType(type) && size > 0 && data[size - 1] != 0 && data[size] == 0) ++size;
        bytes.assign(data, data + size);
    }
    if (StoredValue* value = FindValue(*base.key, name)) {
        value->type = type;
        value->data = std::move(bytes);
    } else {
        base.key->values.push_back({name ? name : "", type, std::move(bytes)});
    }
    return kErrorSuccess;
}

long DeleteValue(RegKey key, const char* name) {
    long error = kErrorSuccess;
    if (CallFails(Call::DeleteValue, error)) return error;
    Base base;
    if ((error = BaseOf(key, base)) != kErrorSuccess) return error;
    if ((base.access & kKeySetValue) == 0) return kErrorAccessDenied;
    StoredValue* value = FindValue(*base.key, name);
    if (!value) return kErrorFileNotFound;
    base.key->values.erase(base.key->values.begin() + (value - base.key->values.data()));
    return kErrorSuccess;
}

long DeleteKey(RegKey root, const char* path) {
    return Remove(Call::DeleteKey, root, path, 0);
}

long DeleteKeyEx(RegKey root, const char* path, std::uint32_t access) {
    return Remove(Call::DeleteKeyEx, root, path, access);
}

long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
               std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) {
    long error = kErrorSuccess;
    if (CallFails(Call::EnumValue, error)) return error;
    Base base;
    if ((error = BaseOf(key, base)) != kErrorSuccess) return error;
    if ((base.access & kKeyQueryValue) == 0) return kErrorAccessDenied;
    if (name == nullptr || nameSize == nullptr) return kErrorInvalidParameter;
    if (index >= base.key->values.size()) return kErrorNoMoreItems;
    const StoredValue& value = base.key->values[index];
    if (*nameSize <= value.name.size()) return kErrorMoreData;
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameSize = static_cast<std::uint32_t>(value.name.size());
    if (type) *type = value.type;
    return CopyData(value, data, dataSize);
}

long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) {
    long error = kErrorSuccess;
    if (CallFails(Call::EnumKey, error)) return error;
    Base base;
    if ((error = BaseOf(key, base)) != kErrorSuccess) return error;
    if ((base.access & kKeyEnumerateSubKeys) == 0) return kErrorAccessDenied;
    if (name == nullptr) return kErrorInvalidParameter;
    if (index >= base.key->subkeys.size()) return kErrorNoMoreItems;
    auto it = std::next(base.key->subkeys.begin(), index);
    const std::string& found = it->second->name;
    if (nameSize <= found.size()) return kErrorMoreData;
    std::memcpy(name, found.c_str(), found.size() + 1);
    return kErrorSuccess;
}

long CloseKey(RegKey key) {
    long error = kErrorSuccess;
    if (CallFails(Call::CloseKey, error)) return error;
    if (IsRoot(key)) return kErrorSuccess;
    return TheMachine().handles.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace orvano::platform

// --- Test control of the registry -----------------------------------------------------------

namespace orvano::platform::memory {

namespace {

std::shared_ptr<Key> RootKeyOf(RegKey root) {
    return root == kHkeyCurrentUser ? TheMachine().currentUser : TheMachine().localMachine;
}

std::shared_ptr<Key> Physical(RegKey root, const std::string& path, bool create) {
    std::shared_ptr<Key> node = RootKeyOf(root);
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        std::string name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        auto it = node->subkeys.find(name);
        if (it == node->subkeys.end()) {
            if (!create) return nullptr;
            auto child = std::make_shared<Key>();
            child->name = name;
            it = node->subkeys.emplace(name, child).first;
        }
        node = it->second;
    }
    return node;
}

}  // namespace

bool KeyExists(RegKey root, const std::string& path) {
    return Physical(root, path, false) != nullptr;
}

void CreateKeyPath(RegKey root, const std::string& path) {
    Physical(root, path, true);
}

void PutValue(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
              const std::vector<std::uint8_t>& data) {
    std::shared_ptr<Key> key = Physical(root, path, true);
    for (StoredValue& value : key->values) {
        if (SameNoCase(value.name, name)) {
            value.type = type;
            value.data = data;
            return;
        }
    }
    key->values.push_back({name, type, data});
}

void PutText(RegKey root, const std::string& path, const std::string& name,
             const std::string& text) {
    PutValue(root, path, name, kRegSz, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void PutDword(RegKey root, const std::string& path, const std::string& name, std::uint32_t value) {
    PutValue(root, path, name, kRegDword,
             {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
              static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

std::optional<StoredValue> GetValue(RegKey root, const std::string& path, const std::string& name) {
    std::shared_ptr<Key> key = Physical(root, path, false);
    if (!key) return std::nullopt;
    for (const StoredValue& value : key->values)
        if (SameNoCase(value.name, name)) return value;
    return std::nullopt;
}

std::vector<StoredValue> ValuesOf(RegKey root, const std::string& path) {
    std::shared_ptr<Key> key = Physical(root, path, false);
    return key ? key->values : std::vector<StoredValue>{};
}

int OpenKeyHandles() {
    return static_cast<int>(TheMachine().handles.size());
}

void SetReadOnly(RegKey root, bool readOnly) {
    TheMachine().readOnly[RootIndex(root)] = readOnly;
}

}  // namespace orvano::platform::memory
