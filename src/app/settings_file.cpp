#include "app/settings_file.h"

#include <climits>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "sysinfo/text.h"

namespace orvano::app {

namespace p = orvano::platform;
using sysinfo::kDigits;
using sysinfo::KeepOnly;
using sysinfo::Trimmed;

namespace {

constexpr std::uint32_t kStampBuffer = 520;     // 519 characters
constexpr std::uint32_t kPositionBuffer = 260;  // 259 characters
constexpr std::uint32_t kOptionBuffer = 520;    // options and the start command
constexpr unsigned kWaitAfterDelete = 100;      // ms

std::string ReadValue(const std::string& file, const char* section, const char* key,
                      const char* fallback, std::uint32_t size) {
    std::string text;
    p::GetIniString(section, key, fallback, text, size, file);
    return text;
}

// A number above 0: some digit other than 0, however long the digits run.
bool Positive(const std::string& digits) {
    return digits.find_first_not_of('0') != std::string::npos;
}

bool StampMatches(const std::string& file, const std::string& date, const std::string& version) {
    std::string stored = ReadValue(file, kSectionStamp, kKeyVersion, "0.0.0.0", kStampBuffer);
    std::string dotted = KeepOnly(stored, sysinfo::kAddressCharacters);
    bool versionMatches = !dotted.empty() && Positive(KeepOnly(stored, kDigits)) &&
                          dotted == KeepOnly(version, sysinfo::kAddressCharacters);
    stored = ReadValue(file, kSectionStamp, kKeyDate, "00000000", kStampBuffer);
    std::string digits = KeepOnly(stored, kDigits);
    bool dateMatches = !digits.empty() && Positive(digits) && digits == KeepOnly(date, kDigits);
    return versionMatches && dateMatches;
}

// The defaults, in the order other versions of the program wrote them. Values with a trailing
// CR LF leave an empty line in the file, which readers trim away.
void CreateDefaults(const std::string& file) {
    if (p::FileExists(file)) return;
    p::WriteIniSection(kSectionWindow, {std::string(kKeyWindowX) + "=\r\n"}, file);
    p::WriteIniString(kSectionStamp, kKeyVersion, "\"0.0.0.0\"", file);
    p::WriteIniString(kSectionStamp, kKeyDate, "\"00000000\"\r\n", file);
    p::WriteIniString(kSectionOptions, kKeyAllProgExit, "\"1\"\r\n", file);
    p::WriteIniString(kSectionCommand, kKeyCommand, "\"\"\r\n", file);
}

std::string Quoted(const std::string& text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}

bool EndsWithExe(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return tail == ".EXE";
}

// Leading blanks, a sign and the digits that follow; anything else ends the number. Values
// beyond the range of int stop at its ends.
int ToInteger(const std::string& text) {
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos) return 0;
    bool negative = text[at] == '-';
    if (text[at] == '-' || text[at] == '+') ++at;
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

std::string SettingsFilePath() {
    std::string module = p::ModuleFileName();
    if (module.empty()) return "";
    if (EndsWithExe(module)) return module.substr(0, module.size() - 3) + "ini";
    return module + ".ini";
}

int StampSettingsFile(const std::string& date, const std::string& version) {
    const std::string file = SettingsFilePath();
    if (file.empty()) return 0;
    int created = 0;
    if (!p::FileExists(file)) {
        CreateDefaults(file);
        created = 1;
    } else if (!StampMatches(file, date, version)) {
        p::RemoveFile(file);
        p::Sleep(kWaitAfterDelete);
        CreateDefaults(file);
        created = 1;
    }
    if (created == 1) {
        p::WriteIniString(kSectionStamp, kKeyVersion,
                          Quoted(KeepOnly(version, sysinfo::kAddressCharacters)), file);
        p::WriteIniString(kSectionStamp, kKeyDate, Quoted(KeepOnly(date, kDigits)), file);
    }
    return StampMatches(file, date, version) ? 1 : 0;
}

int ReadStartCommand(std::string& command) {
    command.clear();
    const std::string file = SettingsFilePath();
    if (file.empty()) return 0;
    command = Trimmed(ReadValue(file, kSectionCommand, kKeyCommand, "", kOptionBuffer));
    return command.empty() ? 0 : 1;
}

int ReadAllProgExit(std::string& value) {
    const std::string file = SettingsFilePath();
    if (file.empty() || !p::FileExists(file)) return 0;
    std::string reduced =
        KeepOnly(ReadValue(file, kSectionOptions, kKeyAllProgExit, "1", kOptionBuffer), "01");
    if (reduced.empty()) return 0;
    value = reduced;
    return 1;
}

bool ReadStoredPlacement(StoredPlacement& placement) {
    const std::string file = SettingsFilePath();
    if (file.empty() || !p::FileExists(file)) return false;
    const std::pair<const char*, int*> stored[] = {{kKeyWindowX, &placement.x},
                                                   {kKeyWindowY, &placement.y},
                                                   {kKeyWindowW, &placement.w},
                                                   {kKeyWindowH, &placement.h},
                                                   {kKeyWindowMinm, &placement.minm}};
    bool found = false;
    for (const auto& [key, field] : stored) {
        std::string text = Trimmed(ReadValue(file, kSectionWindow, key, "", kPositionBuffer));
        if (text.empty()) continue;
        *field = ToInteger(text);
        found = true;
    }
    return found;
}

void WriteStoredPlacement(const StoredPlacement& placement) {
    const std::string file = SettingsFilePath();
    if (file.empty()) return;
    const std::pair<const char*, int> values[] = {{kKeyWindowX, placement.x},
                                                  {kKeyWindowY, placement.y},
                                                  {kKeyWindowW, placement.w},
                                                  {kKeyWindowH, placement.h},
                                                  {kKeyWindowMinm, placement.minm}};
    for (const auto& [key, value] : values)
        p::WriteIniString(kSectionWindow, key, std::to_string(value), file);
}

}  // namespace orvano::app
