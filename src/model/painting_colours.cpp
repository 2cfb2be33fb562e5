#include "model/icon_image.h"

COLORREF IconImage::GetLeftColour() const
{
    return IsValid() ? leftColour_ : NoColour;
}

COLORREF IconImage::GetRightColour() const
{
    return IsValid() ? rightColour_ : NoColour;
}

int IconImage::GetLeftIndex() const
{
    return IsValid() ? leftIndex_ : -1;
}

int IconImage::GetRightIndex() const
{
    return IsValid() ? rightIndex_ : -1;
}

void IconImage::SetLeftIndex(int index)
{
    if (!IsValid() || index < 0 || index > GetPaletteCount())
        return;
    leftIndex_ = index;
    leftColour_ = GetPaletteColour(index);
}

void IconImage::SetRightIndex(int index)
{
    if (!IsValid() || index < 0 || index > GetPaletteCount())
        return;
    rightIndex_ = index;
    rightColour_ = GetPaletteColour(index);
}

COLORREF IconImage::SetLeftColour(COLORREF colour)
{
    if (!IsValid())
        return 0;
    leftColour_ = colour;
    leftIndex_ = IndexOfColour(colour);
    return colour;
}

COLORREF IconImage::SetRightColour(COLORREF colour)
{
    if (!IsValid())
        return 0;
    rightColour_ = colour;
    rightIndex_ = IndexOfColour(colour);
    return colour;
}
