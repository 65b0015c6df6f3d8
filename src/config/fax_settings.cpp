#include "config/fax_settings.h"

#include <algorithm>
#include <cstdint>

#include "config/registry.h"
#include "sysinfo/listing.h"
#include "sysinfo/text.h"

namespace orvano::config {

using sysinfo::HasDigit;
using sysinfo::kDigits;
using sysinfo::KeepOnly;
using sysinfo::Trimmed;

namespace {

struct SettingPlace {
    RegKey root;
    const char* key;
    const char* value;
};

SettingPlace PlaceOf(FaxSetting setting) {
    switch (setting) {
        case FaxSetting::CapiController:
            return {kCurrentUser, kFaxUserKey, fax::kCapiController};
        case FaxSetting::Cip:
            return {kCurrentUser, kFaxUserKey, fax::kCip};
        case FaxSetting::ControllerFax:
            return {kCurrentUser, kFaxUserKey, fax::kControllerFax};
        case FaxSetting::Speech:
            return {kCurrentUser, kFaxUserKey, fax::kSpeech};
        case FaxSetting::FritzBoxUser:
            return {kCurrentUser, kFaxUserKey, fax::kFritzBox};
        case FaxSetting::FritzBoxMachine:
            return {kLocalMachine, kFaxMachineKey, fax::kFritzBox};
        case FaxSetting::NeueTreiber2003Machine:
            return {kLocalMachine, kFaxMachineKey, fax::kNeueTreiber2003};
        case FaxSetting::FritzBoxMachineWow:
            return {kLocalMachine, kFaxMachineKeyWow, fax::kFritzBox};
        case FaxSetting::NeueTreiber2003MachineWow:
            return {kLocalMachine, kFaxMachineKeyWow, fax::kNeueTreiber2003};
        case FaxSetting::UsePlusMapper:
            return {kCurrentUser, kFaxUserProgramKey, fax::kUsePlusMapper};
    }
    return {kCurrentUser, kFaxUserKey, fax::kCapiController};
}

}  // namespace

const char* FaxSettingName(FaxSetting setting) {
    return PlaceOf(setting).value;
}

namespace {

// What a first write stores: the fax application's own default, unless the number asked for
// is one of the few it also takes from the start.
std::uint32_t FirstWriteValue(FaxSetting setting, std::uint32_t asked) {
    switch (setting) {
        case FaxSetting::CapiController:
            return asked == 0xFFFFFFFF || asked == 0xFFFFFFFE || asked == 0xFFFFFFFD ? asked : 1;
        case FaxSetting::Cip:
            return asked == 0x11 ? 0x11 : 4;
        case FaxSetting::ControllerFax:
            return asked == 0 ? 0 : 1;
        default:
            return asked == 1 ? 1 : 0;
    }
}

// Trailing NULs, blanks, "\" and "/" removed, one "\" appended.
std::string FolderForm(const std::string& text) {
    return sysinfo::WithoutTrailingSeparators(text) + "\\";
}

// A stored folder: folder form when it is there on disk, "" when not, left as it was when it
// cannot be read. True when it is there.
bool ReadCheckedFolder(const char* key, const char* value, std::string& folder) {
    std::string stored;
    if (!ReadTextValue(kCurrentUser, key, value, stored)) return false;
    const bool present = !stored.empty() && sysinfo::ListingFindsEntry(stored);
    folder = present ? FolderForm(stored) : "";
    return present;
}

std::string WithoutBlanks(const std::string& text) {
    std::string result = text;
    result.erase(std::remove(result.begin(), result.end(), ' '), result.end());
    return result;
}

}  // namespace

int ReadFaxApplication(std::string& version, std::string& programFolder, std::string& dataFolder) {
    const int result =
        ReadCheckedFolder(kFaxUserProgramKey, fax::kSystemDir, programFolder) ? 1 : 0;
    if (!KeyExists(kCurrentUser, kFaxUserKey)) return result;
    ReadCheckedFolder(kFaxUserKey, fax::kDataDir, dataFolder);
    std::string stored;
    version = ReadTextValue(kCurrentUser, kFaxUserKey, fax::kVersion, stored)
                  ? KeepOnly(stored, sysinfo::kAddressCharacters)
                  : "";
    return result;
}

int ReadFaxSetting(FaxSetting setting, std::string& hex) {
    ValueRead found;
    return ReadFaxSetting(setting, hex, found);
}

int ReadFaxSetting(FaxSetting setting, std::string& hex, ValueRead& found) {
    const SettingPlace place = PlaceOf(setting);
    std::uint32_t number = 0;
    found = ReadDword(place.root, place.key, place.value, hex, number);
    return found == ValueRead::Read && number > 0 ? 1 : 0;
}

int WriteFaxSetting(FaxSetting setting, const std::string& hex) {
    const SettingPlace place = PlaceOf(setting);
    std::string stored;
    std::uint32_t number = 0;
    const bool present = ReadDwordValue(place.root, place.key, place.value, stored, number) == 1;
    const std::string written =
        present ? hex : DwordText(FirstWriteValue(setting, HexTextNumber(hex)));
    return WriteDwordValue(place.root, place.key, place.value, written);
}

int ReadPlusMapper(std::string& digits) {
    digits.clear();
    std::string stored;
    if (!ReadTextValue(kCurrentUser, kFaxUserProgramKey, fax::kPlusMapper, stored)) return 0;
    digits = KeepOnly(Trimmed(stored), kDigits);
    return digits.empty() ? 0 : 1;
}

int WritePlusMapper(const std::string& text) {
    return WriteTextValue(kCurrentUser, kFaxUserProgramKey, fax::kPlusMapper,
                          KeepOnly(text, kDigits));
}

int ReadDataFolder(std::string& folder) {
    std::string stored;
    ReadTextValue(kCurrentUser, kFaxUserKey, fax::kDataDir, stored);
    stored = Trimmed(stored);
    if (stored.empty()) return 0;
    folder = FolderForm(stored);
    return 1;
}

int WriteDataFolder(const std::string& folder) {
    return WriteTextValue(kCurrentUser, kFaxUserKey, fax::kDataDir, Trimmed(folder));
}

NumbersStatus ReadDialledNumbers(std::vector<std::string>& numbers, int& count) {
    std::vector<std::string> names, data;
    int found = 0;
    if (!ListStringValuesByPrefix(kCurrentUser, kFaxUserNumbersKey, fax::kNumberPrefix, names, data,
                                  found))
        return 0;
    numbers.clear();
    bool faulty = false, countryCode = false;
    for (const std::string& number : data) {
        numbers.push_back(Trimmed(number));
        if (IsPlusNumber(number))
            countryCode = true;
        else if (!IsDigitsOnly(number))
            faulty = true;
    }
    count = found;
    return 1 + (faulty ? 1 : 0) + (countryCode ? 4 : 0);
}

NumbersStatus DialledNumbersStatus() {
    std::vector<std::string> numbers;
    int count = 0;
    return ReadDialledNumbers(numbers, count);
}

int IsDigitsOnly(const std::string& number) {
    const std::string text = WithoutBlanks(Trimmed(number));
    return HasDigit(text) && text.find_first_not_of(kDigits) == std::string::npos ? 1 : 0;
}

int IsPlusNumber(const std::string& number) {
    const std::string text = WithoutBlanks(Trimmed(number));
    return HasDigit(text) && sysinfo::CountOf(text, '+') == 1 && text.front() == '+' &&
                   text.find_first_not_of("+0123456789") == std::string::npos
               ? 1
               : 0;
}

}  // namespace orvano::config
