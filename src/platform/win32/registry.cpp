// The registry port on Windows: thin wrappers over the advapi32 ANSI calls.
#include "platform/registry.h"

#include <windows.h>

namespace orvano::platform {

namespace {

// The predefined roots are sign-extended on 64-bit Windows; every other handle passes as is.
HKEY ToHkey(RegKey key) {
    if (key == kHkeyCurrentUser) return HKEY_CURRENT_USER;
    if (key == kHkeyLocalMachine) return HKEY_LOCAL_MACHINE;
    return reinterpret_cast<HKEY>(key);
}

RegKey FromHkey(HKEY key) {
    if (key == HKEY_CURRENT_USER) return kHkeyCurrentUser;
    if (key == HKEY_LOCAL_MACHINE) return kHkeyLocalMachine;
    return reinterpret_cast<RegKey>(key);
}

// Hands an out-handle to a call and back, so that whatever the call leaves in it (a new
// handle, null, or the caller's own value untouched) is what the caller sees.
class KeySlot {
  public:
    explicit KeySlot(RegKey& target) : target_(target), value_(ToHkey(target)) {}
    ~KeySlot() { target_ = FromHkey(value_); }
    HKEY* get() { return &value_; }

  private:
    RegKey& target_;
    HKEY value_;
};

// The same for an optional DWORD in/out-argument (DWORD and std::uint32_t are distinct types).
class DwordSlot {
  public:
    explicit DwordSlot(std::uint32_t* target) : target_(target), value_(target ? *target : 0) {}
    ~DwordSlot() {
        if (target_) *target_ = value_;
    }
    DWORD* get() { return target_ ? &value_ : nullptr; }

  private:
    std::uint32_t* target_;
    DWORD value_;
};

using DeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);

// RegDeleteKeyExA is missing from 32-bit XP's advapi32, so it is looked up, never imported.
DeleteKeyExFn FindDeleteKeyEx() {
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    if (!advapi) return nullptr;
    FARPROC proc = GetProcAddress(advapi, "RegDeleteKeyExA");
    return reinterpret_cast<DeleteKeyExFn>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

// RegOpenKeyExA(root, path, 0, access, &key).
long OpenKeyEx(RegKey root, const char* path, std::uint32_t access, RegKey& key) {
    KeySlot out(key);
    return RegOpenKeyExA(ToHkey(root), path, 0, access, out.get());
}

// RegOpenKeyA(root, path, &key).
long OpenKey(RegKey root, const char* path, RegKey& key) {
    KeySlot out(key);
    return RegOpenKeyA(ToHkey(root), path, out.get());
}

// RegCreateKeyA(root, path, &key).
long CreateKey(RegKey root, const char* path, RegKey& key) {
    KeySlot out(key);
    return RegCreateKeyA(ToHkey(root), path, out.get());
}

// RegCreateKeyExA(root, path, 0, NULL, REG_OPTION_NON_VOLATILE, access, NULL, &key, NULL).
long CreateKeyEx(RegKey root, const char* path, std::uint32_t access, RegKey& key) {
    KeySlot out(key);
    return RegCreateKeyExA(ToHkey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                           out.get(), nullptr);
}

// RegQueryValueExA(key, name, NULL, type, data, size).
long QueryValueEx(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) {
    DwordSlot typeSlot(type);
    DwordSlot sizeSlot(size);
    return RegQueryValueExA(ToHkey(key), name, nullptr, typeSlot.get(), data, sizeSlot.get());
}

// RegSetValueExA(key, name, 0, type, data, size).
long SetValueEx(RegKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) {
    return RegSetValueExA(ToHkey(key), name, 0, type, data, size);
}

// RegDeleteValueA(key, name).
long DeleteValue(RegKey key, const char* name) {
    return RegDeleteValueA(ToHkey(key), name);
}

// RegDeleteKeyA(root, path).
long DeleteKey(RegKey root, const char* path) {
    return RegDeleteKeyA(ToHkey(root), path);
}

// RegDeleteKeyExA(root, path, access, 0); where it is missing, RegDeleteKeyA serves a call
// that asks for no view, and a call that does gets ERROR_CALL_NOT_IMPLEMENTED.
long DeleteKeyEx(RegKey root, const char* path, std::uint32_t access) {
    static const DeleteKeyExFn deleteKeyEx = FindDeleteKeyEx();
    if (deleteKeyEx) return deleteKeyEx(ToHkey(root), path, access, 0);
    if ((access & (KEY_WOW64_64KEY | KEY_WOW64_32KEY)) == 0) return DeleteKey(root, path);
    return ERROR_CALL_NOT_IMPLEMENTED;
}

// RegEnumValueA(key, index, name, nameSize, NULL, type, data, dataSize).
long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
               std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) {
    DwordSlot nameSlot(nameSize);
    DwordSlot typeSlot(type);
    DwordSlot dataSlot(dataSize);
    return RegEnumValueA(ToHkey(key), index, name, nameSlot.get(), nullptr, typeSlot.get(), data,
                         dataSlot.get());
}

// RegEnumKeyA(key, index, name, nameSize).
long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) {
    return RegEnumKeyA(ToHkey(key), index, name, nameSize);
}

// RegCloseKey(key).
long CloseKey(RegKey key) {
    return RegCloseKey(ToHkey(key));
}

}  // namespace orvano::platform
