#include "document_test_support.h"

using namespace doctest;

namespace {

std::vector<int> Sides(const IconDocument& document)
{
    std::vector<int> sides;
    for (int i = 0; document.GetImage(i); ++i)
        sides.push_back(document.GetImage(i)->GetSize());
    return sides;
}

std::vector<BYTE> Everything(const IconImage& image)
{
    std::vector<BYTE> bytes = ColourBytes(image), mask = MaskBytes(image);
    bytes.insert(bytes.end(), mask.begin(), mask.end());
    const std::vector<BYTE> palette = Bytes(image.GetPalette(), 4 * image.GetPaletteCount());
    bytes.insert(bytes.end(), palette.begin(), palette.end());
    return bytes;
}

}  // namespace

TEST_F(DocumentTest, MissingSizesAreAddedAfterTheImagesLeftAsTheyWere)
{
    ASSERT_EQ(1, document_.AddNewImage(48, 24));
    ASSERT_EQ(1, document_.AddNewImage(32, 4));
    PaintPattern(*document_.GetImage(0), 1);
    PaintPattern(*document_.GetImage(1), 2);
    document_.SelectImage(0);
    const std::vector<BYTE> first = Everything(*document_.GetImage(0)), second = Everything(*document_.GetImage(1));
    IconImage* const kept[] = { document_.GetImage(0), document_.GetImage(1) };
    document_.SetModified(0);
    TakeDocumentStates();

    std::vector<int> added;
    EXPECT_EQ(SizesOutcome::Added, document_.AddMissingSizes(added));
    EXPECT_EQ(std::vector<int>({ 16, 20, 24, 40, 64, 96, 256 }), added);
    EXPECT_EQ(std::vector<int>({ 48, 32, 16, 20, 24, 40, 64, 96, 256 }), Sides(document_));
    EXPECT_TRUE(document_.IsModified());
    EXPECT_GT(TakeDocumentStates(), 0);
    EXPECT_EQ(0, document_.GetCurrentIndex());
    EXPECT_EQ(kept[0], document_.GetImage(0));
    EXPECT_EQ(kept[1], document_.GetImage(1));
    EXPECT_EQ(first, Everything(*document_.GetImage(0)));
    EXPECT_EQ(second, Everything(*document_.GetImage(1)));
    for (int i = 2; i < document_.GetImageCount(); ++i) {
        EXPECT_EQ(32, document_.GetImage(i)->GetBitCount());
        EXPECT_FALSE(document_.GetImage(i)->CanUndo());
    }

    // Nothing is missing any more; a deleted size is missing again, and both
    // the built and the deleted image go back and forth as any other.
    document_.SetModified(0);
    EXPECT_EQ(SizesOutcome::NoneMissing, document_.AddMissingSizes(added));
    EXPECT_TRUE(added.empty());
    EXPECT_FALSE(document_.IsModified());
    document_.SelectImage(3);
    IconImage* const twenty = document_.GetCurrentImage();
    ASSERT_EQ(1, document_.DeleteCurrentImage());
    EXPECT_EQ(SizesOutcome::Added, document_.AddMissingSizes(added));
    EXPECT_EQ(std::vector<int>({ 20 }), added);
    ASSERT_EQ(1, document_.RestoreDeletedImage());
    EXPECT_EQ(twenty, document_.GetImage(3));
    EXPECT_EQ(std::vector<int>({ 48, 32, 16, 20, 24, 40, 64, 96, 256, 20 }), Sides(document_));

    document_.CloseDocument();
    EXPECT_EQ(SizesOutcome::NoImage, document_.AddMissingSizes(added));
}

// A mask of any depth is alpha 0 in the pictures built from it: no colour of a
// transparent pixel bleeds into them.
TEST(AllSizes, TransparentPixelsOfAPaletteImageStayTransparent)
{
    IconDocument document;
    ASSERT_EQ(1, document.AddNewImage(32, 4));
    IconImage& source = *document.GetCurrentImage();
    const int red = source.IndexOfColour(RGB(255, 0, 0));
    ASSERT_GE(red, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            source.SetPixelIndex(x, y, x < 16 ? source.GetPaletteCount() : red);
    std::vector<int> added;
    ASSERT_EQ(SizesOutcome::Added, document.AddMissingSizes(added));
    for (int i = 1; i < document.GetImageCount(); ++i) {
        const IconImage& image = *document.GetImage(i);
        const int size = image.GetSize();
        // Only a whole shrink keeps the edge sharp; otherwise the two source
        // pixels each side of it may blend.
        const int margin = 32 % size == 0 ? 0 : 2 * (size / 32 + 1);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const BYTE* pixel = image.GetColourBits() + (size_t(size - 1 - y) * size + x) * 4;
                if (x < size / 2 - margin) {
                    EXPECT_EQ(1, image.IsTransparent(x, y)) << size << ": " << x << "," << y;
                    EXPECT_EQ(0, pixel[3]) << size << ": " << x << "," << y;
                } else if (x >= size / 2 + margin) {
                    EXPECT_EQ(RGB(255, 0, 0), image.GetPixelColour(x, y)) << size << ": " << x << "," << y;
                    EXPECT_EQ(255, pixel[3]) << size << ": " << x << "," << y;
                } else if (pixel[3] != 0) {
                    EXPECT_EQ(RGB(255, 0, 0), image.GetPixelColour(x, y)) << size << ": " << x << "," << y;
                }
            }
    }
}

// Sizes a file holds in entries the editor keeps whole count as held; the file
// the images would make must still open again, or none is added.
TEST(AllSizes, KeptEntriesCountAndTheFileBoundRefusesThemAll)
{
    struct Case { size_t keptSixteens; SizesOutcome outcome; size_t added; };
    for (const Case& c : { Case{ 992, SizesOutcome::Added, 7 }, Case{ 993, SizesOutcome::TooManyImages, 0 } }) {
        std::vector<RecordEntry> entries(1, RecordEntry{ BmpRecord(32, 32), 32, 1, 32 });
        entries.resize(1 + c.keptSixteens, RecordEntry{ BmpRecord(16, 16), 16, 1, 16 });
        IconDocument document;
        ASSERT_EQ(1, document.OpenBytes(Span(IconFileOf(1, entries))));
        ASSERT_EQ(c.keptSixteens, document.GetKeptEntries().size());
        std::vector<int> added;
        EXPECT_EQ(c.outcome, document.AddMissingSizes(added)) << c.keptSixteens;
        EXPECT_EQ(c.added, added.size()) << c.keptSixteens;
        EXPECT_EQ(int(1 + c.added), document.GetImageCount()) << c.keptSixteens;
        EXPECT_EQ(c.added != 0, document.IsModified()) << c.keptSixteens;
    }
}
