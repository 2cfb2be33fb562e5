#include "model/image_pixels.h"

#include <new>

#include "model/image_format.h"
#include "model/packed_pixels.h"

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

void ImagePixels::SettleAlpha()
{
    if (bitCount != 32 || colour.size() != size_t(RowStride(size, 32)) * size
        || mask.size() != size_t(RowStride(size, 1)) * size)
        return;
    const size_t count = size_t(size) * size;
    bool unused = true;
    for (size_t p = 0; p < count && unused; ++p)
        unused = colour[4 * p + 3] == 0;
    const int maskStride = RowStride(size, 1);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            BYTE* pixel = &colour[4 * (size_t(y) * size + x)];
            BYTE& maskByte = mask[size_t(y) * maskStride + x / 8];
            if (unused)
                pixel[3] = (maskByte & MaskBit(x)) ? 0 : kOpaque;
            if (pixel[3] == 0) {
                pixel[0] = pixel[1] = pixel[2] = 0;
                maskByte = BYTE(maskByte | MaskBit(x));
            }
        }
}
