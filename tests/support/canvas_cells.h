#pragma once
#include "views/edit_view.h"

// The first canvas coordinate of an image pixel's cell, on either axis: the
// canvas shows pixel x * size / 256, truncated.
inline int CellStart(int pixel, int imageSize) { return (pixel * EditView::CanvasSide + imageSize - 1) / imageSize; }

// Canvas coordinate of the centre of an image pixel's cell, on either axis.
inline int CellCentre(int pixel, int imageSize)
{
    return (CellStart(pixel, imageSize) + CellStart(pixel + 1, imageSize)) / 2;
}
