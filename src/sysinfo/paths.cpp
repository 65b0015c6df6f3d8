#include "sysinfo/paths.h"

#include "platform/osinfo.h"
#include "platform/system.h"
#include "platform/text.h"
#include "sysinfo/text.h"

namespace orvano::sysinfo {

namespace {

// The user's name, trimmed; "" when it cannot be had.
std::string TrimmedUserName() {
    std::string name;
    if (!platform::UserName(name)) return "";
    return Trimmed(name);
}

// Windows paths ignore letter case, so "C:\Users\max" holds the account "Max".
std::size_t FindNoCase(const std::string& text, const std::string& what, std::size_t start = 0) {
    return platform::UpperCaseAnsi(text).find(platform::UpperCaseAnsi(what), start);
}

std::string ReplaceAllNoCase(const std::string& text, const std::string& what,
                             const std::string& with) {
    std::string result;
    std::size_t start = 0;
    for (std::size_t at; (at = FindNoCase(text, what, start)) != std::string::npos;
         start = at + what.size())
        result += text.substr(start, at - start) + with;
    return result + text.substr(start);
}

// Every maximal run of exactly `length` "*" replaced by the name.
std::string Unmask(const std::string& text, const std::string& name) {
    std::string result;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '*') {
            result += text[i++];
            continue;
        }
        std::size_t end = text.find_first_not_of('*', i);
        if (end == std::string::npos) end = text.size();
        result += end - i == name.size() ? name : text.substr(i, end - i);
        i = end;
    }
    return result;
}

}  // namespace

std::string ToUpper(const std::string& text) {
    return platform::UpperCaseAnsi(text);
}

std::string ProgramFolder() {
    const std::string path = platform::ModuleFileName();
    const std::size_t at = path.rfind('\\');
    return at == std::string::npos ? "" : path.substr(0, at + 1);
}

std::string FileNamePart(const std::string& path) {
    std::size_t at = path.find_last_of(":\\");
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string FolderPart(const std::string& path) {
    std::size_t at = path.find_last_of(":\\");
    return at == std::string::npos ? "" : path.substr(0, at + 1);
}

int ToFolderForm(std::string& path, std::string& buffer) {
    const std::string original = path;
    if (path.empty() && !buffer.empty()) path = buffer;
    while (!path.empty()) {
        if (path.size() >= 2 && path.compare(path.size() - 2, 2, "\\\\") == 0) {
            path.pop_back();
            continue;
        }
        if (path.back() != '\\') path += '\\';
        break;
    }
    if (!buffer.empty()) buffer = path;
    return path != original ? -1 : 0;
}

int ToFolderForm(std::string& path) {
    std::string none;
    return ToFolderForm(path, none);
}

int MaskUserName(std::string& path, int mask) {
    const std::string trimmed = Trimmed(path);
    if (trimmed.empty()) return 0;
    const std::string name = TrimmedUserName();
    if (name.empty()) return 0;
    if (mask == 1) {
        if (FindNoCase(trimmed, name) == std::string::npos) return 0;
        path = ReplaceAllNoCase(trimmed, name, std::string(name.size(), '*'));
        return 1;
    }
    if (CountOf(trimmed, '*') < name.size()) return 0;
    path = Unmask(trimmed, name);
    return 1;
}

int PathHasUserName(const std::string& path) {
    const std::string trimmed = Trimmed(path);
    const std::string name = TrimmedUserName();
    if (trimmed.empty() || name.empty()) return 0;
    return FindNoCase(trimmed, name) != std::string::npos ? 1 : 0;
}

}  // namespace orvano::sysinfo
