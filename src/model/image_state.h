#pragma once
// How a state keeps its bytes, shared by the parts of IconImage. The state on
// screen keeps its pixels and mask in two DIB sections; every other state
// (undo and redo steps, copies not yet committed) keeps them in one plain heap
// block, colour rows first, with no GDI object at all.
#include <cstddef>

#include "model/icon_image.h"

inline int SideOf(const ImageState* state)
{
    return state->colourHeader.biWidth;
}

inline int BitsOf(const ImageState* state)
{
    return state->colourHeader.biBitCount;
}

inline int PaletteCountOf(int bitCount)
{
    return bitCount < 8 ? 1 << bitCount : 256;
}

inline size_t ColourBytesOf(const ImageState* state)
{
    const int size = SideOf(state);
    return size_t(IconImage::RowStride(size, BitsOf(state))) * size;
}

inline size_t MaskBytesOf(const ImageState* state)
{
    const int size = SideOf(state);
    return size_t(IconImage::RowStride(size, 1)) * size;
}

// The memory a recorded step holds: its bytes, its palette and its records.
size_t HeldBytesOf(const ImageState* state);

// A copy of source in plain memory; null when memory runs out.
ImageState* PlainCopyOf(const ImageState* source);

// Turns a state with sections into a plain one; false (state unchanged) when
// memory runs out.
bool MoveToPlainMemory(ImageState* state);

// Gives the sections of from (the state leaving the screen) to the plain state
// to, of the same format: the bytes are exchanged in place, so no GDI object and
// no memory is made. False, with both unchanged, when the colour table cannot
// be loaded.
bool HandOverSections(ImageState* from, ImageState* to);

inline RGBQUAD EntryOf(COLORREF colour)
{
    RGBQUAD entry;
    entry.rgbBlue = GetBValue(colour);
    entry.rgbGreen = GetGValue(colour);
    entry.rgbRed = GetRValue(colour);
    entry.rgbReserved = 0;
    return entry;
}

inline COLORREF ColourOf(const RGBQUAD& entry)
{
    return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
}
