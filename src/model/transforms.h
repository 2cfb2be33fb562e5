#pragma once
// Transforms of the current state of an image; a null rectangle means the whole
// image, and a rectangle may reach past it (a selection made on a larger image).
#include <windows.h>

class IconImage;

// What a transform did. Nothing changed is not a failure: a clear of pixels
// that already hold the background simply has nothing to do.
enum class TransformOutcome
{
    Done,
    NothingChanged,
    NoMemory,   // no undo copy or work space: the image is as it was
};

// The background (the right painting colour) over the image or a rectangle, as
// one undo step when something was written.
TransformOutcome ClearImage(IconImage& image);
TransformOutcome ClearRect(IconImage& image, const RECT& rect);
// Moves the block by dx, dy, the uncovered strip taking the background; always
// one undo step.
TransformOutcome Shift(IconImage& image, const RECT* rect, int dx, int dy);
// No undo step of its own: it goes back with the step before it.
TransformOutcome Mirror(IconImage& image, const RECT* rect, bool vertical);
