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

}  // namespace

TEST_F(DocumentTest, MissingSizesAreAddedAfterTheImagesLeftAsTheyWere)
{
    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(48, 24));
    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(32, 4));
    PaintPattern(*document_.GetImage(1), 2);
    document_.SelectImage(0);
    IconImage& painted = *document_.GetImage(1);
    const std::vector<BYTE> colour = ColourBytes(painted), mask = MaskBytes(painted);
    SetModifiedForTest(document_, false);
    TakeNotifications();

    std::vector<int> added;
    EXPECT_EQ(SizesOutcome::Added, document_.AddMissingSizes(added));
    EXPECT_EQ(std::vector<int>({ 16, 20, 24, 40, 64, 96, 256 }), added);
    EXPECT_EQ(std::vector<int>({ 48, 32, 16, 20, 24, 40, 64, 96, 256 }), Sides(document_));
    EXPECT_TRUE(document_.IsModified());
    EXPECT_GT(TakeNotifications(), 0);
    EXPECT_EQ(0, document_.GetCurrentIndex());
    EXPECT_EQ(&painted, document_.GetImage(1));
    EXPECT_TRUE(colour == ColourBytes(painted) && mask == MaskBytes(painted));
    for (int i = 2; i < document_.GetImageCount(); ++i)
        EXPECT_EQ(32, document_.GetImage(i)->GetBitCount());

    // Nothing is missing any more; a deleted size is missing again, and a
    // built image is deleted and restored as any other.
    SetModifiedForTest(document_, false);
    EXPECT_EQ(SizesOutcome::NoneMissing, document_.AddMissingSizes(added));
    EXPECT_TRUE(added.empty() && !document_.IsModified());
    document_.SelectImage(3);
    IconImage* const twenty = document_.GetCurrentImage();
    ASSERT_EQ(EditOutcome::Done, document_.DeleteCurrentImage());
    EXPECT_EQ(SizesOutcome::Added, document_.AddMissingSizes(added));
    EXPECT_EQ(std::vector<int>({ 20 }), added);
    ASSERT_EQ(EditOutcome::Done, document_.RestoreDeletedImage());
    EXPECT_EQ(twenty, document_.GetImage(3));
    EXPECT_EQ(std::vector<int>({ 48, 32, 16, 20, 24, 40, 64, 96, 256, 20 }), Sides(document_));

    document_.CloseDocument();
    EXPECT_EQ(SizesOutcome::NoImage, document_.AddMissingSizes(added));
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
        ASSERT_EQ(OpenFailureNone, document.OpenBytes(Span(IconFileOf(1, entries))));
        ASSERT_EQ(c.keptSixteens, document.GetKeptEntries().size());
        std::vector<int> added;
        EXPECT_EQ(c.outcome, document.AddMissingSizes(added)) << c.keptSixteens;
        EXPECT_EQ(c.added, added.size()) << c.keptSixteens;
        EXPECT_EQ(int(1 + c.added), document.GetImageCount()) << c.keptSixteens;
        EXPECT_EQ(c.added != 0, document.IsModified()) << c.keptSixteens;
    }
}
