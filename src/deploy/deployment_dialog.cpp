#include "deploy/deployment_dialog.h"

#include <iterator>

#include "deploy/capi_locations.h"
#include "deploy/payload.h"
#include "sysinfo/paths.h"
#include "ui/control_table.h"
#include "ui/dialog_handlers.h"

namespace orvano::deploy {

using namespace cdd;
using ui::ControlKind;

namespace {

using ui::kFlatButton;
using ui::kWhite;

constexpr std::uint32_t kPathField = 0x50010880;
constexpr std::uint32_t kVersionField = 0x50010881;
// A label whose text ends in a path: a long one loses the middle of the path ("..."), never
// the reason before it or the file name (SS_PATHELLIPSIS); "&" is shown as it is.
constexpr std::uint32_t kPathLine = 0x50008080;
constexpr int kEditMargin = 2;
// The full update hands the number of WM_INITDIALOG on as the control to focus: no control
// has it, so the focus goes nowhere.
constexpr int kNoControl = 0x110;

const ui::ControlRow kControls[] = {
    {kTitleLabel, ControlKind::Label, " capi2032.dll erstellen oder löschen ", 5, 4, 350, 10,
     0x50000001, 0, ui::Rgb(64, 128, 192)},
    {kTcpFrame, ControlKind::Frame, " capi2032.dll (Orvano) CAPIoTCP ", 5, 15, 350, 85, 0, 0},
    {kTcpHint, ControlKind::Label, " Erstelle oder Lösche die capi2032.dll im Ordner ", 15, 30, 165,
     10, 0, 0},
    {kVersionFrame, ControlKind::Frame, " Version ", 220, 20, 130, 25, 0x50000707, 0},
    {kV3810, ControlKind::Radio, " V3810 ", 235, 30, 50, 10, 0x50030D09, 0},
    {kV3830, ControlKind::Radio, " V3830 ", 295, 30, 50, 10, 0, 0},
    {kTcpFaxLabel, ControlKind::Label, " Ordner Fritz!: ", 15, 51, 100, 10, 0, 0},
    {kTcpFaxCreate, ControlKind::Button, " capi2032 CAPIoTCP erstellen ", 125, 50, 105, 12,
     kFlatButton, 0},
    {kTcpFaxDelete, ControlKind::Button, " capi2032 CAPIoTCP löschen ", 240, 50, 105, 12,
     kFlatButton, 0},
    {kTcpSystem32Label, ControlKind::Label, " Ordner System32: ", 15, 66, 100, 10, 0, 0},
    {kTcpSystem32Create, ControlKind::Button, " capi2032 CAPIoTCP erstellen ", 125, 65, 105, 12,
     kFlatButton, 0},
    {kTcpSystem32Delete, ControlKind::Button, " capi2032 CAPIoTCP löschen ", 240, 65, 105, 12,
     kFlatButton, 0},
    {kTcpSysWow64Label, ControlKind::Label, " Ordner SysWow64: ", 15, 81, 100, 10, 0, 0},
    {kTcpSysWow64Create, ControlKind::Button, " capi2032 CAPIoTCP erstellen ", 125, 80, 105, 12,
     kFlatButton, 0},
    {kTcpSysWow64Delete, ControlKind::Button, " capi2032 CAPIoTCP löschen ", 240, 80, 105, 12,
     kFlatButton, 0},
    {kIsdnFrame, ControlKind::Frame, " capi2032.dll ISDN adapter ", 5, 105, 350, 85, 0, 0},
    {kIsdnHint, ControlKind::Label, " Erstelle oder Lösche die capi2032.dll im Ordner ", 15, 120,
     165, 10, 0, 0},
    {kIsdnFaxLabel, ControlKind::Label, " Ordner Fritz!: ", 15, 141, 100, 10, 0, 0},
    {kIsdnFaxCreate, ControlKind::Button, " capi2032 erstellen ", 125, 140, 105, 12, kFlatButton,
     0},
    {kIsdnFaxDelete, ControlKind::Button, " capi2032 löschen ", 240, 140, 105, 12, kFlatButton, 0},
    {kIsdnSystem32Label, ControlKind::Label, " Ordner System32: ", 15, 156, 100, 10, 0, 0},
    {kIsdnSystem32Create, ControlKind::Button, " capi2032 erstellen ", 125, 155, 105, 12,
     kFlatButton, 0},
    {kIsdnSystem32Delete, ControlKind::Button, " capi2032 löschen ", 240, 155, 105, 12, kFlatButton,
     0},
    {kIsdnSysWow64Label, ControlKind::Label, " Ordner SysWow64: ", 15, 171, 100, 10, 0, 0},
    {kIsdnSysWow64Create, ControlKind::Button, " capi2032 erstellen ", 125, 170, 105, 12,
     kFlatButton, 0},
    {kIsdnSysWow64Delete, ControlKind::Button, " capi2032 löschen ", 240, 170, 105, 12, kFlatButton,
     0},
    {kFolderFrame, ControlKind::Frame, " Ordner ", 5, 195, 350, 47, 0, 0},
    {kFaxFolderLabel, ControlKind::Label, " Fritz!: ", 10, 205, 55, 10, 0, 0},
    {kFaxPath, ControlKind::Edit, "", 65, 205, 200, 10, kPathField, ui::kWsExStaticEdge},
    {kFaxVersion, ControlKind::Edit, "", 270, 205, 80, 10, kVersionField, ui::kWsExStaticEdge},
    {kSystem32FolderLabel, ControlKind::Label, " System32: ", 10, 215, 55, 10, 0, 0},
    {kSystem32Path, ControlKind::Edit, "", 65, 215, 200, 10, kPathField, ui::kWsExStaticEdge},
    {kSystem32Version, ControlKind::Edit, "", 270, 215, 80, 10, kVersionField, ui::kWsExStaticEdge},
    {kSysWow64FolderLabel, ControlKind::Label, " SysWow64: ", 10, 225, 55, 10, 0, 0},
    {kSysWow64Path, ControlKind::Edit, "", 65, 225, 200, 10, kPathField, ui::kWsExStaticEdge},
    {kSysWow64Version, ControlKind::Edit, "", 270, 225, 80, 10, kVersionField, ui::kWsExStaticEdge},
    {kOk, ControlKind::Button, " OK ", 150, 251, 60, 15, 0, 0},
    // Below OK, shown only while a copy is kept.
    {kKeptLabel, ControlKind::Label, "", 5, 273, 260, 10, 0, 0, ui::Rgb(255, 0, 0)},
    {kRestore, ControlKind::Button, " Sicherung zurückholen ", 270, 271, 85, 12, kFlatButton, 0},
    // Below that, shown only while the last delete, replace or restore left a file as it was.
    {kProblemLabel, ControlKind::Label, "", 5, 286, 350, 10, kPathLine, 0, ui::Rgb(255, 0, 0)},
};

// One row manages one kind of library at one place; the TCP row and the ISDN row of the
// same place are partners.
struct Row {
    int label, create, remove;
    CapiPlace place;
    CapiKind kind;
};

// The TCP rows, then the ISDN rows, each in kPlaceOrder.
constexpr Row kRows[] = {
    {kTcpFaxLabel, kTcpFaxCreate, kTcpFaxDelete, CapiPlace::FaxProgram, CapiKind::OverTcp},
    {kTcpSystem32Label, kTcpSystem32Create, kTcpSystem32Delete, CapiPlace::System32,
     CapiKind::OverTcp},
    {kTcpSysWow64Label, kTcpSysWow64Create, kTcpSysWow64Delete, CapiPlace::SysWow64,
     CapiKind::OverTcp},
    {kIsdnFaxLabel, kIsdnFaxCreate, kIsdnFaxDelete, CapiPlace::FaxProgram, CapiKind::Other},
    {kIsdnSystem32Label, kIsdnSystem32Create, kIsdnSystem32Delete, CapiPlace::System32,
     CapiKind::Other},
    {kIsdnSysWow64Label, kIsdnSysWow64Create, kIsdnSysWow64Delete, CapiPlace::SysWow64,
     CapiKind::Other},
};
static_assert([] {
    for (std::size_t i = 0; i < std::size(kRows); ++i)
        if (kRows[i].place != kPlaceOrder[i % std::size(kPlaceOrder)]) return false;
    return true;
}());

// The row of the other kind at the same place.
const Row& PartnerOf(const Row& row) {
    for (const Row& other : kRows)
        if (other.place == row.place && other.kind != row.kind) return other;
    return row;
}

// The display fields of a place.
struct Fields {
    int path, version;
};
Fields FieldsOf(CapiPlace place) {
    switch (place) {
        case CapiPlace::FaxProgram:
            return {kFaxPath, kFaxVersion};
        case CapiPlace::System32:
            return {kSystem32Path, kSystem32Version};
        case CapiPlace::SysWow64:
            return {kSysWow64Path, kSysWow64Version};
    }
    return {};
}

// Only one deployment dialog is open at a time.
struct State {
    int selectedTcpVersion = kVersionV3810;
};

State& TheState() {
    static State state;
    return state;
}

const char* PayloadOf(int versionCode) {
    switch (versionCode) {
        case kVersionV3810:
            return kCapiV3810Payload;
        case kVersionV51000:
            return kCapiV51000Payload;
        case kVersionV3830:
            return kCapiV3830Payload;
        default:
            return nullptr;
    }
}

void ShowWriteFailed(ui::Window owner) {
    ui::ShowMessageBox(owner, kWriteFailedText, kWriteFailedCaption, ui::kMbInfo);
}

// The line that says why the last action left a file as it was; an empty text hides it.
void ShowProblem(ui::Dialog dialog, const std::string& line) {
    ui::SetControlText(dialog, kProblemLabel, line);
    ui::ShowControl(dialog, kProblemLabel, !line.empty());
}

void UpdateFocus(ui::Dialog dialog, int focusId) {
    ui::PostToWindow(dialog, kMsgRefreshDeployFields, 0, 0);
    ui::SetFocusWindow(ui::ControlWindow(dialog, focusId));
}

void UpdateRow(ui::Dialog dialog, const Row& row, int status) {
    switch (status) {
        case kRowKindAbsent:
            ui::EnableControl(dialog, row.create, true);
            ui::EnableControl(dialog, row.remove, false);
            break;
        case kRowKindPresent:
            ui::EnableControl(dialog, row.create, false);
            ui::EnableControl(dialog, row.remove, true);
            break;
        case kRowPartnerPresent:
            ui::EnableControl(dialog, row.create, false);
            ui::EnableControl(dialog, row.remove, false);
            break;
        default:
            break;
    }
    UpdateFocus(dialog, row.label);
}

// Every row from its own kind first, then a place holding the partner's kind locks the row.
void ReadAllRows(ui::Dialog dialog) {
    for (const Row& row : kRows) UpdateRow(dialog, row, CapiKindAt(row.place, row.kind));
    for (const Row& row : kRows)
        UpdateRow(dialog, row, kRowPartnerAbsent + CapiKindAt(row.place, PartnerOf(row).kind));
}

void RefreshFields(ui::Dialog dialog) {
    for (CapiPlace place : kPlaceOrder) {
        const Fields fields = FieldsOf(place);
        std::string folder;
        CapiLocationFolder(place, folder);
        const bool there = CapiKindOf(folder) != CapiKind::None;
        if (there)
            ShowCapiVersion(dialog, fields.version, folder);
        else
            ui::SetControlText(dialog, fields.version, "");
        ui::SetControlText(dialog, fields.path, there ? CapiFileIn(folder) : folder);
    }
    // One line says where a copy that was not ours is kept; the button puts it back.
    const KeptCopy kept = KeptCopyToRestore();
    ui::SetControlText(dialog, kKeptLabel, kept.path.empty() ? "" : kKeptPrefix + kept.path);
    ui::ShowControl(dialog, kKeptLabel, !kept.path.empty());
    ui::ShowControl(dialog, kRestore, !kept.path.empty());
    ui::EnableControl(dialog, kRestore, kept.restorable);
}

// After a create or delete every row is read again, not just the clicked one and its
// partner: a file can show at two places (kSystem32UnderWow64). The focus ends on the
// partner's label, as it always did.
void RowsChanged(ui::Dialog dialog, const Row& row) {
    ReadAllRows(dialog);
    UpdateFocus(dialog, PartnerOf(row).label);
}

// After a create or delete: the rows move on success; on failure they stay, the line says
// why, and the fields are read again (a kept copy may have come or gone).
void Acted(ui::Dialog dialog, const Row& row, int done, const std::string& problem) {
    ShowProblem(dialog, done ? "" : problem);
    if (done)
        RowsChanged(dialog, row);
    else
        ui::PostToWindow(dialog, kMsgRefreshDeployFields, 0, 0);
}

void Create(ui::Dialog dialog, const Row& row) {
    const int version =
        row.kind == CapiKind::OverTcp ? TheState().selectedTcpVersion : kVersionV51000;
    std::string problem;
    const int done = CreateCapi(dialog, row.place, version, &problem);
    Acted(dialog, row, done, problem);
}

void Delete(ui::Dialog dialog, const Row& row) {
    std::string problem;
    const int done = DeleteCapi(row.place, &problem);
    Acted(dialog, row, done, problem);
}

void Restore(ui::Dialog dialog) {
    std::string problem;
    if (RestoreKeptCopy(&problem)) {
        ShowProblem(dialog, "");
        ReadAllRows(dialog);
        UpdateFocus(dialog, kNoControl);
        return;
    }
    ShowProblem(dialog, problem);
    ui::PostToWindow(dialog, kMsgRefreshDeployFields, 0, 0);
}

// The version chosen, whatever the option's notification.
bool ChooseVersion(ui::Dialog dialog, int id, std::uint32_t) {
    if (id != kV3810 && id != kV3830) return false;
    ui::SetOption(dialog, kV3810, kV3830, id);
    TheState().selectedTcpVersion = id == kV3810 ? kVersionV3810 : kVersionV3830;
    return true;
}

void Click(ui::Dialog dialog, int id) {
    if (id == kRestore) return Restore(dialog);
    for (const Row& row : kRows) {
        if (id == row.create) Create(dialog, row);
        if (id == row.remove) Delete(dialog, row);
    }
}

void Open(ui::Dialog dialog) {
    TheState().selectedTcpVersion = kVersionV3810;
    ReadAllRows(dialog);
    UpdateFocus(dialog, kNoControl);
    ui::PostToWindow(dialog, kMsgRefreshDeployFields, 0, 0);
}

}  // namespace

int ShowCapiVersion(ui::Dialog dialog, int controlId, const std::string& folder) {
    std::string text;
    if (!CapiVersionText(folder, text)) return 0;
    ui::SetControlText(dialog, controlId, text);
    return 1;
}

int SelectedTcpVersion() {
    return TheState().selectedTcpVersion;
}

int CreateCapi(ui::Window owner, CapiPlace place, int versionCode, std::string* problem) {
    std::string line;
    const Created created = CreateCapiFile(place, PayloadOf(versionCode), line);
    if (problem) *problem = line;
    if (created == Created::kNotWritten) ShowWriteFailed(owner);
    return created == Created::kWritten ? 1 : 0;
}

int DeployTestTool(ui::Window owner) {
    std::string folder = sysinfo::ProgramFolder();
    if (CheckFolder(folder) && ExtractPayloadInto(kTelusoPayload, folder)) return 1;
    ShowWriteFailed(owner);
    return 0;
}

int ShowCapiDeployDialog(ui::Window owner) {
    TheState() = State{};
    ui::Dialog dialog = ui::NewDialog(owner, kDeployDialogTitle, 22, 9, 360, 302, ui::kDialogStyle,
                                      ui::kWsExControlParent);
    ui::AddControls(dialog, kControls);
    for (int id : {kKeptLabel, kRestore, kProblemLabel}) ui::ShowControl(dialog, id, false);
    ui::SetDialogIcon(dialog, "#555");
    ui::SetOption(dialog, kV3810, kV3830, kV3810);
    for (CapiPlace place : kPlaceOrder) {
        for (int id : {FieldsOf(place).path, FieldsOf(place).version}) {
            ui::SetControlColor(dialog, id, ui::kDefaultColor, kWhite);
            ui::SetEditMargins(dialog, id, kEditMargin);
        }
    }
    return ui::RunDialog(dialog, {.open = Open,
                                  .reloadMessage = kMsgRefreshDeployFields,
                                  .reload = RefreshFields,
                                  .command = ChooseVersion,
                                  .click = Click,
                                  .closeId = kOk});
}

}  // namespace orvano::deploy
