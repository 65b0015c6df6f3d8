// What the main window's buttons, clickable labels, menu, timers and companion-program
// messages do, and how the window closes.
#pragma once

#include <cstdint>

#include "ui/toolkit.h"

namespace orvano::app {

inline constexpr char kStatusToolFile[] = "Statoro.exe";
inline constexpr char kTestToolFile[] = "Teluso.exe";
inline constexpr char kDbaseToolFile[] = "Dambra.exe";
inline constexpr char kFaxWindowTitle[] = "FRITZ!fax";
inline constexpr char kToolCollectionTitle[] = " Quendra Tools";
inline constexpr std::uintptr_t kFaxSettingsCommand = 32834;
inline constexpr char kQuitQuestion[] = " ? Programm beenden : JA / NEIN ";

// The main window's handling of every message beyond its opening and refreshes.
void HandleMainWindowMessage(ui::Dialog dialog, std::uint32_t message, ui::WParam wParam,
                             ui::LParam lParam);

}  // namespace orvano::app
