// The router address and port dialogs show one value in the native key and in its
// Wow6432Node twin: two sections of the same controls, of which the check box " Wow6432Node "
// makes one editable. Each section asks in place before it changes or deletes the stored
// value, offers values through its preset buttons and exports through " Reg Datei ".
#pragma once

#include <cstdint>
#include <string>

#include "config/endpoint.h"
#include "dialogs/confirmation_row.h"
#include "dialogs/registry_export.h"
#include "ui/focus_memory.h"
#include "ui/toolkit.h"

namespace orvano::dialogs {

// One registry view's controls, and the registry script its " Reg Datei " (regFile) writes.
struct ViewSection {
    config::RegistryView view;
    int field, missing, regFile;
    RegEntry entry;
    ConfirmationRow changeRow, deleteRow;
    int presets[2];  // buttons that offer a value; 0 for none
};

class NativeAndWowSections;

// What differs between the dialogs.
struct ViewsValue {
    // 1 and the text when a usable value is stored (ReadPort, ReadRouterAddress); `found`
    // tells a value of the wrong type from a missing one.
    int (*read)(config::RegistryView view, std::string& text, config::ValueRead& found);
    // Writes (config::kActionWrite) or deletes (config::kActionDelete) the value.
    int (*change)(config::RegistryView view, const std::string& text, int action);
    // " Ja " of a change: checks the field and finishes with NativeAndWowSections::FinishChange.
    void (*confirmChange)(ui::Dialog dialog, NativeAndWowSections& views, int index);
    // A preset button of the section was pressed.
    void (*preset)(ui::Dialog dialog, NativeAndWowSections& views, int index, int pressed);
    // On opening, a missing value leaves the field's creation text instead of "".
    bool keepCreationText;
};

class NativeAndWowSections {
  public:
    static constexpr int kNative = 0, kWow = 1;

    NativeAndWowSections(const ViewSection (&sections)[2], int sectionSwitch, int ok,
                         ViewsValue value);

    const ViewSection& Section(int index) const { return sections_[index]; }

    // For RunModal: opening, focus memory and every command of the two sections.
    std::intptr_t Callback(ui::Dialog dialog, std::uint32_t message, ui::WParam wParam);

    // Puts the stored value into the field ("" when none is stored); 1 when one is.
    int ShowStored(ui::Dialog dialog, int index) const;
    // Ends the change question: `text` is stored when `accepted`, otherwise the field gets
    // the stored value back.
    void FinishChange(ui::Dialog dialog, int index, const std::string& text, bool accepted);

  private:
    void Open(ui::Dialog dialog);
    void ShowMark(ui::Dialog dialog, int index, int valid, config::ValueRead found) const;
    void ShowStoredEntry(ui::Dialog dialog, int index);
    void EnableSection(ui::Dialog dialog, int index, bool enabled) const;
    void Delete(ui::Dialog dialog, int index);
    void SwitchSection(ui::Dialog dialog) const;
    void SectionCommand(ui::Dialog dialog, int index, int id);
    void Command(ui::Dialog dialog, int id, std::uint32_t code);

    const ViewSection (&sections_)[2];
    int sectionSwitch_, ok_;
    ViewsValue value_;
    int valid_[2] = {0, 0};       // the last read of each view
    std::string missingText_[2];  // each mark's own text, for a value that is not there
    ui::FocusMemory focus_;
};

}  // namespace orvano::dialogs
