#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "model/icon_image.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);

// A pixel exactly as stored: mask bit, palette index, and every colour byte.
struct Stored
{
    int transparent;
    int index;
    DWORD bytes;
    bool operator==(const Stored& o) const
    {
        return transparent == o.transparent && index == o.index && bytes == o.bytes;
    }
};

std::ostream& operator<<(std::ostream& out, const Stored& s)
{
    return out << "{t" << s.transparent << " i" << s.index << " b" << std::hex << s.bytes << std::dec << "}";
}

Stored At(const IconImage& image, int x, int y)
{
    Stored s = { image.IsTransparent(x, y), image.GetPixelIndex(x, y), 0 };
    if (image.GetBitCount() >= 24) {
        const BYTE* p = image.PixelAddress(x, y);
        s.bytes = p[0] | (p[1] << 8) | (p[2] << 16) | (image.GetBitCount() == 32 ? DWORD(p[3]) << 24 : 0);
    }
    return s;
}

std::vector<Stored> Snapshot(const IconImage& image)
{
    std::vector<Stored> out;
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x)
            out.push_back(At(image, x, y));
    return out;
}

// Every pixel distinct enough to follow it: indices from a pattern (with an
// entry that repeats another's colour), colours with a fourth byte that no
// pixel operation would write, and a few transparent pixels.
void Pattern(IconImage& image)
{
    const int size = image.GetSize();
    const int bits = image.GetBitCount();
    const int n = image.GetPaletteCount();
    if (bits == 8)
        image.SetPaletteColour(200, kWhite);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (bits <= 8) {
                image.SetPixelIndex(x, y, (x * 7 + y * 3) % n);
            } else {
                image.SetPixelColour(x, y, RGB(x * 9, y * 11, (x * y) & 0xFF));
                if (bits == 32)
                    image.PixelAddress(x, y)[3] = BYTE(x + 16 * y);
            }
        }
    if (bits == 8)
        image.SetPixelIndex(3, 3, 200);
    image.SetPixelIndex(2, 5, n);
    image.SetPixelIndex(6, 6, n);
}

}  // namespace

TEST(Shift, WholeImageMovesEveryStoredValue)
{
    struct Case { int dx, dy; };
    for (int bits : { 1, 4, 8, 24, 32 })
        for (const Case& c : { Case{ 1, 0 }, Case{ -1, 0 }, Case{ 0, 1 }, Case{ 0, -1 } }) {
            IconImage image;
            ASSERT_TRUE(image.CreateBlank(16, bits));
            Pattern(image);
            image.SetRightIndex(bits == 1 ? 0 : 4);
            const std::vector<Stored> before = Snapshot(image);
            EXPECT_EQ(1, image.Shift(nullptr, c.dx, c.dy));
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const int sx = x - c.dx, sy = y - c.dy;
                    if (sx < 0 || sy < 0 || sx > 15 || sy > 15) {
                        EXPECT_EQ(0, image.IsTransparent(x, y));
                        EXPECT_EQ(image.GetRightColour(), image.GetPixelColour(x, y))
                            << bits << " uncovered " << x << "," << y;
                    } else {
                        EXPECT_EQ(before[sy * 16 + sx], At(image, x, y))
                            << bits << " shift " << c.dx << "," << c.dy << " at " << x << "," << y;
                    }
                }
        }
}

TEST(Shift, SelectionMovesWithinItsBorders)
{
    for (int bits : { 4, 8, 32 }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, bits));
        Pattern(image);
        image.SetRightIndex(0);
        const std::vector<Stored> before = Snapshot(image);
        const RECT selection = { 4, 4, 8, 8 };
        EXPECT_EQ(1, image.Shift(&selection, -1, 0));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool inRows = y >= 4 && y < 8;
                if (inRows && x >= 3 && x <= 6) {
                    EXPECT_EQ(before[y * 16 + x + 1], At(image, x, y)) << bits << ": " << x << "," << y;
                } else if (inRows && x == 7) {
                    EXPECT_EQ(kBlack, image.GetPixelColour(x, y)) << bits << ": " << x << "," << y;
                } else {
                    EXPECT_EQ(before[y * 16 + x], At(image, x, y)) << bits << ": " << x << "," << y;
                }
            }
    }
}

TEST(Shift, SelectionReachingPastTheImage)
{
    // A frame made on a larger image: the columns that would come from outside
    // take the background, nothing is read or written beyond the bitmaps.
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 8));
    Pattern(image);
    image.SetRightIndex(0);
    const std::vector<Stored> before = Snapshot(image);
    const RECT selection = { 8, -4, 40, 40 };
    EXPECT_EQ(1, image.Shift(&selection, -1, 0));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(before[y * 16 + x], At(image, x, y));
        for (int x = 7; x < 15; ++x)
            EXPECT_EQ(before[y * 16 + x + 1], At(image, x, y));
        EXPECT_EQ(0, image.GetPixelIndex(15, y));
    }
}

TEST(Shift, TransparentBackgroundLeavesATransparentStrip)
{
    for (int bits : { 4, 24 }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, bits));
        image.SetRightIndex(image.GetPaletteCount());
        ASSERT_EQ(TransparentColour, image.GetRightColour());
        EXPECT_EQ(1, image.Shift(nullptr, 0, 1));
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(1, image.IsTransparent(x, 0)) << bits;
            EXPECT_EQ(kBlack, image.GetPixelColour(x, 0)) << bits;
            EXPECT_EQ(0, image.IsTransparent(x, 1)) << bits;
        }
    }
}

TEST(Shift, EveryShiftIsOneUndoStepAndMirrorIsNone)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 8));
    Pattern(image);
    const std::vector<Stored> start = Snapshot(image);
    image.Shift(nullptr, -1, 0);
    image.Shift(nullptr, -1, 0);
    EXPECT_EQ(1, image.Undo());
    EXPECT_EQ(1, image.Undo());
    EXPECT_FALSE(image.CanUndo());
    EXPECT_EQ(start, Snapshot(image));

    // Shift, mirror, shift: the mirror goes back together with the shift before it.
    IconImage other;
    ASSERT_TRUE(other.CreateBlank(16, 24));
    Pattern(other);
    const std::vector<Stored> original = Snapshot(other);
    other.Shift(nullptr, 1, 0);
    const std::vector<Stored> shifted = Snapshot(other);
    EXPECT_EQ(1, other.Mirror(nullptr, true));
    const std::vector<Stored> mirrored = Snapshot(other);
    EXPECT_NE(shifted, mirrored);
    other.Shift(nullptr, 0, 1);
    EXPECT_EQ(1, other.Undo());
    EXPECT_EQ(mirrored, Snapshot(other));
    EXPECT_EQ(1, other.Undo());
    EXPECT_EQ(original, Snapshot(other));
    EXPECT_FALSE(other.CanUndo());
    EXPECT_EQ(1, other.Redo());
    EXPECT_EQ(mirrored, Snapshot(other));
}

TEST(Mirror, SwapsStoredValuesAndTwiceIsTheStart)
{
    for (int bits : { 1, 4, 8, 24, 32 })
        for (bool vertical : { true, false }) {
            IconImage image;
            ASSERT_TRUE(image.CreateBlank(16, bits));
            Pattern(image);
            const std::vector<Stored> before = Snapshot(image);
            EXPECT_EQ(1, image.Mirror(nullptr, vertical));
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const int sx = vertical ? x : 15 - x, sy = vertical ? 15 - y : y;
                    EXPECT_EQ(before[sy * 16 + sx], At(image, x, y)) << bits << ": " << x << "," << y;
                }
            EXPECT_FALSE(image.CanUndo());
            EXPECT_EQ(1, image.Mirror(nullptr, vertical));
            EXPECT_EQ(before, Snapshot(image)) << bits;
        }
}

TEST(Mirror, SelectionOfOddHeightKeepsItsMiddleRow)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 8));
    Pattern(image);
    const std::vector<Stored> before = Snapshot(image);
    const RECT selection = { 2, 3, 7, 8 };            // rows 3-7, columns 2-6
    EXPECT_EQ(1, image.Mirror(&selection, true));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 2 && x < 7 && y >= 3 && y < 8;
            const int sy = inside ? 3 + 7 - y : y;
            EXPECT_EQ(before[sy * 16 + x], At(image, x, y)) << x << "," << y;
        }
    EXPECT_EQ(before[5 * 16 + 4], At(image, 4, 5));

    const RECT columns = { 1, 0, 6, 16 };            // columns 1-5, horizontal mirror
    const std::vector<Stored> again = Snapshot(image);
    EXPECT_EQ(1, image.Mirror(&columns, false));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int sx = x >= 1 && x < 6 ? 1 + 5 - x : x;
            EXPECT_EQ(again[y * 16 + sx], At(image, x, y)) << x << "," << y;
        }
}

TEST(Mirror, PairsOutsideTheImageAreLeftAlone)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 8));
    Pattern(image);
    const std::vector<Stored> before = Snapshot(image);
    const RECT beyond = { 20, 0, 40, 16 };
    EXPECT_EQ(0, image.Mirror(&beyond, false));
    const RECT half = { 10, 0, 30, 16 };              // partners of columns 10-15 are 29-24
    EXPECT_EQ(0, image.Mirror(&half, false));
    EXPECT_EQ(before, Snapshot(image));
}

TEST(Clear, ImageAndRectangle)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 8));
    Pattern(image);
    image.SetRightIndex(256);
    EXPECT_EQ(1, image.ClearImage());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(1, image.IsTransparent(x, y));
            EXPECT_EQ(kBlack, image.GetPixelColour(x, y));
        }
    EXPECT_EQ(1, image.Undo());
    EXPECT_EQ(0, image.IsTransparent(0, 0));

    // A colour picked from a 24-bit image that its palette lacks.
    IconImage deep;
    ASSERT_TRUE(deep.CreateBlank(16, 24));
    deep.SetRightColour(RGB(1, 2, 3));
    ASSERT_EQ(-1, deep.GetRightIndex());
    EXPECT_EQ(1, deep.ClearImage());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(RGB(1, 2, 3), deep.GetPixelColour(x, y));

    IconImage part;
    ASSERT_TRUE(part.CreateBlank(16, 4));
    part.SetRightIndex(9);
    const RECT rect = { 14, 14, 30, 30 };
    EXPECT_EQ(1, part.ClearRect(rect));
    EXPECT_EQ(9, part.GetPixelIndex(15, 15));
    EXPECT_EQ(9, part.GetPixelIndex(14, 15));
    EXPECT_EQ(15, part.GetPixelIndex(13, 15));
    EXPECT_TRUE(part.CanUndo());
    const RECT outside = { 20, 20, 30, 30 };
    EXPECT_EQ(0, part.ClearRect(outside));
    EXPECT_EQ(1, part.Undo());
    EXPECT_FALSE(part.CanUndo());               // the refused clear recorded nothing

    IconImage empty;
    EXPECT_EQ(0, empty.ClearImage());
    EXPECT_EQ(0, empty.Shift(nullptr, 1, 0));
    EXPECT_EQ(0, empty.Mirror(nullptr, true));
}
