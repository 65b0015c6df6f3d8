// The settings file beside the executable: the main window's last placement, the version and
// date of the program that made the file, the option for closing companion programs and an
// optional start command. Read and written only through the private-profile calls.
#pragma once

#include <cstdint>
#include <string>


namespace orvano::app {

inline constexpr char kSectionWindow[] = "HmWinPos";
inline constexpr char kKeyWindowX[] = "HmWinPosX";
inline constexpr char kKeyWindowY[] = "HmWinPosY";
inline constexpr char kKeyWindowW[] = "HmWinPosW";
inline constexpr char kKeyWindowH[] = "HmWinPosH";
inline constexpr char kKeyWindowMinm[] = "HmWinPosMinm";
inline constexpr char kSectionStamp[] = "DateVersionInIni";
inline constexpr char kKeyVersion[] = "Version";
inline constexpr char kKeyDate[] = "Date";
inline constexpr char kSectionOptions[] = "Optionen";
inline constexpr char kKeyAllProgExit[] = "AllProgExit";
inline constexpr char kSectionCommand[] = "COMMAND";
inline constexpr char kKeyCommand[] = "CMD";

// The executable's path with ".exe" (any case) turned into ".ini"; any other name gets ".ini"
// appended, so the settings never land in the executable itself. "" when the program's own
// path cannot be had: then there is no settings file.
std::string SettingsFilePath();

// Recreates the file with defaults when it is missing or another version or date stamped it,
// then stamps it. 1 when the file carries this stamp afterwards.
int StampSettingsFile(const std::string& date, const std::string& version);

// 1 and the "CMD" value without surrounding blanks and NULs when that is not empty; else 0
// and an empty command.
int ReadStartCommand(std::string& command);

// 1 when the file exists and "AllProgExit" holds a "0" or "1"; value gets those characters
// only ("10" stays "10"). 0 leaves value as it was.
int ReadAllProgExit(std::string& value);

// The main window's last placement in "HmWinPos" (the window itself is placed by
// app/window_placement.h).
struct StoredPlacement {
    int x = 0, y = 0, w = 0, h = 0, minm = 0;
};
// true when the file exists and holds at least one of the five values; a missing or empty
// value leaves its field as it was.
bool ReadStoredPlacement(StoredPlacement& placement);
void WriteStoredPlacement(const StoredPlacement& placement);

}  // namespace orvano::app
