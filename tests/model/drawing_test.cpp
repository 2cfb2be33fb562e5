#include "model_support.h"

TEST(FloodFill, WholeLargestImageFillsWithoutRecursionLimits)
{
    for (int bits : { 1, 4, 8, 32 }) {
        BlankImage image(128, bits);
        EXPECT_EQ(1, FloodFill(image, 127, 127, kWhite, 0, kBlack)) << bits;
        EXPECT_EQ(128 * 128, CountColour(image, kBlack)) << bits;
    }
    // A serpentine corridor one pixel wide: the longest possible path of the fill.
    BlankImage maze(128, 8);
    PaintIndices(maze, [](int x, int y) {
        const bool wall = y % 2 == 1 && x != ((y / 2) % 2 == 0 ? 127 : 0);
        return wall ? 0 : 255;
    });
    const int corridor = CountColour(maze, kWhite);
    EXPECT_EQ(1, FloodFill(maze, 0, 0, kWhite, 9, maze.GetPaletteColour(9)));
    EXPECT_EQ(corridor, CountColour(maze, maze.GetPaletteColour(9)));
    EXPECT_EQ(0, CountColour(maze, kWhite));
}

TEST(FloodFill, RegionsAreFourConnectedByExactColour)
{
    // A diagonal checkerboard leaks nowhere: only the seed is filled.
    BlankImage image(16, 8);
    PaintIndices(image, [](int x, int y) { return (x + y) % 2 ? 0 : 255; });
    EXPECT_EQ(1, FloodFill(image, 6, 4, kWhite, 249, kRed));
    EXPECT_EQ(1, CountColour(image, kRed));
    EXPECT_EQ(kRed, image.GetPixelColour(6, 4));

    // Two entries of the same colour are one region; a black wall at column 8 stops it.
    ASSERT_TRUE(image.SetPaletteColour(200, kWhite));
    PaintIndices(image, [](int x, int y) { return x == 8 ? 0 : x > 8 || (x * 3 + y) % 2 ? 255 : 200; });
    EXPECT_EQ(1, FloodFill(image, 0, 0, kWhite, 9, kRed));
    EXPECT_EQ("", Failing(image, [&](int x, int y) {
        return image.GetPixelIndex(x, y) == (x < 8 ? 9 : x == 8 ? 0 : 255); }));
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
        // The stroke still says black, but its entry paints the region's own colour
        // (the palette was edited after the colour was chosen).
        { "stroke index of the target's colour", 8, 2, 2, kWhite, 255, kBlack },
        { "index past the transparent index", 8, 2, 2, kWhite, 258, kRed },
        { "no colour", 24, 2, 2, kWhite, -1, NoColour },
    };
    for (const Case& c : cases) {
        BlankImage image(16, c.bits);
        EXPECT_EQ(0, FloodFill(image, c.x, c.y, c.target, c.index, c.colour)) << c.what;
        EXPECT_EQ(256, CountColour(image, kWhite)) << c.what;
    }
}

TEST(FloodFill, TransparentAreas)
{
    for (int bits : { 4, 24 }) {
        // Two transparent areas split by an opaque column.
        BlankImage image(16, bits);
        const int n = image.GetPaletteCount();
        PaintIndices(image, [&](int x, int) { return x == 7 ? 0 : n; });
        EXPECT_EQ(0, FloodFill(image, 0, 0, TransparentColour, n, TransparentColour)) << bits;
        EXPECT_EQ(1, FloodFill(image, 0, 0, TransparentColour, 0, kBlack)) << bits;
        EXPECT_EQ("", Failing(image, [&](int x, int y) { return image.IsTransparent(x, y) == (x > 7); }))
            << bits;
    }
    // A transparent fill of black stops at transparent pixels, black beneath.
    BlankImage image(16, 8);
    PaintIndices(image, [](int x, int y) { return x == 5 || (x == 10 && y == 3) ? 256 : 0; });
    ASSERT_EQ(kBlack, image.GetPixelColour(5, 3));
    EXPECT_EQ(1, FloodFill(image, 8, 8, kBlack, 256, TransparentColour));
    EXPECT_EQ("", Failing(image, [&](int x, int y) {
        return image.IsTransparent(x, y) == (x >= 5) && image.GetPixelIndex(x, y) == 0; }));
}

TEST(StrokeSegment, FastDragsLeaveNoGaps)
{
    for (int bits : kBitCounts) {
        BlankImage image(16, bits);
        PaintPixel(image, 0, 0, 0, kBlack);
        DrawStrokeSegment(image, Pt(0, 0), Pt(5, 0), 0, kBlack);
        EXPECT_EQ(std::vector<std::string>{ "######.." }, Marks(image, 1, 8)) << bits;
        // A step to a neighbour paints only its end.
        ASSERT_TRUE(image.CreateBlank(16, bits));
        DrawStrokeSegment(image, Pt(0, 0), Pt(1, 1), 0, kBlack);
        EXPECT_EQ((std::vector<std::string>{ "...", ".#.", "..." }), Marks(image, 3, 3)) << bits;
        // A long jump steeper than 45 degrees: one pixel on each of the 13 rows it crosses.
        ASSERT_TRUE(image.CreateBlank(16, bits));
        PaintPixel(image, 1, 14, 0, kBlack);
        DrawStrokeSegment(image, Pt(1, 14), Pt(12, 2), 0, kBlack);
        EXPECT_EQ(13, CountColour(image, kBlack)) << bits;
        const std::vector<std::string> rows = Marks(image, 15, 16);
        for (int y = 2; y <= 14; ++y)
            EXPECT_NE(std::string::npos, rows[y].find('#')) << bits << ": row " << y;
    }
}

TEST(Drawing, TransparentDrawingLeavesBlackUnderTheMaskEvenOnAPaletteWithoutBlack)
{
    // Without black in the palette (entries 0-4 used), entry 5 turns black for the
    // pixels under the mask.
    enum Kind { Stroke, Line, Box };
    struct Case { int bits; bool withoutBlack; int beneath; };
    for (const Case& c : { Case{4, false, 0}, Case{4, true, 5}, Case{8, false, 0}, Case{24, false, -1},
                           Case{32, false, -1} })
        for (Kind kind : { Stroke, Line, Box }) {
            SCOPED_TRACE(testing::Message() << c.bits << " bits, without black " << c.withoutBlack << ", kind " << kind);
            BlankImage image(16, c.bits);
            const int n = image.GetPaletteCount();
            if (c.withoutBlack) {
                for (int i = 0; i < 16; ++i)
                    image.SetPaletteColour(i, RGB(90 + 10 * i, 80, 70));
                PaintIndices(image, [](int x, int y) { return (x + y) % 5; });
            }
            const std::vector<long long> before = Snapshot(image);
            if (kind == Stroke) {
                PaintPixel(image, 2, 3, n, TransparentColour);
                DrawStrokeSegment(image, Pt(2, 3), Pt(9, 3), n, TransparentColour);
            } else {
                DrawShape(image, kind == Line ? ShapeLine : ShapeRectangle, Pt(2, 3),
                                Pt(10, kind == Line ? 3 : 8), TransparentColour);
            }
            // The outline of columns 2-9 and rows 3-7 (row 3 alone for a line).
            const int bottom = kind == Box ? 7 : 3;
            EXPECT_EQ("", Failing(image, [&](int x, int y) {
                const bool in = x >= 2 && x <= 9 && y >= 3 && y <= bottom;
                if (!(in && (x == 2 || x == 9 || y == 3 || y == bottom)))
                    return At(image, x, y) == before[y * 16 + x];
                return image.IsTransparent(x, y) && image.GetPixelColour(x, y) == kBlack &&
                       image.GetPixelIndex(x, y) == c.beneath;
            }));
            // A palette colour drawn over them lands on its own entry and clears the mask.
            const int index = c.bits == 4 ? 12 : 9 * 16 + 3;
            const COLORREF colour = image.GetPaletteColour(index);
            DrawShape(image, ShapeLine, Pt(0, 3), Pt(16, 3), colour);
            for (int x = 0; x < 16; ++x) {
                EXPECT_EQ(colour, Seen(image, x, 3)) << x;
                EXPECT_EQ(c.bits <= 8 ? index : -1, image.GetPixelIndex(x, 3)) << x;
            }
        }
}

TEST(DrawShape, LinesAndOutlinesDraggedEitherWay)
{
    struct Case { ShapeKind shape; POINT start, end; std::vector<std::string> marks; };
    const std::vector<std::string> box = { "......", "......", "..###.", "..#.#.", "..###.", "......" };
    const Case cases[] = {
        { ShapeLine, Pt(2, 2), Pt(5, 2), { "......", "......", "..###.", "......" } },
        { ShapeLine, Pt(5, 2), Pt(2, 2), { "......", "......", "...###", "......" } },
        { ShapeLine, Pt(3, 3), Pt(3, 3), { "......", "......", "......", "......" } },
        { ShapeRectangle, Pt(2, 2), Pt(5, 5), box },
        { ShapeRectangle, Pt(5, 5), Pt(2, 2), box },
        { ShapeRectangle, Pt(5, 2), Pt(2, 5), box },
    };
    for (const Case& c : cases)
        for (int bits : { 1, 8, 32 }) {
            BlankImage image(16, bits);
            DrawShape(image, c.shape, c.start, c.end, kBlack);
            EXPECT_EQ(c.marks, Marks(image, int(c.marks.size()), 6))
                << "shape " << c.shape << " from " << c.start.x << "," << c.start.y << " bits " << bits;
        }
    // An ellipse is an outline too, inside its box's right and bottom edges.
    BlankImage image(32, 8);
    DrawShape(image, ShapeEllipse, Pt(2, 2), Pt(30, 30), kBlack);
    EXPECT_EQ(kWhite, image.GetPixelColour(16, 16));
    EXPECT_EQ(kBlack, image.GetPixelColour(16, 2));
    EXPECT_EQ(kWhite, image.GetPixelColour(16, 30));
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
        DrawShape(small, c.shape, c.start, c.end, kRed);
        DrawShape(large, c.shape, Pt(c.start.x + 8, c.start.y + 8), Pt(c.end.x + 8, c.end.y + 8), kRed);
        EXPECT_EQ("", Failing(small, [&](int x, int y) {
            return large.GetPixelColour(x + 8, y + 8) == small.GetPixelColour(x, y); }))
            << "shape " << c.shape << " from " << c.start.x << "," << c.start.y;
        EXPECT_GT(CountColour(small, kRed), 0) << "shape " << c.shape;
    }
}
