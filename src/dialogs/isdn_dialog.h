// The ISDN settings dialog: how the fax application reaches the CAPI (router flags per user
// and per machine, the controller, the ISDN service, fax reception on speech calls), written
// to the registry or exported as a registry script.
#pragma once

#include <cstdint>

#include "ui/toolkit.h"

namespace orvano::dialogs {

inline constexpr char kIsdnTitle[] = " Erweiterte Einstellungen ... ISDN";

namespace isdn {
// Sent or posted to the dialog: fill every control from the registry again.
inline constexpr std::uint32_t kReload = 0x8BA;

inline constexpr int kRouterFrame = 2211, kFritzBoxUser = 2212, kLine1 = 2213,
                     kFritzBoxMachine = 2214, kNewDriverMachine = 2215, kLine2 = 2231,
                     kFritzBoxMachineWow = 2232, kNewDriverMachineWow = 2233,
                     kWowSwitch = 2234;  // " 6432 ": which machine pair is edited
inline constexpr int kControllerFrame = 2216, kControllerFax = 2217, kController = 2218,
                     kControllerNumber = 2219, kInternetHint = 2220, kInternetButton = 2230,
                     kRouterIsdn = 2221, kRouterAnalog = 2222, kRouterInternet = 2223;
inline constexpr int kAdvancedFrame = 2224, kServiceFrame = 2225, kAnalogFax = 2226,
                     kIsdnFax = 2227, kIndicatorFrame = 2228, kSpeech = 2229;
inline constexpr int kRegFile = 2001, kBack = 2205, kApply = 2206;
// Names the settings stored with the wrong type; hidden while there are none.
inline constexpr int kWrongTypes = 2240;

// The highest controller number the edit box accepts.
inline constexpr std::uint32_t kMaxControllerNumber = 268435455;
}  // namespace isdn

// Runs the dialog over `owner` (the main window); always 0.
int ShowIsdnDialog(ui::Window owner);

}  // namespace orvano::dialogs
