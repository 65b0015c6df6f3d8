// Registry scripts ("Windows Registry Editor Version 5.00") of the settings this program
// manages: the file format, its writers, the fixed file names, and the text that a settings
// dialog hands to the registry-entry dialog.
#pragma once

#include <string>

namespace orvano::dialogs {

inline constexpr char kRegHeader[] = "Windows Registry Editor Version 5.00";
inline constexpr char kCrLf[] = "\r\n";

// The registry scripts the program writes, each under a fixed name in the program's folder:
// the router address and port of either view from a dialog's field, the fax application's
// ISDN settings and country code as a dialog hands them over (PendingRegText), and the two
// built-in scripts of the router's default address.
enum class RegEntry {
    RouterAddress,
    RouterAddressWow,
    Port,
    PortWow,
    Isdn,
    IsdnWow,
    Defaults,
    DefaultsWow,
    CountryCode,
};

// The file an entry is written to.
std::string RegFileName(RegEntry entry);

// BuildRegText modes.
inline constexpr int kBuildHeader = 0;
inline constexpr int kBuildAddress = 1, kBuildAddressWow = 2, kBuildPort = 3, kBuildPortWow = 4;
inline constexpr int kTextAddress = 11, kTextAddressWow = 12, kTextPort = 13, kTextPortWow = 14;

// The header, CR LF CR LF, the body, CR LF CR LF, as UTF-16LE with its byte-order mark; an
// existing file is replaced. 0 without touching the disk for an empty path or a blank body.
int WriteRegFile(const std::string& path, const std::string& body);
// The bytes as they are, under the same rules.
int WriteRawFile(const std::string& path, const std::string& bytes);
// Builds the header (mode 0) or the section of an address or port (modes 11-14), or builds
// and writes it (modes 1-4). A value that fails its check leaves the text alone and gives 0.
int BuildRegText(const std::string& path, std::string& text, const std::string& value, int mode);

// The body a settings dialog hands to the registry-entry dialog.
std::string PendingRegText();
void SetPendingRegText(const std::string& text);
void ClearPendingRegText();

// "\"name\"=\"text\"" and "\"name\"=dword:xxxxxxxx".
std::string RegTextValueLine(const std::string& name, const std::string& text);
std::string RegNumberValueLine(const std::string& name, const std::string& hex);

}  // namespace orvano::dialogs
