#include <cstring>

#include "model_support.h"

namespace {

// A 16 x 16 32-bit image whose pixels hold soft alpha: 1 + x + 16 y (never 0).
void SoftAlpha(IconImage& image)
{
    ASSERT_TRUE(image.CreateBlank(16, 32));
    LoadChanged(image, [](ImagePixels& pixels) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                pixels.colour[RowStride(16, 32) * (15 - y) + 4 * x + 3] = BYTE(1 + x + 16 * y);
    });
}

BYTE AlphaAt(const IconImage& image, int x, int y)
{
    return PixelBytes(image, x, y)[3];
}

}  // namespace

// Each way a pixel is painted gives it alpha 255 (opaque) or 0 with its mask bit
// and black (transparent); the pixels around it keep theirs.
TEST(Alpha, PaintingGivesOpaqueOrTransparent)
{
    struct Case { const char* what; void (*paint)(IconImage&); int alpha; };
    const Case cases[] = {
        {"colour", [](IconImage& i) { i.SetPixelColour(4, 4, kRed); }, 255},
        {"index", [](IconImage& i) { i.SetPixelIndex(4, 4, 9); }, 255},
        {"colour with alpha", [](IconImage& i) { i.SetPixelRgba(4, 4, kRed, 77); }, 77},
        {"transparent", [](IconImage& i) { i.SetPixelColour(4, 4, TransparentColour); }, 0},
        {"alpha 0", [](IconImage& i) { i.SetPixelRgba(4, 4, kRed, 0); }, 0},
        {"mask taken back", [](IconImage& i) { i.SetTransparent(4, 4, true); i.SetTransparent(4, 4, false); }, 255},
        {"fill", [](IconImage& i) { i.SetPixelColour(4, 4, kRed); FloodFill(i, 4, 4, kRed, -1, kWhite); }, 255},
        {"stroke", [](IconImage& i) { DrawStrokeSegment(i, Pt(1, 4), Pt(4, 4), -1, kRed); }, 255},
        {"transparent stroke",
         [](IconImage& i) { DrawStrokeSegment(i, Pt(1, 4), Pt(4, 4), 256, TransparentColour); }, 0},
        {"shape", [](IconImage& i) { DrawShape(i, ShapeLine, Pt(2, 4), Pt(5, 4), kRed); }, 255},
        {"transparent shape", [](IconImage& i) { DrawShape(i, ShapeLine, Pt(2, 4), Pt(5, 4), TransparentColour); }, 0},
    };
    for (const Case& c : cases) {
        IconImage image;
        SoftAlpha(image);
        const std::vector<long long> before = Snapshot(image);
        c.paint(image);
        EXPECT_EQ(c.alpha, AlphaAt(image, 4, 4)) << c.what;
        EXPECT_EQ(c.alpha == 0, image.IsTransparent(4, 4) != 0) << c.what;
        if (c.alpha == 0) {
            EXPECT_EQ(kBlack, image.GetPixelColour(4, 4)) << c.what;
        }
        // Lines and fills reach further along row 4; every other row is as it was.
        EXPECT_EQ("", Failing(image, [&](int x, int y) { return y == 4 || At(image, x, y) == before[y * 16 + x]; }))
            << c.what;
        // Pixels a line drew through GDI, beside its end; and one it did not reach.
        EXPECT_EQ(std::strstr(c.what, "stroke") || std::strstr(c.what, "shape") ? c.alpha : 1 + 2 + 16 * 4,
                  AlphaAt(image, 2, 4)) << c.what;
        EXPECT_EQ(before[4 * 16 + 10], At(image, 10, 4)) << c.what;
    }
    // A file may leave alpha under a set mask bit: painted transparent, it goes.
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 32));
    LoadChanged(image, [](ImagePixels& pixels) { SetMaskBit(pixels, 3, 3); });
    EXPECT_EQ(1, image.SetTransparent(3, 3, true));
    EXPECT_EQ(0, AlphaAt(image, 3, 3));
    // A new image is opaque.
    EXPECT_EQ(255, AlphaAt(image, 0, 0));
}

// Shift and mirror carry alpha with their pixels (tested with every other
// stored byte in transforms_test); clear, undo and redo are checked here.
TEST(Alpha, KeptByUndoRedoAndWrittenByClear)
{
    IconImage image;
    SoftAlpha(image);
    const std::vector<long long> soft = Snapshot(image);
    for (COLORREF background : {kWhite, TransparentColour}) {
        std::unique_ptr<ImageState> copy = image.CopyCurrentState();
        ASSERT_NE(nullptr, copy);
        image.Colours().SetRightColour(background);
        ASSERT_EQ(TransformOutcome::Done, ClearRect(image, RECT{2, 2, 6, 6}));
        EXPECT_EQ(background == kWhite ? 255 : 0, AlphaAt(image, 3, 3));
        EXPECT_EQ(soft[6 * 16 + 6], At(image, 6, 6));
        ASSERT_EQ(1, image.CommitState(std::move(copy)));
        const std::vector<long long> cleared = Snapshot(image);
        ASSERT_EQ(1, image.Undo());
        EXPECT_EQ(soft, Snapshot(image));
        ASSERT_EQ(1, image.Redo());
        EXPECT_EQ(cleared, Snapshot(image));
        ASSERT_EQ(1, image.Undo());
    }
}

// What a reader hands over: the fourth bytes kept, or taken from the mask when
// every one is 0; alpha 0 makes a pixel transparent and black.
TEST(Alpha, SettledFromWhatTheFileHolds)
{
    struct Case { const char* what; BYTE alpha0, alpha1; bool mask0; BYTE want0, want1; bool masked0; };
    const Case cases[] = {
        {"all 0, mask clear", 0, 0, false, 255, 255, false},
        {"all 0, mask set", 0, 0, true, 0, 255, true},
        {"soft kept", 128, 200, false, 128, 200, false},
        {"soft kept under a set mask", 128, 200, true, 128, 200, true},
        {"0 among others", 0, 200, false, 0, 200, true},
    };
    for (const Case& c : cases) {
        ImagePixels pixels;
        ASSERT_TRUE(pixels.Resize(2, 32));
        for (BYTE& b : pixels.colour)
            b = 0x40;
        // Pixel 0 is the bottom-left one, pixel 1 beside it; the top row holds 0.
        pixels.colour[3] = c.alpha0;
        pixels.colour[7] = c.alpha1;
        pixels.colour[RowStride(2, 32) + 3] = pixels.colour[RowStride(2, 32) + 7] = c.alpha0 | c.alpha1 ? 9 : 0;
        if (c.mask0)
            SetMaskBit(pixels, 0, 1);
        pixels.SettleAlpha();
        EXPECT_EQ(c.want0, pixels.colour[3]) << c.what;
        EXPECT_EQ(c.want1, pixels.colour[7]) << c.what;
        EXPECT_EQ(c.masked0, (pixels.mask[0] & 0x80) != 0) << c.what;
        EXPECT_EQ(c.want0 ? 0x40 : 0, pixels.colour[0]) << c.what;
        EXPECT_EQ(0, pixels.mask[0] & 0x40) << c.what;
    }
    // Other depths have no fourth byte.
    ImagePixels rgb;
    ASSERT_TRUE(rgb.Resize(2, 24));
    const std::vector<BYTE> before = rgb.colour;
    rgb.SettleAlpha();
    EXPECT_EQ(before, rgb.colour);
    EXPECT_EQ(0, rgb.mask[0]);
}
