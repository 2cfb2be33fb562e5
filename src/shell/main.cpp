#include <windows.h>
#include <shellapi.h>

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
    // The wide command line: a path in any script arrives as it is.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    OpenStartDocument(mainWindow, argc, argv);
    LocalFree(argv);
    return RunMessageLoop(mainWindow);
}
