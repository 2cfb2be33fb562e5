#pragma once
#include <windows.h>

// A 32-bit top-down DIB section, rows from the top, 4 bytes a pixel; its bits
// in *bits, null (and *bits null) when GDI refuses.
HBITMAP CreateTopDown32(int width, int height, void** bits);
