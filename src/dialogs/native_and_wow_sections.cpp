#include "dialogs/native_and_wow_sections.h"

#include "config/registry.h"
#include "dialogs/registry_entry_dialog.h"
#include "sysinfo/windows_edition.h"

namespace orvano::dialogs {

NativeAndWowSections::NativeAndWowSections(const ViewSection (&sections)[2], int sectionSwitch,
                                           int ok, ViewsValue value)
    : sections_(sections), sectionSwitch_(sectionSwitch), ok_(ok), value_(value) {}

int NativeAndWowSections::ShowStored(ui::Dialog dialog, int index) const {
    std::string text;
    config::ValueRead found;
    const int stored = value_.read(sections_[index].view, text, found);
    ui::SetControlText(dialog, sections_[index].field, text);
    return stored;
}

// The mark says why a section has no usable value: none is there, or one of the wrong type,
// which the client cannot read either. It is offered for a change as a missing one is.
void NativeAndWowSections::ShowMark(ui::Dialog dialog, int index, int valid,
                                    config::ValueRead found) const {
    const int mark = sections_[index].missing;
    ui::SetControlText(
        dialog, mark,
        found == config::ValueRead::WrongType ? config::kWrongTypeText : missingText_[index]);
    ui::ShowControl(dialog, mark, valid == 0);
}

// After a write or delete: the field, the delete button and the mark follow what is stored.
void NativeAndWowSections::ShowStoredEntry(ui::Dialog dialog, int index) {
    const ViewSection& section = sections_[index];
    std::string text;
    config::ValueRead found;
    valid_[index] = value_.read(section.view, text, found);
    ui::SetControlText(dialog, section.field, text);
    ui::EnableControl(dialog, section.deleteRow.button, valid_[index] == 1);
    ShowMark(dialog, index, valid_[index], found);
}

void NativeAndWowSections::EnableSection(ui::Dialog dialog, int index, bool enabled) const {
    const ViewSection& section = sections_[index];
    for (int id : {section.field, section.changeRow.button, section.deleteRow.button,
                   section.presets[0], section.presets[1], section.regFile})
        if (id != 0) ui::EnableControl(dialog, id, enabled);
}

void NativeAndWowSections::Open(ui::Dialog dialog) {
    for (const ViewSection& section : sections_) {
        SwitchRow(dialog, section.changeRow, false);
        SwitchRow(dialog, section.deleteRow, false);
    }
    // A missing value is marked and cannot be deleted; a missing native one takes the focus.
    int focus = ok_;
    for (int index : {kWow, kNative}) {
        const ViewSection& section = sections_[index];
        missingText_[index] = ui::GetControlText(dialog, section.missing);
        std::string text;
        config::ValueRead found;
        valid_[index] = value_.read(section.view, text, found);
        if (valid_[index] == 1 || !value_.keepCreationText)
            ui::SetControlText(dialog, section.field, text);
        ShowMark(dialog, index, valid_[index], found);
        if (valid_[index] == 0) ui::EnableControl(dialog, section.deleteRow.button, false);
        focus = valid_[index] == 1 ? ok_ : section.field;
    }
    const int wowKeyPresent = config::VendorKeyExists(config::kVendorKeyWow6432Node);
    ui::SetCheck(dialog, sectionSwitch_, wowKeyPresent);
    const int editable = wowKeyPresent == 1 ? kWow : kNative;
    ui::ShowControl(dialog, sections_[1 - editable].missing, false);
    EnableSection(dialog, 1 - editable, false);
    // On 64-bit Windows the 32-bit client reads the Wow6432Node section, so it can be chosen
    // before the 32-bit vendor key exists: a fresh machine is set up by writing there.
    if (wowKeyPresent == 0 && sysinfo::SixtyFourBitWindows() == 0)
        ui::EnableControl(dialog, sectionSwitch_, false);
    // Never leave the focus on a control of the section that cannot be edited.
    if (!ui::ControlEnabled(dialog, focus))
        focus = valid_[editable] == 1 ? ok_ : sections_[editable].field;
    ui::FocusControl(dialog, focus);
}

void NativeAndWowSections::FinishChange(ui::Dialog dialog, int index, const std::string& text,
                                        bool accepted) {
    const ViewSection& section = sections_[index];
    if (accepted) {
        value_.change(section.view, text, config::kActionWrite);
        ShowStoredEntry(dialog, index);
    } else {
        ShowStored(dialog, index);
    }
    SwitchRow(dialog, section.changeRow, false);
}

void NativeAndWowSections::Delete(ui::Dialog dialog, int index) {
    value_.change(sections_[index].view, "", config::kActionDelete);
    ShowStoredEntry(dialog, index);
    SwitchRow(dialog, sections_[index].deleteRow, false);
}

// The check box makes one section editable and drops any question of the other.
void NativeAndWowSections::SwitchSection(ui::Dialog dialog) const {
    const int editable = ui::GetCheck(dialog, sectionSwitch_) == ui::kChecked ? kWow : kNative;
    const ViewSection& on = sections_[editable];
    const ViewSection& off = sections_[1 - editable];
    ui::ShowControl(dialog, off.missing, false);
    // A dropped change leaves the stored value in the field, as " Nein " would.
    if (RowAsking(dialog, off.changeRow)) ShowStored(dialog, 1 - editable);
    SwitchRow(dialog, off.changeRow, false);
    SwitchRow(dialog, off.deleteRow, false);
    EnableSection(dialog, 1 - editable, false);

    EnableSection(dialog, editable, true);
    std::string text;
    config::ValueRead found;
    const int stored = value_.read(on.view, text, found);
    ui::EnableControl(dialog, on.deleteRow.button, stored == 1);
    ShowMark(dialog, editable, stored, found);
    ui::FocusControl(dialog, sectionSwitch_);
}

void NativeAndWowSections::SectionCommand(ui::Dialog dialog, int index, int id) {
    const ViewSection& section = sections_[index];
    if (id == section.changeRow.button) {
        SwitchRow(dialog, section.deleteRow, false);
        SwitchRow(dialog, section.changeRow, true);
    } else if (id == section.changeRow.yes) {
        value_.confirmChange(dialog, *this, index);
    } else if (id == section.changeRow.no) {
        ShowStored(dialog, index);
        SwitchRow(dialog, section.changeRow, false);
    } else if (id == section.deleteRow.button) {
        SwitchRow(dialog, section.changeRow, false);
        SwitchRow(dialog, section.deleteRow, true);
    } else if (id == section.deleteRow.yes) {
        Delete(dialog, index);
    } else if (id == section.deleteRow.no) {
        ShowStored(dialog, index);
        SwitchRow(dialog, section.deleteRow, false);
    } else if (id == section.regFile) {
        ShowRegistryEntryDialog(dialog, section.entry, ui::GetControlText(dialog, section.field));
        ui::FocusControl(dialog, section.regFile);
    } else if (id != 0 && (id == section.presets[0] || id == section.presets[1])) {
        value_.preset(dialog, *this, index, id);
    }
}

void NativeAndWowSections::Command(ui::Dialog dialog, int id, std::uint32_t code) {
    if (id == sectionSwitch_) return SwitchSection(dialog);
    if (code > 1) return;
    if (id == ok_) {
        ui::CloseDialog(dialog, valid_[kNative] == 1 || valid_[kWow] == 1 ? 1 : 0);
        return;
    }
    SectionCommand(dialog, kNative, id);
    SectionCommand(dialog, kWow, id);
}

std::intptr_t NativeAndWowSections::Callback(ui::Dialog dialog, std::uint32_t message,
                                             ui::WParam wParam) {
    switch (message) {
        case ui::kWmInitDialog:
            Open(dialog);
            break;
        case ui::kWmNcActivate:
            focus_.OnNcActivate(wParam);
            break;
        case ui::kWmCommand:
            Command(dialog, ui::CommandId(wParam), ui::CommandCode(wParam));
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace orvano::dialogs
