#include "model/painting_colours.h"

#include "model/icon_image.h"

COLORREF PaintingColours::GetLeftColour() const
{
    return image_.IsValid() ? left_.colour : NoColour;
}

COLORREF PaintingColours::GetRightColour() const
{
    return image_.IsValid() ? right_.colour : NoColour;
}

int PaintingColours::GetLeftIndex() const
{
    return image_.IsValid() ? left_.index : -1;
}

int PaintingColours::GetRightIndex() const
{
    return image_.IsValid() ? right_.index : -1;
}

void PaintingColours::SetLeftIndex(int index)
{
    SetIndex(left_, index);
}

void PaintingColours::SetRightIndex(int index)
{
    SetIndex(right_, index);
}

COLORREF PaintingColours::SetLeftColour(COLORREF colour)
{
    return SetColour(left_, colour);
}

COLORREF PaintingColours::SetRightColour(COLORREF colour)
{
    return SetColour(right_, colour);
}

void PaintingColours::SetIndex(Colour& which, int index)
{
    if (!image_.IsValid() || index < 0 || index > image_.GetPaletteCount())
        return;
    which.index = index;
    which.colour = image_.GetPaletteColour(index);
}

COLORREF PaintingColours::SetColour(Colour& which, COLORREF colour)
{
    if (!image_.IsValid())
        return 0;
    which.colour = colour;
    which.index = image_.IndexOfColour(colour);
    return colour;
}
