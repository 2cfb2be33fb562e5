#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "model/icon_image.h"

namespace {

const int kSizes[] = { 16, 32, 48, 64, 72, 128 };
const int kBitCounts[] = { 1, 4, 8, 24, 32 };

// Reads entry i of the colour table that GDI holds for the colour bitmap.
RGBQUAD ColourTableEntry(HBITMAP bitmap, int index)
{
    RGBQUAD entry = {};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    GetDIBColorTable(dc, static_cast<UINT>(index), 1, &entry);
    SelectObject(dc, old);
    DeleteDC(dc);
    return entry;
}

// Paints a 4-bit image with indices 0..4 only, over a palette without black.
void PrepareFourBitWithoutBlack(IconImage& image)
{
    ASSERT_TRUE(image.CreateBlank(16, 4));
    for (int i = 0; i < 16; ++i)
        image.SetPaletteColour(i, RGB(10 + i, 20, 30));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.SetPixelIndex(x, y, (x + y) % 5);
}

void Edit(IconImage& image)
{
    ImageState* before = image.CopyCurrentState();
    ASSERT_NE(nullptr, before);
    image.SetPixelIndex(0, 0, 0);
    ASSERT_EQ(1, image.CommitState(before));
}

} // namespace

TEST(IconImage, ByteCountsOfEveryFormat)
{
    struct Case { int size, bits, stride, maskStride, colour, mask, palette, resource; };
    for (const Case& c : { Case{72, 1, 12, 12, 864, 864, 8, 1776},
                           Case{16, 4, 8, 4, 128, 64, 64, 296},
                           Case{128, 32, 512, 16, 65536, 2048, 0, 67624},
                           Case{48, 8, 48, 8, 2304, 384, 1024, 3752},
                           Case{16, 1, 4, 4, 64, 64, 8, 176},
                           Case{32, 4, 16, 4, 512, 128, 64, 744},
                           Case{72, 24, 216, 12, 15552, 864, 0, 16456},
                           Case{72, 4, 36, 12, 2592, 864, 64, 3560} }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(c.size, c.bits)) << c.size << "x" << c.bits;
        EXPECT_EQ(c.stride, IconImage::RowStride(c.size, c.bits)) << c.size << "x" << c.bits;
        EXPECT_EQ(c.maskStride, IconImage::RowStride(c.size, 1)) << c.size;
        EXPECT_EQ(c.colour, image.GetColourBytes()) << c.size << "x" << c.bits;
        EXPECT_EQ(c.mask, image.GetMaskBytes()) << c.size << "x" << c.bits;
        EXPECT_EQ(c.palette, image.GetPaletteBytes()) << c.size << "x" << c.bits;
        EXPECT_EQ(c.resource, image.GetResourceSize()) << c.size << "x" << c.bits;
    }
}

TEST(IconImage, EveryAcceptedFormatBuildsWhiteOpaqueImage)
{
    for (int size : kSizes) {
        for (int bits : kBitCounts) {
            IconImage image;
            ASSERT_TRUE(image.CreateBlank(size, bits)) << size << "x" << bits;
            int n = image.GetPaletteCount();
            EXPECT_EQ(bits < 8 ? (1 << bits) : 256, n);
            WORD hx = 0, hy = 0;
            image.GetHotspot(&hx, &hy);
            EXPECT_EQ((size - 1) / 2, hx);
            EXPECT_EQ(hx, hy);
            EXPECT_EQ(0x000000u, image.GetLeftColour());
            EXPECT_EQ(0xFFFFFFu, image.GetRightColour());
            EXPECT_EQ(n - 1, image.GetRightIndex());
            for (int p : { 0, size / 2 + 1, size - 1 }) {
                EXPECT_EQ(0xFFFFFFu, image.GetPixelColour(p, size - 1 - p)) << size << "x" << bits;
                EXPECT_EQ(0, image.IsTransparent(p, p));
            }
            char expected[32];
            std::snprintf(expected, sizeof expected, "%dx%dx%d-bits", size, size, bits);
            EXPECT_STREQ(expected, image.GetFormatText());
            BITMAP info = {};
            ASSERT_TRUE(GetObjectA(image.GetColourBitmap(), sizeof info, &info));
            EXPECT_EQ(size, info.bmHeight);
            EXPECT_EQ(bits, info.bmBitsPixel);
            EXPECT_EQ(image.GetBits(0), info.bmBits);
            ASSERT_TRUE(GetObjectA(image.GetMaskBitmap(), sizeof info, &info));
            EXPECT_EQ(1, info.bmBitsPixel);
            EXPECT_EQ(image.GetBits(1), info.bmBits);
        }
    }
}

TEST(IconImage, RefusedFormatLeavesExistingImageUntouched)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(32, 4));
    image.SetPixelIndex(3, 4, 9);
    HBITMAP colour = image.GetColourBitmap();
    struct Case { int size, bits; };
    for (const Case& c : { Case{20, 8}, Case{32, 16}, Case{0, 1}, Case{-16, 4}, Case{16, 2} }) {
        EXPECT_EQ(0, image.CreateBlank(c.size, c.bits)) << c.size << "x" << c.bits;
        EXPECT_EQ(colour, image.GetColourBitmap());
        EXPECT_EQ(9, image.GetPixelIndex(3, 4));
        EXPECT_EQ(744, image.GetResourceSize());
    }
    // An accepted format replaces the image and its history.
    Edit(image);
    ASSERT_TRUE(image.CreateBlank(32, 8));
    EXPECT_FALSE(image.CanUndo());
    EXPECT_EQ(2216, image.GetResourceSize());
}

TEST(IconImage, EmptyAndResetImagesAnswerNotValidValues)
{
    IconImage image;
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_FALSE(image.IsValid());
        EXPECT_EQ(-1, image.GetPaletteCount());
        EXPECT_STREQ("", image.GetFormatText());
        EXPECT_EQ(nullptr, image.GetBits(0));
        EXPECT_EQ(0, image.GetResourceSize());
        EXPECT_EQ(NoColour, image.GetPaletteColour(0));
        EXPECT_EQ(NoColour, image.GetLeftColour());
        EXPECT_EQ(0, image.SetPixelIndex(0, 0, 0));
        EXPECT_EQ(-1, image.GetTransparentIndex());
        EXPECT_EQ(nullptr, image.CopyCurrentState());
        ASSERT_TRUE(image.CreateBlank(16, 8));
        image.Reset();
    }
    IconImage::FreeState(nullptr);
}

TEST(IconImage, RowStrideRoundsEveryRowToWholeWords)
{
    struct Case { int width, bits, stride; };
    for (const Case& c : { Case{16, 1, 4}, Case{72, 1, 12}, Case{128, 1, 16}, Case{48, 4, 24},
                           Case{16, 24, 48}, Case{72, 24, 216}, Case{7, 1, 4}, Case{33, 1, 8},
                           Case{3, 4, 4}, Case{1, 24, 4}, Case{5, 8, 8} })
        EXPECT_EQ(c.stride, IconImage::RowStride(c.width, c.bits)) << c.width << "x" << c.bits;
}

TEST(IconImage, DefaultPalettes)
{
    RGBQUAD entries[256];
    ASSERT_EQ(2, IconImage::DefaultPalette(1, entries));
    EXPECT_EQ(0, entries[0].rgbRed + entries[0].rgbGreen + entries[0].rgbBlue);
    EXPECT_EQ(255 * 3, entries[1].rgbRed + entries[1].rgbGreen + entries[1].rgbBlue);
    ASSERT_EQ(0, IconImage::DefaultPalette(16, entries));

    const COLORREF sixteen[16] = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF };
    IconImage four, eight, deep;
    ASSERT_TRUE(four.CreateBlank(16, 4));
    ASSERT_TRUE(eight.CreateBlank(16, 8));
    ASSERT_TRUE(deep.CreateBlank(16, 32));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(sixteen[i], four.GetPaletteColour(i)) << i;
        EXPECT_EQ(sixteen[i], eight.GetPaletteColour(240 + i)) << i;
        EXPECT_EQ(0x000000u, eight.GetPaletteColour(224 + i)) << i;
    }
    struct Spot { int index; COLORREF colour; };
    for (const Spot& s : { Spot{0, 0x000000}, Spot{1, 0x0F0F0F}, Spot{2, 0x1F1F1F},
                           Spot{15, 0xEFEFEF}, Spot{16, 0x00001F}, Spot{23, 0x0000FF},
                           Spot{24, 0x0F0FFF}, Spot{31, 0xEFEFFF}, Spot{32, 0x000F1F},
                           Spot{39, 0x007FFF}, Spot{40, 0x0F8FFF}, Spot{47, 0xEFFFFF},
                           Spot{48 + 7, 0x00FFFF}, Spot{80 + 7, 0x00FF00}, Spot{96 + 7, 0x7FFF00},
                           Spot{144 + 7, 0xFF0000}, Spot{144 + 15, 0xFFEFEF},
                           Spot{208, 0x0F0F1F}, Spot{208 + 7, 0x7F7FFF}, Spot{208 + 15, 0xFFFFFF},
                           Spot{176 + 8, 0xFF0FFF}, Spot{255, 0xFFFFFF} }) {
        EXPECT_EQ(s.colour, eight.GetPaletteColour(s.index)) << s.index;
        EXPECT_EQ(s.colour, deep.GetPaletteColour(s.index)) << s.index;
    }
    // The colour table of the colour bitmap carries the palette.
    RGBQUAD entry = ColourTableEntry(eight.GetColourBitmap(), 39);
    EXPECT_EQ(0xFF, entry.rgbRed);
    EXPECT_EQ(0x7F, entry.rgbGreen);
    EXPECT_EQ(0x00, entry.rgbBlue);
}

TEST(IconImage, PaletteIndicesAroundTheEnds)
{
    for (int bits : kBitCounts) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, bits));
        int n = image.GetPaletteCount();
        EXPECT_EQ(TransparentColour, image.GetPaletteColour(n)) << bits;
        EXPECT_EQ(NoColour, image.GetPaletteColour(n + 1)) << bits;
        EXPECT_EQ(NoColour, image.GetPaletteColour(-1)) << bits;
        EXPECT_EQ(n, image.IndexOfColour(TransparentColour)) << bits;

        image.SetLeftIndex(n + 1);
        image.SetLeftIndex(-1);
        EXPECT_EQ(0, image.GetLeftIndex()) << bits;
        EXPECT_EQ(0x000000u, image.GetLeftColour()) << bits;
        image.SetLeftIndex(n);
        EXPECT_EQ(n, image.GetLeftIndex()) << bits;
        EXPECT_EQ(TransparentColour, image.GetLeftColour()) << bits;
        image.SetRightIndex(0);
        EXPECT_EQ(0x000000u, image.GetRightColour()) << bits;
        EXPECT_EQ(TransparentColour, image.SetRightColour(TransparentColour));
        EXPECT_EQ(n, image.GetRightIndex()) << bits;
    }
}

TEST(IconImage, ColourNotInPaletteKeepsColourWithoutIndex)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(32, 24));
    EXPECT_EQ(0x123457u, image.SetRightColour(0x123457));
    EXPECT_EQ(-1, image.GetRightIndex());
    EXPECT_EQ(0x123457u, image.GetRightColour());
    image.SetLeftColour(0x007FFF);
    EXPECT_EQ(39, image.GetLeftIndex());
}

TEST(IconImage, IndexOfColourFindsLowestExactEntry)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 4));
    EXPECT_EQ(1, image.SetPaletteColour(0, 0x111111));
    EXPECT_EQ(1, image.SetPaletteColour(3, 0x000000));
    EXPECT_EQ(1, image.SetPaletteColour(9, 0x000000));
    EXPECT_EQ(3, image.IndexOfColour(0x000000));
    EXPECT_EQ(-1, image.IndexOfColour(0x000001));
    EXPECT_EQ(15, image.IndexOfColour(0xFFFFFF));
}

TEST(IconImage, SetPaletteColourUpdatesColourTable)
{
    for (int bits : { 1, 4, 8 }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, bits));
        EXPECT_EQ(1, image.SetPaletteColour(1, 0x336699)) << bits;
        EXPECT_EQ(0, image.SetPaletteColour(1, 0x336699)) << bits;
        EXPECT_EQ(0x336699u, image.GetPaletteColour(1));
        RGBQUAD entry = ColourTableEntry(image.GetColourBitmap(), 1);
        EXPECT_EQ(0x99, entry.rgbRed) << bits;
        EXPECT_EQ(0x66, entry.rgbGreen) << bits;
        EXPECT_EQ(0x33, entry.rgbBlue) << bits;
    }
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 4));
    EXPECT_EQ(0, image.SetPaletteColour(16, 0x123456));
    EXPECT_EQ(0, image.SetPaletteColour(-1, 0x123456));
    EXPECT_EQ(0, image.SetPaletteColour(2, TransparentColour));
    EXPECT_EQ(0, image.SetPaletteColour(2, NoColour));
    EXPECT_EQ(0x008000u, image.GetPaletteColour(2));
}

TEST(IconImage, PixelIndexRoundTripsAtEveryDepth)
{
    struct Point { int x, y; };
    const Point points[] = { {0, 0}, {1, 0}, {2, 0}, {3, 5}, {4, 6}, {5, 7}, {6, 8}, {7, 9},
                             {8, 10}, {9, 11}, {15, 15}, {71, 0}, {0, 71}, {70, 71}, {71, 71} };
    for (int bits : kBitCounts) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(72, bits));
        int n = image.GetPaletteCount();
        for (const Point& p : points) {
            int index = (p.x * 7 + p.y * 3 + 1) % n;
            ASSERT_EQ(1, image.SetPixelIndex(p.x, p.y, index)) << bits;
            // Neighbours sharing the byte keep their white.
            if (p.x + 1 < 72) {
                EXPECT_EQ(0xFFFFFFu, image.GetPixelColour(p.x + 1, p.y)) << bits << " " << p.x;
            }
            EXPECT_EQ(image.GetPaletteColour(index), image.GetPixelColour(p.x, p.y))
                << bits << " at " << p.x << "," << p.y;
            EXPECT_EQ(bits <= 8 ? index : -1, image.GetPixelIndex(p.x, p.y)) << bits;
        }
        for (const Point& p : points) {
            int index = (p.x * 7 + p.y * 3 + 1) % n;
            EXPECT_EQ(image.GetPaletteColour(index), image.GetPixelColour(p.x, p.y)) << bits;
            EXPECT_EQ(0, image.IsTransparent(p.x, p.y));
        }
        for (const Point& bad : { Point{-1, 0}, Point{0, -1}, Point{72, 0}, Point{0, 72} }) {
            EXPECT_EQ(0, image.SetPixelIndex(bad.x, bad.y, 0));
            EXPECT_EQ(nullptr, image.PixelAddress(bad.x, bad.y));
            EXPECT_EQ(NoColour, image.GetPixelColour(bad.x, bad.y));
        }
        EXPECT_EQ(0, image.SetPixelIndex(1, 1, -1));
        EXPECT_EQ(0, image.SetPixelIndex(1, 1, n + 1));
        EXPECT_EQ(1, image.SetPixelIndex(1, 1, 0));
        EXPECT_EQ(1, image.SetPixelIndex(1, 1, 0));
    }
}

TEST(IconImage, PixelsAreStoredBottomUpAndPacked)
{
    struct Case { int bits, x, y, value, offset; BYTE expected; };
    // 16-pixel rows; pixel (x, y) lives in row 15 - y of the DIB.
    for (const Case& c : { Case{1, 0, 15, 0, 0, 0x7F}, Case{1, 9, 0, 0, 60 + 1, 0xBF},
                           Case{1, 7, 14, 0, 4, 0xFE}, Case{4, 0, 15, 3, 0, 0x3F},
                           Case{4, 3, 15, 2, 1, 0xF2}, Case{8, 5, 14, 77, 16 + 5, 77} }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, c.bits));
        ASSERT_EQ(1, image.SetPixelIndex(c.x, c.y, c.value));
        const BYTE* bits = static_cast<const BYTE*>(image.GetBits(0));
        EXPECT_EQ(c.expected, bits[c.offset]) << c.bits << " " << c.x << "," << c.y;
        EXPECT_EQ(bits + c.offset, image.PixelAddress(c.x, c.y));
    }
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 24));
    ASSERT_EQ(1, image.SetPixelColour(2, 15, 0x112233));
    const BYTE* bits = static_cast<const BYTE*>(image.GetBits(0));
    EXPECT_EQ(0x11, bits[6]);
    EXPECT_EQ(0x22, bits[7]);
    EXPECT_EQ(0x33, bits[8]);
    EXPECT_EQ(0x112233u, image.GetPixelColour(2, 15));

    // Mask bit 1 = transparent, same packing as 1-bit colour.
    ASSERT_EQ(1, image.SetTransparent(9, 0, true));
    const BYTE* mask = static_cast<const BYTE*>(image.GetBits(1));
    EXPECT_EQ(0x40, mask[15 * 4 + 1]);
}

TEST(IconImage, ThirtyTwoBitFourthByte)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(32, 32));
    const BYTE* bits = static_cast<const BYTE*>(image.GetBits(0));
    for (int i = 0; i < image.GetColourBytes(); ++i)
        ASSERT_EQ(0xFF, bits[i]) << i;
    ASSERT_EQ(1, image.SetPixelColour(4, 4, 0x808080));
    EXPECT_EQ(0, image.PixelAddress(4, 4)[3]);
    ASSERT_EQ(1, image.SetPixelIndex(5, 4, 255));
    EXPECT_EQ(0, image.PixelAddress(5, 4)[3]);
    EXPECT_EQ(0xFF, image.PixelAddress(6, 4)[3]);
    ASSERT_EQ(1, image.SetTransparent(6, 4, true));
    const BYTE* pixel = image.PixelAddress(6, 4);
    EXPECT_EQ(0, pixel[0] | pixel[1] | pixel[2] | pixel[3]);
}

TEST(IconImage, SetPixelColourOnlyForDeepImages)
{
    for (int bits : kBitCounts) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, bits));
        int expected = bits > 8 ? 1 : 0;
        EXPECT_EQ(expected, image.SetPixelColour(1, 1, 0x0000FF)) << bits;
        EXPECT_EQ(bits > 8 ? 0x0000FFu : 0xFFFFFFu, image.GetPixelColour(1, 1)) << bits;
        EXPECT_EQ(0, image.SetPixelColour(1, 1, NoColour)) << bits;
        EXPECT_EQ(0, image.SetPixelColour(16, 1, 0)) << bits;
        EXPECT_EQ(expected, image.SetPixelColour(2, 2, TransparentColour)) << bits;
        EXPECT_EQ(expected, image.IsTransparent(2, 2)) << bits;
    }
}

TEST(IconImage, TransparentPixelsKeepBlackOrTheTransparentIndex)
{
    for (int bits : kBitCounts) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, bits));
        int n = image.GetPaletteCount();
        ASSERT_EQ(1, image.SetPixelIndex(3, 3, n)) << bits;
        EXPECT_EQ(1, image.IsTransparent(3, 3));
        // The colour part is reported, not the mask: black, never TransparentColour.
        EXPECT_EQ(0x000000u, image.GetPixelColour(3, 3)) << bits;
        if (bits <= 8) {
            EXPECT_EQ(0, image.GetPixelIndex(3, 3));
            EXPECT_EQ(0, image.GetTransparentIndex());
        } else {
            EXPECT_EQ(-1, image.GetTransparentIndex());
        }
        EXPECT_EQ(0, image.SetTransparent(3, 3, true)) << bits;
        EXPECT_EQ(0, image.SetPixelIndex(3, 3, n)) << bits;
        // Clearing the mask keeps the colour part.
        EXPECT_EQ(1, image.SetTransparent(3, 3, false));
        EXPECT_EQ(0, image.IsTransparent(3, 3));
        EXPECT_EQ(0x000000u, image.GetPixelColour(3, 3)) << bits;
        EXPECT_EQ(0, image.SetTransparent(3, 3, false));
        // Painting a transparent pixel makes it opaque again.
        ASSERT_EQ(1, image.SetPixelIndex(4, 4, n));
        ASSERT_EQ(1, image.SetPixelIndex(4, 4, 1));
        EXPECT_EQ(0, image.IsTransparent(4, 4)) << bits;
        EXPECT_EQ(image.GetPaletteColour(1), image.GetPixelColour(4, 4)) << bits;
        EXPECT_EQ(0, image.SetTransparent(-1, 0, true));
    }
}

TEST(IconImage, TransparentIndexComesFromFirstTransparentPixelByColumns)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 8));
    // Transparent pixels holding different indices, set behind the model's back.
    ASSERT_EQ(1, image.SetPixelIndex(5, 1, 40));
    ASSERT_EQ(1, image.SetPixelIndex(4, 9, 41));
    BYTE* mask = static_cast<BYTE*>(image.GetBits(1));
    mask[(15 - 1) * 4 + 0] |= 0x80 >> 5;
    mask[(15 - 9) * 4 + 0] |= 0x80 >> 4;
    EXPECT_EQ(41, image.GetTransparentIndex());
    // Cached: the palette edit and later pixels do not move it.
    image.SetPaletteColour(0, 0x010101);
    EXPECT_EQ(41, image.GetTransparentIndex());
    ASSERT_EQ(1, image.SetPixelIndex(0, 0, 256));
    EXPECT_EQ(41, image.GetPixelIndex(0, 0));
}

TEST(IconImage, TransparentIndexIsLowestBlackEntry)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 4));
    image.SetPaletteColour(0, 0x202020);
    image.SetPaletteColour(6, 0x000000);
    EXPECT_EQ(6, image.GetTransparentIndex());
    ASSERT_EQ(1, image.SetTransparent(2, 2, true));
    EXPECT_EQ(6, image.GetPixelIndex(2, 2));
}

TEST(IconImage, TransparentIndexTurnsUnusedEntryBlack)
{
    IconImage image;
    PrepareFourBitWithoutBlack(image);
    ASSERT_EQ(-1, image.IndexOfColour(0x000000));
    EXPECT_EQ(5, image.FindUnusedIndex());
    ASSERT_EQ(1, image.SetTransparent(7, 7, true));
    EXPECT_EQ(5, image.GetPixelIndex(7, 7));
    EXPECT_EQ(0x000000u, image.GetPaletteColour(5));
    EXPECT_EQ(0x000000u, image.GetPixelColour(7, 7));
    RGBQUAD entry = ColourTableEntry(image.GetColourBitmap(), 5);
    EXPECT_EQ(0, entry.rgbRed + entry.rgbGreen + entry.rgbBlue);
    EXPECT_EQ(5, image.GetTransparentIndex());
}

TEST(IconImage, TransparentIndexFallsBackToZeroWhenEveryIndexIsUsed)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 4));
    for (int i = 0; i < 16; ++i)
        image.SetPaletteColour(i, RGB(50 + i, 60, 70));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.SetPixelIndex(x, y, (x + 16 * y) % 16);
    EXPECT_EQ(-1, image.FindUnusedIndex());
    EXPECT_EQ(0, image.GetTransparentIndex());
    ASSERT_EQ(1, image.SetTransparent(3, 0, true));
    EXPECT_EQ(0, image.GetPixelIndex(3, 0));
    // The cache stayed empty, so the first transparent pixel now decides.
    ASSERT_EQ(1, image.SetTransparent(3, 0, false));
    image.SetPixelIndex(3, 0, 3);
    image.SetPixelIndex(0, 0, 9);
    BYTE* mask = static_cast<BYTE*>(image.GetBits(1));
    mask[15 * 4] |= 0x80;
    EXPECT_EQ(9, image.GetTransparentIndex());
}

TEST(IconImage, FindUnusedIndexIgnoresTheMask)
{
    struct Case { int bits; int expected; };
    for (const Case& c : { Case{1, 0}, Case{4, 0}, Case{8, 0}, Case{24, -1}, Case{32, -1} }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, c.bits));
        EXPECT_EQ(c.expected, image.FindUnusedIndex()) << c.bits;
    }
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 1));
    for (int y = 0; y < 16; ++y)
        image.SetPixelIndex(0, y, 0);
    EXPECT_EQ(-1, image.FindUnusedIndex());
    // A transparent pixel still counts with its colour part.
    ASSERT_TRUE(image.CreateBlank(16, 4));
    image.SetPixelIndex(3, 3, 0);
    BYTE* mask = static_cast<BYTE*>(image.GetBits(1));
    mask[12 * 4] |= 0x10;
    EXPECT_EQ(1, image.FindUnusedIndex());
}

TEST(IconImage, HotspotChangesOnlyToANewValue)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(32, 1));
    EXPECT_EQ(0, image.SetHotspot(15, 15));
    EXPECT_EQ(1, image.SetHotspot(0, 31));
    WORD x = 9, y = 9;
    image.GetHotspot(&x, &y);
    EXPECT_EQ(0, x);
    EXPECT_EQ(31, y);
}

TEST(IconImage, NewStateAndAdoptFirstStateBuildAnImage)
{
    RGBQUAD palette[16];
    ASSERT_EQ(16, IconImage::DefaultPalette(4, palette));
    palette[0].rgbRed = 0x12;
    ImageState* state = IconImage::NewState(48, 4, palette);
    ASSERT_NE(nullptr, state);
    EXPECT_EQ(40u, state->colourHeader.biSize);
    EXPECT_EQ(48, state->colourHeader.biHeight);
    EXPECT_EQ(1, state->colourHeader.biPlanes);
    EXPECT_EQ(0u, state->colourHeader.biSizeImage);
    EXPECT_EQ(1, state->maskHeader.biBitCount);
    EXPECT_EQ(0x12, state->palette[0].rgbRed);
    EXPECT_EQ(0x12, ColourTableEntry(state->colourBitmap, 0).rgbRed);
    for (int i = 0; i < 24 * 48; ++i)
        ASSERT_EQ(0, state->colourBits[i]);

    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 8));
    ASSERT_TRUE(image.AdoptFirstState(state, 1200, 2, 16));
    EXPECT_EQ(48, image.GetSize());
    EXPECT_EQ(1200, image.GetColourBytes());
    EXPECT_EQ(40 + 64 + 1200 + 384, image.GetResourceSize());
    EXPECT_FALSE(image.CanUndo());
    WORD x = 0, y = 0;
    image.GetHotspot(&x, &y);
    EXPECT_EQ(23, x);
    EXPECT_EQ(23, y);
    EXPECT_EQ(2, image.GetLeftIndex());
    EXPECT_EQ(0x008000u, image.GetLeftColour());
    EXPECT_EQ(TransparentColour, image.GetRightColour());
    EXPECT_EQ(0x000012u, image.GetPaletteColour(0));

    EXPECT_EQ(nullptr, IconImage::NewState(20, 4, palette));
    EXPECT_EQ(nullptr, IconImage::NewState(16, 16, palette));
    ImageState* deep = IconImage::NewState(16, 24, nullptr);
    ASSERT_NE(nullptr, deep);
    EXPECT_EQ(0xFF, deep->palette[255].rgbRed);
    IconImage::FreeState(deep);
    EXPECT_FALSE(image.AdoptFirstState(nullptr, 0, 0, 0));
}
