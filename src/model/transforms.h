#pragma once
// Transforms of the current state of an image; a null rectangle means the whole
// image, and a rectangle may reach past it (a selection made on a larger image).
#include <windows.h>

class IconImage;

// The background (the right painting colour) over the image or a rectangle, as
// one undo step; 0 when nothing was written.
int ClearImage(IconImage& image);
int ClearRect(IconImage& image, const RECT& rect);
// Moves the block by dx, dy, the uncovered strip taking the background; always
// one undo step.
int Shift(IconImage& image, const RECT* rect, int dx, int dy);
// No undo step of its own: it goes back with the step before it.
int Mirror(IconImage& image, const RECT* rect, bool vertical);
