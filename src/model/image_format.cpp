#include "model/image_format.h"

namespace {

const int kAcceptedSizes[] = { 16, 32, 48, 64, 72, 128 };
const int kAcceptedBitCounts[] = { 1, 4, 8, 24, 32 };

} // namespace

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
