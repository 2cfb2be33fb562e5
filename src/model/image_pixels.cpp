#include "model/image_pixels.h"

#include <new>

#include "model/image_format.h"

bool ImagePixels::Resize(int newSize, int newBitCount)
{
    if (!IsAcceptedSize(newSize) || !IsAcceptedBitCount(newBitCount))
        return false;
    try {
        palette.assign(newBitCount <= 8 ? size_t(PaletteCountOf(newBitCount)) : 0, RGBQUAD());
        colour.assign(size_t(RowStride(newSize, newBitCount)) * newSize, 0);
        mask.assign(size_t(RowStride(newSize, 1)) * newSize, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    size = newSize;
    bitCount = newBitCount;
    return true;
}
