#include "dialogs/registry_entry_dialog.h"

#include "config/fax_registry.h"
#include "deploy/payload.h"
#include "dialogs/registry_export.h"
#include "platform/text.h"
#include "sysinfo/paths.h"
#include "ui/control_table.h"
#include "ui/dialog_handlers.h"

namespace orvano::dialogs {

using namespace red;
using ui::ControlKind;

namespace {

using ui::kWhite;

const ui::ControlRow kRows[] = {
    {kTopLabel, ControlKind::Label, "", 5, 3, 280, 10, 0x50000001, 0},
    {kFrame, ControlKind::Frame, " Windows Registry Eintrag ", 4, 15, 282, 140, 0x50000707, 0},
    {kInfoLabel, ControlKind::Label, "", 10, 23, 265, 10, 0, 0},
    {kText, ControlKind::Edit, "", 9, 33, 271, 100, 0x502108C4, ui::kWsExStaticEdge,
     ui::kDefaultColor, kWhite},
    {kCaption, ControlKind::Label, " Windows Registry Eintrag ", 21, 138, 120, 10, 0, 0},
    {kSave, ControlKind::Button, " In Reg Datei Speichern ", 147, 137, 120, 12, 0x50018F00, 0},
    {kOk, ControlKind::Button, " OK ", 122, 160, 45, 15, 0, 0},
};

// Only one registry-entry dialog is open at a time.
struct State {
    ui::Window owner = 0;
    RegEntry entry = RegEntry::RouterAddress;
    std::string value;  // the field's text an address or port entry shows
};

State& TheState() {
    static State state;
    return state;
}

struct FieldModes {
    int textMode;
    int writeMode;
};

// The entries made from a field of the opening dialog.
const FieldModes* FieldModesOf(RegEntry entry) {
    static const FieldModes kAddress{kTextAddress, kBuildAddress};
    static const FieldModes kAddressWow{kTextAddressWow, kBuildAddressWow};
    static const FieldModes kPort{kTextPort, kBuildPort};
    static const FieldModes kPortWow{kTextPortWow, kBuildPortWow};
    switch (entry) {
        case RegEntry::RouterAddress:
            return &kAddress;
        case RegEntry::RouterAddressWow:
            return &kAddressWow;
        case RegEntry::Port:
            return &kPort;
        case RegEntry::PortWow:
            return &kPortWow;
        default:
            return nullptr;
    }
}

std::string ResourceBytes(RegEntry entry) {
    return deploy::LoadResourceBytes(entry == RegEntry::Defaults ? "FB_IP_1921681781_REG"
                                                                 : "FB_IP_Wow6432Node_1921681781_REG");
}

// From the corner of the owner's client area, below its title bar.
void MoveBy(ui::Dialog dialog, ui::Window owner, int x, int y) {
    int ownerX = 0, ownerY = 0;
    ui::GetClientLocation(owner, ownerX, ownerY);
    ui::SetDialogLocation(dialog, ownerX + x, ownerY + y);
}

void Open(ui::Dialog dialog) {
    State& s = TheState();
    std::string header;
    BuildRegText("", header, "", kBuildHeader);
    if (const FieldModes* modes = FieldModesOf(s.entry)) {
        std::string section;
        if (BuildRegText("", section, s.value, modes->textMode)) {
            ui::SetControlText(dialog, kText, header + section + kCrLf + kCrLf);
        } else {
            ui::SetControlText(dialog, kText, header);
            ui::EnableControl(dialog, kSave, false);
        }
        return;
    }
    switch (s.entry) {
        case RegEntry::Isdn:
        case RegEntry::IsdnWow:
        case RegEntry::CountryCode:
            if (s.entry == RegEntry::CountryCode)
                MoveBy(dialog, s.owner, -26, 1);
            else
                MoveBy(dialog, s.owner, -17, 89);
            ui::SetControlText(dialog, kText, header + PendingRegText() + kCrLf + kCrLf);
            break;
        case RegEntry::Defaults:
        case RegEntry::DefaultsWow: {
            MoveBy(dialog, s.owner, 52, 70);
            std::string bytes = ResourceBytes(s.entry);
            std::size_t start = 0;
            while (bytes.compare(start, 2, "\xFF\xFE") == 0) start += 2;
            ui::SetControlText(dialog, kText, platform::Utf16ToAnsi(bytes.substr(start)));
            break;
        }
        default:
            break;
    }
}

// 1 when the file was written.
int WriteEntry(const std::string& path) {
    const State& s = TheState();
    if (const FieldModes* modes = FieldModesOf(s.entry)) {
        // What the user sees is what the file gets: the value as this dialog showed it, not
        // whatever reached the owner's field meanwhile (a late answer of the name service).
        std::string section;
        return BuildRegText("", section, s.value, modes->textMode) &&
               BuildRegText(path, section, s.value, modes->writeMode);
    }
    switch (s.entry) {
        case RegEntry::Isdn:
        case RegEntry::IsdnWow:
            return WriteRegFile(path, PendingRegText());
        case RegEntry::Defaults:
        case RegEntry::DefaultsWow:
            return WriteRawFile(path, ResourceBytes(s.entry));
        case RegEntry::CountryCode:
            return WriteRegFile(
                path, PendingRegText() + kCrLf + RegNumberValueLine(config::fax::kUseStandort, "00000000"));
        default:
            return 0;
    }
}

// A file of the same name from an earlier save may still be there: without a word, the user
// would import those older settings believing them to be these.
void Save(ui::Dialog dialog) {
    const std::string path = sysinfo::ProgramFolder() + RegFileName(TheState().entry);
    if (WriteEntry(path) == 0)
        ui::ShowMessageBox(dialog, " " + path + "  ->  " + kNotSaved, " Fehler! ", ui::kMbInfo);
}

}  // namespace

int ShowRegistryEntryDialog(ui::Window owner, RegEntry entry, const std::string& value) {
    TheState() = State{owner, entry, value};
    ui::Dialog dialog = ui::NewDialog(owner, kRegistryEntryTitle, 15, 1, 290, 180, ui::kDialogStyle,
                                      ui::kWsExControlParent);
    ui::AddControls(dialog, kRows);
    ui::SetEditMargins(dialog, kText, 2);
    ui::SetDialogIcon(dialog, "#555");
    ui::DialogHandlers handlers;
    handlers.open = Open;
    handlers.click = [](ui::Dialog d, int id) {
        if (id == kSave) Save(d);
    };
    handlers.closeId = kOk;
    return ui::RunDialog(dialog, handlers);
}

}  // namespace orvano::dialogs
