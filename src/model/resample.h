#pragma once
// Scaling of square pictures of 4 bytes a pixel, B, G, R and A with straight
// alpha, as icon images of 32 bits hold them. Rows may run either way; the
// result keeps the order of the source.
#include <windows.h>

#include <vector>

// Scales a picture of from x from pixels to one of to x to. The colours are
// weighed by their alpha, so that a transparent pixel lends no colour to its
// neighbours; a pixel that comes out with alpha 0 comes out all 0. False, with
// out unchanged, for a side below 1, a source that is not whole or when memory
// runs out.
bool ResampleSquare(const std::vector<BYTE>& source, int from, int to, std::vector<BYTE>& out);

// A picture of width x height pixels made a square of its longer side, centred
// on transparency; a picture longer than side is first scaled down to side on
// that side, keeping its proportions. False when a size is below 1 or memory
// runs out.
// The size the picture takes inside that square.
SIZE FittedSize(int width, int height, int side);
bool FitInSquare(const BYTE* source, int width, int height, int side, std::vector<BYTE>& out);
