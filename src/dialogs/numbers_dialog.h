// The dialled-numbers dialog: lists the numbers the fax application dialled last, marks the
// faulty ones, and edits the fax application's own remedy, the replacement of a leading "+".
// The stored numbers themselves are never changed.
#pragma once

#include <cstdint>

#include "ui/toolkit.h"

namespace orvano::dialogs {

inline constexpr char kNumbersTitle[] = " Nebenstelle - Rufnummern";

namespace numbers_dialog {
inline constexpr int kTitle = 8801, kHintFrame = 8803, kHintCountryCode = 8804, kHintExample = 8815,
                     kHintUseZero = 8816, kListFrame = 8807, kListCaption = 8808, kShow = 8809,
                     kHide = 8810, kList = 8811, kOptionFrame = 8812, kUsePlusMapper = 8813,
                     kPlusMapper = 8814, kRegFile = 8802, kOk = 8805, kApply = 8806;
// Shown while "UsePlusMapper" is stored with the wrong type.
inline constexpr int kWrongType = 8819;

// Posted to the dialog to load the "+" option from the registry.
inline constexpr std::uint32_t kReloadMessage = 0x7F2;

inline constexpr char kFaultyListHead[] = " --> Telefonnummer hat Fehler! <-- ";
}  // namespace numbers_dialog

// Runs the dialog over `owner` (the main window); always 0. Nothing is written unless the user
// presses " Übernehmen ".
int ShowNumbersDialog(ui::Window owner);

}  // namespace orvano::dialogs
