#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "win/dib_section.h"
#include "win/gdi_guards.h"

// What was painted into a 32-bit memory bitmap over a background colour,
// copied out so that the bitmap and its context are gone once it is made.
class Picture
{
public:
    Picture(int width, int height, COLORREF background, const std::function<void(HDC)>& paint)
        : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height)
    {
        void* bits = nullptr;
        MemoryDC dc(nullptr);
        OwnedBitmap bitmap(CreateTopDown32(width, height, &bits));
        if (!bits) {
            ADD_FAILURE() << "no memory bitmap of " << width << " x " << height;
            return;
        }
        SelectGuard keep(dc, bitmap);
        OwnedBrush fill(CreateSolidBrush(background));
        RECT all = { 0, 0, width, height };
        FillRect(dc, &all, fill);
        paint(dc);
        GdiFlush();
        const DWORD* source = static_cast<const DWORD*>(bits);
        for (size_t i = 0; i < pixels_.size(); ++i)  // blue, green, red, unused from the low byte
            pixels_[i] = RGB((source[i] >> 16) & 0xFF, (source[i] >> 8) & 0xFF, source[i] & 0xFF);
    }
    // What a window paints of itself through WM_PRINTCLIENT.
    Picture(HWND printed, int width, int height, COLORREF background, LPARAM flags = PRF_CLIENT)
        : Picture(width, height, background, [printed, flags](HDC dc) {
              SendMessageA(printed, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
          })
    {
    }
    COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    bool operator==(const Picture& other) const { return pixels_ == other.pixels_; }
    // How many pixels of a colour lie in [x0, x1) x [y0, y1), the whole picture by default.
    int Count(COLORREF colour, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) const
    {
        int n = 0;
        for (int y = y0; y < (y1 < 0 ? height_ : y1); ++y)
            for (int x = x0; x < (x1 < 0 ? width_ : x1); ++x)
                n += At(x, y) == colour ? 1 : 0;
        return n;
    }

private:
    int width_, height_;
    std::vector<COLORREF> pixels_;
};
