// The registry as the program reaches it: the advapi32 calls it makes, ANSI forms.
// Names drop the "Reg" prefix so that they never meet the A/W macros of windows.h.
// Each function keeps the result codes and buffer rules of the call it stands for.
#pragma once

#include <cstdint>
#include <string>

namespace orvano::platform {

// An open key; 0 is the null handle. The two predefined roots are handles too.
using RegKey = std::uintptr_t;

inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Access rights and view flags.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x0100;
inline constexpr std::uint32_t kKeyWow64_32Key = 0x0200;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kMaximumAllowed = 0x02000000;

// Result codes (Win32 error numbers).
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorBadPathname = 161;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;
inline constexpr long kErrorKeyDeleted = 1018;

// RegOpenKeyExA (reserved 0).
long OpenKeyEx(RegKey root, const char* path, std::uint32_t access, RegKey& key);
// RegOpenKeyA: opens with the most access the caller may have.
long OpenKey(RegKey root, const char* path, RegKey& key);
// RegCreateKeyA: opens the key, creating it and any missing parents.
long CreateKey(RegKey root, const char* path, RegKey& key);
// RegCreateKeyExA with no class, REG_OPTION_NON_VOLATILE and no security attributes.
long CreateKeyEx(RegKey root, const char* path, std::uint32_t access, RegKey& key);
// RegQueryValueExA: type, data and size may each be null, as in the call.
long QueryValueEx(RegKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size);
// RegSetValueExA.
long SetValueEx(RegKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size);
// RegDeleteValueA.
long DeleteValue(RegKey key, const char* name);
// RegDeleteKeyA: refuses a key that has subkeys.
long DeleteKey(RegKey root, const char* path);
// RegDeleteKeyExA (advapi32 from Vista and 64-bit XP on): access selects the registry view.
long DeleteKeyEx(RegKey root, const char* path, std::uint32_t access);
// RegEnumValueA: nameSize in characters (in: buffer, out: length without NUL).
long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize,
               std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize);
// RegEnumKeyA: nameSize is the buffer size in bytes.
long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize);
// RegCloseKey.
long CloseKey(RegKey key);

}  // namespace orvano::platform
