#pragma once
#include <windows.h>

// A wide-character class, unlike the others: its title names the open file,
// whatever the script of its name. Its children still notify it in ANSI.
const char* const MainWindowClass = "VemiroClassApp1_4";
const wchar_t* const MainWindowClassWide = L"VemiroClassApp1_4";
const int MainWindowWidth = 640;
const int MainWindowHeight = 490;

// The frame window: builds its children on WM_CREATE and routes everything
// else to the commands, the bars and the swatch.
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
