// A dialog with every kind of control, built and run by the real toolkit, for the end-to-end
// test to drive from outside: toolkit_demo [LOGFILE]. Each reaction of the callback changes
// something the driver can read; the callback's life (WM_INITDIALOG ... WM_DESTROY) and the
// result of the run go to the log. The exit code is RunModal's result.
#include <cstdio>
#include <string>
#include <vector>

#include "ui/toolkit.h"

using namespace orvano::ui;

namespace {

constexpr char kTitle[] = " Orvano Werkzeugtest";
constexpr char kSubTitle[] = " Orvano Unterdialog";

enum : int {
    kSettingsFrame = 101,
    kCountryLabel = 102,
    kCountryEdit = 103,
    kAddressLabel = 104,
    kAddressField = 105,
    kLockBox = 106,
    kShowListOption = 107,
    kHideListOption = 108,
    kSeparator = 109,
    kLettersLabel = 110,
    kNamesList = 111,
    kNotifyLabel = 112,
    kClickLabel = 113,
    kAnswerLabel = 114,
    kAddressReadout = 115,
    kTimerLabel = 116,
    kChangeButton = 120,
    kApplyButton = 121,
    kInfoButton = 122,
    kAddressButton = 123,
    kCloseButton = 124,
    kSubButton = 125,
    kClearButton = 126,
    kSubOkButton = 130,
    kSubLabel = 131,
};

constexpr std::uintptr_t kTimerId = 9;
constexpr std::uint32_t kFlatButton = 0x50018F00;
constexpr std::uint32_t kNotifyCentered = 0x50000301;
constexpr std::uint32_t kCentered = 0x50000001;
constexpr std::uint32_t kRadioGroupHead = 0x50030D09;
constexpr std::uint32_t kEtchedLine = 0x50000010;
constexpr std::uint32_t kAddressStyle = 0x50010000;

struct ControlRow {
    ControlKind kind;
    int id;
    const char* text;
    int x, y, width, height;
    std::uint32_t style;
    const char* className;
};

const ControlRow kControls[] = {
    {ControlKind::Frame, kSettingsFrame, " Einstellungen ", 5, 4, 150, 108, 0, ""},
    {ControlKind::Label, kCountryLabel, " Ländervorwahl: ", 12, 17, 56, 10, 0, ""},
    {ControlKind::Edit, kCountryEdit, "0049", 70, 15, 80, 12, 0, ""},
    {ControlKind::Label, kAddressLabel, " IP-Adresse: ", 12, 32, 56, 10, 0, ""},
    {ControlKind::Custom, kAddressField, "10.0.0.138", 70, 30, 80, 12, kAddressStyle,
     "SysIPAddress32"},
    {ControlKind::CheckBox, kLockBox, " Info sperren ", 12, 46, 130, 10, 0, ""},
    {ControlKind::Radio, kShowListOption, " Liste zeigen ", 12, 59, 130, 10, kRadioGroupHead, ""},
    {ControlKind::Radio, kHideListOption, " Liste verbergen ", 12, 71, 130, 10, 0, ""},
    {ControlKind::Line, kSeparator, "", 12, 86, 136, 1, kEtchedLine, ""},
    {ControlKind::Label, kLettersLabel, " Straße, Größe, Füße: ß ", 12, 93, 136, 10, 0, ""},
    {ControlKind::ListBox, kNamesList, "", 162, 8, 82, 50, 0, ""},
    {ControlKind::Label, kNotifyLabel, " Doppelklick hier ", 162, 62, 82, 12, kNotifyCentered, ""},
    {ControlKind::Label, kClickLabel, " bereit ", 162, 78, 82, 10, kCentered, ""},
    {ControlKind::Label, kAnswerLabel, " - ", 162, 90, 82, 10, kCentered, ""},
    {ControlKind::Label, kTimerLabel, " Zeitgeber: aus ", 162, 102, 82, 10, kCentered, ""},
    {ControlKind::Button, kChangeButton, " Ändern ", 5, 118, 46, 14, kFlatButton, ""},
    {ControlKind::Button, kApplyButton, " Übernehmen ", 54, 118, 46, 14, kFlatButton, ""},
    {ControlKind::Button, kInfoButton, " Info ", 103, 118, 46, 14, kFlatButton, ""},
    {ControlKind::Button, kAddressButton, " Adresse ", 152, 118, 46, 14, kFlatButton, ""},
    {ControlKind::Button, kCloseButton, " Schließen ", 201, 118, 46, 14, kFlatButton, ""},
    {ControlKind::Button, kSubButton, " Unterdialog ", 5, 136, 60, 14, 0, ""},
    {ControlKind::Button, kClearButton, " Leeren ", 68, 136, 46, 14, 0, ""},
    {ControlKind::Label, kAddressReadout, " - ", 120, 139, 125, 10, 0, ""},
};

const char* const kNames[] = {" Müller ", " Übermut ", " Äpfel ", " Öfen "};

FILE* g_log = nullptr;
bool g_idleSeen = false;

void Log(const std::string& line) {
    if (!g_log) return;
    std::fprintf(g_log, "%s\n", line.c_str());
    std::fflush(g_log);
}

// The lifecycle messages every callback of the program sees, written to the log.
void LogLife(const char* who, Dialog dialog, std::uint32_t message, WParam wParam, LParam lParam) {
    std::string prefix = std::string(who) + " ";
    if (message == kWmInitDialog)
        Log(prefix + "INITDIALOG " + (wParam == dialog && lParam == 0 ? "ok" : "wrong"));
    else if (message == kWmSize)
        Log(prefix + "SIZE " + std::to_string(wParam) + " " + std::to_string(lParam & 0xFFFF) +
            " " + std::to_string((lParam >> 16) & 0xFFFF));
    else if (message == kWmClose)
        Log(prefix + "CLOSE");
    else if (message == kWmDestroy)
        Log(prefix + "DESTROY");
}

int RunSubDialog(Dialog owner) {
    Dialog sub = NewDialog(owner, kSubTitle, 30, 30, 120, 50, kDialogStyle, kWsExControlParent);
    AddControl(sub, ControlKind::Label, kSubLabel, " Übergeordnet gesperrt ", 8, 8, 104, 10, 0, 0);
    AddControl(sub, ControlKind::Button, kSubOkButton, " OK ", 40, 26, 40, 14, kFlatButton, 0);
    int result = RunModal(sub, [](Dialog d, std::uint32_t message, WParam wParam, LParam lParam) {
        LogLife("SUB", d, message, wParam, lParam);
        if (message == kWmCommand && CommandId(wParam) == kSubOkButton) CloseDialog(d, 3);
        return std::intptr_t{0};
    });
    Log("SUB RESULT " + std::to_string(result));
    return result;
}

std::intptr_t DemoCallback(Dialog d, std::uint32_t message, WParam wParam, LParam lParam) {
    LogLife("MAIN", d, message, wParam, lParam);
    switch (message) {
        case kWmInitDialog:
            StartTimer(d, kTimerId, 150);
            return 0;
        case kWmTimer:
            if (wParam == kTimerId) {
                StopTimer(d, kTimerId);
                SetControlText(d, kTimerLabel, " Zeitgeber: an ");
            }
            return 0;
        case kWmEnterIdle:
            if (!g_idleSeen) Log("MAIN ENTERIDLE");
            g_idleSeen = true;
            return 0;
        case kWmCommand:
            break;
        default:
            return 0;
    }
    int id = CommandId(wParam);
    std::uint32_t code = CommandCode(wParam);
    if (id == kIdOk || id == kIdCancel) Log(id == kIdOk ? "MAIN IDOK" : "MAIN IDCANCEL");
    switch (id) {
        case kChangeButton:
            SetControlText(d, kClickLabel, "geklickt");
            // A shorter text on the transparent label: nothing of the old one may remain.
            SetControlText(d, kLettersLabel, " Maße: ÄÖÜ äöü ");
            break;
        case kNotifyLabel:
            if (code == kStnDblClk) SetControlText(d, kNotifyLabel, " doppelt geklickt ");
            break;
        case kApplyButton: {
            std::string readout = GetControlText(d, kAddressField);
            readout.insert(readout.begin(), '[');
            SetControlText(d, kAddressReadout, readout + "] " + GetControlText(d, kCountryEdit));
            break;
        }
        case kInfoButton: {
            int answer = ShowMessageBox(d, " Möchten Sie fortfahren? ", " Info", kMbQuestion);
            SetControlText(d, kAnswerLabel,
                           answer == kIdYes  ? " Ja "
                           : answer == kIdNo ? " Nein "
                                             : " ? ");
            break;
        }
        case kAddressButton:
            SetControlText(d, kAddressField, "192.168.178.1");
            break;
        case kClearButton:
            SetControlText(d, kAddressField, "");
            break;
        case kLockBox:
            EnableControl(d, kInfoButton, GetCheck(d, kLockBox) != kChecked);
            break;
        case kShowListOption:
        case kHideListOption:
            ShowControl(d, kNamesList, GetCheck(d, kShowListOption) == kChecked);
            break;
        case kSubButton:
            SetControlText(d, kClickLabel, "Unterdialog: " + std::to_string(RunSubDialog(d)));
            break;
        case kCloseButton:
            CloseDialog(d, 7);
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) g_log = std::fopen(argv[1], "wb");
    InitCommonControls();

    Dialog d = NewDialog(0, kTitle, 0, 0, 250, 156, kMainWindowStyle, kWsExControlParent);
    if (!d) return 100;
    SetDialogIcon(d, "#555");  // the demo carries no icon: nothing happens
    for (const ControlRow& row : kControls)
        AddControl(d, row.kind, row.id, row.text, row.x, row.y, row.width, row.height, row.style, 0,
                   row.className);
    for (const char* name : kNames) AddListItem(d, kNamesList, name);
    SetOption(d, kShowListOption, kHideListOption, kShowListOption);
    SetControlColor(d, kCountryLabel, Rgb(255, 0, 0), kDefaultColor);
    SetControlColor(d, kLettersLabel, Rgb(0, 0, 128), kTransparentColor);
    SetControlColor(d, kNotifyLabel, Rgb(255, 255, 255), Rgb(64, 128, 192));
    SetControlColor(d, kCountryEdit, kDefaultColor, Rgb(255, 255, 255));
    FontHandle bold = CreateBoldDialogFont();
    SetControlFont(d, kChangeButton, bold);
    AddToolTip(d, kChangeButton, " Schreibt \"geklickt\" in das Feld ");
    AddToolTip(d, 0, " Werkzeugtest ");

    int result = RunModal(d, DemoCallback);
    DeleteFont(bold);
    Log("MAIN RESULT " + std::to_string(result));
    if (g_log) std::fclose(g_log);
    return result;
}
