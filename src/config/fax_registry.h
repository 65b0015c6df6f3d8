// Where the fax application keeps the settings this program reads and changes: its keys under
// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE and the names of their values. The readers, the
// writers, the registry scripts and the dialogs all take the names from here.
#pragma once

namespace orvano::config {

inline constexpr char kFaxUserProgramKey[] = "SOFTWARE\\AVM\\FRITZ! 2.0\\FRITZ!";
inline constexpr char kFaxUserKey[] = "SOFTWARE\\AVM\\FRITZ! 2.0\\Fax";
inline constexpr char kFaxUserNumbersKey[] = "SOFTWARE\\AVM\\FRITZ! 2.0\\Fax\\Rufnummern";
inline constexpr char kFaxMachineKey[] = "SOFTWARE\\AVM\\FRITZ! 2.0\\Fax";
inline constexpr char kFaxMachineKeyWow[] = "SOFTWARE\\Wow6432Node\\AVM\\FRITZ! 2.0\\Fax";

namespace fax {

// Under the user's program key.
inline constexpr char kSystemDir[] = "SystemDir";  // the program folder
inline constexpr char kUsePlusMapper[] = "UsePlusMapper";
inline constexpr char kPlusMapper[] = "PlusMapper";
// Under the user's fax key.
inline constexpr char kDataDir[] = "DatenDir";
inline constexpr char kVersion[] = "Version";
inline constexpr char kCapiController[] = "CapiController";
inline constexpr char kCip[] = "Cip";
inline constexpr char kControllerFax[] = "ControllerFax";
inline constexpr char kSpeech[] = "Speech";
inline constexpr char kUseStandort[] = "UseStandort";
// Under the user's fax key and the machine's, in both views.
inline constexpr char kFritzBox[] = "FritzBox";
// Under the machine's fax key, in both views.
inline constexpr char kNeueTreiber2003[] = "NeueTreiber2003";
// The dialled numbers: "Nummer1", "Nummer2", ... under the numbers key.
inline constexpr char kNumberPrefix[] = "Nummer";

// The keys as the program's registry scripts write them (in the letter case the fax
// application's own scripts use).
inline constexpr char kUserProgramKeyLine[] =
    "[HKEY_CURRENT_USER\\Software\\AVM\\FRITZ! 2.0\\FRITZ!]";
inline constexpr char kUserKeyLine[] = "[HKEY_CURRENT_USER\\Software\\AVM\\FRITZ! 2.0\\Fax]";
inline constexpr char kMachineKeyLine[] = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\AVM\\Fritz! 2.0\\Fax]";
inline constexpr char kMachineKeyLineWow[] =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\AVM\\Fritz! 2.0\\Fax]";

}  // namespace fax
}  // namespace orvano::config
