// The in-memory machine's state, shared by the memory implementations of the port.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/memory/control.h"

namespace orvano::platform::memory {

// Upper case by the Windows-1252 tables, as the system's ANSI functions see it.
unsigned char UpperAnsi(unsigned char c);

// Case-insensitive ordering as the registry sorts subkey names (compared in upper case).
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
bool SameNoCase(const std::string& a, const std::string& b);

struct Key {
    std::string name;
    std::map<std::string, std::shared_ptr<Key>, NoCaseLess> subkeys;
    std::vector<StoredValue> values;  // creation order, as Windows enumerates them
    bool deleted = false;
};

struct OpenHandle {
    std::shared_ptr<Key> key;
    RegKey root = 0;
    std::uint32_t access = 0;
};

struct Machine {
    std::shared_ptr<Key> currentUser = std::make_shared<Key>();
    std::shared_ptr<Key> localMachine = std::make_shared<Key>();
    std::map<RegKey, OpenHandle> handles;
    RegKey nextHandle = 0x1000;
    ProcessKind processKind = ProcessKind::Native;
    bool readOnly[2] = {false, false};

    std::array<int, static_cast<int>(Call::kCount)> calls{};
    // Planned failures: call -> (remaining count before it fails, error).
    std::vector<std::tuple<Call, int, long>> failures;

    std::map<std::string, std::vector<Ipv4>, NoCaseLess> hosts;
    std::map<Ipv4, std::string> reverse;
    bool nameServiceOn = true;
    std::uint16_t winsockVersion = 0x0202;
    int winsockUsers = 0;

    bool busyCursor = false;
    std::vector<bool> cursorChanges;
};

Machine& TheMachine();

// Counts the call and tells whether it is planned to fail; error gets the planned code.
bool CallFails(Call call, long& error);

}  // namespace orvano::platform::memory
