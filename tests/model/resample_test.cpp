#include <cmath>
#include <functional>

#include "model/bgra_pixels.h"
#include "model/resample.h"
#include "model_support.h"

namespace {

struct Bgra { int b, g, r, a; };

std::vector<BYTE> Picture(int size, const std::function<Bgra(int x, int y)>& pixel)
{
    std::vector<BYTE> bytes(size_t(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const Bgra p = pixel(x, y);
            BYTE* at = &bytes[(size_t(y) * size + x) * 4];
            at[0] = BYTE(p.b); at[1] = BYTE(p.g); at[2] = BYTE(p.r); at[3] = BYTE(p.a);
        }
    return bytes;
}

Bgra At(const std::vector<BYTE>& bytes, int size, int x, int y)
{
    const BYTE* p = &bytes[(size_t(y) * size + x) * 4];
    return Bgra{ p[0], p[1], p[2], p[3] };
}

std::vector<BYTE> Resampled(const std::vector<BYTE>& source, int from, int to)
{
    std::vector<BYTE> out;
    EXPECT_TRUE(ResampleSquare(source, from, to, out)) << from << " to " << to;
    return out;
}

const int kWindowsSizes[] = { 16, 20, 24, 32, 40, 48, 64, 96, 256 };

}  // namespace

// Colours weighed without their alpha pull the black of transparent pixels into
// every soft edge: a dark halo around a white shape.
TEST(Resample, WhiteDiscOnTransparencyStaysWhiteWithNothingPastItsReach)
{
    const int from = 256;
    const double radius = 70.0;
    const std::vector<BYTE> disc = Picture(from, [&](int x, int y) {
        const bool in = std::hypot(x + 0.5 - 128, y + 0.5 - 128) <= radius;
        return in ? Bgra{ 255, 255, 255, 255 } : Bgra{ 0, 0, 0, 0 };
    });
    for (int to : kWindowsSizes) {
        const std::vector<BYTE> out = Resampled(disc, from, to);
        const double scale = double(from) / to;
        const double reach = radius + 2.0 * scale * std::sqrt(2.0) + 1.0;
        int soft = 0;
        for (int y = 0; y < to; ++y)
            for (int x = 0; x < to; ++x) {
                const Bgra p = At(out, to, x, y);
                const double away = std::hypot((x + 0.5) * scale - 128, (y + 0.5) * scale - 128);
                if (p.a > 0)
                    EXPECT_TRUE(p.b == 255 && p.g == 255 && p.r == 255) << to << ": " << x << "," << y;
                else
                    EXPECT_TRUE(p.b == 0 && p.g == 0 && p.r == 0) << to << ": " << x << "," << y;
                if (away > reach)
                    EXPECT_EQ(0, p.a) << to << ": " << x << "," << y;
                if (away < radius - reach + radius)
                    EXPECT_EQ(255, p.a) << to << ": " << x << "," << y;
                soft += p.a > 0 && p.a < 255;
            }
        if (to < from)
            EXPECT_GT(soft, 0) << to << ": the edge is smoothed";
    }
}

TEST(Resample, OnePixelCheckerboards)
{
    // Black and white averages to mid grey; white over transparency stays white
    // at half alpha. Whole factors give exact values, others come near.
    struct Case { Bgra odd, even; int to, tolerance; Bgra expected; };
    const Bgra black = { 0, 0, 0, 255 }, white = { 255, 255, 255, 255 }, clear = { 0, 0, 0, 0 };
    for (const Case& c : { Case{ black, white, 16, 0, { 128, 128, 128, 255 } },
                           Case{ black, white, 8, 0, { 128, 128, 128, 255 } },
                           Case{ clear, white, 16, 0, { 255, 255, 255, 128 } },
                           Case{ black, white, 20, 20, { 128, 128, 128, 255 } },
                           Case{ clear, white, 24, 20, { 255, 255, 255, 128 } } }) {
        const std::vector<BYTE> board = Picture(32, [&](int x, int y) { return (x + y) % 2 ? c.odd : c.even; });
        const std::vector<BYTE> out = Resampled(board, 32, c.to);
        for (int y = 0; y < c.to; ++y)
            for (int x = 0; x < c.to; ++x) {
                const Bgra p = At(out, c.to, x, y);
                // The colour of every pixel stays neutral; only its level may move.
                EXPECT_TRUE(p.b == p.g && p.g == p.r) << c.to << ": " << x << "," << y;
                EXPECT_NEAR(c.expected.b, p.b, c.tolerance) << c.to << ": " << x << "," << y;
                EXPECT_NEAR(c.expected.a, p.a, c.tolerance) << c.to << ": " << x << "," << y;
                if (c.odd.a == 0)
                    EXPECT_EQ(255, p.b) << c.to << ": " << x << "," << y;
            }
    }
}

TEST(Resample, GradientsKeepTheirSlope)
{
    // Red rises by one a pixel across, alpha down: a block of four averages
    // exactly, a cubic reproduces a straight ramp away from the borders.
    const std::vector<BYTE> ramp = Picture(256, [](int x, int y) { return Bgra{ 0, 40, x, 255 - y / 2 }; });
    const std::vector<BYTE> blocks = Resampled(ramp, 256, 64);
    for (int i = 0; i < 64; ++i) {
        const Bgra p = At(blocks, 64, i, i);
        EXPECT_EQ(4 * i + 2, p.r) << i;
        EXPECT_EQ(40, p.g) << i;
        EXPECT_EQ(255 - 2 * i, p.a) << i;  // 2i, 2i, 2i + 1, 2i + 1: half up
    }
    for (int to : { 96, 40, 300 }) {
        const std::vector<BYTE> out = Resampled(ramp, 256, to);
        const double scale = 256.0 / to;
        for (int i = int(3 * scale) + 1; i < to - 3 * scale - 1; ++i) {
            const Bgra p = At(out, to, i, to / 2);
            EXPECT_NEAR((i + 0.5) * scale - 0.5, p.r, 1.0) << to << ": " << i;
            EXPECT_EQ(40, p.g) << to << ": " << i;
            EXPECT_NEAR(255 - ((to / 2 + 0.5) * scale - 0.5) / 2, p.a, 1.0) << to << ": " << i;
        }
    }
    // An upward whole factor and the same size go through too.
    EXPECT_EQ(ramp, Resampled(ramp, 256, 256));
    EXPECT_EQ(size_t(512 * 512 * 4), Resampled(ramp, 256, 512).size());
    std::vector<BYTE> untouched = { 1, 2, 3 };
    EXPECT_FALSE(ResampleSquare(ramp, 255, 16, untouched));
    EXPECT_FALSE(ResampleSquare(ramp, 256, 0, untouched));
    EXPECT_EQ(3u, untouched.size());
}

// Transparent pixels of any depth become alpha 0; a 32-bit image whose fourth
// bytes were all left at 0 by an older writer is opaque, not invisible.
TEST(BgraPixels, AlphaOfEveryDepthAndBackToAThirtyTwoBitImage)
{
    for (int bits : kBitCounts) {
        BlankImage image(16, bits);
        image.SetPixelIndex(2, 3, image.GetPaletteCount());
        image.SetPixelIndex(5, 1, 0);
        std::vector<BYTE> bgra;
        ASSERT_TRUE(ImageToBgra(image, bgra));
        ASSERT_EQ(size_t(16 * 16 * 4), bgra.size());
        const Bgra clear = At(bgra, 16, 2, 3), painted = At(bgra, 16, 5, 1), white = At(bgra, 16, 9, 9);
        EXPECT_TRUE(clear.a == 0 && clear.r == 0 && clear.g == 0 && clear.b == 0) << bits;
        // The fourth byte of a pixel painted at 32 bits is painting's rule.
        if (bits < 32)
            EXPECT_EQ(255, painted.a) << bits;
        EXPECT_EQ(image.GetPixelColour(5, 1), RGB(painted.r, painted.g, painted.b)) << bits;
        EXPECT_TRUE(white.a == 255 && white.r == 255 && white.g == 255 && white.b == 255) << bits;
    }
    ImagePixels pixels;
    ASSERT_TRUE(pixels.Resize(4, 32));
    pixels.colour[3 * 16 + 0] = 99;    // top-left, fourth byte 0
    pixels.mask[3 * 4] = 0x40;          // top row, second pixel transparent
    IconImage older;
    ASSERT_TRUE(older.LoadPixels(pixels));
    std::vector<BYTE> bgra;
    ASSERT_TRUE(ImageToBgra(older, bgra));
    EXPECT_EQ(99, At(bgra, 4, 0, 0).b);
    EXPECT_EQ(255, At(bgra, 4, 0, 0).a);
    EXPECT_EQ(0, At(bgra, 4, 1, 0).a);

    std::vector<BYTE> soft = Picture(4, [](int x, int y) { return Bgra{ 10, 20, 30, x * 60 + y }; });
    ASSERT_TRUE(PixelsFromBgra(soft, 4, pixels));
    IconImage image;
    ASSERT_TRUE(image.LoadPixels(pixels));
    EXPECT_EQ(32, image.GetBitCount());
    EXPECT_EQ(1, image.IsTransparent(0, 0));
    EXPECT_EQ(0, image.IsTransparent(0, 1));
    std::vector<BYTE> back;
    ASSERT_TRUE(ImageToBgra(image, back));
    soft[0] = soft[1] = soft[2] = 0;  // under alpha 0, the colour goes
    EXPECT_EQ(soft, back);
    EXPECT_FALSE(PixelsFromBgra(soft, 5, pixels));
}

TEST(Resample, PicturesFittedInASquareKeepTheirProportionsCentredOnTransparency)
{
    // The picture's colour fills rows first to last of the square, transparent elsewhere.
    struct Case { int width, height, side, square, first, last; };
    for (const Case& c : { Case{ 300, 100, 256, 256, 85, 170 }, Case{ 100, 300, 256, 256, 85, 170 },
                           Case{ 20, 10, 256, 20, 5, 15 }, Case{ 512, 512, 256, 256, 0, 256 },
                           Case{ 1000, 1, 256, 256, 127, 128 } }) {
        const std::vector<BYTE> red = Picture(c.width > c.height ? c.width : c.height,
                                              [](int, int) { return Bgra{ 0, 0, 255, 255 }; });
        std::vector<BYTE> out;
        ASSERT_TRUE(FitInSquare(red.data(), c.width, c.height, c.side, out)) << c.width << "x" << c.height;
        ASSERT_EQ(size_t(c.square) * c.square * 4, out.size());
        const bool tall = c.height > c.width;
        for (int i = 0; i < c.square; ++i) {
            const Bgra p = tall ? At(out, c.square, i, c.square / 2) : At(out, c.square, c.square / 2, i);
            const bool in = i >= c.first && i < c.last;
            EXPECT_EQ(in ? 255 : 0, p.a) << c.width << "x" << c.height << ": " << i;
            EXPECT_EQ(in ? 255 : 0, p.r) << c.width << "x" << c.height << ": " << i;
        }
    }
    std::vector<BYTE> out;
    EXPECT_FALSE(FitInSquare(nullptr, 4, 4, 256, out));
}
