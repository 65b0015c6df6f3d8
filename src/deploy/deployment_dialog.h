// The deployment dialog: creates and deletes capi2032.dll in each of its three places (the
// CAPI-over-TCP client V3810 or V3830, or the ISDN adapter's library V51000) and puts kept
// copies back, through the file operations of capi_locations.h; and the two writes that tell
// the user when they fail: CreateCapi and the test tool written beside the program.
#pragma once

#include <cstdint>
#include <string>

#include "deploy/capi_locations.h"
#include "ui/toolkit.h"

namespace orvano::deploy {

inline constexpr char kDeployDialogTitle[] = " capi2032.dll erstellen";

// Posted to the dialog: reread the three path fields and the three version fields.
inline constexpr std::uint32_t kMsgRefreshDeployFields = 0x8BC;

namespace cdd {
inline constexpr int kTitleLabel = 8601, kTcpFrame = 8602, kIsdnFrame = 8603, kOk = 8605,
                     kTcpHint = 8606, kIsdnHint = 8607;
// Status labels of the six rows.
inline constexpr int kTcpFaxLabel = 8608, kTcpSystem32Label = 8609, kTcpSysWow64Label = 8610,
                     kIsdnFaxLabel = 8611, kIsdnSystem32Label = 8612, kIsdnSysWow64Label = 8613;
inline constexpr int kTcpFaxCreate = 8614, kTcpSystem32Create = 8615, kTcpSysWow64Create = 8616,
                     kTcpFaxDelete = 8617, kTcpSystem32Delete = 8618, kTcpSysWow64Delete = 8619;
inline constexpr int kIsdnFaxCreate = 8620, kIsdnSystem32Create = 8621, kIsdnSysWow64Create = 8622,
                     kIsdnFaxDelete = 8623, kIsdnSystem32Delete = 8624, kIsdnSysWow64Delete = 8625;
inline constexpr int kFaxFolderLabel = 8626, kSystem32FolderLabel = 8627,
                     kSysWow64FolderLabel = 8628, kFaxPath = 8629, kSystem32Path = 8630,
                     kSysWow64Path = 8631, kFolderFrame = 8632, kFaxVersion = 8633,
                     kSystem32Version = 8634, kSysWow64Version = 8635;
inline constexpr int kV3810 = 8640, kV3830 = 8641, kVersionFrame = 8642;
// Where a capi2032.dll that was not ours is kept, and the button that puts it back.
inline constexpr int kKeptLabel = 8660, kRestore = 8661;
// Why the last delete, replace or restore left the file as it was.
inline constexpr int kProblemLabel = 8662;
}  // namespace cdd

// Version codes of CreateCapi.
inline constexpr int kVersionV3810 = 0;
inline constexpr int kVersionV51000 = 1;
inline constexpr int kVersionV3830 = 10;

// Row status codes of the row update.
inline constexpr int kRowKindAbsent = 0;       // create enabled, delete disabled
inline constexpr int kRowKindPresent = 1;      // create disabled, delete enabled
inline constexpr int kRowPartnerAbsent = 10;   // buttons left as they are
inline constexpr int kRowPartnerPresent = 11;  // both disabled

// Shown when CreateCapi or DeployTestTool could not write their file.
inline constexpr char kWriteFailedCaption[] = " Fehler!";
inline constexpr char kWriteFailedText[] =
    "Fehler! --> Datei konnte nicht erstellt werden, \r\n"
    "wahrscheinlich fehlende Administrator rechte.";

// Before the path of the kept copy, in the dialog's bottom line.
inline constexpr char kKeptPrefix[] = " Gesichert: ";

// Shows CapiVersionText of the folder in the control; leaves the control alone when there is
// none. The main window shows its rows' versions with it too.
int ShowCapiVersion(ui::Dialog dialog, int controlId, const std::string& folder);

// Runs the dialog over `owner` until it ends; 0. The owner refreshes its own display after.
int ShowCapiDeployDialog(ui::Window owner);

// The client version the radio buttons chose: kVersionV3810 (again each time the dialog
// opens) or kVersionV3830.
int SelectedTcpVersion();

// Writes the capi2032.dll of `versionCode` into `place` (CreateCapiFile); 1 when it was. 0
// without a message for a place that is missing or unknown, or an unknown version code; 0 and
// the failure message over `owner` when nothing could be written and no file is there. A file
// that is there and stays (in use, no rights, or not ours and no copy could be kept first) is
// not written either: 0 without a message, and `problem`, when given, gets the line that says
// why.
int CreateCapi(ui::Window owner, CapiPlace place, int versionCode, std::string* problem = nullptr);

// Writes the test tool Teluso.exe into the program's folder; 1 when it is there, else 0 and
// the failure message over `owner`.
int DeployTestTool(ui::Window owner);

}  // namespace orvano::deploy
