#include <windows.h>
#include <stdlib.h>

#include "shell/recovery.h"
#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    InitialiseShell(instance);
    if (!RegisterEditorClasses(instance))
        return 0;
    HWND mainWindow = CreateMainWindow(instance);
    // Without its window the program has nothing to serve.
    if (!mainWindow)
        return 0;
    ShowWindow(mainWindow, showCommand);
    // Work recovered after a crash comes first; the file named on the command
    // line would otherwise ask to save it away at once.
    if (!OfferRecovery(mainWindow))
        OpenCommandLineFile(mainWindow, __argc, __argv);
    return RunMessageLoop(mainWindow);
}
