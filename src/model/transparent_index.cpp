#include "model/icon_image.h"

namespace {

const COLORREF kBlack = 0x000000;

// The colour part of the first transparent pixel, by columns; -1 when none.
int FirstTransparentPixelIndex(const IconImage& image)
{
    const int size = image.GetSize();
    for (int x = 0; x < size; ++x)
        for (int y = 0; y < size; ++y)
            if (image.IsTransparent(x, y))
                return image.GetPixelIndex(x, y);
    return -1;
}

} // namespace

// Only images with a palette hold an index under transparent pixels; 24- and
// 32-bit images hold black there, so they have no transparent index (-1).
// The transparent index is a black entry: a file may hold any colour under its
// mask, and pixels erased later with that index would show it through the mask.
int IconImage::GetTransparentIndex() const
{
    if (!IsValid() || GetBitCount() > 8)
        return -1;
    const int first = FirstTransparentPixelIndex(*this);
    if (first != -1 && GetPaletteColour(first) == kBlack)
        return first;
    return IndexOfColour(kBlack);
}

// The one place where an entry turns black for transparency. It runs as a
// transparent pixel is painted, so the palette change belongs to that paint's
// undo step; merely asking (GetTransparentIndex) must never edit the palette.
int IconImage::SettleTransparentIndex()
{
    if (!IsValid() || GetBitCount() > 8)
        return -1;
    // The index settled for the previous transparent pixel holds while its entry
    // stays black: a transparent fill would otherwise scan the image per pixel.
    if (transparentIndex_ != -1 && GetPaletteColour(transparentIndex_) == kBlack)
        return transparentIndex_;
    int index = GetTransparentIndex();
    if (index == -1) {
        index = FindUnusedIndex();
        // Every entry in use and none black (or no context left to change the
        // colour table): the pixel takes entry 0 beneath.
        if (index == -1 || !SetPaletteColour(index, kBlack))
            return 0;
    }
    transparentIndex_ = index;
    return index;
}

// One pass marking the indices in use gives the same answer as searching the
// image once per index, without up to 256 full scans.
int IconImage::FindUnusedIndex() const
{
    if (!IsValid() || GetBitCount() > 8)
        return -1;
    bool used[256] = {};
    int size = GetSize();
    for (int x = 0; x < size; ++x)
        for (int y = 0; y < size; ++y)
            used[GetPixelIndex(x, y)] = true;
    int count = GetPaletteCount();
    for (int i = 0; i < count; ++i)
        if (!used[i])
            return i;
    return -1;
}
