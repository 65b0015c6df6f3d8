// Test control of the in-memory Windows: set up its state, look inside it and make
// chosen calls fail. Only tests include this header; the program never does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/cursor.h"
#include "platform/files.h"
#include "platform/memory/virtual_clock.h"
#include "platform/registry.h"
#include "platform/resolver.h"
#include "platform/tcp.h"

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
    GetIniString,
    WriteIniString,
    WriteIniSection,
    FindFirstEntry,
    RemoveFile,
    ReadWholeFile,
    WriteWholeFile,
    MoveReplacing,
    kCount
};

// The nth call of `call` from now on (1 = the next one) fails with `error` and changes
// nothing. For the resolver and INI calls the error is ignored: the call reports no result
// (an INI read then gives its default as for a file it cannot open). A file call reports it
// as its reason: kErrorAccessDenied as no rights, kErrorSharingViolation as in use, anything
// else as another failure.
void FailCall(Call call, int nth = 1, long error = kErrorAccessDenied);
inline constexpr long kErrorSharingViolation = 32;
// How often `call` was made since the last Reset.
int CallCount(Call call);
// How many calls of any registry function were made since the last Reset.
int RegistryCallCount();

// --- Machine ---------------------------------------------------------------------------

enum class ProcessKind {
    // 32-bit Windows, or a 64-bit process (by the processor architecture): paths are taken
    // as written; a 64-bit process reaches the 32-bit view with KEY_WOW64_32KEY.
    Native,
    // A 32-bit process on 64-bit Windows: HKLM\SOFTWARE is redirected to its Wow6432Node
    // unless KEY_WOW64_64KEY is asked for, <Windows>\System32 to <Windows>\SysWOW64, and
    // <Windows>\Sysnative reaches the real System32.
    Wow64Process
};
void SetProcessKind(ProcessKind kind);
// Whether the machine is Wine rather than Windows (RunningUnderWine); a fresh machine is Windows.
void SetRunningUnderWine(bool wine);

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

// How long the name server takes, on the headless toolkit's clock (nothing really waits). It
// is asked for every name that is not a dotted address and for every reverse lookup, while the
// name service is on. A server that never answers leaves the resolver to give up on its own:
// the call fails after kResolverGivesUp.
inline constexpr unsigned kNeverAnswers = 0xFFFFFFFF;
inline constexpr unsigned kResolverGivesUp = 15000;
void SetNameServerDelay(unsigned milliseconds);
// The same for one name, or one address asked in reverse, before the general delay.
void SetLookupDelay(const std::string& name, unsigned milliseconds);
void SetReverseLookupDelay(const Ipv4& address, unsigned milliseconds);
// TakeLookupTime (virtual_clock.h): milliseconds the name service took since the last call.

// --- TCP connections ---------------------------------------------------------------------

// How the endpoint answers a connection and after how many milliseconds (nothing really
// waits); an answer that would come after the deadline is no answer. An endpoint not set up
// here never answers.
void SetTcpAnswer(const Ipv4& address, std::uint16_t port, TcpAnswer answer,
                  unsigned milliseconds = 0);
// Milliseconds the connections took since the last call.
std::uint64_t TakeConnectTime();

// --- Cursor ------------------------------------------------------------------------------

// Every change of the busy cursor, in order (true = busy); BusyCursorShown (virtual_clock.h)
// tells whether it shows now.
const std::vector<bool>& CursorChanges();

// --- Files, the running program and time ------------------------------------------------

// Paths are full paths ("C:\dir\name"), either separator, compared without regard to case.
// A fresh machine has drive C: with the folder C:\Orvano holding the running program,
// C:\Orvano\Orvano.exe. INI files live here too, as the bytes the profile calls write.

// Creates the folder and any missing parents.
void CreateFolder(const std::string& path);
// Creates or replaces a file with these bytes, creating missing parent folders.
void PutFile(const std::string& path, const std::string& bytes,
             std::uint32_t attributes = kFileAttributeArchive);
// The file's bytes; nullopt when there is no file (or a folder) at the path.
std::optional<std::string> FileBytes(const std::string& path);
// Every file (not folder), by full path, sorted without regard to case.
std::vector<std::string> ListFiles();

// What GetModuleFileNameA reports for the running program (the file itself is not touched).
void SetModulePath(const std::string& path);
// Milliseconds slept through Sleep since the last Reset; nothing really waits.
std::uint64_t SleptMilliseconds();
// Whether the program kept its own folder out of the library search.
bool LibrarySearchRestricted();
// A named mutex that another process holds.
void HoldNamedMutex(const std::string& name);

}  // namespace orvano::platform::memory

// --- Data resources of the program image ----------------------------------------------------

namespace orvano::platform::memory {

// Adds or replaces the RT_RCDATA resource `name` (any case finds it). Reset leaves the table
// alone: resources are part of the program, not of the machine. A build that links the
// program's payload resources has them all from the start.
void PutResource(const std::string& name, const std::string& bytes);
void RemoveResource(const std::string& name);

}  // namespace orvano::platform::memory

namespace orvano::platform::memory {

// A program holds the file open: it cannot be written, replaced, deleted or stamped, but it can
// be read. Windows cannot name the program; false lets go of the file for every holder.
void SetFileInUse(const std::string& path, bool inUse = true);
// The same for a program that Windows names `program` (another holder of a held file adds its
// name).
void HoldFile(const std::string& path, const std::string& program);

}  // namespace orvano::platform::memory
