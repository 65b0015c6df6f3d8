/* A stand-in for a system library (version.dll, wsock32.dll, comctl32.dll) planted beside
   the program. Whoever loads it finds a file named after it with ".loaded" appended next to
   it, holding "static" when the loader brought it in with a program's imports before the
   program ran, "dynamic" when a running program loaded it. Its version functions answer
   nothing, so a program that asks it for a version shows none. Its version resource makes
   it pass as another maker's capi2032.dll, whose version is read but which must never be
   loaded either. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        WCHAR path[MAX_PATH + 8];
        DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            lstrcatW(path, L".loaded");
            HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, NULL);
            if (file != INVALID_HANDLE_VALUE) {
                /* The loader passes a context with the imports of a starting program. */
                const char* how = reserved ? "static\n" : "dynamic\n";
                DWORD written = 0;
                WriteFile(file, how, (DWORD)lstrlenA(how), &written, NULL);
                CloseHandle(file);
            }
        }
    }
    return TRUE;
}

/* Every version function of the library this one stands in for (see the .def file): no
   version information, whatever is asked. */
int NoVersionInformation(void) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return 0;
}
