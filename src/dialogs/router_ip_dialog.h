// The router IP dialog: shows, changes and deletes the router address the network CAPI client
// reads, in the native key and in its Wow6432Node twin, one section editable at a time.
#pragma once

#include "ui/toolkit.h"

namespace orvano::dialogs {

inline constexpr char kRouterIpTitle[] = " Orvano IP-Adresse";

namespace router_ip {
inline constexpr int kTitle = 8251, kOk = 8255, kAddressHint = 8252, kLineHint = 8253;
inline constexpr int kSectionSwitch = 8297;  // " Wow6432Node ": which section is editable
inline constexpr int kStatus = 8254;  // one line: what the name service is asked, or why it failed

// The native section.
inline constexpr int kFrame = 8261, kKeyName = 8298, kMissing = 8502, kValueName = 8262,
                     kAddress = 8263, kChange = 8264, kChangeAsked = 8280,
                     kDelete = 8265, kDeleteAsked = 8281, kChangeYes = 8276, kChangeNo = 8277,
                     kDeleteYes = 8278, kDeleteNo = 8279, kPresetName = 8290, kHost12 = 8292,
                     kHost3 = 8293, kRegFile = 8715;

// The Wow6432Node section.
inline constexpr int kWowFrame = 8271, kWowKeyName = 8299, kWowMissing = 8503, kWowValueName = 8272,
                     kWowAddress = 8273, kWowChange = 8274,
                     kWowChangeAsked = 8284, kWowDelete = 8275, kWowDeleteAsked = 8282,
                     kWowChangeYes = 8286, kWowChangeNo = 8287, kWowDeleteYes = 8288,
                     kWowDeleteNo = 8289, kWowPresetName = 8294, kWowHost12 = 8295,
                     kWowHost3 = 8296, kWowRegFile = 8716;
}  // namespace router_ip

// Runs the dialog over `owner`. OK ends it with 1 when a router address is stored in either
// view, 0 otherwise; the close box ends it with 0.
int ShowRouterIpDialog(ui::Window owner);

}  // namespace orvano::dialogs
