#include <climits>
#include <functional>

#include "document_test_support.h"

using namespace doctest;

namespace {

// The images by their side (K 16, L 32, M 48, N 64, X 72), the current one,
// and whether one was deleted: "KLM @1 deleted".
std::string Describe(IconDocument& document)
{
    std::string text;
    for (IconImage* image : DocumentSnapshot(document).images)
        text += image->GetSize() == 72 ? 'X' : char('J' + image->GetSize() / 16);
    text += " @" + std::to_string(document.GetCurrentIndex());
    return text + (document.HasDeletedImage() ? " deleted" : "");
}

void Build(IconDocument& document, const char* letters)
{
    document.CloseDocument();
    for (const char* c = letters; *c; ++c)
        ASSERT_EQ(EditOutcome::Done, document.AddNewImage(*c == 'X' ? 72 : 16 * (*c - 'J'), 4));
}

} // namespace

TEST(IconDocument, DeleteAndRestoreOrders)
{
    // op: d = select arg then delete, r = restore, a = add an image of side arg.
    struct Step { char op; int arg; int result; const char* after; };
    struct Case { const char* start; std::vector<Step> steps; };
    const Case cases[] = {
        {"KLM", {{'d', 0, 1, "LM @0 deleted"}}},
        {"KLM", {{'d', 2, 1, "KL @1 deleted"}}},
        {"KLM", {{'d', 1, 1, "KM @0 deleted"}, {'d', 0, 1, "M @0 deleted"}, {'r', 0, 1, "KM @0 deleted"},
                 {'r', 0, 1, "KLM @1"}}},
        {"KLMN", {{'d', 3, 1, "KLM @2 deleted"}, {'d', 1, 1, "KM @0 deleted"}, {'d', 1, 1, "K @0 deleted"},
                  {'r', 0, 1, "KM @1 deleted"}, {'r', 0, 1, "KLM @1 deleted"}, {'r', 0, 1, "KLMN @3"}}},
        {"KLM", {{'d', 1, 1, "KM @0 deleted"}, {'a', 72, 1, "KMX @2 deleted"}, {'r', 0, 1, "KLMX @1"}}},
        {"K", {{'d', 0, 0, "K @0"}, {'r', 0, 0, "K @0"}}},
    };
    for (const Case& c : cases) {
        IconDocument document;
        Build(document, c.start);
        // Only the first image was added to an empty document: a new one.
        EXPECT_EQ(c.start[1] != 0, document.IsModified() != 0) << c.start;
        std::string trace = c.start;
        for (const Step& s : c.steps) {
            trace += std::string(" ") + s.op + std::to_string(s.arg);
            if (s.op == 'd')
                document.SelectImage(s.arg);
            SetModifiedForTest(document, false);
            const EditOutcome outcome = s.op == 'd' ? document.DeleteCurrentImage()
                                      : s.op == 'r' ? document.RestoreDeletedImage() : document.AddNewImage(s.arg, 4);
            const int result = outcome == EditOutcome::Done ? 1 : 0;
            EXPECT_EQ(s.result, result) << trace;
            EXPECT_EQ(s.after, Describe(document)) << trace;
            // Each changes what Save writes.
            EXPECT_EQ(s.result != 0, document.IsModified() != 0) << trace;
            EXPECT_EQ(document.GetImageCount() > 1, document.CanDeleteImage()) << trace;
        }
    }
}

TEST(IconDocument, RestoreGivesBackTheSameImageAndCloseEmptiesBothLists)
{
    IconDocument document;
    Build(document, "KLM");
    IconImage* third = document.GetCurrentImage();
    third->SetPixelIndex(3, 4, 9);
    ASSERT_EQ(EditOutcome::Done, document.DeleteCurrentImage());
    ASSERT_EQ(EditOutcome::Done, document.RestoreDeletedImage());
    EXPECT_EQ(third, document.GetCurrentImage());
    EXPECT_EQ(9, third->GetPixelIndex(3, 4));

    ASSERT_EQ(EditOutcome::Done, document.DeleteCurrentImage());
    SetModifiedForTest(document, true);
    document.CloseDocument();
    EXPECT_EQ(" @0", Describe(document));
    EXPECT_EQ(nullptr, document.GetCurrentImage());
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(16, 1));
    EXPECT_NE(EditOutcome::Done, document.RestoreDeletedImage());
    EXPECT_EQ("K @0", Describe(document));
}

TEST(IconDocument, SelectImageBoundsAndRefusedAdds)
{
    IconDocument document;
    EXPECT_NE(EditOutcome::Done, document.SelectImage(0));
    EXPECT_FALSE(document.CanDeleteImage());
    EXPECT_NE(EditOutcome::Done, document.RestoreDeletedImage());
    Build(document, "KLM");
    ASSERT_EQ(EditOutcome::Done, document.SelectImage(1));
    for (int position : {-1, 3, 1000, INT_MIN})
        EXPECT_NE(EditOutcome::Done, document.SelectImage(position)) << position;
    struct Format { int size, bits; };
    for (const Format f : {Format{32, 16}, Format{300, 8}, Format{0, 0}, Format{257, 32}, Format{-256, 32}, Format{32, 2}})
        EXPECT_NE(EditOutcome::Done, document.AddNewImage(f.size, f.bits)) << f.size << "x" << f.bits;
    EXPECT_EQ("KLM @1", Describe(document));
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(128, 32));
    EXPECT_EQ("128x128x32-bits", document.GetCurrentImage()->GetFormatText());
    EXPECT_EQ(3, document.GetCurrentIndex());
}

TEST(IconDocument, HistoryFollowsTheCurrentImage)
{
    IconDocument document;
    EXPECT_FALSE(document.CanUndo());
    EXPECT_FALSE(document.CanRedo());
    EXPECT_EQ(EditOutcome::NothingToDo, document.Undo());
    EXPECT_EQ(EditOutcome::NothingToDo, document.Redo());

    Build(document, "KL");
    SetModifiedForTest(document, false);
    IconImage* second = document.GetCurrentImage();
    std::unique_ptr<ImageState> before = second->CopyCurrentState();
    second->SetPixelIndex(0, 0, 3);
    ASSERT_EQ(1, second->CommitState(std::move(before)));
    document.SelectImage(0);                          // which has a history of its own
    EXPECT_FALSE(document.CanUndo());
    EXPECT_EQ(EditOutcome::NothingToDo, document.Undo());
    EXPECT_EQ(0, document.IsModified());
    document.SelectImage(1);
    EXPECT_EQ(EditOutcome::Done, document.Undo());
    EXPECT_EQ(15, second->GetPixelIndex(0, 0));
    EXPECT_TRUE(document.CanRedo());
    EXPECT_EQ(EditOutcome::Done, document.Redo());
    EXPECT_EQ(3, second->GetPixelIndex(0, 0));
    EXPECT_EQ(1, document.IsModified()) << "undo and redo change what Save writes";
}

// Each operation that changes something tells the observers once, with all it
// touched; one that changes nothing tells nothing, and a removed observer hears
// no more.
TEST_F(DocumentTest, EachChangeIsToldOnceWithWhatItTouched)
{
    const unsigned kNone = 0, kHistory = ChangePixels | ChangePalette | ChangeColours | ChangeHotspot;
    struct Case { const char* name; std::function<void()> run; unsigned told; };
    IconDocument& d = document_;
    const Case cases[] = {
        {"new document", [&] { d.AddNewImage(16, 4); }, ChangeWholeDocument},
        {"image added", [&] { d.AddNewImage(32, 4); }, ChangeImageList},
        {"image selected", [&] { d.SelectImage(0); }, ChangeImageList},
        {"same image selected", [&] { d.SelectImage(0); }, kNone},
        {"selection", [&] { d.SetSelection(RECT{0, 0, 4, 4}); }, ChangeSelection},
        {"same selection", [&] { d.SetSelection(RECT{4, 4, 0, 0}); }, kNone},
        {"shift moves the selection", [&] { d.ShiftImage(1, 0); }, ChangePixels | ChangeSelection},
        {"undo", [&] { d.Undo(); }, kHistory},
        {"painting colour", [&] { d.SetPaintingIndex(false, 3); }, ChangeColours},
        {"image deleted", [&] { d.DeleteCurrentImage(); }, ChangeImageList | ChangeSelection},
        {"image restored", [&] { d.RestoreDeletedImage(); }, ChangeImageList},
        {"nothing to clear", [&] { d.ClearSelection(); }, kNone},
        {"nothing to restore", [&] { d.RestoreDeletedImage(); }, kNone},
        {"closed", [&] { d.CloseDocument(); }, ChangeWholeDocument},
        {"closed again", [&] { d.CloseDocument(); }, kNone},
    };
    for (const Case& c : cases) {
        c.run();
        const std::vector<unsigned> told = changes_.Take();
        EXPECT_EQ(c.told ? std::vector<unsigned>{c.told} : std::vector<unsigned>{}, told) << c.name;
    }
    document_.RemoveObserver(&changes_);
    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(16, 4));
    EXPECT_EQ(0, TakeNotifications());
}

// The selection is kept in pixels of the current image, corners in either order,
// and each change is told.
TEST_F(DocumentTest, SelectionIsKeptInPixels)
{
    document_.SetSelection(RECT{0, 0, 4, 4});        // nothing open: nothing selected
    EXPECT_EQ(0, document_.HasSelection());
    EXPECT_EQ(0, TakeNotifications());

    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(32, 4));
    TakeNotifications();
    struct Case { RECT given, kept; int told; };  // the same rectangle again is no change
    for (const Case& c : {Case{{0, 0, 16, 8}, {0, 0, 16, 8}, 1}, Case{{16, 8, 0, 0}, {0, 0, 16, 8}, 0},
                          Case{{31, 1, 0, 31}, {0, 1, 31, 31}, 1}, Case{{5, 5, 5, 5}, {5, 5, 5, 5}, 1}}) {
        document_.SetSelection(c.given);
        const RECT r = document_.GetSelection();
        EXPECT_EQ(1, document_.HasSelection());
        EXPECT_TRUE(EqualRect(&c.kept, &r)) << r.left << " " << r.top << " " << r.right << " " << r.bottom;
        EXPECT_EQ(c.told, TakeNotifications());
    }
    document_.ClearSelection();
    document_.ClearSelection();
    EXPECT_EQ(0, document_.HasSelection());
    EXPECT_EQ(1, TakeNotifications()) << "clearing nothing tells nothing";
    ASSERT_EQ(EditOutcome::Done, document_.SelectAll());
    const RECT all = document_.GetSelection(), whole = {0, 0, 32, 32};
    EXPECT_TRUE(EqualRect(&whole, &all));
}

// A selection belongs to the image it was drawn on: whatever switches or
// replaces the current image drops it.
TEST_F(DocumentTest, SelectionGoesWithItsImage)
{
    const std::vector<std::pair<const char*, std::function<EditOutcome()>>> operations = {
        {"switch", [this] { return document_.SelectImage(0); }},
        {"add", [this] { return document_.AddNewImage(16, 4); }},
        {"delete", [this] { return document_.DeleteCurrentImage(); }},
        {"restore", [this] { return document_.RestoreDeletedImage(); }},
        {"close", [this] { document_.CloseDocument(); return EditOutcome::Done; }},
    };
    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(32, 4));
    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(32, 4));
    for (const auto& operation : operations) {
        document_.SetSelection(RECT{0, 0, 16, 8});
        ASSERT_TRUE(document_.HasSelection());
        EXPECT_EQ(EditOutcome::Done, operation.second()) << operation.first;
        EXPECT_FALSE(document_.HasSelection()) << operation.first;
        const RECT r = document_.GetSelection();
        EXPECT_TRUE(IsRectEmpty(&r)) << operation.first;
    }
}
