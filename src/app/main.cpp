// The process entry of Orvano.exe.
#include <windows.h>

#include "app/startup.h"
#include "platform/system.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // The program runs elevated: nothing may be loaded from its own folder, which anyone
    // could have written a library into.
    orvano::platform::RestrictLibrarySearch();
    return orvano::app::RunProgram(commandLine ? commandLine : "");
}
