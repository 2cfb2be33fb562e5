#include <cstdio>

#include "model_support.h"

// Rows narrower than a byte or a word still take whole words.
TEST(ImageFormat, RowStridesTakeWholeWords)
{
    struct Row { int width, bits, stride; };
    for (const Row& r : { Row{7, 1, 4}, Row{33, 1, 8}, Row{3, 4, 4}, Row{1, 24, 4}, Row{5, 8, 8}, Row{72, 4, 36},
                          Row{72, 24, 216} })
        EXPECT_EQ(r.stride, RowStride(r.width, r.bits)) << r.width << "x" << r.bits;
}

TEST(IconImage, EveryAcceptedFormatBuildsWhiteOpaqueImage)
{
    for (int size : { 16, 32, 48, 64, 72, 128 })
        for (int bits : kBitCounts) {
            SCOPED_TRACE(testing::Message() << size << "x" << bits);
            BlankImage image(size, bits);
            char format[32];
            std::snprintf(format, sizeof format, "%dx%dx%d-bits", size, size, bits);
            EXPECT_EQ(std::string(format), image.GetFormatText());
            EXPECT_EQ(bits < 8 ? (1 << bits) : 256, image.GetPaletteCount());
            EXPECT_EQ(size * size, CountColour(image, kWhite));
            EXPECT_EQ((size - 1) / 2, image.GetHotspot().x);
            EXPECT_EQ((size - 1) / 2, image.GetHotspot().y);
            EXPECT_EQ(kBlack, image.Colours().GetLeftColour());
            EXPECT_EQ(kWhite, image.Colours().GetRightColour());
            EXPECT_EQ(image.GetPaletteCount() - 1, image.Colours().GetRightIndex());
            // Pixels are read and written in the memory of the two DIB sections.
            BITMAP colour = {}, mask = {};
            ASSERT_TRUE(GetObjectA(image.GetColourBitmap(), sizeof colour, &colour));
            ASSERT_TRUE(GetObjectA(image.GetMaskBitmap(), sizeof mask, &mask));
            EXPECT_EQ(size, colour.bmHeight);
            EXPECT_EQ(bits, colour.bmBitsPixel);
            EXPECT_EQ(1, mask.bmBitsPixel);
            EXPECT_EQ(colour.bmBits, image.GetColourBits());
            EXPECT_EQ(mask.bmBits, image.GetMaskBits());
        }
}

TEST(IconImage, RefusedFormatLeavesExistingImageUntouched)
{
    BlankImage image(32, 4);
    image.SetPixelIndex(3, 4, 9);
    const HBITMAP colour = image.GetColourBitmap();
    struct Case { int size, bits; };
    for (const Case& c : { Case{257, 8}, Case{32, 16}, Case{0, 1}, Case{-16, 4}, Case{16, 2} }) {
        EXPECT_EQ(0, image.CreateBlank(c.size, c.bits)) << c.size << "x" << c.bits;
        EXPECT_EQ(colour, image.GetColourBitmap());
        EXPECT_EQ(9, image.GetPixelIndex(3, 4));
    }
    // An accepted format replaces the image and its history.
    Edit(image, 0);
    ASSERT_TRUE(image.CreateBlank(32, 8));
    EXPECT_FALSE(image.CanUndo());
}

TEST(IconImage, EmptyAndResetImagesRefuseEverything)
{
    IconImage image;
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_FALSE(image.IsValid());
        EXPECT_EQ(-1, image.GetPaletteCount());
        EXPECT_EQ("", image.GetFormatText());
        EXPECT_EQ(nullptr, image.GetColourBits());
        EXPECT_EQ(0, image.SetPixelIndex(0, 0, 0));
        EXPECT_EQ(-1, image.GetTransparentIndex());
        EXPECT_FALSE(image.CopyCurrentState());
        EXPECT_EQ(0, image.Undo());
        EXPECT_EQ(0, image.Redo());
        EXPECT_EQ(0, image.CommitState(nullptr));
        EXPECT_EQ(TransformOutcome::NothingChanged, ClearImage(image));
        EXPECT_EQ(TransformOutcome::NothingChanged, Shift(image, nullptr, 1, 0));
        EXPECT_EQ(TransformOutcome::NothingChanged, Mirror(image, nullptr, true));
        EXPECT_EQ(0, FloodFill(image, 0, 0, kWhite, 0, kBlack));
        ASSERT_TRUE(image.CreateBlank(16, 8));
        image.Reset();
    }
}

TEST(IconImage, DefaultPalettes)
{
    const COLORREF sixteen[16] = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF };
    BlankImage one(16, 1), four(16, 4), eight(16, 8), deep(16, 32);
    EXPECT_EQ(kBlack, one.GetPaletteColour(0));
    EXPECT_EQ(kWhite, one.GetPaletteColour(1));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(sixteen[i], four.GetPaletteColour(i)) << i;
        EXPECT_EQ(sixteen[i], eight.GetPaletteColour(240 + i)) << i;
        EXPECT_EQ(kBlack, eight.GetPaletteColour(224 + i)) << i;
    }
    // Greys, then both halves of the ramp rows.
    struct Spot { int index; COLORREF colour; };
    for (const Spot& s : { Spot{0, 0x000000}, Spot{1, 0x0F0F0F}, Spot{2, 0x1F1F1F}, Spot{15, 0xEFEFEF},
                           Spot{16, 0x00001F}, Spot{23, 0x0000FF}, Spot{24, 0x0F0FFF}, Spot{31, 0xEFEFFF},
                           Spot{32, 0x000F1F}, Spot{39, 0x007FFF}, Spot{40, 0x0F8FFF}, Spot{47, 0xEFFFFF},
                           Spot{55, 0x00FFFF}, Spot{87, 0x00FF00}, Spot{103, 0x7FFF00}, Spot{151, 0xFF0000},
                           Spot{159, 0xFFEFEF}, Spot{184, 0xFF0FFF}, Spot{208, 0x0F0F1F},
                           Spot{215, 0x7F7FFF}, Spot{223, 0xFFFFFF}, Spot{255, 0xFFFFFF} }) {
        EXPECT_EQ(s.colour, eight.GetPaletteColour(s.index)) << s.index;
        EXPECT_EQ(s.colour, deep.GetPaletteColour(s.index)) << s.index;
    }
    // The colour table of the colour bitmap carries the palette.
    EXPECT_EQ(RGB(0xFF, 0x7F, 0x00), TableColour(eight.GetColourBitmap(), 39));
}

TEST(IconImage, PaletteEntriesAndThePaintingColours)
{
    for (int bits : kBitCounts) {
        SCOPED_TRACE(bits);
        BlankImage image(16, bits);
        const int n = image.GetPaletteCount();
        EXPECT_EQ(TransparentColour, image.GetPaletteColour(n));
        EXPECT_EQ(NoColour, image.GetPaletteColour(n + 1));
        EXPECT_EQ(NoColour, image.GetPaletteColour(-1));
        EXPECT_EQ(n, image.IndexOfColour(TransparentColour));
        // An edit reaches the colour table; the reserved values are no colour an entry holds.
        EXPECT_EQ(1, image.SetPaletteColour(1, 0x336699));
        EXPECT_EQ(0, image.SetPaletteColour(1, 0x336699));
        if (bits <= 8) {
            EXPECT_EQ(0x336699u, TableColour(image.GetColourBitmap(), 1));
        }
        EXPECT_EQ(0, image.SetPaletteColour(n, 0x123456));
        EXPECT_EQ(0, image.SetPaletteColour(-1, 0x123456));
        EXPECT_EQ(0, image.SetPaletteColour(0, TransparentColour));
        EXPECT_EQ(0, image.SetPaletteColour(0, NoColour));
        EXPECT_EQ(kBlack, image.GetPaletteColour(0));
        // Indices past the palette and its transparent index are ignored.
        image.Colours().SetLeftIndex(n + 1);
        image.Colours().SetLeftIndex(-1);
        EXPECT_EQ(0, image.Colours().GetLeftIndex());
        image.Colours().SetLeftIndex(n);
        EXPECT_EQ(TransparentColour, image.Colours().GetLeftColour());
        image.Colours().SetRightIndex(0);
        EXPECT_EQ(kBlack, image.Colours().GetRightColour());
        image.Colours().SetRightColour(TransparentColour);
        EXPECT_EQ(n, image.Colours().GetRightIndex());
    }
    // A colour is found at its lowest exact entry, or kept without an index.
    BlankImage deep(32, 24);
    ASSERT_EQ(1, deep.SetPaletteColour(3, 0x123457));
    ASSERT_EQ(1, deep.SetPaletteColour(9, 0x123457));
    deep.Colours().SetLeftColour(0x123457);
    EXPECT_EQ(3, deep.Colours().GetLeftIndex());
    EXPECT_EQ(0x123458u, deep.Colours().SetRightColour(0x123458));
    EXPECT_EQ(-1, deep.Colours().GetRightIndex());
    EXPECT_EQ(0x123458u, deep.Colours().GetRightColour());
}

TEST(IconImage, PixelsAreStoredBottomUpAndPacked)
{
    // 16-pixel rows; pixel (x, y) lives in row 15 - y of the DIB. Index 249 is red:
    // on 24 and 32 bits the first byte, blue, is 0.
    struct Case { int bits, x, y, index, offset; BYTE expected; };
    for (const Case& c : { Case{1, 0, 15, 0, 0, 0x7F}, Case{1, 9, 0, 0, 60 + 1, 0xBF},
                           Case{1, 7, 14, 0, 4, 0xFE}, Case{4, 0, 15, 3, 0, 0x3F},
                           Case{4, 3, 15, 2, 1, 0xF2}, Case{8, 5, 14, 77, 16 + 5, 77},
                           Case{24, 2, 15, 249, 6, 0x00}, Case{32, 3, 14, 249, 64 + 12, 0x00} }) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits at " << c.x << "," << c.y);
        BlankImage image(16, c.bits);
        ASSERT_EQ(1, image.SetPixelIndex(c.x, c.y, c.index));
        EXPECT_EQ(c.expected, image.GetColourBits()[c.offset]);
        EXPECT_EQ(c.bits <= 8 ? c.index : -1, image.GetPixelIndex(c.x, c.y));
        EXPECT_EQ(image.GetPaletteColour(c.index), Seen(image, c.x, c.y));
        // The neighbour sharing the byte keeps its white.
        EXPECT_EQ(kWhite, Seen(image, c.x ^ 1, c.y));
        for (POINT bad : { Pt(-1, 0), Pt(0, -1), Pt(16, 0), Pt(0, 16) }) {
            EXPECT_EQ(0, image.SetPixelIndex(bad.x, bad.y, 0));
            EXPECT_EQ(NoColour, image.GetPixelColour(bad.x, bad.y));
        }
        EXPECT_EQ(0, image.SetPixelIndex(1, 1, -1));
        EXPECT_EQ(0, image.SetPixelIndex(1, 1, image.GetPaletteCount() + 1));
    }
    // Mask bit 1 = transparent, same packing as 1-bit colour.
    BlankImage image(16, 24);
    ASSERT_EQ(1, image.SetTransparent(9, 0, true));
    EXPECT_EQ(0x40, image.GetMaskBits()[15 * 4 + 1]);
}

TEST(IconImage, ThirtyTwoBitFourthByte)
{
    BlankImage image(32, 32);
    for (int i = 0; i < 32 * 32 * 4; ++i)
        ASSERT_EQ(0xFF, image.GetColourBits()[i]) << i;
    ASSERT_EQ(1, image.SetPixelColour(4, 4, 0x808080));
    ASSERT_EQ(1, image.SetPixelIndex(5, 4, 255));
    EXPECT_EQ(0, PixelBytes(image, 4, 4)[3]);
    EXPECT_EQ(0, PixelBytes(image, 5, 4)[3]);
    EXPECT_EQ(0xFF, PixelBytes(image, 6, 4)[3]);
    ASSERT_EQ(1, image.SetTransparent(6, 4, true));
    EXPECT_EQ(0u, *reinterpret_cast<const DWORD*>(PixelBytes(image, 6, 4)));
}

TEST(IconImage, PixelRulesOfEachDepth)
{
    for (int bits : kBitCounts) {
        SCOPED_TRACE(bits);
        BlankImage image(16, bits);
        const int n = image.GetPaletteCount(), deep = bits > 8 ? 1 : 0;
        // Colours are set directly only where there is no palette.
        EXPECT_EQ(deep ? -1 : 0, image.FindUnusedIndex());
        EXPECT_EQ(deep, image.SetPixelColour(1, 1, 0x0000FF));
        EXPECT_EQ(deep ? 0x0000FFu : kWhite, image.GetPixelColour(1, 1));
        EXPECT_EQ(0, image.SetPixelColour(1, 1, NoColour));
        EXPECT_EQ(0, image.SetPixelColour(16, 1, 0));
        EXPECT_EQ(deep, image.SetPixelColour(2, 2, TransparentColour));
        EXPECT_EQ(deep, image.IsTransparent(2, 2));
        // A transparent pixel holds black or the transparent index, and its colour part
        // is what it reports, never TransparentColour.
        ASSERT_EQ(1, image.SetPixelIndex(3, 3, n));
        EXPECT_EQ(1, image.IsTransparent(3, 3));
        EXPECT_EQ(kBlack, image.GetPixelColour(3, 3));
        EXPECT_EQ(deep ? -1 : 0, image.GetPixelIndex(3, 3));
        EXPECT_EQ(deep ? -1 : 0, image.GetTransparentIndex());
        EXPECT_EQ(0, image.SetTransparent(3, 3, true));
        EXPECT_EQ(0, image.SetPixelIndex(3, 3, n));
        // Clearing the mask keeps the colour part; painting a transparent pixel makes it opaque.
        EXPECT_EQ(1, image.SetTransparent(3, 3, false));
        EXPECT_EQ(kBlack, Seen(image, 3, 3));
        EXPECT_EQ(0, image.SetTransparent(3, 3, false));
        ASSERT_EQ(1, image.SetPixelIndex(4, 4, n));
        ASSERT_EQ(1, image.SetPixelIndex(4, 4, 1));
        EXPECT_EQ(image.GetPaletteColour(1), Seen(image, 4, 4));
    }
}

TEST(IconImage, TransparentIndexChoice)
{
    // A 16x16x4 image painted with indices 0 to used - 1 over a palette without black,
    // but for entries black and 15 when black is not -1. The first transparent pixel
    // takes the lowest black entry, else turns the lowest unused one black, else keeps
    // entry 0. The unused index counts a transparent pixel by its colour part.
    struct Case { int black, used, unused, index, unusedAfter, later; };
    for (const Case& c : { Case{6, 5, 5, 6, 5, 6}, Case{-1, 5, 5, 5, 6, 5}, Case{-1, 16, -1, 0, -1, -1} }) {
        SCOPED_TRACE(testing::Message() << "black " << c.black << ", used " << c.used);
        BlankImage image(16, 4);
        for (int i = 0; i < 16; ++i)
            image.SetPaletteColour(i, i == c.black || (c.black != -1 && i == 15) ? kBlack : RGB(10 + i, 20, 30));
        PaintIndices(image, [&](int x, int y) { return (x + y) % c.used; });
        EXPECT_EQ(c.unused, image.FindUnusedIndex());
        ASSERT_EQ(1, image.SetTransparent(7, 7, true));
        EXPECT_EQ(c.index, image.GetPixelIndex(7, 7));
        EXPECT_EQ(c.unusedAfter, image.FindUnusedIndex());
        if (c.unused != -1) {
            EXPECT_EQ(kBlack, image.GetPixelColour(7, 7));
            EXPECT_EQ(kBlack, TableColour(image.GetColourBitmap(), c.index));
        }
        // A transparent pixel of index 9 (not black) set behind the model's back does
        // not name the transparent index.
        ASSERT_EQ(1, image.SetTransparent(7, 7, false));
        ASSERT_EQ(1, image.SetPixelIndex(0, 0, 9));
        LoadChanged(image, [](ImagePixels& pixels) { SetMaskBit(pixels, 0, 0); });
        EXPECT_EQ(c.later, image.GetTransparentIndex());
    }
}

// Transparent pixels at (5, 1) and (4, 9), as a file may hold them, with entries
// 40 and 41 beneath: the first by columns names the index when its entry is black.
TEST(IconImage, TransparentIndexComesFromFirstTransparentPixelByColumns)
{
    BlankImage image(16, 8);
    ASSERT_EQ(1, image.SetPaletteColour(40, kBlack));
    ASSERT_EQ(1, image.SetPaletteColour(41, kBlack));
    ASSERT_EQ(1, image.SetPixelIndex(5, 1, 40));
    ASSERT_EQ(1, image.SetPixelIndex(4, 9, 41));
    LoadChanged(image, [](ImagePixels& pixels) {
        SetMaskBit(pixels, 5, 1);
        SetMaskBit(pixels, 4, 9);
    });
    EXPECT_EQ(41, image.GetTransparentIndex());
    ASSERT_EQ(1, image.SetPixelIndex(0, 0, 256));
    EXPECT_EQ(41, image.GetPixelIndex(0, 0));
}

// A file whose first transparent pixel holds red: pixels erased later must hold a
// black entry, or they would show red through the mask.
TEST(IconImage, TransparentIndexIsBlackWhateverAnOpenedFileHoldsUnderItsMask)
{
    BlankImage image(16, 4);
    ASSERT_EQ(1, image.SetPixelIndex(0, 0, 9));              // red in the 4-bit palette
    LoadChanged(image, [](ImagePixels& pixels) { SetMaskBit(pixels, 0, 0); });
    ASSERT_EQ(kRed, image.GetPixelColour(0, 0));
    EXPECT_EQ(0, image.GetTransparentIndex());
    ASSERT_EQ(1, image.SetTransparent(5, 5, true));
    EXPECT_EQ(0, image.GetPixelIndex(5, 5));
    EXPECT_EQ(kRed, image.GetPaletteColour(9));
    EXPECT_EQ(kBlack, image.GetPaletteColour(0));
}

// Asking, as the palette does before an entry is edited, leaves the palette and the
// colour table alone even when no entry is black yet; painting a transparent pixel
// turns the lowest unused entry black within that paint's undo step.
TEST(IconImage, AskingForTheTransparentIndexNeverEditsThePalette)
{
    for (int bits : { 4, 8 }) {
        SCOPED_TRACE(bits);
        BlankImage image(16, bits);
        const int n = image.GetPaletteCount();
        for (int i = 0; i < n; ++i)
            image.SetPaletteColour(i, RGB(10 + i % 200, 20, 30));
        PaintIndices(image, [](int x, int) { return x % 2; });
        const COLORREF edited = image.GetPaletteColour(2);
        for (int ask = 0; ask < 3; ++ask)
            EXPECT_EQ(-1, image.GetTransparentIndex());
        EXPECT_EQ(edited, image.GetPaletteColour(2));
        EXPECT_EQ(edited, TableColour(image.GetColourBitmap(), 2));
        EXPECT_FALSE(image.CanUndo());

        std::unique_ptr<ImageState> before = image.CopyCurrentState();
        ASSERT_EQ(1, image.SetTransparent(3, 3, true));
        EXPECT_EQ(kBlack, image.GetPaletteColour(2));
        EXPECT_EQ(2, image.GetTransparentIndex());
        ASSERT_EQ(1, image.CommitState(std::move(before)));
        ASSERT_EQ(1, image.Undo());
        EXPECT_EQ(edited, image.GetPaletteColour(2));
        EXPECT_EQ(edited, TableColour(image.GetColourBitmap(), 2));
        EXPECT_EQ(-1, image.GetTransparentIndex());
    }
}

// A reader's bytes become the image whole, with a fresh history; bytes that do
// not fit their format change nothing.
TEST(IconImage, LoadPixelsBuildsTheImageOrChangesNothing)
{
    ImagePixels pixels;
    ASSERT_TRUE(pixels.Resize(48, 4));
    ASSERT_EQ(16, DefaultPalette(4, pixels.palette.data()));
    pixels.palette[0] = RGBQUAD{ 0, 0, 0x12, 0x7F };   // files hold anything in the fourth byte
    pixels.colour[0] = 0x12;                          // bottom-left pixel: index 1
    SetMaskBit(pixels, 47, 0);

    BlankImage image(16, 8);
    Edit(image, 1);
    ASSERT_EQ(1, image.LoadPixels(pixels));
    EXPECT_EQ(48, image.GetSize());
    EXPECT_FALSE(image.CanUndo());
    EXPECT_EQ(1, image.GetPixelIndex(0, 47));
    EXPECT_EQ(1, image.IsTransparent(47, 0));
    EXPECT_EQ(0, image.GetPalette()[0].rgbReserved);
    EXPECT_EQ(RGB(0x12, 0, 0), TableColour(image.GetColourBitmap(), 0));
    EXPECT_EQ(0, image.SetHotspot(23, 23));            // the centre
    EXPECT_EQ(0x000012u, image.Colours().GetLeftColour());
    EXPECT_EQ(15, image.Colours().GetRightIndex());

    // A hotspot inside the image is taken.
    pixels.hotspot = Hotspot{ 0, 47 };
    ASSERT_EQ(1, image.LoadPixels(pixels));
    EXPECT_EQ(0, image.SetHotspot(0, 47));

    // Entries a short palette leaves out are black; 24 bits without one take the default.
    ImagePixels shortTable, deep;
    ASSERT_TRUE(shortTable.Resize(16, 8));
    ASSERT_TRUE(deep.Resize(16, 24));
    shortTable.palette.assign(3, RGBQUAD{ 0xFF, 0xFF, 0xFF, 0 });
    ASSERT_EQ(1, image.LoadPixels(shortTable));
    EXPECT_EQ(kWhite, image.GetPaletteColour(2));
    EXPECT_EQ(kBlack, image.GetPaletteColour(3));
    ASSERT_EQ(1, image.LoadPixels(deep));
    EXPECT_EQ(kWhite, image.GetPaletteColour(255));

    Edit(image, 7);
    const std::vector<long long> before = Snapshot(image);
    auto refused = [&](const char* what, void (*spoil)(ImagePixels&)) {
        ImagePixels bad = pixels;
        spoil(bad);
        EXPECT_EQ(0, image.LoadPixels(bad)) << what;
    };
    refused("size", [](ImagePixels& p) { p.size = 20; });
    refused("bit count", [](ImagePixels& p) { p.bitCount = 16; });
    refused("short colour rows", [](ImagePixels& p) { p.colour.pop_back(); });
    refused("long mask", [](ImagePixels& p) { p.mask.push_back(0); });
    refused("long palette", [](ImagePixels& p) { p.palette.resize(17); });
    EXPECT_EQ(before, Snapshot(image));
    EXPECT_TRUE(image.CanUndo());
    EXPECT_FALSE(ImagePixels().Resize(16, 2));
}
