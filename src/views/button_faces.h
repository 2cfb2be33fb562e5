#pragma once
#include <windows.h>
#include "win/gdi_guards.h"

// The three looks of a tool button, drawn once for its size, face colour and
// icon, then copied to the screen as they are.
struct ButtonFaces
{
    OwnedBitmap normal;
    OwnedBitmap hover;
    OwnedBitmap pressed;
};

// Draws the faces for a width x height button compatible with a window's
// context; a face that could not be made stays null, and all three do for an
// empty button.
void DrawButtonFaces(HWND window, int width, int height, COLORREF faceColour, HICON icon, ButtonFaces* faces);

// A lighter (delta > 0) or darker variant of a colour, through YCbCr.
COLORREF ShiftLuma(COLORREF colour, short delta);
