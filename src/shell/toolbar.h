#pragma once
#include <windows.h>
#include <commctrl.h>

struct ShellState;

// The rebar with the toolbar of file, history and clipboard commands.
// Keeps the toolbar and its image list in the shell state; returns the rebar.
HWND SetUpRebarAndToolbar(ShellState& shell, HWND mainWindow);

// The eight toolbar commands, in button order.
extern const int ToolbarCommands[8];

// The tooltip text of a toolbar command; null for any other identifier.
const char* ToolbarTooltip(int command);

// WM_NOTIFY of the main window: tooltip texts of the toolbar buttons.
LRESULT OnToolbarTooltip(WPARAM wParam, NMHDR* header);
