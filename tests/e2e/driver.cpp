// Drives another program's dialogs from outside, as a user would: finds windows by title,
// reads controls by id and clicks, types and answers message boxes.
//
//   driver [--desktop NAME] COMMAND ARGS...        one command
//   driver [--desktop NAME] --script FILE          one command a line (UTF-8, "#" comments)
//   driver --desktop NAME run PROGRAM ARGS...      starts PROGRAM on that desktop, waits for
//                                                  it and exits with its exit code
//
// Commands (TITLE: exact window title; ID 0: the window itself):
//   wait-window TITLE [MS]        until a visible window has the title (default 10000 ms)
//   wait-gone TITLE [MS]          until no window has it
//   wait-owned TITLE [MS]         until a visible window owned by TITLE's window is there
//                                 (a system dialog, whose title follows Wine's language);
//                                 prints its title
//   children TITLE                prints each control: id, class and text, one a line
//   get-text TITLE ID             prints the text (an IP address control: its four fields)
//   is-visible TITLE ID           prints 1 or 0
//   is-enabled TITLE ID           prints 1 or 0
//   get-check TITLE ID            prints BM_GETCHECK
//   list-items TITLE ID           prints the list box items, separated by "|"
//   click TITLE ID                BM_CLICK
//   double-click TITLE ID         the mouse messages of a double click
//   notify TITLE ID CODE          WM_COMMAND from the control with the notification code
//   menu-item TITLE ID            WM_COMMAND of a menu item (what choosing it in a popup menu
//                                 sends the window)
//   key TITLE ID KEY              posts a key press (esc, enter, tab or a virtual-key code)
//   tool-count TITLE              prints how many tooltips the window's program registered
//   window-rect TITLE             prints the window's screen rectangle: left top right bottom
//   control-rect TITLE ID         prints the control's screen rectangle: left top right bottom
//   layout TITLE [ID:ID|ID ...]   checks the window's layout inside its program (layout_probe.dll
//                                 beside the driver): controls inside, texts and contents whole,
//                                 no overlaps but the pairs given (ID: a text not measured,
//                                 running or covered); prints nothing, fails with one line per
//                                 finding
//   type TITLE ID TEXT            selects all and types TEXT (into an IP control field by field)
//   answer-box CAPTION BUTTON [MS]  prints the message box text, presses Ja/Nein/OK/Abbrechen
//   close TITLE                   the close box: WM_SYSCOMMAND SC_CLOSE
//   minimize TITLE                the minimise box: WM_SYSCOMMAND SC_MINIMIZE
//   is-minimized TITLE            prints 1 or 0
//   foreground                    prints the title of the foreground window
//   redraw-all                    has every visible top-level window and its controls paint
//                                 themselves again
//   kill-window TITLE             ends the process that owns the window
//   post-close TITLE              posts WM_CLOSE, as another program or the session's end does
//   end-session TITLE             sends WM_QUERYENDSESSION and WM_ENDSESSION, as a logoff does
//   hold-mutex NAME MS            makes the named mutex (fails when it exists), prints "held"
//                                 and keeps it MS milliseconds
//   sleep MS
//   launch PROGRAM [ARGS...]      starts PROGRAM on the driver's desktop and notes the time
//   elapsed                       prints the milliseconds since the last launch
//   expect VALUE COMMAND ARGS...  the command's output must be VALUE; queries are retried
//                                 for up to 5 s, so that effects of earlier actions can land
//
// Arguments and scripts may be UTF-8 and may hold \xNN escapes; they are turned into the
// program's code page 1252 before use, and output is UTF-8. Exit code 0 when every command
// succeeded, 1 otherwise.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "layout_probe.h"

namespace {

constexpr unsigned kDefaultWait = 10000;
constexpr unsigned kExpectWait = 5000;
constexpr unsigned kPoll = 25;
constexpr UINT kSendTimeout = 5000;
constexpr UINT kProgramCodePage = 1252;

struct Failure {
    std::string message;
};

[[noreturn]] void Fail(const std::string& message) {
    throw Failure{message};
}

// --- Text between UTF-8 (console, scripts), UTF-16 and code page 1252 (the programs) -------

std::wstring Widen(const std::string& text, UINT codePage) {
    int length =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string Narrow(const std::wstring& text, UINT codePage) {
    int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                        length, nullptr, nullptr);
    return narrow;
}

// \xNN gives the byte NN (code page 1252), \\ a backslash; everything else stays.
std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            out += static_cast<char>(std::strtol(text.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string FromUtf8(const std::string& text) {
    return Unescape(Narrow(Widen(text, CP_UTF8), kProgramCodePage));
}
std::string ToUtf8(const std::string& text) {
    return Narrow(Widen(text, kProgramCodePage), CP_UTF8);
}

// --- Windows -------------------------------------------------------------------------------

HWND FindTop(const std::string& title) {
    return FindWindowA(nullptr, title.c_str());
}

HWND TopWindow(const std::string& title) {
    HWND window = FindTop(title);
    if (!window) Fail("no window titled \"" + ToUtf8(title) + "\"");
    return window;
}

int Number(const std::string& text) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0') Fail("not a number: " + text);
    return static_cast<int>(value);
}

HWND Control(const std::string& title, const std::string& id) {
    HWND window = TopWindow(title);
    int number = Number(id);
    if (number == 0) return window;
    HWND control = GetDlgItem(window, number);
    if (!control) Fail("\"" + ToUtf8(title) + "\" has no control " + id);
    return control;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeout,
                             &result))
        Fail("the window does not answer");
    return static_cast<LRESULT>(result);
}

// Actions go in order with the queries after them, but never wait for the other program: a
// click may open a message box there.
void Notify(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!SendNotifyMessageA(window, message, wParam, lParam)) Fail("cannot reach the window");
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Texts are read as UTF-16 and converted here: Wine hands some of them (LB_GETTEXT) to an
// ANSI caller in another process without converting them.
LRESULT SendWide(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeout,
                             &result))
        Fail("the window does not answer");
    return static_cast<LRESULT>(result);
}

std::string ReadText(HWND window, UINT lengthMessage, UINT textMessage, WPARAM index, bool sized) {
    LRESULT length = SendWide(window, lengthMessage, index, 0);
    if (length < 0) Fail("no such item");
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    LRESULT copied = SendWide(window, textMessage, sized ? text.size() : index,
                              reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return Narrow(text, kProgramCodePage);
}

std::string TextOf(HWND window) {
    return ReadText(window, WM_GETTEXTLENGTH, WM_GETTEXT, 0, true);
}

// Enumeration callbacks are named functions: a lambda does not convert to the stdcall
// function pointer the x86 build needs.
BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// The four number fields of an IP address control, left to right.
std::vector<HWND> AddressFields(HWND control) {
    std::vector<HWND> fields = Children(control);
    std::sort(fields.begin(), fields.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    if (fields.size() != 4)
        Fail("the IP address control has " + std::to_string(fields.size()) + " fields");
    return fields;
}

bool IsAddressControl(HWND control) {
    return lstrcmpiA(ClassOf(control).c_str(), "SysIPAddress32") == 0;
}

std::string AddressText(HWND control) {
    std::string text;
    bool blank = true;
    for (HWND field : AddressFields(control)) {
        std::string part = TextOf(field);
        blank = blank && part.empty();
        text += part + ".";
    }
    text.pop_back();
    return blank ? "" : text;
}

void TypeInto(HWND edit, const std::string& text) {
    Notify(edit, EM_SETSEL, 0, -1);
    Notify(edit, WM_CHAR, VK_BACK, 1);
    for (char c : text) Notify(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

// Each field's number typed over its old one, key by key, as into any edit.
void FillField(HWND field, const std::string& number) {
    TypeInto(field, number);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool WaitFor(unsigned milliseconds, const auto& done) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= milliseconds) return false;
        Sleep(kPoll);
    }
    return true;
}

// A visible top-level window of the owner's, other than the owner itself.
struct OwnedSearch {
    HWND owner, found;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<OwnedSearch*>(data);
    if (GetWindow(window, GW_OWNER) != search.owner || !IsWindowVisible(window)) return TRUE;
    search.found = window;
    return FALSE;
}

HWND OwnedWindow(HWND owner) {
    OwnedSearch search{owner, nullptr};
    EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND MessageBoxWindow(const std::string& caption) {
    return FindWindowA("#32770", caption.c_str());
}

std::string MessageBoxText(HWND box) {
    if (HWND text = GetDlgItem(box, 0xFFFF)) return TextOf(text);
    for (HWND child : Children(box))
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0 && !TextOf(child).empty())
            return TextOf(child);
    return "";
}

int ButtonId(const std::string& name) {
    const std::pair<const char*, int> names[] = {
        {"ja", IDYES}, {"yes", IDYES},          {"nein", IDNO},      {"no", IDNO},
        {"ok", IDOK},  {"abbrechen", IDCANCEL}, {"cancel", IDCANCEL}};
    for (auto& [text, id] : names)
        if (lstrcmpiA(name.c_str(), text) == 0) return id;
    return Number(name);
}

UINT KeyCode(const std::string& name) {
    const std::pair<const char*, UINT> names[] = {
        {"esc", VK_ESCAPE}, {"enter", VK_RETURN}, {"tab", VK_TAB}};
    for (auto& [text, key] : names)
        if (lstrcmpiA(name.c_str(), text) == 0) return key;
    return static_cast<UINT>(Number(name));
}

// --- The layout probe, run inside the program that shows the window ---------------------------

// Where a module of ours is loaded in another process (bases differ between processes).
BYTE* RemoteModule(DWORD process, const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    BYTE* base = nullptr;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !base;
         more = Module32NextW(snapshot, &module))
        if (lstrcmpiW(module.szModule, name) == 0) base = module.modBaseAddr;
    CloseHandle(snapshot);
    return base;
}

// The address of a function in another process: its offset in our own copy of the module.
void* RemoteFunction(DWORD process, HMODULE local, const wchar_t* name, const char* function) {
    BYTE* base = RemoteModule(process, name);
    FARPROC address = GetProcAddress(local, function);
    if (!base || !address) return nullptr;
    return base + (reinterpret_cast<BYTE*>(address) - reinterpret_cast<BYTE*>(local));
}

DWORD RunRemote(HANDLE process, void* function, void* argument) {
    HANDLE thread =
        CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(function),
                           argument, 0, nullptr);
    if (!thread) Fail("cannot start a thread in the program");
    DWORD code = 0;
    bool ended = WaitForSingleObject(thread, 20000) == WAIT_OBJECT_0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    if (!ended) Fail("the probe does not finish");
    return code;
}

std::wstring BesideDriver(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + name;
}

// Runs the probe on the window; the findings, one a line (UTF-8).
std::string ProbeLayout(HWND window, const std::string& allowed) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                     PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ,
                                 FALSE, id);
    if (!process) Fail("cannot open the program's process");
    std::wstring probe = BesideDriver(kLayoutProbeName);
    HMODULE local = LoadLibraryW(probe.c_str());
    if (!local) {
        CloseHandle(process);
        Fail("no " + Narrow(probe, CP_UTF8));
    }
    wchar_t temp[MAX_PATH], report[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    GetTempFileNameW(temp, L"lay", 0, report);
    LayoutRequest request{};
    request.dialog = reinterpret_cast<std::uint64_t>(window);
    lstrcpynW(request.reportPath, report, MAX_PATH);
    lstrcpynW(request.allowed, Widen(allowed, kProgramCodePage).c_str(),
              sizeof request.allowed / sizeof(wchar_t));
    std::size_t size = sizeof request + (probe.size() + 1) * sizeof(wchar_t);
    auto* remote =
        static_cast<BYTE*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    DWORD findings = 0;
    try {
        if (!remote || !WriteProcessMemory(process, remote, &request, sizeof request, nullptr) ||
            !WriteProcessMemory(process, remote + sizeof request, probe.c_str(),
                                (probe.size() + 1) * sizeof(wchar_t), nullptr))
            Fail("cannot write into the program's memory");
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        void* loadLibrary = RemoteFunction(id, kernel, L"kernel32.dll", "LoadLibraryW");
        if (!loadLibrary) Fail("no kernel32.dll in the program");
        RunRemote(process, loadLibrary, remote + sizeof request);
        void* check = RemoteFunction(id, local, kLayoutProbeName, kLayoutProbeEntry);
        if (!check) Fail("the program did not load the probe");
        findings = RunRemote(process, check, remote);
        // Unloaded again, so that the program goes on as it was.
        if (void* freeLibrary = RemoteFunction(id, kernel, L"kernel32.dll", "FreeLibrary"))
            RunRemote(process, freeLibrary, RemoteModule(id, kLayoutProbeName));
    } catch (const Failure&) {
        if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        CloseHandle(process);
        FreeLibrary(local);
        DeleteFileW(report);
        throw;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    FreeLibrary(local);
    std::ifstream file(report, std::ios::binary);
    std::string lines((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    file.close();
    DeleteFileW(report);
    if (findings == kLayoutNoDialog) Fail("the probe found no window");
    if (findings == kLayoutNoReport) Fail("the probe could not write its report");
    if (findings == 0 && !lines.empty()) Fail("the probe reported without counting: " + lines);
    return lines;
}

BOOL CALLBACK RedrawVisible(HWND window, LPARAM) {
    if (IsWindowVisible(window))
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

// --- Commands ------------------------------------------------------------------------------

using Args = std::vector<std::string>;

void Need(const Args& args, std::size_t least, std::size_t most) {
    if (args.size() < least + 1 || args.size() > most + 1)
        Fail("wrong number of arguments for " + args[0]);
}

unsigned OptionalMs(const Args& args, std::size_t index) {
    return args.size() > index ? static_cast<unsigned>(Number(args[index])) : kDefaultWait;
}

bool IsQuery(const std::string& command) {
    return command == "get-text" || command == "is-visible" || command == "is-enabled" ||
           command == "get-check" || command == "list-items" || command == "tool-count" ||
           command == "window-rect" || command == "control-rect" || command == "children" ||
           command == "is-minimized" || command == "foreground";
}

bool Prints(const std::string& command) {
    return IsQuery(command) || command == "answer-box" || command == "wait-owned" ||
           command == "elapsed";
}

std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    for (wchar_t c : argument) {
        if (c == L'"') quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

// Starts a program with the given arguments (on the caller's desktop unless one is named);
// the process handle, or nullptr.
HANDLE StartProgram(const std::vector<std::wstring>& arguments, const wchar_t* desktop) {
    std::wstring commandLine;
    for (const std::wstring& argument : arguments)
        commandLine += (commandLine.empty() ? L"" : L" ") + Quoted(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = const_cast<wchar_t*>(desktop);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

double Milliseconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double launched = 0;

// Runs one command; its output (in code page 1252) without a line end.
std::string Run(const Args& args) {
    if (args.empty()) Fail("no command");
    const std::string& command = args[0];
    if (command == "wait-window") {
        Need(args, 1, 2);
        if (!WaitFor(OptionalMs(args, 2), [&] {
                HWND window = FindTop(args[1]);
                return window && IsWindowVisible(window);
            }))
            Fail("no visible window \"" + ToUtf8(args[1]) + "\" appeared");
        return "";
    }
    if (command == "wait-gone") {
        Need(args, 1, 2);
        if (!WaitFor(OptionalMs(args, 2), [&] { return FindTop(args[1]) == nullptr; }))
            Fail("the window \"" + ToUtf8(args[1]) + "\" stays");
        return "";
    }
    if (command == "wait-owned") {
        Need(args, 1, 2);
        HWND owner = TopWindow(args[1]);
        HWND owned = nullptr;
        if (!WaitFor(OptionalMs(args, 2), [&] { return (owned = OwnedWindow(owner)) != nullptr; }))
            Fail("no window owned by \"" + ToUtf8(args[1]) + "\" appeared");
        return TextOf(owned);
    }
    if (command == "children") {
        Need(args, 1, 1);
        std::string lines;
        for (HWND child : Children(TopWindow(args[1]))) {
            if (!lines.empty()) lines += '\n';
            lines += std::to_string(GetDlgCtrlID(child)) + " " + ClassOf(child) + " \"" +
                     TextOf(child) + "\"";
        }
        return lines;
    }
    if (command == "get-text") {
        Need(args, 2, 2);
        HWND control = Control(args[1], args[2]);
        return IsAddressControl(control) ? AddressText(control) : TextOf(control);
    }
    if (command == "is-visible") {
        Need(args, 2, 2);
        return IsWindowVisible(Control(args[1], args[2])) ? "1" : "0";
    }
    if (command == "is-enabled") {
        Need(args, 2, 2);
        return IsWindowEnabled(Control(args[1], args[2])) ? "1" : "0";
    }
    if (command == "get-check") {
        Need(args, 2, 2);
        return std::to_string(Send(Control(args[1], args[2]), BM_GETCHECK, 0, 0));
    }
    if (command == "list-items") {
        Need(args, 2, 2);
        HWND list = Control(args[1], args[2]);
        std::string items;
        LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            if (i) items += '|';
            items += ReadText(list, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(i), false);
        }
        return items;
    }
    if (command == "click") {
        Need(args, 2, 2);
        Notify(Control(args[1], args[2]), BM_CLICK, 0, 0);
        return "";
    }
    if (command == "double-click") {
        Need(args, 2, 2);
        HWND control = Control(args[1], args[2]);
        LPARAM point = MAKELPARAM(2, 2);
        Notify(control, WM_LBUTTONDOWN, MK_LBUTTON, point);
        Notify(control, WM_LBUTTONUP, 0, point);
        Notify(control, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        Notify(control, WM_LBUTTONUP, 0, point);
        return "";
    }
    if (command == "notify") {
        Need(args, 3, 3);
        HWND window = TopWindow(args[1]);
        HWND control = Control(args[1], args[2]);
        Notify(window, WM_COMMAND, MAKEWPARAM(Number(args[2]), Number(args[3])),
               reinterpret_cast<LPARAM>(control));
        return "";
    }
    if (command == "menu-item") {
        Need(args, 2, 2);
        Notify(TopWindow(args[1]), WM_COMMAND, MAKEWPARAM(Number(args[2]), 0), 0);
        return "";
    }
    if (command == "type") {
        Need(args, 3, 3);
        HWND control = Control(args[1], args[2]);
        if (!IsAddressControl(control)) {
            TypeInto(control, args[3]);
            return "";
        }
        std::vector<std::string> parts = Split(args[3], '.');
        std::vector<HWND> fields = AddressFields(control);
        for (std::size_t i = 0; i < fields.size(); ++i)
            FillField(fields[i], i < parts.size() ? parts[i] : "");
        return "";
    }
    if (command == "answer-box") {
        Need(args, 2, 3);
        HWND box = nullptr;
        if (!WaitFor(OptionalMs(args, 3),
                     [&] { return (box = MessageBoxWindow(args[1])) != nullptr; }))
            Fail("no message box \"" + ToUtf8(args[1]) + "\" appeared");
        std::string text = MessageBoxText(box);
        int id = ButtonId(args[2]);
        HWND button = GetDlgItem(box, id);
        if (!button) Fail("the message box has no button " + args[2]);
        Notify(button, BM_CLICK, 0, 0);
        if (!WaitFor(kDefaultWait, [&] { return !IsWindow(box); }))
            Fail("the message box stays open");
        return text;
    }
    if (command == "key") {
        // Posted, as the keyboard does: the dialog's loop sees it before the control does.
        Need(args, 3, 3);
        HWND control = Control(args[1], args[2]);
        UINT key = KeyCode(args[3]);
        if (!PostMessageA(control, WM_KEYDOWN, key, 1) ||
            !PostMessageA(control, WM_KEYUP, key, 0xC0000001))
            Fail("cannot reach the window");
        return "";
    }
    if (command == "tool-count") {
        Need(args, 1, 1);
        DWORD owner = 0;
        GetWindowThreadProcessId(TopWindow(args[1]), &owner);
        LRESULT tools = 0;
        for (HWND tips = nullptr;
             (tips = FindWindowExA(nullptr, tips, "tooltips_class32", nullptr));) {
            DWORD process = 0;
            GetWindowThreadProcessId(tips, &process);
            if (process == owner) tools += Send(tips, TTM_GETTOOLCOUNT, 0, 0);
        }
        return std::to_string(tools);
    }
    if (command == "control-rect") {
        Need(args, 2, 2);
        RECT r;
        if (!GetWindowRect(Control(args[1], args[2]), &r)) Fail("the control has no rectangle");
        return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
               std::to_string(r.right) + " " + std::to_string(r.bottom);
    }
    if (command == "layout") {
        if (args.size() < 2) Fail("layout needs a window title");
        std::string allowed;
        for (std::size_t i = 2; i < args.size(); ++i) allowed += args[i] + " ";
        std::string findings = ProbeLayout(TopWindow(args[1]), allowed);
        if (!findings.empty()) {
            while (!findings.empty() && findings.back() == '\n') findings.pop_back();
            Fail("layout:\n" + findings);
        }
        return "";
    }
    if (command == "window-rect") {
        Need(args, 1, 1);
        RECT r;
        if (!GetWindowRect(TopWindow(args[1]), &r)) Fail("the window has no rectangle");
        return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
               std::to_string(r.right) + " " + std::to_string(r.bottom);
    }
    if (command == "close") {
        Need(args, 1, 1);
        Notify(TopWindow(args[1]), WM_SYSCOMMAND, SC_CLOSE, 0);
        return "";
    }
    if (command == "minimize") {
        Need(args, 1, 1);
        Notify(TopWindow(args[1]), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return "";
    }
    if (command == "is-minimized") {
        Need(args, 1, 1);
        return IsIconic(TopWindow(args[1])) ? "1" : "0";
    }
    if (command == "foreground") {
        Need(args, 0, 0);
        char title[256] = {};
        if (HWND window = GetForegroundWindow()) GetWindowTextA(window, title, sizeof title);
        return ToUtf8(title);
    }
    if (command == "redraw-all") {
        Need(args, 0, 0);
        EnumWindows(RedrawVisible, 0);
        return "";
    }
    if (command == "kill-window") {
        Need(args, 1, 1);
        DWORD process = 0;
        GetWindowThreadProcessId(TopWindow(args[1]), &process);
        HANDLE handle = OpenProcess(PROCESS_TERMINATE, FALSE, process);
        if (!handle || !TerminateProcess(handle, 99)) Fail("cannot end the process");
        CloseHandle(handle);
        return "";
    }
    if (command == "post-close") {
        Need(args, 1, 1);
        if (!PostMessageW(TopWindow(args[1]), WM_CLOSE, 0, 0)) Fail("cannot post WM_CLOSE");
        return "";
    }
    if (command == "end-session") {
        Need(args, 1, 1);
        HWND window = TopWindow(args[1]);
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                 5000, &answer))
            Fail("no answer to WM_QUERYENDSESSION");
        if (!SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                 5000, &answer))
            Fail("no answer to WM_ENDSESSION");
        return "";
    }
    if (command == "hold-mutex") {
        Need(args, 2, 2);
        HANDLE mutex = CreateMutexA(nullptr, FALSE, args[1].c_str());
        if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) Fail("the mutex is there already");
        std::fputs("held\n", stdout);
        std::fflush(stdout);
        Sleep(static_cast<DWORD>(Number(args[2])));
        CloseHandle(mutex);
        return "";
    }
    if (command == "sleep") {
        Need(args, 1, 1);
        Sleep(static_cast<DWORD>(Number(args[1])));
        return "";
    }
    if (command == "launch") {
        Need(args, 1, 64);
        std::vector<std::wstring> arguments;
        for (std::size_t i = 1; i < args.size(); ++i)
            arguments.push_back(Widen(args[i], kProgramCodePage));
        launched = Milliseconds();
        HANDLE process = StartProgram(arguments, nullptr);
        if (!process) Fail("cannot start " + ToUtf8(args[1]));
        CloseHandle(process);
        return "";
    }
    if (command == "elapsed") {
        Need(args, 0, 0);
        if (launched == 0) Fail("nothing launched");
        char text[32];
        std::snprintf(text, sizeof text, "%.0f", Milliseconds() - launched);
        return text;
    }
    if (command == "expect") {
        if (args.size() < 3) Fail("expect needs a value and a command");
        Args query(args.begin() + 2, args.end());
        std::string got;
        bool matched = WaitFor(IsQuery(query[0]) ? kExpectWait : 0, [&] {
            try {
                got = Run(query);
            } catch (const Failure& failure) {
                if (!IsQuery(query[0])) throw;
                got = "(" + failure.message + ")";
            }
            return got == args[1];
        });
        if (!matched)
            Fail(query[0] + ": expected \"" + ToUtf8(args[1]) + "\", got \"" + ToUtf8(got) + "\"");
        return "";
    }
    Fail("unknown command " + command);
}

// A script line: words separated by blanks; "..." keeps blanks, \" inside is a quote.
Args Words(const std::string& line) {
    Args words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size() || line[i] == '#') break;
        std::string word;
        if (line[i] == '"') {
            ++i;
            while (i < line.size() && line[i] != '"') {
                if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '"') ++i;
                word += line[i++];
            }
            if (i >= line.size()) Fail("unterminated quote");
            ++i;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                word += line[i++];
        }
        words.push_back(FromUtf8(word));
    }
    return words;
}

void Print(const std::string& text) {
    std::string line = ToUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

bool RunScript(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        try {
            Args words = Words(line);
            if (words.empty()) continue;
            std::string output = Run(words);
            if (words[0] != "expect" && Prints(words[0])) Print(output);
        } catch (const Failure& failure) {
            std::fprintf(stderr, "%s:%d: %s\n  %s\n", path.c_str(), number, failure.message.c_str(),
                         line.c_str());
            return false;
        }
    }
    return true;
}

// Windows of another desktop are found only from that desktop. It may still be on its way
// when the driver starts.
bool UseDesktop(const std::string& name) {
    HDESK desktop = nullptr;
    WaitFor(kDefaultWait, [&] {
        return (desktop = OpenDesktopA(name.c_str(), 0, FALSE, GENERIC_ALL)) != nullptr;
    });
    return desktop && SetThreadDesktop(desktop);
}

// run: starts the program on the desktop (made when missing, so that the program's windows
// are apart from anything else in the prefix), waits for it and returns its exit code.
int RunProgram(const std::wstring& desktop, int argc, wchar_t** argv) {
    if (!CreateDesktopW(desktop.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr)) {
        std::fprintf(stderr, "cannot make the desktop\n");
        return 1;
    }
    HANDLE process = StartProgram(std::vector<std::wstring>(argv, argv + argc), desktop.c_str());
    if (!process) {
        std::fprintf(stderr, "cannot start the program (%lu)\n", GetLastError());
        return 1;
    }
    WaitForSingleObject(process, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return static_cast<int>(code);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc >= 5 && std::wstring(argv[1]) == L"--desktop" && std::wstring(argv[3]) == L"run")
        return RunProgram(argv[2], argc - 4, argv + 4);
    Args args;
    for (int i = 1; i < argc; ++i) args.push_back(Unescape(Narrow(argv[i], kProgramCodePage)));
    if (args.size() >= 2 && args[0] == "--desktop") {
        if (!UseDesktop(args[1])) {
            std::fprintf(stderr, "cannot use desktop %s\n", ToUtf8(args[1]).c_str());
            return 1;
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() == 2 && args[0] == "--script")
        return RunScript(Narrow(argv[argc - 1], CP_ACP)) ? 0 : 1;
    try {
        std::string output = Run(args);
        if (Prints(args[0])) Print(output);
        return 0;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.message.c_str());
        return 1;
    }
}
