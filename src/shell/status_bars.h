#pragma once
#include <windows.h>

// The status bar and the other controls that report the editor's state.
// Each update reads the document afresh and rewrites its control completely,
// so it may run at any time; a missing control makes it a no-op.

// Status bar part indices.
enum StatusPart { PartToolHint = 0, PartLeftColour = 1, PartRightColour = 2, PartCursor = 3 };

HWND SetUpStatusBar(HWND mainWindow);

void UpdateTitle(HWND mainWindow);
void UpdateColourStatus();
void UpdateCursorPosition(int x, int y);
void UpdateToolHint();
void UpdateImageIndex(HWND mainWindow);
void UpdateHotspotText();

// The hint shown for a tool number; empty for a number outside the tools.
const char* ToolHint(int tool);
