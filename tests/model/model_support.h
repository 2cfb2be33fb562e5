#pragma once
// Helpers shared by the model tests: pictures of an image to compare, patterns to paint.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "model/drawing.h"
#include "model/icon_image.h"
#include "model/transforms.h"
#include "support/colours.h"
#include "support/seen_pixel.h"
#include "win/gdi_guards.h"

const int kBitCounts[] = { 1, 4, 8, 24, 32 };

inline POINT Pt(int x, int y) { POINT p = { x, y }; return p; }

// A blank image of the format (white, opaque), a failure when it cannot be made.
struct BlankImage : IconImage
{
    BlankImage(int size, int bits) { EXPECT_TRUE(CreateBlank(size, bits)) << size << "x" << bits; }
};

// Entry index of the colour table that GDI holds for a colour bitmap, as a COLORREF.
inline COLORREF TableColour(HBITMAP bitmap, int index)
{
    RGBQUAD e = {};
    MemoryDC dc(nullptr);
    SelectGuard keep(dc, bitmap);
    GetDIBColorTable(dc, static_cast<UINT>(index), 1, &e);
    return RGB(e.rgbRed, e.rgbGreen, e.rgbBlue);
}

// Paints every pixel with the palette index (or transparent index) that index(x, y) gives.
template <class F> void PaintIndices(IconImage& image, F index)
{
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x)
            image.SetPixelIndex(x, y, index(x, y));
}

// The pixels where check(x, y) fails, as "x,y" text: empty when every pixel passes.
template <class F> std::string Failing(const IconImage& image, F check)
{
    std::ostringstream out;
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x)
            if (!check(x, y))
                out << x << "," << y << " ";
    return out.str();
}

// One recorded edit: pixel (0, 0) takes the palette index marker.
inline void Edit(IconImage& image, int marker)
{
    std::unique_ptr<ImageState> before = image.CopyCurrentState();
    ASSERT_NE(nullptr, before);
    ASSERT_EQ(1, image.SetPixelIndex(0, 0, marker));
    ASSERT_EQ(1, image.CommitState(std::move(before)));
}

// The stored bytes of pixel (x, y): its palette index's byte or its colour bytes.
inline const BYTE* PixelBytes(const IconImage& image, int x, int y)
{
    const int size = image.GetSize(), bits = image.GetBitCount();
    return image.GetColourBits() + RowStride(size, bits) * (size - 1 - y) + x * bits / 8;
}

// The image as plain bytes, as a reader would hand it over.
inline ImagePixels PixelsOf(const IconImage& image)
{
    ImagePixels pixels;
    EXPECT_TRUE(pixels.Resize(image.GetSize(), image.GetBitCount()));
    pixels.palette.assign(image.GetPalette(), image.GetPalette() + image.GetPaletteCount());
    std::memcpy(pixels.colour.data(), image.GetColourBits(), pixels.colour.size());
    std::memcpy(pixels.mask.data(), image.GetMaskBits(), pixels.mask.size());
    pixels.hotspot = image.GetHotspot();
    return pixels;
}

// Stored bytes no pixel operation writes, as a file may hold them: the image is
// loaded again from its bytes as change(pixels) leaves them.
template <class F> void LoadChanged(IconImage& image, F change)
{
    ImagePixels pixels = PixelsOf(image);
    change(pixels);
    ASSERT_EQ(1, image.LoadPixels(pixels));
}

// Sets the mask bit of pixel (x, y) in plain bytes.
inline void SetMaskBit(ImagePixels& pixels, int x, int y)
{
    pixels.mask[RowStride(pixels.size, 1) * (pixels.size - 1 - y) + x / 8] |= BYTE(0x80 >> (x % 8));
}

inline int CountColour(const IconImage& image, COLORREF colour)
{
    int n = 0;
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x)
            n += Seen(image, x, y) == colour;
    return n;
}

// Rows of characters, '#' where the pixel is not opaque white, for shape checks.
inline std::vector<std::string> Marks(const IconImage& image, int rows, int columns)
{
    std::vector<std::string> out(rows, std::string(columns, '.'));
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            if (Seen(image, x, y) != kWhite)
                out[y][x] = '#';
    return out;
}

// A pixel exactly as stored, in one number: mask bit, palette index (0xFF on
// 24 and 32 bits) and every colour byte.
inline long long At(const IconImage& image, int x, int y)
{
    DWORD bytes = 0;
    if (image.GetBitCount() >= 24)
        std::memcpy(&bytes, PixelBytes(image, x, y), image.GetBitCount() / 8);
    return (long long)image.IsTransparent(x, y) << 40 | (long long)(image.GetPixelIndex(x, y) & 0xFF) << 32 | bytes;
}

inline std::vector<long long> Snapshot(const IconImage& image)
{
    std::vector<long long> out;
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x)
            out.push_back(At(image, x, y));
    return out;
}

// Every pixel distinct enough to follow it: indices from a pattern (on 8 bits with
// an entry that repeats another's colour), colours with a fourth byte that no
// pixel operation would write, and two transparent pixels.
inline void Pattern(IconImage& image)
{
    const int bits = image.GetBitCount(), n = image.GetPaletteCount();
    if (bits == 8)
        image.SetPaletteColour(200, kWhite);
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x) {
            if (bits <= 8) {
                image.SetPixelIndex(x, y, (x * 7 + y * 3) % n);
            } else {
                image.SetPixelColour(x, y, RGB(x * 9, y * 11, (x * y) & 0xFF));
            }
        }
    if (bits == 8)
        image.SetPixelIndex(3, 3, 200);
    image.SetPixelIndex(2, 5, n);
    image.SetPixelIndex(6, 6, n);
    if (bits == 32)
        LoadChanged(image, [&image](ImagePixels& pixels) {
            for (int y = 0; y < pixels.size; ++y)
                for (int x = 0; x < pixels.size; ++x)
                    if (!image.IsTransparent(x, y))
                        pixels.colour[RowStride(pixels.size, 32) * (pixels.size - 1 - y) + 4 * x + 3] = BYTE(x + 16 * y);
        });
}
