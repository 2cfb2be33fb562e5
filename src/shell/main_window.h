#pragma once
#include <windows.h>

const char* const MainWindowClass = "VemiroClassApp1_4";
const int MainWindowWidth = 640;
const int MainWindowHeight = 490;

// The frame window: builds its children on WM_CREATE and routes everything
// else to the commands, the bars and the swatch.
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
