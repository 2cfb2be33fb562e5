#pragma once
#include <windows.h>

class Editor;

// WM_DRAWITEM of the main window: the owner-drawn swatch of the two painting
// colours, the left one in front at the upper left, the right one behind.
LRESULT DrawColourSwatch(Editor& editor, const DRAWITEMSTRUCT* item);
