// Teluso.exe, the CAPI test tool. Its first line is a verdict on what stands between the fax
// application and the router (deploy/capi_diagnosis.h), the lines under it what each step
// found; below them what capi2032.dll, loaded the way every CAPI application loads it (by name,
// the normal search order), reports through its informational functions. The two are asked at
// once, each on a thread of its own, so that the verdict never waits for the library.
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <string>

#include "deploy/capi_diagnosis.h"
#include "deploy/capi_locations.h"

namespace {

const char kTitle[] = " Teluso";
const char kWindowClass[] = "TelusoMainWindow";
constexpr int kReportId = 100;
constexpr int kRefreshId = 101;
// Posted by the two threads when their part is ready.
constexpr UINT kDiagnosisReady = WM_APP + 1;
constexpr UINT kDetailsReady = WM_APP + 2;

using RegisterFn = DWORD(WINAPI*)(DWORD, DWORD, DWORD, DWORD, DWORD*);
using ReleaseFn = DWORD(WINAPI*)(DWORD);
using TextFn = DWORD(WINAPI*)(char*);
using VersionFn = DWORD(WINAPI*)(DWORD*, DWORD*, DWORD*, DWORD*);
using ProfileFn = DWORD(WINAPI*)(void*, DWORD);
using InstalledFn = DWORD(WINAPI*)();

// The ten standard functions, in ordinal order.
const char* const kExports[] = {
    "CAPI_REGISTER",        "CAPI_RELEASE",          "CAPI_PUT_MESSAGE", "CAPI_GET_MESSAGE",
    "CAPI_WAIT_FOR_SIGNAL", "CAPI_GET_MANUFACTURER", "CAPI_GET_VERSION", "CAPI_GET_SERIAL_NUMBER",
    "CAPI_GET_PROFILE",     "CAPI_INSTALLED"};

struct CodeText {
    DWORD code;
    const char* text;
};

const CodeText kCodeTexts[] = {
    {0x0000, "OK"},
    {0x1001, "zu viele Anwendungen"},
    {0x1002, "logische Blockgröße zu klein"},
    {0x1003, "Puffer größer als 64 KB"},
    {0x1004, "Nachrichtenpuffer zu klein"},
    {0x1005, "zu viele logische Verbindungen verlangt"},
    {0x1007, "belegt, später erneut versuchen"},
    {0x1008, "Betriebssystem-Ressourcen fehlen"},
    {0x1009, "COMMON-ISDN-API nicht installiert"},
    {0x100A, "Controller unterstützt keine externen Geräte"},
    {0x100B, "Controller unterstützt nur externe Geräte"},
    {0x1101, "ungültige Anwendungsnummer"},
    {0x1102, "ungültiger Befehl oder zu kurze Nachricht"},
    {0x1103, "Warteschlange voll"},
    {0x1104, "Warteschlange leer"},
    {0x1105, "Warteschlange übergelaufen, Nachricht verloren"},
    {0x1106, "unbekannter Benachrichtigungsparameter"},
    {0x1107, "belegt, später erneut versuchen"},
    {0x1108, "Betriebssystem-Ressourcen fehlen"},
    {0x1109, "COMMON-ISDN-API nicht installiert"},
    {0x2002, "ungültiger Controller"},
};

// The report, in a fixed buffer: the tool needs no more and links no C++ library.
class Text {
  public:
    void Add(const char* format, ...) {
        va_list args;
        va_start(args, format);
        const int n = std::vsnprintf(text_ + used_, sizeof text_ - used_, format, args);
        va_end(args);
        if (n > 0) used_ = used_ + n < sizeof text_ ? used_ + n : sizeof text_ - 1;
    }
    void AddCode(const char* what, DWORD code) {
        const char* meaning = "unbekannter Fehler";
        for (const CodeText& entry : kCodeTexts)
            if (entry.code == code) meaning = entry.text;
        Add("%s: 0x%04lX  %s\r\n", what, static_cast<unsigned long>(code), meaning);
    }
    const char* c_str() const { return text_; }

  private:
    char text_[8192] = {};
    unsigned used_ = 0;
};

std::uint32_t Dword(const unsigned char* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// Everything the library reports.
void Details(Text& text) {
    HMODULE capi = LoadLibraryA("capi2032.dll");
    if (!capi) {
        text.Add("capi2032.dll wurde nicht gefunden.\r\n");
        return;
    }
    char path[MAX_PATH] = {};
    GetModuleFileNameA(capi, path, MAX_PATH - 1);
    text.Add("Bibliothek: %s\r\n", path);
    // Only the CAPI-over-TCP client talks to the router, whatever another CAPI library reports.
    std::string folder = path;
    folder.erase(folder.find_last_of('\\') + 1);
    if (orvano::deploy::CapiKindOf(folder) != orvano::deploy::CapiKind::OverTcp)
        text.Add("Die Bibliothek ist kein CAPI-over-TCP-Client.\r\n");

    // By name and by ordinal, both must lead to the same function.
    FARPROC functions[10] = {};
    for (int i = 0; i < 10; ++i) {
        FARPROC byName = GetProcAddress(capi, kExports[i]);
        FARPROC byOrdinal = GetProcAddress(capi, MAKEINTRESOURCEA(i + 1));
        if (!byName || byName != byOrdinal) {
            text.Add("Funktion %s (Ordinal %d) fehlt oder passt nicht.\r\n", kExports[i], i + 1);
            FreeLibrary(capi);
            return;
        }
        functions[i] = byName;
    }
    auto fn = [&](int ordinal) { return reinterpret_cast<void (*)()>(functions[ordinal - 1]); };

    const DWORD installed = reinterpret_cast<InstalledFn>(fn(10))();
    text.AddCode("CAPI_INSTALLED", installed);

    char manufacturer[64];
    std::memset(manufacturer, 0xA5, sizeof manufacturer);
    DWORD code = reinterpret_cast<TextFn>(fn(6))(manufacturer);
    manufacturer[63] = '\0';
    if (code == 0)
        text.Add("Hersteller: %s\r\n", manufacturer);
    else
        text.AddCode("Hersteller", code);

    DWORD capiMajor = ~0u, capiMinor = ~0u, major = ~0u, minor = ~0u;
    code = reinterpret_cast<VersionFn>(fn(7))(&capiMajor, &capiMinor, &major, &minor);
    if (code == 0)
        text.Add("CAPI-Version: %lu.%lu, Herstellerversion: %lu.%lu\r\n",
                 static_cast<unsigned long>(capiMajor), static_cast<unsigned long>(capiMinor),
                 static_cast<unsigned long>(major), static_cast<unsigned long>(minor));
    else
        text.AddCode("Version", code);

    char serial[8];
    std::memset(serial, 0xA5, sizeof serial);
    code = reinterpret_cast<TextFn>(fn(8))(serial);
    serial[7] = '\0';
    if (code == 0)
        text.Add("Seriennummer: %s\r\n", serial[0] ? serial : "(keine)");
    else
        text.AddCode("Seriennummer", code);

    unsigned char profile[64] = {};
    code = reinterpret_cast<ProfileFn>(fn(9))(profile, 0);
    if (code != 0) {
        text.AddCode("Profil", code);
    } else {
        const unsigned controllers = profile[0] | (profile[1] << 8);
        text.Add("Controller: %u\r\n", controllers);
        for (unsigned c = 1; c <= controllers && c <= 32; ++c) {
            std::memset(profile, 0, sizeof profile);
            code = reinterpret_cast<ProfileFn>(fn(9))(profile, c);
            if (code != 0) {
                char what[32];
                std::snprintf(what, sizeof what, "Controller %u", c);
                text.AddCode(what, code);
                continue;
            }
            text.Add(
                "Controller %u: %u B-Kanäle, Optionen 0x%08lX, B1 0x%08lX, B2 0x%08lX, "
                "B3 0x%08lX\r\n",
                c, profile[2] | (profile[3] << 8), static_cast<unsigned long>(Dword(profile + 4)),
                static_cast<unsigned long>(Dword(profile + 8)),
                static_cast<unsigned long>(Dword(profile + 12)),
                static_cast<unsigned long>(Dword(profile + 16)));
        }
    }

    DWORD application = 0;
    const DWORD registered = reinterpret_cast<RegisterFn>(fn(1))(2048, 1, 7, 2048, &application);
    text.AddCode("CAPI_REGISTER", registered);
    if (registered == 0)
        text.AddCode("CAPI_RELEASE", reinterpret_cast<ReleaseFn>(fn(2))(application));
    FreeLibrary(capi);
}

// One check: both parts, filled by their threads, shown once the verdict is there.
struct Check {
    HWND window = nullptr;
    Text diagnosis, details, shown;
    bool diagnosisDone = false, detailsDone = false;
    DWORD started = 0;
};
Check theCheck;

DWORD WINAPI RunDiagnosis(void*) {
    const orvano::deploy::CapiDiagnosis found = orvano::deploy::DiagnoseCapi();
    theCheck.diagnosis.Add("%s\r\n", found.verdict.c_str());
    for (const auto& line : found.found) theCheck.diagnosis.Add("%s\r\n", line.c_str());
    PostMessageA(theCheck.window, kDiagnosisReady, 0, 0);
    return 0;
}

DWORD WINAPI RunDetails(void*) {
    Details(theCheck.details);
    PostMessageA(theCheck.window, kDetailsReady, 0, 0);
    return 0;
}

bool Running() {
    return theCheck.started != 0 && !(theCheck.diagnosisDone && theCheck.detailsDone);
}

void Start(HWND window) {
    if (Running()) return;
    theCheck.diagnosis = Text();
    theCheck.details = Text();
    theCheck.diagnosisDone = theCheck.detailsDone = false;
    theCheck.window = window;
    theCheck.started = GetTickCount();
    if (theCheck.started == 0) theCheck.started = 1;
    SetDlgItemTextA(window, kReportId, "");
    EnableWindow(GetDlgItem(window, kRefreshId), FALSE);
    const LPTHREAD_START_ROUTINE parts[] = {RunDiagnosis, RunDetails};
    for (LPTHREAD_START_ROUTINE part : parts) {
        HANDLE thread = CreateThread(nullptr, 0, part, nullptr, 0, nullptr);
        if (thread)
            CloseHandle(thread);
        else
            part(nullptr);  // no thread to be had: the part runs here
    }
}

// The verdict and its lines, the library's report below them, and at the end how long it took.
void Show(HWND window) {
    if (!theCheck.diagnosisDone) return;
    Text& text = theCheck.shown;
    text = Text();
    text.Add("%s\r\nCAPI-Funktionen der capi2032.dll, die Teluso lädt:\r\n%s",
             theCheck.diagnosis.c_str(),
             theCheck.detailsDone ? theCheck.details.c_str() : "... werden abgefragt\r\n");
    if (theCheck.detailsDone) {
        const DWORD took = GetTickCount() - theCheck.started;
        text.Add("\r\nPrüfung beendet nach %lu,%lu s\r\n", static_cast<unsigned long>(took / 1000),
                 static_cast<unsigned long>(took % 1000 / 100));
        EnableWindow(GetDlgItem(window, kRefreshId), TRUE);
    }
    SetDlgItemTextA(window, kReportId, text.c_str());
}

void Layout(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    MoveWindow(GetDlgItem(window, kReportId), 8, 8, client.right - 16, client.bottom - 48, TRUE);
    MoveWindow(GetDlgItem(window, kRefreshId), client.right - 128, client.bottom - 34, 120, 26,
               TRUE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
            HWND report = CreateWindowExA(
                WS_EX_CLIENTEDGE, "EDIT", "",
                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0,
                0, 0, 0, window, reinterpret_cast<HMENU>(kReportId), nullptr, nullptr);
            HWND refresh = CreateWindowExA(
                0, "BUTTON", " Neu prüfen ", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
                0, 0, 0, window, reinterpret_cast<HMENU>(kRefreshId), nullptr, nullptr);
            SendMessageA(report, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            SendMessageA(refresh, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            Layout(window);
            PostMessageA(window, WM_COMMAND, kRefreshId, 0);
            return 0;
        }
        case WM_SIZE:
            Layout(window);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kRefreshId) Start(window);
            return 0;
        case kDiagnosisReady:
            theCheck.diagnosisDone = true;
            Show(window);
            return 0;
        case kDetailsReady:
            theCheck.detailsDone = true;
            Show(window);
            return 0;
        case WM_SETCURSOR:
            // The busy cursor with an arrow while a check runs: the window stays usable.
            if (Running() && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursor(nullptr, IDC_APPSTARTING));
                return TRUE;
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    // SC_CLOSE from the system menu or another program ends here in WM_CLOSE and WM_DESTROY.
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass)) return 1;
    HWND window = CreateWindowExA(0, kWindowClass, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 440, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
