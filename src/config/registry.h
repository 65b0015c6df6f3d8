// How the program touches the registry: text and DWORD values read, written and deleted
// under one root and key path, emptied keys removed, vendor keys looked for. Every
// operation opens, works and closes; no handle and no Win32 error code leaves this layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace orvano::config {

using platform::RegKey;
inline constexpr RegKey kCurrentUser = platform::kHkeyCurrentUser;
inline constexpr RegKey kLocalMachine = platform::kHkeyLocalMachine;

// Vendor-key locations as callers number them.
inline constexpr int kVendorKeyUser = 1;         // HKCU\Software\AVM
inline constexpr int kVendorKeyMachine = 2;      // HKLM\Software\AVM
inline constexpr int kVendorKeyWow6432Node = 3;  // HKLM\Software\Wow6432Node\AVM

// 1 when the vendor key of the location can be opened for reading.
int VendorKeyExists(int location);
// The location's full key name when the key exists, else (and for unknown locations) "".
std::string VendorKeyText(int location);

// Windows' own values that the status board shows: when Windows was installed, in seconds since
// 1970 (the native key's "InstallDate", else its Wow6432Node twin's; 0 when neither can be
// read), and the stored Internet Explorer version, cut at its first NUL ("" when none).
std::uint32_t ReadInstallSeconds();
std::string ReadInternetExplorerVersion();

// 1 when the key can be opened for reading.
int KeyExists(RegKey root, const std::string& path);

// What a typed read found: nothing to read (no key, no value, data too large), a value of
// the reader's type, or a value that is there under another type. The bytes of such a value
// are never handed out as this reader's kind: a string's "abc" is no port 0x00636261.
enum class ValueRead { Missing, Read, WrongType };

// How every window shows a value that is there but of the wrong type.
inline constexpr char kWrongTypeText[] = " falscher Typ ";

// A text value of any type, cut at its first NUL; data over 255 bytes counts as absent.
int ReadTextValue(RegKey root, const std::string& path, const std::string& name, std::string& text);
// A REG_SZ value as ReadTextValue reads it; a value of any other type is WrongType.
ValueRead ReadStringValue(RegKey root, const std::string& path, const std::string& name,
                          std::string& text);
// A REG_DWORD of exactly 4 bytes as a number and as 8 lower-case hex digits. Anything else
// stored under the name (another type, or a REG_DWORD of another length) is WrongType.
ValueRead ReadDword(RegKey root, const std::string& path, const std::string& name, std::string& hex,
                    std::uint32_t& number);
// The stored type and data size of a value, so that a value of the wrong type can be named;
// 0 when there is no such value.
int ReadValueType(RegKey root, const std::string& path, const std::string& name,
                  std::uint32_t& type, std::uint32_t& size);
// 1 when ReadDword reads a value.
int ReadDwordValue(RegKey root, const std::string& path, const std::string& name, std::string& hex,
                   std::uint32_t& number);
// Stores REG_SZ without terminating NUL, creating the key when missing.
int WriteTextValue(RegKey root, const std::string& path, const std::string& name,
                   const std::string& text);
// Stores REG_DWORD from hex text (see HexTextNumber), creating the key when missing.
int WriteDwordValue(RegKey root, const std::string& path, const std::string& name,
                    const std::string& hex);
// Deletes the value, then the key too when nothing is left in it.
int DeleteValue(RegKey root, const std::string& path, const std::string& name);
// Deletes the key only when it holds neither values nor subkeys; never its parent.
int DeleteKeyIfEmpty(RegKey root, const std::string& path);
// The REG_SZ values of one key whose names begin with the prefix (case-insensitive), in the
// registry's order; 1 when at least one was found. Entries hold at most 1023 characters.
int ListStringValuesByPrefix(RegKey root, const std::string& path, const std::string& prefix,
                             std::vector<std::string>& names, std::vector<std::string>& data,
                             int& count);

// A DWORD as it travels between the store and the dialogs: 8 lower-case hex digits.
std::string DwordText(std::uint32_t number);
// Hex text to a number: characters outside 0-9, a-f, A-F are dropped, the rest is read as
// one hexadecimal number of which the low 32 bits count; no digits give 0.
std::uint32_t HexTextNumber(const std::string& hex);

}  // namespace orvano::config
