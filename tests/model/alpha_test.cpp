#include <cstring>

#include "model_support.h"

namespace {

// A 16 x 16 32-bit image of alpha 1 + x + 16 y; (4, 4) has its mask bit set
// under that alpha, as a file may leave it.
void SoftAlpha(IconImage& image)
{
    ASSERT_TRUE(image.CreateBlank(16, 32));
    LoadChanged(image, [](ImagePixels& pixels) {
        for (int p = 0; p < 256; ++p)
            pixels.colour[4 * ((15 - p / 16) * 16 + p % 16) + 3] = BYTE(1 + p);
        SetMaskBit(pixels, 4, 4);
    });
}

}  // namespace

// Painted pixels get alpha 255, transparent ones 0 with their mask bit and black,
// whether written one by one or drawn through GDI (which writes that byte as it
// likes): (4, 4) by the pixel calls, (2, 4) by a line. Nothing else changes.
TEST(Alpha, PaintingGivesOpaqueOrTransparent)
{
    struct Case { const char* what; void (*paint)(IconImage&); int alpha; };
    const Case cases[] = {
        {"colour", [](IconImage& i) { i.SetPixelColour(4, 4, kRed); }, 255},
        {"index", [](IconImage& i) { i.SetPixelIndex(4, 4, 9); }, 255},
        {"with alpha", [](IconImage& i) { i.SetPixelRgba(4, 4, kRed, 77); }, 77},
        {"transparent", [](IconImage& i) { i.SetPixelColour(4, 4, TransparentColour); }, 0},
        {"mask taken back", [](IconImage& i) { i.SetTransparent(4, 4, false); }, 255},
        {"fill", [](IconImage& i) { FloodFill(i, 4, 4, TransparentColour, -1, kRed); }, 255},
        {"stroke", [](IconImage& i) { DrawStrokeSegment(i, Pt(1, 4), Pt(4, 4), -1, kRed); }, 255},
        {"transparent stroke", [](IconImage& i) { DrawStrokeSegment(i, Pt(1, 4), Pt(4, 4), 256, 0); }, 0},
        {"shape", [](IconImage& i) { DrawShape(i, ShapeLine, Pt(2, 4), Pt(5, 4), kRed); }, 255},
        {"transparent shape", [](IconImage& i) { DrawShape(i, ShapeLine, Pt(2, 4), Pt(5, 4), TransparentColour); }, 0},
    };
    for (const Case& c : cases) {
        IconImage image;
        SoftAlpha(image);
        const std::vector<long long> before = Snapshot(image);
        c.paint(image);
        const bool line = std::strstr(c.what, "stroke") || std::strstr(c.what, "shape");
        for (int x : {4, 2}) {
            const int alpha = x == 4 || line ? c.alpha : 1 + 2 + 16 * 4;
            EXPECT_EQ(alpha, PixelBytes(image, x, 4)[3]) << c.what << " at " << x;
            EXPECT_EQ(alpha == 0, image.IsTransparent(x, 4) != 0) << c.what << " at " << x;
            EXPECT_TRUE(alpha || image.GetPixelColour(x, 4) == kBlack) << c.what << " at " << x;
        }
        EXPECT_EQ("", Failing(image, [&](int x, int y) { return (y == 4 && x < 6) || At(image, x, y) == before[y * 16 + x]; }))
            << c.what;
    }
}

// Shift and mirror carry alpha with every stored byte (transforms_test); a clear
// writes the background's, and undo and redo bring each state back whole.
TEST(Alpha, KeptByUndoRedoAndWrittenByClear)
{
    IconImage image;
    SoftAlpha(image);
    const std::vector<long long> soft = Snapshot(image);
    for (COLORREF background : {kWhite, TransparentColour}) {
        std::unique_ptr<ImageState> copy = image.CopyCurrentState();
        image.Colours().SetRightColour(background);
        ASSERT_EQ(TransformOutcome::Done, ClearRect(image, RECT{2, 2, 6, 6}));
        EXPECT_EQ(background == kWhite ? 255 : 0, PixelBytes(image, 3, 3)[3]);
        ASSERT_EQ(1, image.CommitState(std::move(copy)));
        const std::vector<long long> cleared = Snapshot(image);
        ASSERT_TRUE(image.Undo() && soft == Snapshot(image));
        ASSERT_TRUE(image.Redo() && cleared == Snapshot(image));
        ASSERT_EQ(1, image.Undo());
    }
}

// Of two pixels read (bottom-left, beside it): fourth bytes kept, or from the
// mask when every one is 0; alpha 0 makes a pixel transparent and black.
TEST(Alpha, SettledFromWhatTheFileHolds)
{
    struct Case { BYTE alpha0, alpha1; bool mask0; BYTE want0, want1; };
    for (const Case& c : {Case{0, 0, false, 255, 255}, Case{0, 0, true, 0, 255}, Case{128, 200, true, 128, 200},
                          Case{0, 200, false, 0, 200}}) {
        ImagePixels pixels;
        ASSERT_TRUE(pixels.Resize(2, 32));
        pixels.colour.assign(pixels.colour.size(), 0x40);
        pixels.colour[3] = c.alpha0;
        pixels.colour[7] = c.alpha1;
        pixels.colour[11] = pixels.colour[15] = c.alpha0 | c.alpha1 ? 9 : 0;
        if (c.mask0)
            SetMaskBit(pixels, 0, 1);
        pixels.SettleAlpha();
        const std::vector<BYTE> want = {BYTE(c.want0 ? 0x40 : 0), c.want0, 0x40, c.want1, BYTE(c.mask0 || !c.want0)};
        EXPECT_EQ(want, (std::vector<BYTE>{pixels.colour[0], pixels.colour[3], pixels.colour[4], pixels.colour[7],
                                           BYTE(pixels.mask[0] >> 7)})) << int(c.alpha0) << "," << int(c.alpha1);
    }
}
