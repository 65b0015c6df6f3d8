// The registry-entry dialog: shows one entry as registry-script text and saves it under its
// fixed file name in the program's folder.
#pragma once

#include <string>

#include "dialogs/registry_export.h"
#include "ui/toolkit.h"

namespace orvano::dialogs {

inline constexpr char kRegistryEntryTitle[] = " Registry Eintrag";

namespace red {
// Reported after the file's path when it could not be written.
inline constexpr char kNotSaved[] = "nicht gespeichert ";
inline constexpr int kTopLabel = 8701, kFrame = 8702, kInfoLabel = 8711, kText = 8712,
                     kCaption = 8713, kSave = 8714, kOk = 8705;
}  // namespace red

// Runs the dialog over `owner` for the entry; an address or port entry is made from `value`,
// the text its field shows. Always 0.
int ShowRegistryEntryDialog(ui::Window owner, RegEntry entry, const std::string& value = "");

}  // namespace orvano::dialogs
