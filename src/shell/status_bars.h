#pragma once
#include <windows.h>

class Editor;

// The status bar and the other controls that report the editor's state.
// Each update reads the document afresh and rewrites its control completely,
// so it may run at any time; a missing control makes it a no-op.

// Status bar part indices.
enum StatusPart { PartToolHint = 0, PartLeftColour = 1, PartRightColour = 2, PartCursor = 3 };

HWND SetUpStatusBar(const Editor& editor, HWND mainWindow);

void UpdateTitle(Editor& editor, HWND mainWindow);
void UpdateColourStatus(Editor& editor);
void UpdateCursorPosition(Editor& editor, int x, int y);
void UpdateToolHint(Editor& editor);
void UpdateImageIndex(Editor& editor, HWND mainWindow);
void UpdateHotspotText(Editor& editor);
// What a command did, in the tool hint's part until the next hint.
void ShowStatusMessage(Editor& editor, const char* text);

// The hint shown for a tool number; empty for a number outside the tools.
const char* ToolHint(int tool);
