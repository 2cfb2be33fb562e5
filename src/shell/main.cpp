#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <new>

#include "shell/editor.h"
#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    InitialiseShell();
    if (!RegisterEditorClasses(instance))
        return 0;
    // Gone before the entry point returns, and the recovery copy's worker with it.
    std::unique_ptr<Editor> editor(new (std::nothrow) Editor(instance));
    if (!editor)
        return 0;
    HWND mainWindow = CreateMainWindow(*editor);
    // Without its window the program has nothing to serve.
    if (!mainWindow)
        return 0;
    ShowWindow(mainWindow, showCommand);
    // The wide command line: a path in any script arrives as it is.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    OpenStartDocument(*editor, mainWindow, argc, argv);
    LocalFree(argv);
    const int exitCode = RunMessageLoop(*editor, mainWindow);
    // A loop that broke off leaves the window, which must not outlive its editor.
    if (IsWindow(mainWindow))
        DestroyWindow(mainWindow);
    return exitCode;
}
