#include <algorithm>
#include <cmath>

#include "document_test_support.h"

#include "win/png_codec.h"

using namespace doctest;

namespace {

// White, with alpha falling from the centre outwards: a soft disc.
std::vector<BYTE> SoftDiscPng(int width, int height)
{
    BgraPicture picture;
    picture.width = width;
    picture.height = height;
    const double radius = std::min(width, height) / 2.0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double away = std::hypot(x + 0.5 - width / 2.0, y + 0.5 - height / 2.0) / radius;
            const BYTE alpha = away >= 1 ? 0 : BYTE(255 * (1 - away * away)), white = alpha ? 255 : 0;
            picture.pixels.insert(picture.pixels.end(), {white, white, white, alpha});
        }
    std::vector<BYTE> png;
    EXPECT_EQ(PngOutcome::Done, EncodePng(picture, png));
    return png;
}

BYTE AlphaAt(const IconImage& image, int x, int y)
{
    return image.GetColourBits()[(size_t(image.GetSize() - 1 - y) * image.GetSize() + x) * 4 + 3];
}

}  // namespace

TEST(PngImport, PicturesComeInAsTheyAreFittedWhenAllowedOrRefused)
{
    const std::vector<BYTE> square = SoftDiscPng(32, 32), logo = SoftDiscPng(1024, 1024), wide = SoftDiscPng(300, 100);
    std::vector<BYTE> badCrc = square, tall = SoftDiscPng(20, 40);
    badCrc[40] ^= 0x10;
    // picture, allowed to fit, outcome, image side (0: none), picture size and fitted size as told.
    struct Case { const char* name; std::vector<BYTE> png; bool allowed; ImportFailure why; int side; int fit[4]; };
    const Case cases[] = {
        {"as it is", square, false, ImportFailureNone, 32, {32, 32, 32, 32}},
        {"1024 refused", logo, false, ImportFailureNeedsFit, 0, {1024, 1024, 256, 256}},
        {"1024 fitted", logo, true, ImportFailureNone, 256, {1024, 1024, 256, 256}},
        {"wide fitted", wide, true, ImportFailureNone, 256, {300, 100, 256, 85}},
        {"tall centred", tall, true, ImportFailureNone, 40, {20, 40, 20, 40}},
        {"3 x 3", SoftDiscPng(3, 3), true, ImportFailureSize, 0, {0, 0, 0, 0}},
        {"15 x 8", SoftDiscPng(15, 8), true, ImportFailureSize, 0, {0, 0, 0, 0}},
        {"bad CRC", badCrc, true, ImportFailureDamaged, 0, {0, 0, 0, 0}},
        {"cut short", Cut(square, square.size() - 20), true, ImportFailureDamaged, 0, {0, 0, 0, 0}},
        {"claims 5000", Patched(square, 16, 0x88130000, 4), true, ImportFailureSize, 0, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        IconDocument document;
        ASSERT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));
        PictureFit fit;
        fit.allowed = c.allowed;
        EXPECT_EQ(c.why, document.ImportBitmapBytes(Span(c.png), false, &fit)) << c.name;
        EXPECT_EQ(c.side ? 2 : 1, document.GetImageCount()) << c.name;
        if (c.fit[0]) {
            EXPECT_TRUE(fit.width == c.fit[0] && fit.height == c.fit[1] && fit.fitted.cx == c.fit[2] &&
                        fit.fitted.cy == c.fit[3]) << c.name;
        }
        if (!c.side)
            continue;
        const IconImage& image = *document.GetCurrentImage();
        EXPECT_TRUE(image.GetSize() == c.side && image.GetBitCount() == 32) << c.name;
        // White and soft: alpha kept below 255 at the centre and falling
        // outwards, 0 with the mask in the corners.
        const int m = c.side / 2, out = c.side == 256 ? 228 : m + m * 3 / 4;
        EXPECT_EQ(RGB(255, 255, 255), image.GetPixelColour(m, m)) << c.name;
        EXPECT_TRUE(AlphaAt(image, m, m) > 200 && AlphaAt(image, m, m) < 255) << c.name;
        EXPECT_LT(AlphaAt(image, out, m), AlphaAt(image, m, m)) << c.name;
        EXPECT_TRUE(AlphaAt(image, 0, 0) == 0 && image.IsTransparent(0, 0)) << c.name;
    }
}

// A logo as people bring it, beside an image made by hand, made every Windows
// size and saved: tests/host/all_sizes.py reads the file with Pillow and icotool.
TEST(PngImport, LogoMadeEveryWindowsSizeAndSaved)
{
    IconDocument document;
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(32, 8));
    PaintPattern(*document.GetImage(0), 3);
    PictureFit fit;
    fit.allowed = true;
    ASSERT_EQ(ImportFailureNone, document.ImportBitmapBytes(Span(SoftDiscPng(1024, 1024)), false, &fit));
    std::vector<int> added;
    ASSERT_EQ(SizesOutcome::Added, document.AddMissingSizes(added));
    EXPECT_EQ(std::vector<int>({ 16, 20, 24, 40, 48, 64, 96 }), added);
    const std::string ico = OutputFolder("all-sizes") + "\\logo.ico";
    ASSERT_EQ(SaveFailure::None, document.WriteIconFile(W(ico).c_str()));
    std::vector<BYTE> rgba;
    AppendRgba(*document.GetImage(0), rgba);
    ASSERT_TRUE(WriteWholeFile(ico + ".32.rgba", rgba));
}
