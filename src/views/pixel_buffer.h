#pragma once
#include <windows.h>

#include "win/gdi_guards.h"

// A 32-bit top-down bitmap selected into a memory context of its own, made and
// released within one paint: the views compose a picture in it, with GDI or
// row by row, and copy it out in one block transfer. GDI drawing must be
// flushed (GdiFlush) before the rows are read or written.
class PixelBuffer
{
public:
    PixelBuffer(HDC compatibleWith, int width, int height);
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;
    bool Ok() const { return bits_ != nullptr && keep_.Ok(); }
    HDC Context() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Blue in the low byte, then green and red; the top byte is not shown.
    DWORD* Row(int y) const { return bits_ + static_cast<size_t>(y) * width_; }

private:
    static HBITMAP MakeSection(HDC dc, int width, int height, DWORD** bits);

    int width_;
    int height_;
    DWORD* bits_ = nullptr;
    MemoryDC dc_;
    OwnedBitmap bitmap_;
    SelectGuard keep_;
};
