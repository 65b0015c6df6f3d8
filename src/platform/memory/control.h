// Test control of the in-memory Windows: set up its state, look inside it and make
// chosen calls fail. Only tests include this header; the program never does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/cursor.h"
#include "platform/registry.h"
#include "platform/resolver.h"

namespace orvano::platform::memory {

// Empties the whole in-memory machine and clears counters and planned failures.
void Reset();

// Every port call that a test can count or make fail.
enum class Call {
    OpenKeyEx,
    OpenKey,
    CreateKey,
    CreateKeyEx,
    QueryValueEx,
    SetValueEx,
    DeleteValue,
    DeleteKey,
    DeleteKeyEx,
    EnumValue,
    EnumKey,
    CloseKey,
    WsaStartup,
    WsaCleanup,
    GetHostByName,
    GetHostByAddr,
    kCount
};

// The nth call of `call` from now on (1 = the next one) fails with `error` and changes
// nothing. For the resolver calls the error is ignored: the call reports no result.
void FailCall(Call call, int nth = 1, long error = kErrorAccessDenied);
// How often `call` was made since the last Reset.
int CallCount(Call call);
// How many calls of any registry function were made since the last Reset.
int RegistryCallCount();

// --- Machine ---------------------------------------------------------------------------

enum class ProcessKind {
    Native,       // 32-bit Windows, or a 64-bit process: paths are taken as written
    Wow64Process  // a 32-bit process on 64-bit Windows: HKLM\SOFTWARE is redirected
};
void SetProcessKind(ProcessKind kind);

// --- Registry: the physical store, seen as a 64-bit process sees it ----------------------

struct StoredValue {
    std::string name;
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;
};

bool KeyExists(RegKey root, const std::string& path);
// Creates the key and any missing parents.
void CreateKeyPath(RegKey root, const std::string& path);
void PutValue(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
              const std::vector<std::uint8_t>& data);
void PutText(RegKey root, const std::string& path, const std::string& name,
             const std::string& text);  // REG_SZ, without a terminating NUL
void PutDword(RegKey root, const std::string& path, const std::string& name, std::uint32_t value);
std::optional<StoredValue> GetValue(RegKey root, const std::string& path, const std::string& name);
// Values in enumeration order.
std::vector<StoredValue> ValuesOf(RegKey root, const std::string& path);
// Handles opened and not yet closed (the predefined roots do not count).
int OpenKeyHandles();
// Keys refuse writes: opening for write access, creating keys, setting and deleting values
// and keys fail with ERROR_ACCESS_DENIED, as for a user without administrator rights.
void SetReadOnly(RegKey root, bool readOnly);

// --- Name service ------------------------------------------------------------------------

// A forward entry: name (case-insensitive) to addresses, first one first.
void AddHost(const std::string& name, const std::vector<Ipv4>& addresses);
// A reverse entry: address to official host name.
void AddReverse(const Ipv4& address, const std::string& name);
// Switched off, no name is found in either direction (numeric addresses still parse).
void SetNameServiceOn(bool on);
// The version WSAStartup grants (low byte major).
void SetWinsockVersion(std::uint16_t version);
// WSAStartup calls not yet matched by WSACleanup.
int WinsockUsers();

// --- Cursor ------------------------------------------------------------------------------

// Whether the busy cursor shows, and every change made, in order (true = busy).
bool BusyCursorShown();
const std::vector<bool>& CursorChanges();

}  // namespace orvano::platform::memory
