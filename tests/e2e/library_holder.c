/* Keeps a library loaded, as a program that uses it does, until it is told to stop.
     library_holder LIBRARY STOPFILE [SECONDS]
   Loads LIBRARY by its full path, prints "holding" and waits until STOPFILE exists, or at most
   SECONDS (60 by default). Exit code 0 when it held the library, 1 when it could not load it. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: library_holder LIBRARY STOPFILE [SECONDS]\n");
        return 2;
    }
    HMODULE library = LoadLibraryA(argv[1]);
    if (!library) {
        printf("not loaded: %lu\n", GetLastError());
        return 1;
    }
    printf("holding\n");
    fflush(stdout);
    DWORD seconds = argc > 3 ? (DWORD)atoi(argv[3]) : 60;
    for (DWORD waited = 0; waited < seconds * 10; ++waited) {
        if (GetFileAttributesA(argv[2]) != INVALID_FILE_ATTRIBUTES) break;
        Sleep(100);
    }
    FreeLibrary(library);
    return 0;
}
