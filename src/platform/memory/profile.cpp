// INI files of the in-memory machine, kept as bytes in its file system. Every call reads the
// file afresh, as the private-profile calls do; a write serialises the whole file again, in
// the form Wine and Windows give it: "[section]" and "key=value" lines ending in CR LF, blank
// lines dropped, names and values trimmed, the value just written stored as given.
#include <cstring>

#include "platform/memory/state.h"
#include "platform/profile.h"

namespace orvano::platform {

using memory::Call;
using memory::CallFails;
using memory::FileNode;
using memory::SameNoCase;

namespace {

bool IsSpace(char c) {
    return c != '\0' && std::strchr(" \t\n\v\f\r\x1a", c) != nullptr;
}

std::string TrimLeft(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && IsSpace(text[start])) ++start;
    return text.substr(start);
}

std::string TrimRight(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && IsSpace(text[end - 1])) --end;
    return text.substr(0, end);
}

std::string Trim(const std::string& text) {
    return TrimRight(TrimLeft(text));
}

// The calls take C strings: whatever follows a NUL is never seen.
std::string CutAtNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

struct IniKey {
    std::string name;
    bool hasValue = false;  // a line without "=" is kept as a name alone
    std::string value;
};

struct IniSection {
    std::string name;  // "" for lines before the first header
    std::vector<IniKey> keys;
};

using Profile = std::vector<IniSection>;

// Lines end at any run of CR and LF characters.
Profile Parse(const std::string& bytes) {
    Profile profile(1);
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = Trim(bytes.substr(at, end - at));
        at = bytes.find_first_not_of("\r\n", end);
        if (at == std::string::npos) at = bytes.size();
        if (line.empty()) continue;
        if (line[0] == '[') {
            std::size_t close = line.rfind(']');
            if (close != std::string::npos) {
                profile.push_back({CutAtNul(Trim(line.substr(1, close - 1))), {}});
                continue;
            }
        }
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            profile.back().keys.push_back({CutAtNul(line), false, ""});
        } else {
            profile.back().keys.push_back({CutAtNul(TrimRight(line.substr(0, equals))), true,
                                           CutAtNul(TrimLeft(line.substr(equals + 1)))});
        }
    }
    return profile;
}

std::string Serialise(const Profile& profile) {
    std::string bytes;
    for (const IniSection& section : profile) {
        if (!section.name.empty()) bytes += "[" + section.name + "]\r\n";
        for (const IniKey& key : section.keys) {
            bytes += key.name;
            if (key.hasValue) bytes += "=" + key.value;
            bytes += "\r\n";
        }
    }
    return bytes;
}

IniSection* FindSection(Profile& profile, const std::string& name) {
    std::string wanted = Trim(CutAtNul(name));
    for (IniSection& section : profile)
        if (SameNoCase(section.name, wanted)) return &section;
    return nullptr;
}

IniKey* FindKey(IniSection& section, const std::string& name) {
    std::string wanted = Trim(CutAtNul(name));
    for (IniKey& key : section.keys)
        if (SameNoCase(key.name, wanted)) return &key;
    return nullptr;
}

// The file as a profile call opens it. Fails for a path that is not a full path, a missing
// folder, a folder of that name, and (for writing) a read-only file; a missing file opens empty.
struct OpenedFile {
    bool opened = false;
    std::string normal;
    Profile profile;
};

OpenedFile Open(const std::string& file, bool forWriting) {
    OpenedFile opened;
    opened.normal = memory::ProcessPath(CutAtNul(file));
    const FileNode* folder = memory::FindNode(memory::ParentOf(opened.normal));
    if (opened.normal.empty() || !folder || !folder->directory) return opened;
    const FileNode* node = memory::FindNode(opened.normal);
    if (node && node->directory) return opened;
    if (node && forWriting && (node->attributes & kFileAttributeReadOnly)) return opened;
    opened.profile = Parse(node ? node->bytes : "");
    opened.opened = true;
    return opened;
}

bool Save(const OpenedFile& opened) {
    FileNode* node = memory::MakeFile(opened.normal);
    if (!node) return false;
    node->bytes = Serialise(opened.profile);
    return true;
}

// Sets one key; a new section or key takes the name without its leading blanks. Returns
// whether anything changed: the same value again leaves the file as it is.
bool SetValue(Profile& profile, const std::string& sectionName, const std::string& keyName,
              const std::string& value, bool alwaysAppend) {
    IniSection* section = FindSection(profile, sectionName);
    if (!section) {
        profile.push_back({TrimLeft(CutAtNul(sectionName)), {}});
        section = &profile.back();
    }
    IniKey* key = alwaysAppend ? nullptr : FindKey(*section, keyName);
    std::string stored = TrimLeft(CutAtNul(value));
    if (key && key->hasValue && key->value == stored) return false;
    if (!key) {
        section->keys.push_back({TrimLeft(CutAtNul(keyName)), false, ""});
        key = &section->keys.back();
    }
    key->hasValue = true;
    key->value = stored;
    return true;
}

// Trailing blanks (spaces only) leave the default, though never its first character.
std::string TrimmedDefault(const std::string& text) {
    std::string result = CutAtNul(text);
    while (result.size() > 1 && result.back() == ' ') result.pop_back();
    return result;
}

// Copies a value into a buffer of `size` characters and its NUL. A value in matching quotes
// loses them; when the buffer is no longer than the value without its opening quote, the
// last character copied is dropped in place of the closing quote, as Wine does.
std::string CopyEntry(const std::string& value, std::uint32_t size) {
    std::string text = value;
    bool quoted = text.size() >= 2 && (text[0] == '"' || text[0] == '\'') && text.back() == text[0];
    if (quoted) text.erase(0, 1);
    std::string copied = text.substr(0, size - 1);
    if (quoted && size >= text.size() && !copied.empty()) copied.pop_back();
    return copied;
}

}  // namespace

std::uint32_t GetIniString(const std::string& section, const std::string& key,
                           const std::string& defaultText, std::string& text, std::uint32_t size,
                           const std::string& file) {
    text.clear();
    long error = 0;
    bool fails = CallFails(Call::GetIniString, error);
    if (size == 0) return 0;
    std::string fallback = TrimmedDefault(defaultText);
    OpenedFile opened;
    if (!fails) opened = Open(file, false);
    if (!opened.opened) {
        // A file that cannot be opened gives the default as it is, quotes and all.
        text = fallback.substr(0, size - 1);
        return static_cast<std::uint32_t>(text.size());
    }
    std::string value = fallback;
    if (!CutAtNul(key).empty()) {
        IniSection* found = FindSection(opened.profile, section);
        IniKey* entry = found ? FindKey(*found, key) : nullptr;
        if (entry && entry->hasValue) value = entry->value;
    }
    text = CopyEntry(value, size);
    return static_cast<std::uint32_t>(text.size());
}

bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file) {
    long error = 0;
    if (CallFails(Call::WriteIniString, error)) return false;
    OpenedFile opened = Open(file, true);
    if (!opened.opened) return false;
    if (!SetValue(opened.profile, section, key, value, false)) return true;
    return Save(opened);
}

bool WriteIniSection(const std::string& section, const std::vector<std::string>& lines,
                     const std::string& file) {
    long error = 0;
    if (CallFails(Call::WriteIniSection, error)) return false;
    OpenedFile opened = Open(file, true);
    if (!opened.opened) return false;
    bool changed = false;
    std::string wanted = Trim(CutAtNul(section));
    for (IniSection& existing : opened.profile) {
        if (!SameNoCase(existing.name, wanted) || existing.keys.empty()) continue;
        existing.keys.clear();
        changed = true;
    }
    for (const std::string& raw : lines) {
        std::string line = CutAtNul(raw);
        if (line.empty()) break;  // the empty string ends the list
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        SetValue(opened.profile, section, line.substr(0, equals), line.substr(equals + 1), true);
        changed = true;
    }
    return changed ? Save(opened) : true;
}

}  // namespace orvano::platform
