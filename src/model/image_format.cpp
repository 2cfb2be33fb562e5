#include "model/image_format.h"

namespace {

const int kAcceptedSizes[] = { 16, 32, 48, 64, 72, 128 };
const int kAcceptedBitCounts[] = { 1, 4, 8, 24, 32 };

} // namespace

// Rounded up to whole bytes before the 4-byte alignment, as DIB rows are: a plain
// truncation would give 1-bit rows narrower than 8 pixels no bytes at all. Every
// accepted image size is a multiple of 8, where both readings agree.
int RowStride(int width, int bits)
{
    int bytes = (width * bits + 7) / 8;
    return (bytes + 3) / 4 * 4;
}

bool IsAcceptedSize(int size)
{
    for (int accepted : kAcceptedSizes)
        if (size == accepted)
            return true;
    return false;
}

bool IsAcceptedBitCount(int bitCount)
{
    for (int accepted : kAcceptedBitCounts)
        if (bitCount == accepted)
            return true;
    return false;
}
