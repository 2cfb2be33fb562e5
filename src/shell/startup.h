#pragma once
#include <windows.h>

class Editor;

// The steps of the program's start, in the order WinMain runs them. Tests run
// the same steps to drive the real editor in their own process.

// Starts the common controls.
void InitialiseShell();
// The main window class and then the four control classes; false at the first
// registration that fails.
bool RegisterEditorClasses(HINSTANCE instance);
// The fixed-size main window with all its children, bound to the editor;
// null when it cannot be made.
HWND CreateMainWindow(Editor& editor);
// Opens argv[1] when given, and brings the views and bars up to date when it
// opened; a file that does not open is told. Further arguments are ignored.
bool OpenCommandLineFile(Editor& editor, HWND mainWindow, int argc, wchar_t** argv);
// Offers the work left by an editor that stopped without saving; when none is
// taken, opens argv[1] as above. A file named beside recovered work is not
// opened, and the user is told so.
void OpenStartDocument(Editor& editor, HWND mainWindow, int argc, wchar_t** argv);
// One message as the program's loop handles it: the keyboard shortcuts first.
void DispatchEditorMessage(const Editor& editor, HWND mainWindow, MSG& message);
// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop(const Editor& editor, HWND mainWindow);
