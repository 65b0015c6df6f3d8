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

// --- Window placement ---------------------------------------------------------------------

// The main window's placement as it will be saved, and its designed size.
struct Placement {
    int x = 0, y = 0, w = 0, h = 0, minm = 0;
    int w0 = 0, h0 = 0;
};
Placement placement;

void TakeCurrentPlacement(ui::Dialog dialog) {
    ui::GetDialogLocation(dialog, placement.x, placement.y);
    ui::GetDialogSize(dialog, placement.w, placement.h);
}

int Clamped(int position, int size, int start, int length) {
    if (position + size > start + length) position = start + length - size;
    return position < start ? start : position;
}

// A placement stored on a monitor that is gone (a laptop undocked) would open the window where
// nobody can see it, and the program would seem not to start.
void KeepOnWorkArea(ui::Dialog dialog, Placement& r) {
    const ui::UnitRect stored{r.x, r.y, r.w, r.h};
    ui::UnitRect area;
    if (!ui::NearestWorkArea(dialog, stored, area)) return;
    const ui::UnitRect fitted = FitOnWorkArea(stored, r.w0, r.h0, area);
    if (fitted == stored) return;
    if (fitted.width != r.w || fitted.height != r.h)
        ui::SetDialogSize(dialog, fitted.width, fitted.height);
    ui::SetDialogLocation(dialog, fitted.x, fitted.y);
    r.x = fitted.x;
    r.y = fitted.y;
    r.w = fitted.width;
    r.h = fitted.height;
}

void RestorePlacement(ui::Dialog dialog) {
    placement = {};
    ui::GetDialogSize(dialog, placement.w0, placement.h0);
    const std::string file = SettingsFilePath();
    if (file.empty() || !p::FileExists(file)) {
        TakeCurrentPlacement(dialog);
        return;
    }
    const struct {
        const char* key;
        int* field;
    } stored[] = {{kKeyWindowX, &placement.x},
                  {kKeyWindowY, &placement.y},
                  {kKeyWindowW, &placement.w},
                  {kKeyWindowH, &placement.h},
                  {kKeyWindowMinm, &placement.minm}};
    bool found = false;
    for (const auto& s : stored) {
        std::string text = Trimmed(ReadValue(file, kSectionWindow, s.key, "", kPositionBuffer));
        if (text.empty()) continue;
        *s.field = ToInteger(text);
        found = true;
    }
    Placement& r = placement;
    if (found && (r.x > 0 || r.y > 0 || r.w > 0 || r.h > 0)) {
        ui::SetDialogLocation(dialog, r.x, r.y);
        if (r.w0 < r.w || r.h0 < r.h) {
            // Never smaller than designed in both directions at once; and a width or height
            // of 0 or less from a file edited by hand would leave no window to see.
            if (r.w <= 0) r.w = r.w0;
            if (r.h <= 0) r.h = r.h0;
            ui::SetDialogSize(dialog, r.w, r.h);
        } else {
            r.w = r.w0;
            r.h = r.h0;
        }
        KeepOnWorkArea(dialog, r);
    }
    // Taken before minimising: a minimised window's own location is the icon's, not the
    // place it returns to.
    if (r.x == 0 || r.y == 0 || r.w == 0 || r.h == 0) TakeCurrentPlacement(dialog);
    if (found && r.minm == 1) ui::ShowWindowAs(dialog, ui::kSwMinimize);
}

void SavePlacement() {
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

}  // namespace

ui::UnitRect FitOnWorkArea(const ui::UnitRect& window, int designedWidth, int designedHeight,
                           const ui::UnitRect& area) {
    ui::UnitRect fitted = window;
    if (fitted.width > area.width || fitted.height > area.height) {
        fitted.width = designedWidth;
        fitted.height = designedHeight;
    }
    fitted.x = Clamped(fitted.x, fitted.width, area.x, area.width);
    fitted.y = Clamped(fitted.y, fitted.height, area.y, area.height);
    return fitted;
}

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

void TrackWindowPlacement(ui::Dialog dialog, std::uint32_t message, ui::WParam wParam,
                          ui::LParam /*lParam*/) {
    switch (message) {
        case ui::kWmInitDialog:
            RestorePlacement(dialog);
            break;
        case ui::kWmExitSizeMove:
            TakeCurrentPlacement(dialog);
            break;
        case ui::kWmSize:
            placement.minm = static_cast<int>(wParam);
            break;
        case ui::kWmSysCommand:
            // Comes before minimising takes effect, so the restored placement stays recorded.
            if (placement.minm == 0) TakeCurrentPlacement(dialog);
            break;
        case ui::kWmClose:
            SavePlacement();
            break;
        default:
            break;
    }
}

}  // namespace orvano::app
