#include "dialogs/native_and_wow_sections.h"

#include <iterator>

#include "config/registry.h"
#include "dialogs/registry_entry_dialog.h"
#include "sysinfo/windows_edition.h"

namespace orvano::dialogs {

namespace {

using ui::ControlKind;
using ui::kCentredLabel;
using ui::kFlatButton;
using ui::kRightLabel;
constexpr int kWowDrop = 80;  // the Wow6432Node section stands this much lower

ui::ControlRow Placed(ui::ControlRow row, int id, int drop) {
    row.id = id;
    row.y += drop;
    return row;
}

}  // namespace

std::vector<ui::ControlRow> SectionRows(const ViewSection& section, const SectionLook& look) {
    const SectionIds& c = section.ids;
    const bool native = section.view == config::RegistryView::Native;
    const int view = native ? 0 : 1, y = native ? 0 : kWowDrop;
    std::vector<ui::ControlRow> rows = {
        {c.frame, ControlKind::Frame, config::SectionTitle(section.view), 5, 15 + y, 315, 76},
        {c.keyName, ControlKind::Label, config::client::MachineKeyLine(look.keys[view]), look.keyX,
         28 + y, look.keyWidths[view], 10},
        {c.missing, ControlKind::Label, " Eintrag Fehlt ", 270, 28 + y, 45, 10, kCentredLabel, 0,
         ui::kRed},
        {c.valueName, ControlKind::Label, look.valueLabel, 10, 44 + y, 65, 10, kRightLabel},
        Placed(look.field, c.field, y)};
    if (c.extra != 0) rows.push_back(Placed(look.extra, c.extra, y));
    const ui::ControlRow questions[] = {
        {c.change, ControlKind::Button, " Ändern ", 175, 42 + y, 41, 15, kFlatButton},
        {c.changeAsked, ControlKind::Label, " Ändern ", 175, 44 + y, 40, 10, kCentredLabel},
        {c.remove, ControlKind::Button, " Löschen ", 255, 42 + y, 41, 15, kFlatButton},
        {c.removeAsked, ControlKind::Label, " Löschen ", 255, 44 + y, 40, 10, kCentredLabel},
        {c.changeYes, ControlKind::Button, " Ja ", 160, 55 + y, 30, 15, kFlatButton},
        {c.changeNo, ControlKind::Button, " Nein ", 200, 55 + y, 30, 15, kFlatButton},
        {c.removeYes, ControlKind::Button, " Ja ", 240, 55 + y, 30, 15, kFlatButton},
        {c.removeNo, ControlKind::Button, " Nein ", 280, 55 + y, 30, 15, kFlatButton},
        {c.presetName, ControlKind::Label, " Vorgabe: ", 10, 62 + y, 65, 10, kRightLabel}};
    rows.insert(rows.end(), std::begin(questions), std::end(questions));
    const ui::ControlRow regFile{c.regFile, ControlKind::Button, " Reg Datei ", 35, 75 + y, 45,
                                 12,        kFlatButton};
    if (!native) rows.push_back(regFile);
    for (int i : {0, 1})
        if (c.presets[i] != 0) rows.push_back(Placed(look.presets[i], c.presets[i], y));
    if (native) rows.push_back(regFile);
    return rows;
}

std::vector<ui::ControlRow> DialogRows(const ui::ControlRow& title,
                                       const ViewSection (&sections)[2], const SectionLook& look,
                                       const std::vector<ui::ControlRow>& below) {
    std::vector<ui::ControlRow> rows = {title};
    for (const ViewSection& section : sections) {
        const std::vector<ui::ControlRow> more = SectionRows(section, look);
        rows.insert(rows.end(), more.begin(), more.end());
    }
    rows.insert(rows.end(), below.begin(), below.end());
    return rows;
}

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

int NativeAndWowSections::SectionAsking(int id) const {
    for (int index : {kNative, kWow})
        if (id == sections_[index].changeRow.yes) return index;
    return -1;
}

int NativeAndWowSections::SectionOfPreset(int id) const {
    for (int index : {kNative, kWow})
        if (id != 0 && (id == sections_[index].presets[0] || id == sections_[index].presets[1]))
            return index;
    return -1;
}

void NativeAndWowSections::SectionClick(ui::Dialog dialog, int index, int id) {
    const ViewSection& section = sections_[index];
    if (id == section.changeRow.button) {
        SwitchRow(dialog, section.deleteRow, false);
        SwitchRow(dialog, section.changeRow, true);
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
    }
}

bool NativeAndWowSections::Command(ui::Dialog dialog, int id) {
    if (id != sectionSwitch_) return false;
    SwitchSection(dialog);
    return true;
}

void NativeAndWowSections::Click(ui::Dialog dialog, int id) {
    if (id == ok_) {
        ui::CloseDialog(dialog, valid_[kNative] == 1 || valid_[kWow] == 1 ? 1 : 0);
        return;
    }
    SectionClick(dialog, kNative, id);
    SectionClick(dialog, kWow, id);
}

ui::DialogHandlers SectionHandlers(NativeAndWowSections& views,
                                   std::function<void(ui::Dialog, int index)> confirm,
                                   std::function<void(ui::Dialog, int index, int pressed)> preset) {
    ui::DialogHandlers handlers;
    handlers.open = [&views](ui::Dialog d) { views.Open(d); };
    handlers.command = [&views](ui::Dialog d, int id, std::uint32_t) {
        return views.Command(d, id);
    };
    handlers.click = [&views, confirm, preset](ui::Dialog d, int id) {
        if (const int index = views.SectionAsking(id); index >= 0)
            confirm(d, index);
        else if (const int index = views.SectionOfPreset(id); index >= 0)
            preset(d, index, id);
        else
            views.Click(d, id);
    };
    return handlers;
}

}  // namespace orvano::dialogs
