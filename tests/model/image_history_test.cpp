#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "model/icon_image.h"

namespace {

// One recorded edit: the content of pixel (0, 0) becomes marker.
void Edit(IconImage& image, int marker)
{
    ImageState* before = image.CopyCurrentState();
    ASSERT_NE(nullptr, before);
    ASSERT_EQ(1, image.SetPixelIndex(0, 0, marker));
    ASSERT_EQ(1, image.CommitState(before));
}

int Marker(const IconImage& image)
{
    return image.GetPixelIndex(0, 0);
}

} // namespace

TEST(ImageHistory, NewImageHasNothingToUndoOrRedo)
{
    IconImage image;
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_FALSE(image.CanUndo());
        EXPECT_FALSE(image.CanRedo());
        EXPECT_EQ(0, image.Undo());
        EXPECT_EQ(0, image.Redo());
        EXPECT_EQ(0, image.CommitState(nullptr));
        ASSERT_TRUE(image.CreateBlank(16, 8));
    }
}

TEST(ImageHistory, WorkedSequence)
{
    const int k1 = 255, k2 = 2, k3 = 3, k4 = 4;
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(32, 8));
    ASSERT_EQ(k1, Marker(image));
    Edit(image, k2);
    Edit(image, k3);
    EXPECT_TRUE(image.CanUndo());
    EXPECT_FALSE(image.CanRedo());

    struct Step { int (IconImage::*move)(); int result; int shows; bool canUndo, canRedo; };
    for (const Step& s : { Step{&IconImage::Undo, 1, k2, true, true},
                           Step{&IconImage::Undo, 1, k1, false, true},
                           Step{&IconImage::Undo, 0, k1, false, true},
                           Step{&IconImage::Redo, 1, k2, true, true} }) {
        EXPECT_EQ(s.result, (image.*s.move)());
        EXPECT_EQ(s.shows, Marker(image));
        EXPECT_EQ(s.canUndo, image.CanUndo());
        EXPECT_EQ(s.canRedo, image.CanRedo());
    }

    // The third edit drops the redo side (k3) and keeps the pre-edit copy of k2.
    Edit(image, k4);
    EXPECT_EQ(k4, Marker(image));
    EXPECT_FALSE(image.CanRedo());
    EXPECT_EQ(0, image.Redo());
    ASSERT_EQ(1, image.Undo());
    EXPECT_EQ(k2, Marker(image));
    ASSERT_EQ(1, image.Undo());
    EXPECT_EQ(k1, Marker(image));
    EXPECT_EQ(0, image.Undo());
    ASSERT_EQ(1, image.Redo());
    ASSERT_EQ(1, image.Redo());
    EXPECT_EQ(k4, Marker(image));
    EXPECT_FALSE(image.CanRedo());
}

TEST(ImageHistory, CopyIsIndependentOfTheCurrentState)
{
    for (int bits : { 1, 4, 8, 24, 32 }) {
        IconImage image;
        ASSERT_TRUE(image.CreateBlank(48, bits));
        image.SetPixelIndex(47, 0, 1);
        image.SetTransparent(5, 6, true);
        image.SetHotspot(3, 4);
        image.SetPaletteColour(1, 0x445566);
        COLORREF painted = image.GetPixelColour(47, 0);
        ImageState* copy = image.CopyCurrentState();
        ASSERT_NE(nullptr, copy);
        EXPECT_NE(image.GetColourBitmap(), copy->colourBitmap);
        EXPECT_NE(image.GetBits(0), static_cast<void*>(copy->colourBits));
        EXPECT_EQ(0, std::memcmp(image.GetBits(0), copy->colourBits, image.GetColourBytes()));
        EXPECT_EQ(0, std::memcmp(image.GetBits(1), copy->maskBits, image.GetMaskBytes()));
        EXPECT_EQ(0, std::memcmp(image.GetBits(2), copy->palette,
                                 4 * image.GetPaletteCount()));
        EXPECT_EQ(3, copy->hotspotX);
        EXPECT_EQ(4, copy->hotspotY);
        EXPECT_EQ(48, copy->colourHeader.biWidth);
        EXPECT_EQ(bits, copy->colourHeader.biBitCount);

        // Editing after the copy changes only the current state.
        image.SetPixelIndex(47, 0, 0);
        image.SetTransparent(5, 6, false);
        image.SetHotspot(9, 9);
        ASSERT_EQ(1, image.CommitState(copy));
        ASSERT_EQ(1, image.Undo());
        EXPECT_EQ(painted, image.GetPixelColour(47, 0)) << bits;
        EXPECT_EQ(0x445566u, image.GetPaletteColour(1)) << bits;
        EXPECT_EQ(1, image.IsTransparent(5, 6)) << bits;
        WORD x = 0, y = 0;
        image.GetHotspot(&x, &y);
        EXPECT_EQ(3, x);
        EXPECT_EQ(4, y);
        if (bits <= 8) {
            RGBQUAD entry = {};
            HDC dc = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(dc, image.GetColourBitmap());
            GetDIBColorTable(dc, 1, 1, &entry);
            SelectObject(dc, old);
            DeleteDC(dc);
            EXPECT_EQ(0x66, entry.rgbRed) << bits;
            EXPECT_EQ(0x44, entry.rgbBlue) << bits;
        }
    }
}

TEST(ImageHistory, PaletteEditsAreNotHistorySteps)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 4));
    Edit(image, 7);
    ASSERT_EQ(1, image.SetPaletteColour(7, 0x010203));
    EXPECT_EQ(0x010203u, image.GetPixelColour(0, 0));
    ASSERT_EQ(1, image.Undo());
    EXPECT_FALSE(image.CanUndo());
    EXPECT_EQ(0xC0C0C0u, image.GetPaletteColour(7));
    ASSERT_EQ(1, image.Redo());
    EXPECT_EQ(0x010203u, image.GetPaletteColour(7));
}

// An imported bitmap may keep a colour byte count larger than its section holds.
TEST(ImageHistory, CopyIgnoresAnOversizedColourByteCount)
{
    ImageState* state = IconImage::NewState(16, 24, nullptr);
    ASSERT_NE(nullptr, state);
    IconImage image;
    ASSERT_TRUE(image.AdoptFirstState(state, 1 << 24, 0, 255));
    ASSERT_EQ(1, image.SetPixelColour(15, 15, 0xABCDEF));
    ImageState* copy = image.CopyCurrentState();
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(0, std::memcmp(copy->colourBits, image.GetBits(0), 16 * 48));
    ASSERT_EQ(1, image.CommitState(copy));
    EXPECT_EQ(1 << 24, image.GetColourBytes());
}

namespace {

bool Released(HBITMAP bitmap)
{
    return GetObjectType(bitmap) == 0;
}

} // namespace

TEST(ImageHistory, ReleasedStatesDeleteTheirBitmaps)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 8));
    ImageState* copy = image.CopyCurrentState();
    ASSERT_NE(nullptr, copy);
    HBITMAP colour = copy->colourBitmap, mask = copy->maskBitmap;
    ASSERT_FALSE(Released(colour));
    IconImage::FreeState(copy);
    EXPECT_TRUE(Released(colour));
    EXPECT_TRUE(Released(mask));

    // The redo side goes when a new step is committed.
    HBITMAP first = image.GetColourBitmap(), firstMask = image.GetMaskBitmap();
    Edit(image, 1);
    Edit(image, 2);
    ASSERT_EQ(1, image.Undo());
    HBITMAP undone = image.GetColourBitmap();
    ASSERT_EQ(1, image.Undo());
    HBITMAP kept = image.GetColourBitmap();
    Edit(image, 3);
    EXPECT_TRUE(Released(first));
    EXPECT_TRUE(Released(firstMask));
    EXPECT_TRUE(Released(undone));
    EXPECT_FALSE(Released(kept));

    // A refused commit releases the state it was handed.
    IconImage other;
    ASSERT_TRUE(other.CreateBlank(32, 8));
    copy = other.CopyCurrentState();
    ASSERT_NE(nullptr, copy);
    colour = copy->colourBitmap;
    EXPECT_EQ(0, image.CommitState(copy));
    EXPECT_TRUE(Released(colour));
    EXPECT_EQ(2, image.Undo() + image.Redo());

    std::vector<HBITMAP> all;
    while (image.Redo()) {}
    do
        all.push_back(image.GetColourBitmap());
    while (image.Undo());
    EXPECT_EQ(2u, all.size());
    image.Reset();
    for (HBITMAP bitmap : all)
        EXPECT_TRUE(Released(bitmap));
    EXPECT_FALSE(image.CanUndo());
    EXPECT_EQ(0, image.CommitState(other.CopyCurrentState()));
}

TEST(ImageHistory, TransparentPixelsStayBlackAfterUndoOfThePaletteFallback)
{
    // No black entry: the first transparent pixel turns the lowest unused entry
    // black in the edited state only. After an undo that entry has its old colour
    // again, so the next transparent pixel must not reuse it blindly.
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 4));
    ASSERT_EQ(1, image.SetPaletteColour(0, 0x0000FF));
    ImageState* before = image.CopyCurrentState();
    ASSERT_EQ(1, image.SetTransparent(0, 0, true));
    EXPECT_EQ(0x000000u, image.GetPixelColour(0, 0));
    ASSERT_EQ(1, image.CommitState(before));

    ASSERT_EQ(1, image.Undo());
    EXPECT_EQ(0x0000FFu, image.GetPaletteColour(0));
    ASSERT_EQ(1, image.SetTransparent(3, 3, true));
    EXPECT_EQ(0x000000u, image.GetPixelColour(3, 3));

    ASSERT_EQ(1, image.Redo());
    EXPECT_EQ(0x000000u, image.GetPixelColour(0, 0));
    ASSERT_EQ(1, image.SetTransparent(5, 5, true));
    EXPECT_EQ(0x000000u, image.GetPixelColour(5, 5));
}
