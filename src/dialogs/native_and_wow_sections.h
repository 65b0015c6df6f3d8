// The router address and port dialogs show one value in the native key and in its
// Wow6432Node twin: two sections of the same controls, of which the check box " Wow6432Node "
// makes one editable. Each section asks in place before it changes or deletes the stored
// value, offers values through its preset buttons and exports through " Reg Datei ".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/endpoint.h"
#include "dialogs/confirmation_row.h"
#include "dialogs/registry_export.h"
#include "ui/control_table.h"
#include "ui/dialog_handlers.h"
#include "ui/toolkit.h"

namespace orvano::dialogs {

// The controls of one section.
struct SectionIds {
    int frame, keyName, missing, valueName, field;
    int extra;  // a label beside the field; 0 for none
    int change, changeAsked, changeYes, changeNo;
    int remove, removeAsked, removeYes, removeNo;
    int presetName, presets[2], regFile;  // presets[1] is 0 when there is one
};

// One registry view's section: its controls, its two questions, and the registry script its
// " Reg Datei " (regFile) writes.
struct ViewSection {
    config::RegistryView view;
    int field, missing, regFile;
    RegEntry entry;
    ConfirmationRow changeRow, deleteRow;
    int presets[2];
    SectionIds ids;
};
// The section of the view; a change makes the field writable only when `fieldLocked`.
constexpr ViewSection MakeSection(config::RegistryView view, RegEntry entry, const SectionIds& ids,
                                  bool fieldLocked) {
    const int rest[3] = {ids.presets[0], ids.presets[1] != 0 ? ids.presets[1] : ids.regFile,
                         ids.presets[1] != 0 ? ids.regFile : 0};
    return {
        view,
        ids.field,
        ids.missing,
        ids.regFile,
        entry,
        {ids.change,
         ids.changeAsked,
         ids.changeYes,
         ids.changeNo,
         {rest[0], rest[1], rest[2]},
         fieldLocked ? ids.field : 0},
        {ids.remove, ids.removeAsked, ids.removeYes, ids.removeNo, {rest[0], rest[1], rest[2]}, 0},
        {ids.presets[0], ids.presets[1]},
        ids};
}

// What the two sections of a dialog show alike, placed as in the native section (the
// Wow6432Node one stands 80 units lower).
struct SectionLook {
    const char* keys[2];  // the client's key of each view, the section's heading
    int keyX, keyWidths[2];
    std::string valueLabel;
    ui::ControlRow field, extra, presets[2];  // their ids come from the section
};
// A section's controls in creation (and tab) order. The native section's export button
// follows its presets, the Wow6432Node one's comes before them.
std::vector<ui::ControlRow> SectionRows(const ViewSection& section, const SectionLook& look);
// A dialog's controls in creation (and tab) order: its title, the native section, the
// Wow6432Node section, and what stands below them.
std::vector<ui::ControlRow> DialogRows(const ui::ControlRow& title,
                                       const ViewSection (&sections)[2], const SectionLook& look,
                                       const std::vector<ui::ControlRow>& below);

// What differs between the dialogs in reading and writing the value.
struct ViewsValue {
    // 1 and the text when a usable value is stored (ReadPort, ReadRouterAddress); `found`
    // tells a value of the wrong type from a missing one.
    int (*read)(config::RegistryView view, std::string& text, config::ValueRead& found);
    // Writes (config::kActionWrite) or deletes (config::kActionDelete) the value.
    int (*change)(config::RegistryView view, const std::string& text, int action);
    // On opening, a missing value leaves the field's creation text instead of "".
    bool keepCreationText;
};

// The two sections' state and rules. The dialog hands them its opening, its commands and the
// clicks it does not take itself: " Ja " of a change and the preset buttons are the dialog's,
// which then ends the change with FinishChange.
class NativeAndWowSections {
  public:
    static constexpr int kNative = 0, kWow = 1;

    NativeAndWowSections(const ViewSection (&sections)[2], int sectionSwitch, int ok,
                         ViewsValue value);

    const ViewSection& Section(int index) const { return sections_[index]; }
    // The section whose " Ja " of a change, or whose preset button, the control is; -1 if none.
    int SectionAsking(int id) const;
    int SectionOfPreset(int id) const;

    void Open(ui::Dialog dialog);
    // The section switch, whatever its notification; true when it was the command's.
    bool Command(ui::Dialog dialog, int id);
    void Click(ui::Dialog dialog, int id);

    // Puts the stored value into the field ("" when none is stored); 1 when one is.
    int ShowStored(ui::Dialog dialog, int index) const;
    // Ends the change question: `text` is stored when `accepted`, otherwise the field gets
    // the stored value back.
    void FinishChange(ui::Dialog dialog, int index, const std::string& text, bool accepted);

  private:
    void ShowMark(ui::Dialog dialog, int index, int valid, config::ValueRead found) const;
    void ShowStoredEntry(ui::Dialog dialog, int index);
    void EnableSection(ui::Dialog dialog, int index, bool enabled) const;
    void Delete(ui::Dialog dialog, int index);
    void SwitchSection(ui::Dialog dialog) const;
    void SectionClick(ui::Dialog dialog, int index, int id);

    const ViewSection (&sections_)[2];
    int sectionSwitch_, ok_;
    ViewsValue value_;
    int valid_[2] = {0, 0};       // the last read of each view
    std::string missingText_[2];  // each mark's own text, for a value that is not there
};

// A dialog's handlers made of the sections' rules and the dialog's own: `confirm` answers
// " Ja " of a section's change, `preset` a section's preset button.
ui::DialogHandlers SectionHandlers(NativeAndWowSections& views,
                                   std::function<void(ui::Dialog, int index)> confirm,
                                   std::function<void(ui::Dialog, int index, int pressed)> preset);

}  // namespace orvano::dialogs
