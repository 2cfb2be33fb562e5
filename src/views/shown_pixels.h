#pragma once
// What the canvas and the preview show of an image, composed pixel for pixel
// in a PixelBuffer, and the scalings between the image's pixels and the views'.
#include <windows.h>

class IconImage;
class PixelBuffer;

// Whether the image is drawn by alpha: a 32-bit image with a fourth byte that
// is not 0. Where all are 0 the byte is unused, as older writers left it, and
// the system draws such an icon by its mask; so do the views.
bool ShowsAlpha(const IconImage& image);

// The image over the button face into a buffer of its own size: blended by
// alpha when it has one, else as the system draws an icon, the mask ANDed in
// and the colour ORed over it. Only the pixels inside `only`, when given: a
// paint need not compose what it will not show. False when no context could
// be made to read its bitmaps from.
bool ComposeOverFace(const IconImage& image, PixelBuffer& into, const RECT* only = nullptr);

// Nearest pixel: column x of `to` shows column x * from width / to width,
// truncated, the mapping of the canvas's hit-testing; a zoom that is no whole
// number gives each column its floor or ceiling, the wider ones spread evenly.
void ZoomInto(const PixelBuffer& from, PixelBuffer& to);

// Each pixel of `to` is the mean of a factor x factor block of `from` (fewer
// pixels where the block passes its right or bottom edge).
void ShrinkInto(const PixelBuffer& from, PixelBuffer& to, int factor);

// The smallest whole factor that brings an image of this size within a box of
// this side: 1 when it fits as it is.
int ShrinkFactor(int size, int box);
