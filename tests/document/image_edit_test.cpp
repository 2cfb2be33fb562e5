#include "document_test_support.h"

using namespace doctest;

namespace {

struct EditCase
{
    const char* name;
    EditWhat what;
    bool paint;       // paints pixel (3, 4) and moves the hotspot, and says so
    bool switchAway;  // another image becomes current before the end
    bool commit;      // else dropped
    bool step, modified, painted;
};

} // namespace

// Commit records one step, marks the document and tells it once, only for a
// change made on the image still shown; an edit given up leaves nothing.
TEST(ImageEdit, RecordsOnlyWhatChangedAndDroppedLeavesNothing)
{
    const EditCase cases[] = {
        {"no change", EditWhat::Pixels, false, false, true, false, false, false},
        {"committed", EditWhat::Pixels, true, false, true, true, true, true},
        {"dropped", EditWhat::Pixels, true, false, false, false, false, false},
        {"image switched, committed", EditWhat::Pixels, true, true, true, false, false, false},
        {"image switched, dropped", EditWhat::Pixels, true, true, false, false, false, false},
        // A palette entry is changed in place, outside the history.
        {"palette", EditWhat::Palette, true, false, true, false, true, true},
    };
    for (const EditCase& c : cases) {
        IconDocument document;
        ASSERT_EQ(EditOutcome::Done, document.AddNewImage(32, 8));
        ASSERT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));
        SetModifiedForTest(document, false);
        ChangeLog log;
        document.AddObserver(&log);
        IconImage& image = *document.GetCurrentImage();
        const int before = image.GetPixelIndex(3, 4);
        const unsigned long changes = document.GetChangeCount();
        {
            ImageEdit edit = document.BeginEdit(c.what);
            ASSERT_TRUE(edit.IsOpen()) << c.name;
            ASSERT_EQ(&image, edit.Image()) << c.name;
            if (c.paint) {
                image.SetPixelIndex(3, 4, 9);
                image.SetHotspot(1, 2);
                edit.MarkChanged();
            }
            if (c.switchAway) {
                document.SelectImage(0);
                EXPECT_EQ(nullptr, edit.Image()) << c.name;
            }
            if (c.commit) {
                EXPECT_EQ(c.modified, edit.Commit()) << c.name;
            }
            EXPECT_EQ(c.commit, !edit.IsOpen()) << c.name;
        }
        EXPECT_EQ(c.step, image.CanUndo()) << c.name;
        EXPECT_EQ(c.modified, document.IsModified() != 0) << c.name;
        EXPECT_EQ(c.modified ? 1u : 0u, document.GetChangeCount() - changes) << c.name;
        std::vector<unsigned> told = log.Take();
        if (c.switchAway && !told.empty() && told.front() == ChangeImageList)
            told.erase(told.begin());
        const unsigned what = c.what == EditWhat::Palette ? ChangePalette : ChangePixels;
        EXPECT_EQ(c.modified ? std::vector<unsigned>{what} : std::vector<unsigned>{}, told) << c.name;
        EXPECT_EQ(c.painted ? 9 : before, image.GetPixelIndex(3, 4)) << c.name;
        EXPECT_EQ(c.painted ? 1 : 7, image.GetHotspot().x) << c.name;
        if (c.step) {
            ASSERT_EQ(EditOutcome::Done, document.Undo()) << c.name;
            EXPECT_EQ(before, image.GetPixelIndex(3, 4)) << c.name;
        }
    }
}

TEST(ImageEdit, MovedEditIsOneEditAndNothingToEditIsRefused)
{
    IconDocument document;
    EXPECT_FALSE(document.BeginEdit(EditWhat::Pixels).IsOpen());
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));
    ImageEdit first = document.BeginEdit(EditWhat::Pixels);
    document.GetCurrentImage()->SetPixelIndex(0, 0, 9);
    first.MarkChanged();
    ImageEdit moved(std::move(first));
    { ImageEdit gone(std::move(first)); }  // an empty edit dropped: nothing to undo
    EXPECT_EQ(9, document.GetCurrentImage()->GetPixelIndex(0, 0));
    EXPECT_TRUE(moved.Commit());
    EXPECT_TRUE(document.CanUndo());
    ASSERT_EQ(EditOutcome::Done, document.Undo());
    EXPECT_FALSE(document.CanUndo());
}
