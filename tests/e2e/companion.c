/* Stands in for the programs that Orvano starts and closes with itself: one top-level window
   whose title is the first argument, or else follows from the program's own file name
   (Teluso.exe: " Teluso", Statoro.exe: " Statoro", Dambra.exe: " Dambra Dateipfad ändern",
   Quendra.exe: " Quendra Tools"; titles in code page 1252). Each WM_SYSCOMMAND SC_CLOSE it
   gets appends "SC_CLOSE" to NAME.exe.log beside the program, which then ends; a WM_COMMAND
   from another program (as Orvano sends the fax application) appends "WM_COMMAND ID".
     companion [TITLE] */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static char logPath[MAX_PATH + 8];

static void Log(const char* line) {
    FILE* file = fopen(logPath, "ab");
    if (file) {
        fprintf(file, "%s\r\n", line);
        fclose(file);
    }
}

static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        Log("SC_CLOSE");
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_COMMAND) {
        char line[32];
        snprintf(line, sizeof line, "WM_COMMAND %u", (unsigned)LOWORD(wParam));
        Log(line);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static const char* TitleOf(const char* path) {
    static const struct {
        const char* file;
        const char* title;
    } known[] = {
        {"Teluso.exe", " Teluso"},
        {"Statoro.exe", " Statoro"},
        {"Dambra.exe", " Dambra Dateipfad \xe4ndern"},
        {"Quendra.exe", " Quendra Tools"},
    };
    const char* name = strrchr(path, '\\');
    name = name ? name + 1 : path;
    for (size_t i = 0; i < sizeof known / sizeof known[0]; ++i)
        if (_stricmp(name, known[i].file) == 0) return known[i].title;
    return " Companion";
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)previous;
    (void)commandLine;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    snprintf(logPath, sizeof logPath, "%s.log", path);
    const char* title = __argc > 1 ? __argv[1] : TitleOf(path);

    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "OrvanoCompanion";
    if (!RegisterClassA(&windowClass)) return 1;
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 240, 120, NULL, NULL, instance,
                                  NULL);
    if (!window) return 1;
    ShowWindow(window, show ? show : SW_SHOWNORMAL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
