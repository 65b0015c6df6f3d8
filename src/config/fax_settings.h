// The fax application's settings this program reads or changes: its folders and version,
// the ten DWORD settings the dialogs edit (each with its first-write rule), the "+"
// replacement for dialled numbers, and the verdict on its list of recently dialled numbers.
#pragma once

#include <string>
#include <vector>

#include "config/fax_registry.h"
#include "config/registry.h"

namespace orvano::config {

enum class FaxSetting {
    CapiController,
    Cip,
    ControllerFax,
    Speech,
    FritzBoxUser,
    FritzBoxMachine,
    NeueTreiber2003Machine,
    FritzBoxMachineWow,
    NeueTreiber2003MachineWow,
    UsePlusMapper,
};

// The setting's value name (config/fax_registry.h).
const char* FaxSettingName(FaxSetting setting);

// The verdict on the dialled numbers: 0 none read, 1 all plain digits, 2 a faulty number,
// 5 a number with "+" country code, 6 both.
using NumbersStatus = int;

// 1 when the program folder is stored and present. The folders come in folder form; see the
// source for when each argument is left as it was.
int ReadFaxApplication(std::string& version, std::string& programFolder, std::string& dataFolder);
// 1 when the value exists as a 4-byte REG_DWORD and is above 0; the 8-digit hex text is given
// for 0 too. `found` tells what was stored; a value of the wrong type gives 0 and "".
int ReadFaxSetting(FaxSetting setting, std::string& hex);
int ReadFaxSetting(FaxSetting setting, std::string& hex, ValueRead& found);
// Writes the value; while none of the right type exists, the setting's first-write choice goes
// in. Callers write over a value of the wrong type only when the user chose a new one.
int WriteFaxSetting(FaxSetting setting, const std::string& hex);
// 1 when a replacement with digits is stored; digits only.
int ReadPlusMapper(std::string& digits);
// Stores the digits of the text.
int WritePlusMapper(const std::string& text);
// 1 and the folder in folder form when a non-blank data folder is stored (not checked on disk).
int ReadDataFolder(std::string& folder);
int WriteDataFolder(const std::string& folder);
// The dialled numbers, trimmed, in the registry's order, and their verdict. With status 0 the
// arguments are left as they were.
NumbersStatus ReadDialledNumbers(std::vector<std::string>& numbers, int& count);
NumbersStatus DialledNumbersStatus();
// "0049 30 1234": digits, blanks ignored.
int IsDigitsOnly(const std::string& number);
// "+49 30 1234": one leading "+", then digits, blanks ignored.
int IsPlusNumber(const std::string& number);

}  // namespace orvano::config
