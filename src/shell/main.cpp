#include <windows.h>
#include <shellapi.h>

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
    // line would otherwise ask to save it away at once. The wide command line:
    // a path in any script arrives as it is.
    if (!OfferRecovery(mainWindow)) {
        int argc = 0;
        wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        OpenCommandLineFile(mainWindow, argc, argv);
        LocalFree(argv);
    }
    return RunMessageLoop(mainWindow);
}
