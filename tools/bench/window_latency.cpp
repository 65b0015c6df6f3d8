// Times a program's start-up and how fast its window answers (the name-service benchmark,
// tools/bench/dns.sh, runs it under wine64):
//   window_latency verdict PROGRAM [ARGS...]
//       milliseconds from starting PROGRAM to its main window or its " Info DNS " box
//       (which it then answers), and which of the two came
//   window_latency watch SECONDS PROGRAM [ARGS...]
//       milliseconds to the main window, then the longest time the window took to answer
//       WM_GETTEXT, asked every 20 ms for SECONDS; then closes the window
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr char kMainTitle[] = " Orvano";
constexpr char kDnsCaption[] = " Info DNS ";
constexpr double kGiveUp = 60000;

double Now() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HANDLE Start(int argc, char** argv) {
    std::string line;
    // Quotes only where a blank needs them: the program sees its arguments as typed.
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        if (i) line += ' ';
        line += argument.find(' ') == std::string::npos ? argument : "\"" + argument + "\"";
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

HWND Visible(const char* title) {
    HWND window = FindWindowA(nullptr, title);
    return window && IsWindowVisible(window) ? window : nullptr;
}

// Waits for the main window or the message box; the one that came, null after a minute.
HWND Verdict(double started, bool& dnsBox) {
    while (Now() - started < kGiveUp) {
        if (HWND window = Visible(kMainTitle)) return dnsBox = false, window;
        if (HWND box = Visible(kDnsCaption)) return dnsBox = true, box;
        Sleep(5);
    }
    return nullptr;
}

// Closes the window; the process must end on its own, whatever lookup may still hang.
void CloseMain(HWND window, HANDLE process) {
    const double asked = Now();
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (WaitForSingleObject(process, 10000) == WAIT_OBJECT_0) {
        std::printf("process ended %.0f ms after the close\n", Now() - asked);
        return;
    }
    std::printf("process still there 10 s after the close: ended by force\n");
    TerminateProcess(process, 1);
}

}  // namespace

int main(int argc, char** argv) {
    const bool watch = argc >= 4 && std::string(argv[1]) == "watch";
    if (!(argc >= 3 && std::string(argv[1]) == "verdict") && !watch) {
        std::fprintf(stderr, "usage: window_latency verdict|watch SECONDS PROGRAM [ARGS...]\n");
        return 2;
    }
    const double seconds = watch ? std::atof(argv[2]) : 0;
    const int first = watch ? 3 : 2;
    const double started = Now();
    HANDLE process = Start(argc - first, argv + first);
    if (!process) {
        std::fprintf(stderr, "cannot start %s\n", argv[first]);
        return 1;
    }
    bool dnsBox = false;
    HWND window = Verdict(started, dnsBox);
    const double verdict = Now() - started;
    if (!window) {
        std::printf("no window within %.0f ms\n", kGiveUp);
        TerminateProcess(process, 1);
        return 1;
    }
    std::printf("%s after %.0f ms\n", dnsBox ? "\" DNS Server nicht gefunden \"" : "main window",
                verdict);
    if (dnsBox) {
        const double asked = Now();
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        if (WaitForSingleObject(process, 10000) == WAIT_OBJECT_0) {
            std::printf("process ended %.0f ms after the answer\n", Now() - asked);
        } else {
            std::printf("process still there 10 s after the answer: ended by force\n");
            TerminateProcess(process, 1);
        }
        return 0;
    }
    if (!watch) {
        CloseMain(window, process);
        return 0;
    }
    double longest = 0, over100 = 0, samples = 0;
    std::string slow;  // when the first few slow answers were asked for, from the window on
    const double from = Now();
    while (Now() - from < seconds * 1000) {
        char text[256];
        DWORD_PTR result = 0;
        const double asked = Now();
        if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                 SMTO_NORMAL, 20000, &result))
            std::printf("  no answer within 20 s\n");
        const double took = Now() - asked;
        if (took > longest) longest = took;
        if (took > 100 && ++over100 <= 5) {
            char at[32];
            std::snprintf(at, sizeof at, " %.1f s", (asked - from) / 1000);
            slow += at;
        }
        ++samples;
        Sleep(20);
    }
    std::printf("longest answer to WM_GETTEXT over %.0f s: %.1f ms (%.0f of %.0f above 100 ms%s)\n",
                seconds, longest, over100, samples, slow.empty() ? "" : (", at" + slow).c_str());
    CloseMain(window, process);
    return 0;
}
