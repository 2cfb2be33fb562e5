#pragma once
#include <windows.h>

#include "model/icon_image.h"

// What a person sees of a pixel: TransparentColour or its colour.
inline COLORREF Seen(const IconImage& image, int x, int y)
{
    return image.IsTransparent(x, y) ? TransparentColour : image.GetPixelColour(x, y);
}
