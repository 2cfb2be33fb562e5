#include "model/bgra_pixels.h"

#include <new>

#include "model/packed_pixels.h"

namespace {

// Older writers leave the fourth byte of every 32-bit pixel at 0 and keep
// transparency in the mask alone: read as alpha, such an image would vanish.
bool FourthBytesAreAlpha(const IconImage& image)
{
    const int size = image.GetSize();
    const BYTE* bits = image.GetColourBits();
    const int stride = RowStride(size, 32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (!image.IsTransparent(x, y) && bits[size_t(size - 1 - y) * stride + x * 4 + 3] != 0)
                return true;
    return false;
}

}  // namespace

bool ImageToBgra(const IconImage& image, std::vector<BYTE>& out)
{
    if (!image.IsValid())
        return false;
    const int size = image.GetSize();
    const bool withAlpha = image.GetBitCount() == 32 && FourthBytesAreAlpha(image);
    const BYTE* bits = image.GetColourBits();
    const int stride = RowStride(size, image.GetBitCount());
    try {
        out.assign(size_t(size) * size * 4, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (image.IsTransparent(x, y))
                continue;
            BYTE* pixel = &out[(size_t(y) * size + x) * 4];
            const COLORREF colour = image.GetPixelColour(x, y);
            pixel[0] = GetBValue(colour);
            pixel[1] = GetGValue(colour);
            pixel[2] = GetRValue(colour);
            pixel[3] = withAlpha ? bits[size_t(size - 1 - y) * stride + x * 4 + 3] : 255;
            if (pixel[3] == 0)
                pixel[0] = pixel[1] = pixel[2] = 0;
        }
    }
    return true;
}

bool PixelsFromBgra(const std::vector<BYTE>& bgra, int size, ImagePixels& pixels)
{
    if (!IsAcceptedSize(size) || bgra.size() != size_t(size) * size * 4 || !pixels.Resize(size, 32))
        return false;
    const int stride = RowStride(size, 32);
    const int maskStride = RowStride(size, 1);
    for (int y = 0; y < size; ++y) {
        // DIB rows run bottom first.
        BYTE* row = &pixels.colour[size_t(size - 1 - y) * stride];
        BYTE* maskRow = &pixels.mask[size_t(size - 1 - y) * maskStride];
        for (int x = 0; x < size; ++x) {
            const BYTE* from = &bgra[(size_t(y) * size + x) * 4];
            if (from[3] == 0) {
                maskRow[x / 8] = BYTE(maskRow[x / 8] | MaskBit(x));
                continue;
            }
            for (int c = 0; c < 4; ++c)
                row[x * 4 + c] = from[c];
        }
    }
    return true;
}
