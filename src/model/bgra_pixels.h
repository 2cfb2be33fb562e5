#pragma once
// An image's pixels as B, G, R, A bytes with straight alpha, rows top first:
// the form in which pictures are scaled and exchanged with the imaging codecs.
#include <windows.h>

#include <vector>

#include "model/icon_image.h"
#include "model/image_pixels.h"

// The current state of an image of any depth: transparent pixels (mask set)
// get alpha 0 and colour 0, the others their colour with alpha 255, or at 32
// bits their fourth byte. False when the image is empty or memory runs out.
bool ImageToBgra(const IconImage& image, std::vector<BYTE>& out);

// A 32-bit image of side size from such bytes: alpha kept, mask set and colour
// black where alpha is 0. False for a side the editor does not take, bytes that
// are not whole or no memory.
bool PixelsFromBgra(const std::vector<BYTE>& bgra, int size, ImagePixels& pixels);
