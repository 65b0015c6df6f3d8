// The registry-entry dialog: shows one entry as registry-script text and saves it under its
// fixed file name in the program's folder.
#pragma once

#include "ui/toolkit.h"

namespace orvano::dialogs {

inline constexpr char kRegistryEntryTitle[] = " Registry Eintrag";

namespace red {
// Reported after the file's path when it could not be written.
inline constexpr char kNotSaved[] = "nicht gespeichert ";
inline constexpr int kTopLabel = 8701, kFrame = 8702, kInfoLabel = 8711, kText = 8712,
                     kCaption = 8713, kSave = 8714, kOk = 8705;
}  // namespace red

// The source controls of the router IP and port dialogs that selectors 8715-8718 read.
inline constexpr int kRouterAddressField = 8263;
inline constexpr int kRouterAddressFieldWow = 8273;
inline constexpr int kPortField = 8463;
inline constexpr int kPortFieldWow = 8473;

// Runs the dialog over `owner` for the entry the selector names; always 0.
int ShowRegistryEntryDialog(ui::Window owner, int selector);

}  // namespace orvano::dialogs
