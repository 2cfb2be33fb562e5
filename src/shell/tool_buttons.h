#pragma once
#include <windows.h>

// The nine tool and six effect buttons of the main window, their glyphs and
// their tooltips. False when a glyph list could not be made; the set-up then
// stops there.
bool SetUpToolButtons(HINSTANCE instance, HWND mainWindow);

// The tooltip of a tool or effect button; null for any other identifier.
const char* ToolButtonTooltip(int command);

// Keeps the pressed look on the button of the current tool only.
void PressToolButton(HWND mainWindow, int command);
