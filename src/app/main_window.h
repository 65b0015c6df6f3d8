// The main window: a status board of Windows, the fax application, every capi2032.dll, the
// vendor registry keys and the router endpoint, with the buttons that open the dialogs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/window_placement.h"
#include "ui/focus_memory.h"
#include "ui/toolkit.h"

namespace orvano::app {

inline constexpr char kMainWindowTitle[] = " Orvano";

// The window's own messages.
inline constexpr std::uint32_t kMsgRefreshEndpoint = 2235;
inline constexpr std::uint32_t kMsgRefreshCapiFolders = 2236;
inline constexpr std::uint32_t kMsgRefreshVendorKeys = 2237;
inline constexpr std::uint32_t kMsgToolAction = 2929;
inline constexpr std::uint32_t kMsgUserNameMask = 2930;

// Timers.
inline constexpr std::uintptr_t kTimerLookUp = 9998;
inline constexpr std::uintptr_t kTimerTicker = 9990;
inline constexpr std::uintptr_t kTimerBlink = 9991;
inline constexpr std::uintptr_t kTimerWatch = 9992;

// Control ids.
namespace mw {
inline constexpr int kTitle = 3010, kWindowsFrame = 3011, kMicrosoftLabel = 3012, kEdition = 3013,
                     kInstallDate = 3014, kWindowsLabel = 3015, kVersion = 3016, kBrowser = 3017;
inline constexpr int kFaxFrame = 3021, kFaxLabel = 3022, kFaxSettingsLabel = 8823,
                     kFaxVersionLabel = 3027, kFaxVersion = 3028, kProgramPathLabel = 3024,
                     kProgramPath = 3023, kDataPathLabel = 3025, kDataFolderButton = 3070,
                     kDataPath = 3026, kMaskUserName = 8821, kUserNameWarning = 8824;
inline constexpr int kCapiFrame = 3031, kFaxCapiLabel = 3032, kFaxCapiPath = 3033,
                     kFaxCapiVersion = 3034, kSystem32Label = 3035, kSystem32Path = 3036,
                     kSystem32Version = 3037, kSysWow64Label = 3038, kSysWow64Path = 3039,
                     kSysWow64Version = 3040;
inline constexpr int kKeysFrame = 3041, kHkcuLabel = 3042, kHkcu = 3043, kHklmLabel = 3044,
                     kHklm = 3045, kWowLabel = 3046, kWow = 3047, kAddressLabel = 3059,
                     kPortLabel = 3060, kAddress = 3061, kPort = 3062, kWowAddress = 3063,
                     kWowPort = 3064;
inline constexpr int kToolsFrame = 3051, kSettingsFrame = 3071, kLookUpFrame = 3069,
                     kOrvanoLabel = 3072, kSettingLabel = 3073, kAddressButton = 3074,
                     kPortButton = 3075, kLookUpButton1 = 3065, kLookUpResult1 = 3066,
                     kLookUpButton3 = 3067, kLookUpResult3 = 3068;
inline constexpr int kTestFrame = 8643, kCapiCreateFrame = 8636, kCapiLabel = 8637,
                     kCreateLabel = 8638, kCapiCreateButton = 8639, kCapiTestLabel = 8645,
                     kStatusToolLabel = 8822, kTestToolCreateButton = 8719, kTestToolButton = 8644,
                     kDbaseButton = 8647;
inline constexpr int kIsdnButton = 3004, kQuitButton = 3005, kPhoneLabel = 3007,
                     kPhoneOnLabel = 3008, kPhoneOffLabel = 3009, kWarningFrame = 8648,
                     kWarningTicker = 8650, kWarningLine = 8817, kRegFileButton = 2950;
// The items of the " Reg Datei " button's menu: the built-in scripts of the default address.
inline constexpr int kMenuDefaults = 2951, kMenuDefaultsWow = 2952;
}  // namespace mw

// Builds the main window, runs it until it is closed and returns its result.
int ShowMainWindow();

// The main window's callback: the window placement sees every message first.
std::intptr_t MainWindowCallback(ui::Dialog dialog, std::uint32_t message, ui::WParam wParam,
                                 ui::LParam lParam);

// What the main window keeps while it is open; it starts afresh when the window opens.
struct MainWindowState {
    int faxProgramFound = 0;
    int numbersStatus = 0;
    // The data path as stored; the field shows it with the user's name masked when asked to.
    std::string dataPath;
    std::size_t tickerPosition = 0;
    int blinkPhase = 0;
    ui::FocusMemory focus;
    WindowPlacement placement;
};
MainWindowState& MainWindowStateOf();

// Puts the data path into its field, masked while the mask box is ticked.
void ShowDataPath(ui::Dialog dialog, const std::string& path);

}  // namespace orvano::app
