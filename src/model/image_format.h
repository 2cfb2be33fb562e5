#pragma once
// What an image of the editor may be: its sizes, depths, row layout and default
// palettes. Facts of the format, shared by the model, the readers and the writer.
#include <windows.h>

// Colour values are laid out like COLORREF: red in bits 0-7, green 8-15, blue 16-23.
const COLORREF TransparentColour = 0xFF000000;
const COLORREF NoColour = 0xFFFFFFFF;
// The fourth byte of a 32-bit pixel is its alpha: 0 transparent, 255 opaque.
const BYTE kOpaque = 0xFF;

// Bytes of one DIB row of width pixels, padded to whole words: rounded up to
// whole bytes before the 4-byte alignment, as DIB rows are, since a plain
// truncation would give 1-bit rows narrower than 8 pixels no bytes at all.
// Inline, as every pixel operation computes it.
inline int RowStride(int width, int bits)
{
    const int bytes = (width * bits + 7) / 8;
    return (bytes + 3) / 4 * 4;
}
bool IsAcceptedSize(int size);
bool IsAcceptedBitCount(int bitCount);

// Entries of the palette of a bit count: 2, 16, or 256 (also for 24 and 32 bits,
// whose painting colours come from a palette too).
inline int PaletteCountOf(int bitCount)
{
    return bitCount < 8 ? 1 << bitCount : 256;
}

// The default palette of a bit count: 2, 16 or 256 entries written to out, their
// count returned; 0 for a bit count the editor does not take (default_palette.cpp).
int DefaultPalette(int bitCount, RGBQUAD* out);
