// The settings file beside the executable: the main window's last placement, the version and
// date of the program that made the file, the option for closing companion programs and an
// optional start command. Read and written only through the private-profile calls.
#pragma once

#include <cstdint>
#include <string>

#include "ui/toolkit.h"

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

// Where a window goes so that all of it lies on the work area: moved the least distance, with
// its size when that fits the area, else with its designed size.
ui::UnitRect FitOnWorkArea(const ui::UnitRect& window, int designedWidth, int designedHeight,
                           const ui::UnitRect& area);

// Called with every message of the main window before its own handling: restores the window's
// placement when it opens, follows moves, resizing and minimising, and saves it on WM_CLOSE.
void TrackWindowPlacement(ui::Dialog dialog, std::uint32_t message, ui::WParam wParam,
                          ui::LParam lParam);

}  // namespace orvano::app
