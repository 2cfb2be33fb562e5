#pragma once
#include <windows.h>

// The steps of the program's start, in the order WinMain runs them. Tests run
// the same steps to drive the real editor in their own process.

// Keeps the instance for every resource load and starts the common controls.
void InitialiseShell(HINSTANCE instance);
// The main window class and then the four control classes; false at the first
// registration that fails.
bool RegisterEditorClasses(HINSTANCE instance);
// The fixed-size main window with all its children; null when it cannot be made.
HWND CreateMainWindow(HINSTANCE instance);
// Opens argv[1] when given, and brings the views and bars up to date when it
// opened; a file that does not open is told. Further arguments are ignored.
bool OpenCommandLineFile(HWND mainWindow, int argc, wchar_t** argv);
// Offers the work left by an editor that stopped without saving; when none is
// taken, opens argv[1] as above. A file named beside recovered work is not
// opened, and the user is told so.
void OpenStartDocument(HWND mainWindow, int argc, wchar_t** argv);
// One message as the program's loop handles it: the keyboard shortcuts first.
void DispatchEditorMessage(HWND mainWindow, MSG& message);
// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop(HWND mainWindow);
