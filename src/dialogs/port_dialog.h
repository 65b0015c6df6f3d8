// The port dialog: shows, changes and deletes the TCP port of the router's CAPI-over-TCP
// service, in the native key and in its Wow6432Node twin, one section editable at a time.
#pragma once

#include "ui/toolkit.h"

namespace orvano::dialogs {

inline constexpr char kPortTitle[] = " Orvano Port";

namespace port_dialog {
inline constexpr int kTitle = 8451, kOk = 8455, kPortHint = 8452, kLineHint = 8453;
inline constexpr int kSectionSwitch = 8497;  // " Wow6432Node ": which section is editable

// The native section.
inline constexpr int kFrame = 8461, kKeyName = 8498, kMissing = 8504, kValueName = 8462,
                     kPort = 8463, kHexName = 8500, kChange = 8464, kChangeAsked = 8480,
                     kDelete = 8465, kDeleteAsked = 8481, kChangeYes = 8476, kChangeNo = 8477,
                     kDeleteYes = 8478, kDeleteNo = 8479, kPresetName = 8490, kDefault = 8492,
                     kRegFile = 8717;

// The Wow6432Node section.
inline constexpr int kWowFrame = 8471, kWowKeyName = 8499, kWowMissing = 8505, kWowValueName = 8472,
                     kWowPort = 8473, kWowHexName = 8501, kWowChange = 8474,
                     kWowChangeAsked = 8484, kWowDelete = 8475, kWowDeleteAsked = 8482,
                     kWowChangeYes = 8486, kWowChangeNo = 8487, kWowDeleteYes = 8488,
                     kWowDeleteNo = 8489, kWowPresetName = 8494, kWowDefault = 8495,
                     kWowRegFile = 8718;
}  // namespace port_dialog

// Runs the dialog over `owner`. OK ends it with 1 when a port is stored in either view, 0
// otherwise; the close box ends it with 0.
int ShowPortDialog(ui::Window owner);

}  // namespace orvano::dialogs
