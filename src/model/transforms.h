#pragma once
// Transforms of the current state of an image; a null rectangle means the whole
// image, and a rectangle may reach past it (a selection made on a larger image).
// They record no undo step: whoever changes a document's image does it through
// its edit, which does.
#include <windows.h>

class IconImage;

// What a transform did. Nothing changed is not a failure: a clear of pixels
// that already hold the background simply has nothing to do.
enum class TransformOutcome
{
    Done,
    NothingChanged,
    NoMemory,   // no work space: the image is as it was
};

// The background (the right painting colour) over the image or a rectangle;
// NothingChanged when every pixel already held it.
TransformOutcome ClearImage(IconImage& image);
TransformOutcome ClearRect(IconImage& image, const RECT& rect);
// Moves the block by dx, dy, the uncovered strip taking the background; always
// a change.
TransformOutcome Shift(IconImage& image, const RECT* rect, int dx, int dy);
TransformOutcome Mirror(IconImage& image, const RECT* rect, bool vertical);
