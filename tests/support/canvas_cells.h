#pragma once
#include "views/edit_view.h"

// Canvas coordinate of the centre of an image pixel's cell, on either axis.
inline int CellCentre(int pixel, int imageSize) { return (2 * pixel + 1) * EditView::CanvasSide / (2 * imageSize); }
