#pragma once
// Packed DIBs whose fourth byte is alpha, as the clipboard's CF_DIBV5 carries
// them: what Copy hands over beside its bitmap, and what Paste keeps the alpha of.
#include <windows.h>

#include <vector>

#include "document/byte_span.h"

class IconDocument;
class IconImage;

// Pixels taken from the clipboard: top-down rows of 0xAARRGGBB values. Without
// alpha the top byte means nothing and every pixel is opaque.
struct ClipboardPicture
{
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    std::vector<DWORD> pixels;
};

// A packed CF_DIBV5 of the pixels of a 32-bit image inside rect (corners in
// order; what lies outside the image is transparent): a BITMAPV5HEADER with
// bit fields for red, green, blue and alpha, 32-bit rows bottom-up, alpha not
// premultiplied, transparent pixels 0. False, with out emptied, for an image of
// another depth, an empty or absurd rectangle, or no memory.
bool BuildDibV5(const IconImage& image, const RECT& rect, std::vector<BYTE>& out);
// The same for the selection of the document's current image.
bool SelectionAsDibV5(const IconDocument& document, std::vector<BYTE>& out);

// Reads the pixels of a packed DIB, already checked to hold them from
// pixelOffset on, when they are 32-bit with alpha in the fourth byte: a header
// of 56 bytes or more (V4, V5) whose alpha mask is 0xFF000000, with BI_RGB or
// bit fields in the order of plain pixels, and some alpha not 0. Only the
// top-left width x height pixels are taken. False for any other DIB.
bool ReadAlphaDib(ByteSpan dib, const BITMAPINFOHEADER& header, ULONGLONG pixelOffset, int width, int height,
                  ClipboardPicture* picture);
