// The in-memory machine's state, shared by the memory implementations of the port.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
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

// A file or folder of the in-memory file system.
struct FileNode {
    bool directory = false;
    std::uint32_t attributes = kFileAttributeArchive;
    std::string bytes;
    FileTimes times{};
    bool inUse = false;  // held open by a program: cannot be written, replaced or deleted
    std::vector<std::string> holders{};  // the programs holding it that Windows can name
};

struct Machine {
    std::shared_ptr<Key> currentUser = std::make_shared<Key>();
    std::shared_ptr<Key> localMachine = std::make_shared<Key>();
    std::map<RegKey, OpenHandle> handles;
    RegKey nextHandle = 0x1000;
    ProcessKind processKind = ProcessKind::Native;
    bool underWine = false;
    bool readOnly[2] = {false, false};

    std::array<int, static_cast<int>(Call::kCount)> calls{};
    // Planned failures: call -> (remaining count before it fails, error).
    std::vector<std::tuple<Call, int, long>> failures;

    std::map<std::string, std::vector<Ipv4>, NoCaseLess> hosts;
    std::map<Ipv4, std::string> reverse;
    bool nameServiceOn = true;
    std::uint16_t winsockVersion = 0x0202;
    int winsockUsers = 0;
    unsigned nameServerDelay = 0;
    std::map<std::string, unsigned, NoCaseLess> lookupDelays;
    std::map<Ipv4, unsigned> reverseDelays;
    std::uint64_t lookupTime = 0;
    // TCP endpoints that answer: address and port to the answer and how long it takes.
    std::map<std::pair<Ipv4, std::uint16_t>, std::pair<TcpAnswer, unsigned>> tcpAnswers;
    std::uint64_t connectTime = 0;

    bool librarySearchRestricted = false;
    bool busyCursor = false;
    std::vector<bool> cursorChanges;

    // Files and folders by normal path (see NormalPath), spelled as first created; drive
    // roots are folders too.
    std::map<std::string, FileNode, NoCaseLess> files;
    std::string modulePath;
    std::string currentFolder = "C:\\Orvano";
    std::uint64_t sleptMilliseconds = 0;
    std::set<std::string> mutexes;  // names are case-sensitive, as the kernel's objects are
};

Machine& TheMachine();

// Counts the call and tells whether it is planned to fail; error gets the planned code.
bool CallFails(Call call, long& error);

// --- File system (memory/files.cpp) ----------------------------------------------------------

// The key a full path is stored under: "X:" and "\name" per part, either separator, "." and
// ".." resolved, trailing dots and blanks of names dropped as Windows drops them. "" for a
// path that is not a full path.
std::string NormalPath(const std::string& path);
// The normal path a program's file call reaches: for a 32-bit process on 64-bit Windows,
// <Windows>\System32 is redirected to <Windows>\SysWOW64 and <Windows>\Sysnative reaches
// the real System32. Test control calls use NormalPath: they see the disk as it is.
std::string ProcessPath(const std::string& path);
// The folder part of a normal path; "" for a drive root.
std::string ParentOf(const std::string& normal);
// The node at a normal path, null when there is none.
FileNode* FindNode(const std::string& normal);
// A file node for a normal path whose folder exists: the existing one, or a new empty one.
// Null when the folder is missing or a folder has that name.
FileNode* MakeFile(const std::string& normal);

}  // namespace orvano::platform::memory
