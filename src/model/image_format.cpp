#include "model/image_format.h"

namespace {

const int kAcceptedBitCounts[] = { 1, 4, 8, 24, 32 };

} // namespace

bool IsAcceptedSize(int size)
{
    return size >= 1 && size <= 256;
}

bool IsAcceptedBitCount(int bitCount)
{
    for (int accepted : kAcceptedBitCounts)
        if (bitCount == accepted)
            return true;
    return false;
}
