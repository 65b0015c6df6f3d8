#include "platform/memory/state.h"

#include "platform/memory/osinfo_control.h"

#include <algorithm>
#include <tuple>

namespace orvano::platform::memory {

unsigned char UpperAnsi(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // à..þ, not ÷
    switch (c) {
        case 0x9A:
            return 0x8A;  // š
        case 0x9C:
            return 0x8C;  // œ
        case 0x9E:
            return 0x8E;  // ž
        case 0xFF:
            return 0x9F;  // ÿ
        default:
            return c;  // ß and µ have no single-byte capital
    }
}

namespace {
unsigned char Upper(char c) {
    return UpperAnsi(static_cast<unsigned char>(c));
}
}  // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Upper(x) < Upper(y); });
}

bool SameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Upper(x) == Upper(y); });
}

Machine& TheMachine() {
    static Machine machine;
    return machine;
}

bool CallFails(Call call, long& error) {
    Machine& m = TheMachine();
    ++m.calls[static_cast<int>(call)];
    for (auto it = m.failures.begin(); it != m.failures.end(); ++it) {
        auto& [which, remaining, code] = *it;
        if (which != call) continue;
        if (--remaining == 0) {
            error = code;
            m.failures.erase(it);
            return true;
        }
    }
    return false;
}

void Reset() {
    TheMachine() = Machine{};
    Machine& m = TheMachine();
    // Every Windows machine knows itself under these.
    m.hosts["localhost"] = {Ipv4{127, 0, 0, 1}};
    m.reverse[Ipv4{127, 0, 0, 1}] = "localhost";
    // Drive C: with the running program in a folder of its own.
    m.files["C:"] = FileNode{true, kFileAttributeDirectory, ""};
    m.files["C:\\Orvano"] = FileNode{true, kFileAttributeDirectory, ""};
    m.modulePath = "C:\\Orvano\\Orvano.exe";
    m.files[m.modulePath] = FileNode{false, kFileAttributeArchive, "MZ"};
    ResetOsInfo();
}

void FailCall(Call call, int nth, long error) {
    if (nth < 1) nth = 1;
    TheMachine().failures.emplace_back(call, nth, error);
}

int CallCount(Call call) {
    return TheMachine().calls[static_cast<int>(call)];
}

int RegistryCallCount() {
    int total = 0;
    for (int c = static_cast<int>(Call::OpenKeyEx); c <= static_cast<int>(Call::CloseKey); ++c)
        total += TheMachine().calls[c];
    return total;
}

void SetProcessKind(ProcessKind kind) {
    TheMachine().processKind = kind;
}

// Gives the machine its defaults before any test has called Reset.
namespace {
const bool kInitialised = (Reset(), true);
}

}  // namespace orvano::platform::memory
