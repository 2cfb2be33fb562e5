#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "model/icon_image.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);

POINT Pt(int x, int y) { POINT p = { x, y }; return p; }

// What a person would see of each pixel: transparent, or its colour.
std::vector<COLORREF> Picture(const IconImage& image)
{
    std::vector<COLORREF> out;
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x)
            out.push_back(image.IsTransparent(x, y) ? TransparentColour : image.GetPixelColour(x, y));
    return out;
}

int CountColour(const IconImage& image, COLORREF colour)
{
    int n = 0;
    for (COLORREF c : Picture(image))
        n += c == colour;
    return n;
}

// Rows of characters, '#' where the pixel is not white, for shape checks.
std::vector<std::string> Marks(const IconImage& image, int rows, int columns)
{
    std::vector<std::string> out;
    for (int y = 0; y < rows; ++y) {
        std::string row;
        for (int x = 0; x < columns; ++x)
            row += (image.IsTransparent(x, y) || image.GetPixelColour(x, y) != kWhite) ? '#' : '.';
        out.push_back(row);
    }
    return out;
}

}  // namespace

TEST(FloodFill, FillsWhiteImageOnceThenRefusesTheSameColour)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 4));
    EXPECT_EQ(1, image.FloodFill(5, 7, kWhite, 0, kBlack));
    EXPECT_EQ(256, CountColour(image, kBlack));
    const std::vector<COLORREF> before = Picture(image);
    EXPECT_EQ(0, image.FloodFill(5, 7, kBlack, 0, kBlack));
    EXPECT_EQ(before, Picture(image));
}

TEST(FloodFill, WholeLargestImageFillsWithoutRecursionLimits)
{
    for (int bits : { 1, 8, 32 }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(128, bits));
        EXPECT_EQ(1, image.FloodFill(127, 127, kWhite, 0, kBlack)) << bits;
        EXPECT_EQ(128 * 128, CountColour(image, kBlack)) << bits;
    }
    // A serpentine corridor one pixel wide: the longest possible path of the fill.
    IconImage maze;
    ASSERT_TRUE(maze.CreateBlank(128, 8));
    for (int y = 1; y < 128; y += 2)
        for (int x = 0; x < 128; ++x)
            if (!((y / 2) % 2 == 0 ? x == 127 : x == 0))
                maze.SetPixelIndex(x, y, 0);
    const int corridor = CountColour(maze, kWhite);
    EXPECT_EQ(1, maze.FloodFill(0, 0, kWhite, 9, maze.GetPaletteColour(9)));
    EXPECT_EQ(corridor, CountColour(maze, maze.GetPaletteColour(9)));
    EXPECT_EQ(0, CountColour(maze, kWhite));
}

TEST(FloodFill, DiagonalCheckerboardFillsOnePixel)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 8));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.SetPixelIndex(x, y, (x + y) % 2 ? 0 : 255);
    EXPECT_EQ(1, image.FloodFill(6, 4, kWhite, 249, kRed));
    EXPECT_EQ(1, CountColour(image, kRed));
    EXPECT_EQ(kRed, image.GetPixelColour(6, 4));
}

TEST(FloodFill, TwoEntriesOfTheSameColourAreOneRegion)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 8));
    ASSERT_TRUE(image.SetPaletteColour(200, kWhite));
    for (int y = 0; y < 16; ++y) {
        image.SetPixelIndex(8, y, 0);                 // a black wall at column 8
        for (int x = 0; x < 8; ++x)
            image.SetPixelIndex(x, y, (x * 3 + y) % 2 ? 200 : 255);
    }
    EXPECT_EQ(1, image.FloodFill(0, 0, kWhite, 9, kRed));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(9, image.GetPixelIndex(x, y)) << x << "," << y;
        for (int x = 9; x < 16; ++x)
            EXPECT_EQ(255, image.GetPixelIndex(x, y)) << x << "," << y;
    }
}

TEST(FloodFill, Refusals)
{
    struct Case { const char* what; int bits; int x, y; COLORREF target; int index; COLORREF colour; };
    const Case cases[] = {
        { "seed left of the image", 8, -1, 0, kWhite, 0, kBlack },
        { "seed below the image", 8, 0, 16, kWhite, 0, kBlack },
        { "seed right of the image", 32, 16, 3, kWhite, 0, kBlack },
        { "colour without index on 8 bits", 8, 2, 2, kWhite, -1, kRed },
        { "colour without index on 4 bits", 4, 2, 2, kWhite, -1, kRed },
        { "stroke colour is the target", 32, 2, 2, kWhite, -1, kWhite },
        { "stroke index of the target's colour", 8, 2, 2, kWhite, 255, kWhite },
        { "index past the transparent index", 8, 2, 2, kWhite, 258, kRed },
        { "no colour", 24, 2, 2, kWhite, -1, NoColour },
    };
    for (const Case& c : cases) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, c.bits));
        const std::vector<COLORREF> before = Picture(image);
        EXPECT_EQ(0, image.FloodFill(c.x, c.y, c.target, c.index, c.colour)) << c.what;
        EXPECT_EQ(before, Picture(image)) << c.what;
        EXPECT_FALSE(image.IsFillTarget(-1, 0, c.target));
    }
}

TEST(FloodFill, PaletteEditedAfterTheColourWasChosenIsRefused)
{
    // The stroke still says black, but entry 0 now paints white: the region's own colour.
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 4));
    ASSERT_TRUE(image.SetPaletteColour(0, kWhite));
    EXPECT_EQ(0, image.FloodFill(0, 0, kWhite, 0, kBlack));
    EXPECT_EQ(15, image.GetPixelIndex(0, 0));
}

TEST(FloodFill, TransparentAreas)
{
    for (int bits : { 4, 24 }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, bits));
        const int n = image.GetPaletteCount();
        // Two transparent areas split by an opaque column.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (x != 7)
                    image.SetPixelIndex(x, y, n);
        EXPECT_EQ(0, image.FloodFill(0, 0, TransparentColour, n, TransparentColour)) << bits;
        EXPECT_EQ(1, image.FloodFill(0, 0, TransparentColour, 0, kBlack)) << bits;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                EXPECT_EQ(x > 7 ? 1 : 0, image.IsTransparent(x, y)) << bits << ": " << x << "," << y;
    }
}

TEST(FloodFill, TransparentStrokeStopsAtTransparentBlack)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 8));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.SetPixelIndex(x, y, 0);             // all black
    for (int y = 0; y < 16; ++y)
        image.SetPixelIndex(5, y, 256);               // a transparent column, black beneath
    ASSERT_EQ(kBlack, image.GetPixelColour(5, 3));
    image.SetPixelIndex(10, 3, 256);                  // an isolated transparent pixel
    EXPECT_EQ(1, image.FloodFill(8, 8, kBlack, 256, TransparentColour));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(x >= 5 ? 1 : 0, image.IsTransparent(x, y)) << x << "," << y;
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(0, image.GetPixelIndex(x, 0));
}

TEST(StrokeSegment, FastDragsLeaveNoGaps)
{
    for (int bits : { 1, 4, 8, 24, 32 }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, bits));
        image.PaintPixel(0, 0, 0, kBlack);
        image.DrawStrokeSegment(Pt(0, 0), Pt(5, 0), 0, kBlack);
        EXPECT_EQ((std::vector<std::string>{ "######.." }), Marks(image, 1, 8)) << bits;

        IconImage neighbour;
        ASSERT_TRUE(neighbour.CreateBlank(16, bits));
        neighbour.DrawStrokeSegment(Pt(0, 0), Pt(1, 1), 0, kBlack);
        EXPECT_EQ((std::vector<std::string>{ "...", ".#.", "..." }), Marks(neighbour, 3, 3)) << bits;

        // A long diagonal jump is one 8-connected chain from one end to the other.
        IconImage diagonal;
        ASSERT_TRUE(diagonal.CreateBlank(16, bits));
        diagonal.PaintPixel(1, 14, 0, kBlack);
        diagonal.DrawStrokeSegment(Pt(1, 14), Pt(12, 2), 0, kBlack);
        // Steeper than 45 degrees: one pixel on each of the 13 rows it crosses.
        EXPECT_EQ(13, CountColour(diagonal, kBlack)) << bits;
        for (int y = 2; y <= 14; ++y) {
            int inRow = 0;
            for (int x = 0; x < 16; ++x)
                inRow += diagonal.GetPixelColour(x, y) == kBlack;
            EXPECT_EQ(1, inRow) << bits << ": row " << y;
        }
    }
}

TEST(StrokeSegment, TransparentStrokeLeavesBlackUnderTheMask)
{
    for (int bits : { 4, 8, 24, 32 }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, bits));
        const int n = image.GetPaletteCount();
        image.PaintPixel(2, 3, n, TransparentColour);
        image.DrawStrokeSegment(Pt(2, 3), Pt(9, 3), n, TransparentColour);
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(x >= 2 && x <= 9 ? 1 : 0, image.IsTransparent(x, 3)) << bits << ": " << x;
            if (x >= 2 && x <= 9) {
                EXPECT_EQ(kBlack, image.GetPixelColour(x, 3)) << bits << ": " << x;
            }
        }
        EXPECT_EQ(0, image.IsTransparent(5, 4));
    }
}

TEST(DrawShape, TransparentDrawingOnAPaletteWithoutBlack)
{
    // Entries 0-4 used, none black: entry 5 turns black for the pixels under the mask.
    for (bool stroke : { true, false }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, 4));
        for (int i = 0; i < 16; ++i)
            image.SetPaletteColour(i, RGB(90 + 10 * i, 80, 70));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                image.SetPixelIndex(x, y, (x + y) % 5);
        if (stroke)
            image.DrawStrokeSegment(Pt(2, 9), Pt(12, 9), 16, TransparentColour);
        else
            image.DrawShape(ShapeLine, Pt(2, 9), Pt(13, 9), TransparentColour);
        for (int x = 2; x <= 12; ++x) {
            EXPECT_EQ(1, image.IsTransparent(x, 9)) << stroke << ": " << x;
            EXPECT_EQ(5, image.GetPixelIndex(x, 9)) << stroke << ": " << x;
            EXPECT_EQ(kBlack, image.GetPixelColour(x, 9)) << stroke << ": " << x;
        }
    }
}

TEST(DrawShape, LinesAndOutlines)
{
    struct Case { ShapeKind shape; POINT start, end; std::vector<std::string> marks; };
    const std::vector<std::string> box = { "......", "......", "..###.", "..#.#.", "..###.", "......" };
    const std::vector<std::string> empty = { "......", "......", "......", "......" };
    const Case cases[] = {
        { ShapeLine, Pt(2, 2), Pt(5, 2), { "......", "......", "..###.", "......" } },
        { ShapeLine, Pt(5, 2), Pt(2, 2), { "......", "......", "...###", "......" } },
        { ShapeLine, Pt(3, 3), Pt(3, 3), empty },
        { ShapeRectangle, Pt(2, 2), Pt(5, 5), box },
        { ShapeRectangle, Pt(5, 5), Pt(2, 2), box },
        { ShapeRectangle, Pt(5, 2), Pt(2, 5), box },
    };
    for (const Case& c : cases)
        for (int bits : { 1, 8, 32 }) {
            IconImage image;
            ASSERT_TRUE(image.CreateBlank(16, bits));
            image.DrawShape(c.shape, c.start, c.end, kBlack);
            EXPECT_EQ(c.marks, Marks(image, int(c.marks.size()), 6))
                << "shape " << c.shape << " from " << c.start.x << "," << c.start.y << " bits " << bits;
        }
}

TEST(DrawShape, OutlinesAreCutAtTheBorderInEitherDirection)
{
    // The same primitive drawn on a larger image, moved by (8, 8), shows what the
    // small image must hold once the drawing is cut at its border.
    struct Case { ShapeKind shape; POINT start, end; };
    const Case cases[] = {
        { ShapeEllipse, Pt(-5, -5), Pt(11, 9) },
        { ShapeEllipse, Pt(11, 9), Pt(-5, -5) },
        { ShapeEllipse, Pt(4, 6), Pt(25, 20) },
        { ShapeRectangle, Pt(-3, 4), Pt(20, 12) },
        { ShapeRectangle, Pt(20, 12), Pt(-3, 4) },
        { ShapeLine, Pt(-10, 3), Pt(30, 13) },
    };
    for (const Case& c : cases) {
        IconImage small, large;
        ASSERT_TRUE(small.CreateBlank(16, 24));
        ASSERT_TRUE(large.CreateBlank(32, 24));
        small.DrawShape(c.shape, c.start, c.end, kRed);
        large.DrawShape(c.shape, Pt(c.start.x + 8, c.start.y + 8), Pt(c.end.x + 8, c.end.y + 8), kRed);
        int drawn = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                EXPECT_EQ(large.GetPixelColour(x + 8, y + 8), small.GetPixelColour(x, y))
                    << "shape " << c.shape << " at " << x << "," << y;
                drawn += small.GetPixelColour(x, y) == kRed;
            }
        EXPECT_GT(drawn, 0) << "shape " << c.shape;
    }
}

TEST(DrawShape, EllipseIsAnOutline)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(32, 8));
    image.DrawShape(ShapeEllipse, Pt(2, 2), Pt(30, 30), image.GetPaletteColour(0));
    EXPECT_EQ(kWhite, image.GetPixelColour(16, 16));   // never filled
    EXPECT_EQ(kBlack, image.GetPixelColour(16, 2));    // top of the outline
    EXPECT_EQ(kWhite, image.GetPixelColour(16, 30));   // the box's bottom row lies outside
}

TEST(DrawShape, TransparentShapesAndPaletteColours)
{
    for (int bits : { 4, 8, 24, 32 }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(16, bits));
        image.DrawShape(ShapeRectangle, Pt(1, 1), Pt(8, 8), TransparentColour);
        EXPECT_EQ(1, image.IsTransparent(1, 1)) << bits;
        EXPECT_EQ(1, image.IsTransparent(7, 4)) << bits;
        EXPECT_EQ(kBlack, image.GetPixelColour(7, 4)) << bits;
        EXPECT_EQ(0, image.IsTransparent(4, 4)) << bits;
        // A palette colour lands on its own entry.
        const int index = bits == 4 ? 12 : 9 * 16 + 3;
        image.DrawShape(ShapeLine, Pt(0, 12), Pt(16, 12), image.GetPaletteColour(index));
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(0, image.IsTransparent(x, 12)) << bits;
            EXPECT_EQ(image.GetPaletteColour(index), image.GetPixelColour(x, 12)) << bits << ": " << x;
            if (bits <= 8) {
                EXPECT_EQ(index, image.GetPixelIndex(x, 12)) << bits << ": " << x;
            }
        }
        // Opaque drawing over transparency clears the mask.
        image.DrawShape(ShapeLine, Pt(1, 1), Pt(8, 1), image.GetPaletteColour(index));
        EXPECT_EQ(0, image.IsTransparent(3, 1)) << bits;
    }
}
