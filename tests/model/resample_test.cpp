#include <cmath>
#include <functional>

#include "model/bgra_pixels.h"
#include "model/resample.h"
#include "model_support.h"

namespace {

struct Bgra { int b, g, r, a; };

std::vector<BYTE> Picture(int size, const std::function<Bgra(int x, int y)>& pixel)
{
    std::vector<BYTE> bytes;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const Bgra p = pixel(x, y);
            bytes.insert(bytes.end(), { BYTE(p.b), BYTE(p.g), BYTE(p.r), BYTE(p.a) });
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

}  // namespace

// Colours weighed without their alpha pull the black of transparent pixels into
// every soft edge: a dark halo around a white shape.
TEST(Resample, WhiteDiscOnTransparencyStaysWhiteWithNothingPastItsReach)
{
    const double radius = 70.0;
    const std::vector<BYTE> disc = Picture(256, [&](int x, int y) {
        return std::hypot(x + 0.5 - 128, y + 0.5 - 128) <= radius ? Bgra{ 255, 255, 255, 255 } : Bgra{ 0, 0, 0, 0 };
    });
    for (int to : { 16, 20, 24, 32, 40, 48, 64, 96, 256 }) {
        const std::vector<BYTE> out = Resampled(disc, 256, to);
        const double scale = 256.0 / to, reach = radius + 2.0 * scale * std::sqrt(2.0) + 1.0;
        int soft = 0;
        for (int y = 0; y < to; ++y)
            for (int x = 0; x < to; ++x) {
                const Bgra p = At(out, to, x, y);
                const int colour = p.a ? 255 : 0;
                EXPECT_TRUE(p.b == colour && p.g == colour && p.r == colour) << to << ": " << x << "," << y;
                if (std::hypot((x + 0.5) * scale - 128, (y + 0.5) * scale - 128) > reach) {
                    EXPECT_EQ(0, p.a) << to << ": " << x << "," << y;
                }
                soft += p.a > 0 && p.a < 255;
            }
        EXPECT_EQ(to < 256, soft > 0) << to;
    }
}

TEST(Resample, OnePixelCheckerboardsAndGradients)
{
    // Black and white make mid grey, white over transparency half-transparent
    // white: exactly for whole factors, nearly otherwise.
    struct Case { Bgra odd; int to, tolerance; Bgra expected; };
    for (const Case& c : { Case{ { 0, 0, 0, 255 }, 16, 0, { 128, 128, 128, 255 } },
                           Case{ { 0, 0, 0, 0 }, 8, 0, { 255, 255, 255, 128 } },
                           Case{ { 0, 0, 0, 255 }, 20, 20, { 128, 128, 128, 255 } },
                           Case{ { 0, 0, 0, 0 }, 24, 20, { 255, 255, 255, 128 } } }) {
        const std::vector<BYTE> out = Resampled(
            Picture(32, [&](int x, int y) { return (x + y) % 2 ? c.odd : Bgra{ 255, 255, 255, 255 }; }), 32, c.to);
        for (int i = 0; i < c.to * c.to; ++i) {
            const Bgra p = At(out, c.to, i % c.to, i / c.to);
            EXPECT_TRUE(p.b == p.g && p.g == p.r) << c.to << ": " << i;
            EXPECT_NEAR(c.expected.b, p.b, c.tolerance) << c.to << ": " << i;
            EXPECT_NEAR(c.expected.a, p.a, c.tolerance) << c.to << ": " << i;
        }
    }
    // Red rises by one a pixel across, alpha falls down the rows: a block of
    // four averages exactly (half up), a cubic keeps the slope inside.
    const std::vector<BYTE> ramp = Picture(256, [](int x, int y) { return Bgra{ 0, 40, x, 255 - y / 2 }; });
    const std::vector<BYTE> blocks = Resampled(ramp, 256, 64);
    for (int i = 0; i < 64; ++i) {
        const Bgra p = At(blocks, 64, i, i);
        EXPECT_TRUE(p.r == 4 * i + 2 && p.g == 40 && p.a == 255 - 2 * i) << i;
    }
    for (int to : { 96, 40, 300 }) {
        const std::vector<BYTE> out = Resampled(ramp, 256, to);
        const double scale = 256.0 / to;
        for (int i = int(3 * scale) + 1; i < to - 3 * scale - 1; ++i) {
            const Bgra p = At(out, to, i, to / 2);
            EXPECT_NEAR((i + 0.5) * scale - 0.5, p.r, 1.0) << to << ": " << i;
            EXPECT_NEAR(255 - ((to / 2 + 0.5) * scale - 0.5) / 2, p.a, 1.0) << to << ": " << i;
        }
    }
    EXPECT_EQ(ramp, Resampled(ramp, 256, 256));
    std::vector<BYTE> untouched = { 1, 2, 3 };
    EXPECT_FALSE(ResampleSquare(ramp, 255, 16, untouched));
    EXPECT_FALSE(ResampleSquare(ramp, 256, 0, untouched));
    EXPECT_EQ(3u, untouched.size());
}

TEST(Resample, PicturesFittedInASquareKeepTheirProportionsCentredOnTransparency)
{
    // The picture's colour fills rows first to last of the square, transparent elsewhere.
    struct Case { int width, height, square, first, last; };
    for (const Case& c : { Case{ 300, 100, 256, 85, 170 }, Case{ 100, 300, 256, 85, 170 }, Case{ 20, 10, 20, 5, 15 },
                           Case{ 512, 512, 256, 0, 256 }, Case{ 1000, 1, 256, 127, 128 } }) {
        const std::vector<BYTE> red = Picture(std::max(c.width, c.height), [](int, int) { return Bgra{ 0, 0, 255, 255 }; });
        std::vector<BYTE> out;
        ASSERT_TRUE(FitInSquare(red.data(), c.width, c.height, 256, out)) << c.width << "x" << c.height;
        ASSERT_EQ(size_t(c.square) * c.square * 4, out.size());
        for (int i = 0; i < c.square; ++i) {
            const Bgra p = c.height > c.width ? At(out, c.square, i, c.square / 2) : At(out, c.square, c.square / 2, i);
            const int in = i >= c.first && i < c.last ? 255 : 0;
            EXPECT_TRUE(p.a == in && p.r == in) << c.width << "x" << c.height << ": " << i;
        }
    }
}

// Transparent pixels of any depth become alpha 0; a 32-bit image whose fourth
// bytes were all left at 0 by an older writer is opaque, not invisible.
TEST(BgraPixels, AlphaOfEveryDepthAndBackToAThirtyTwoBitImage)
{
    for (int bits : kBitCounts) {
        BlankImage image(16, bits);
        image.SetPixelIndex(2, 3, image.GetPaletteCount());
        std::vector<BYTE> bgra;
        ASSERT_TRUE(ImageToBgra(image, bgra));
        const Bgra clear = At(bgra, 16, 2, 3), white = At(bgra, 16, 9, 9);
        EXPECT_TRUE(clear.a == 0 && clear.r == 0 && clear.g == 0 && clear.b == 0) << bits;
        EXPECT_TRUE(white.a == 255 && white.r == 255 && white.g == 255 && white.b == 255) << bits;
    }
    ImagePixels pixels;
    ASSERT_TRUE(pixels.Resize(4, 32));
    pixels.colour[3 * 16] = 99;  // top-left blue, fourth byte 0
    IconImage older;
    ASSERT_TRUE(older.LoadPixels(pixels));
    std::vector<BYTE> bgra;
    ASSERT_TRUE(ImageToBgra(older, bgra));
    EXPECT_TRUE(At(bgra, 4, 0, 0).b == 99 && At(bgra, 4, 0, 0).a == 255);

    std::vector<BYTE> soft = Picture(4, [](int x, int y) { return Bgra{ 10, 20, 30, x * 60 + y }; });
    ASSERT_TRUE(PixelsFromBgra(soft, 4, pixels));
    IconImage image;
    ASSERT_TRUE(image.LoadPixels(pixels));
    EXPECT_TRUE(image.IsTransparent(0, 0) && !image.IsTransparent(0, 1));
    ASSERT_TRUE(ImageToBgra(image, bgra));
    soft[0] = soft[1] = soft[2] = 0;  // under alpha 0 the colour goes
    EXPECT_EQ(soft, bgra);
}
