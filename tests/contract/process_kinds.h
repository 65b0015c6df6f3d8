// The kinds of process a contract case runs as. On the host the in-memory machine plays a
// 64-bit Windows and runs the case twice: as a 64-bit process and as a 32-bit process under
// WOW64. On Windows the case runs once, as the process it is (x64 under wine64, x86 under
// WOW64), and asks the port which kind that is.
#pragma once

#include <functional>
#include <string>

namespace orvano::contract {

// Calls `body` once per kind of process, with a name for the kind; the case itself asks
// platform::IsWow64Process() which facts to expect.
void ForEachProcessKind(const std::function<void(const std::string& kind)>& body);

}  // namespace orvano::contract
