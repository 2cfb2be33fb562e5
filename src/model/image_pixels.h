#pragma once
// The pixels of one image as plain bytes: what a file reader fills and hands to
// IconImage::LoadPixels, with no GDI object and no history.
#include <windows.h>

#include <vector>

// A cursor's hot spot, in image pixels from the top-left corner.
struct Hotspot
{
    WORD x;
    WORD y;
};

struct ImagePixels
{
    int size = 0;
    int bitCount = 0;
    // Up to PaletteCountOf(bitCount) entries; the ones left out are black. An
    // image of 24 or 32 bits given none takes the default palette.
    std::vector<RGBQUAD> palette;
    // DIB rows, bottom row first, RowStride(size, bitCount) bytes each.
    std::vector<BYTE> colour;
    // DIB rows of 1 bit a pixel, set where the pixel is transparent.
    std::vector<BYTE> mask;
    // Outside the image (as by default): the centre.
    Hotspot hotspot = { 0xFFFF, 0xFFFF };

    // Takes the format and room for its bytes, all zero: a full black palette up
    // to 8 bits, black opaque pixels. False when the format is not one the editor
    // takes or memory runs out.
    bool Resize(int newSize, int newBitCount);

    // The fourth byte of a 32-bit pixel as read is its alpha. All of them 0 (a
    // writer that left the byte unused) take it from the mask: 0 where set, 255
    // elsewhere. Otherwise each is kept. A pixel of alpha 0 is then transparent as
    // the model keeps it: mask bit set, colour black. Other depths are left alone.
    void SettleAlpha();
};
