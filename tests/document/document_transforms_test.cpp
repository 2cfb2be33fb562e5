#include "document_test_support.h"

using namespace doctest;

namespace {

void Stripes(IconImage& image)
{
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x)
            image.SetPixelIndex(x, y, (x + 3 * y) % 15);
    image.Colours().SetRightIndex(12);
}

} // namespace

// The model's own operation on a twin image is the oracle for the pixels: what
// is checked here is the rectangle the document hands over, the undo steps, the
// modified flag (clear and shift one step each, a mirror none; each marks the
// document) and the selection, which a shift moves with what it framed.
TEST_F(DocumentTest, ClearShiftAndMirrorFollowTheSelectionAndTheirRules)
{
    for (EditOutcome outcome : {document_.ClearCurrentImage(), document_.ShiftImage(1, 0), document_.MirrorImage(1)})
        EXPECT_EQ(EditOutcome::NothingToDo, outcome);
    EXPECT_EQ(0, document_.IsModified());
    enum Op { kClear, kShiftDown, kShiftLeft, kMirror };
    struct Case { Op op; bool selected; bool undoStep; int posts; RECT after; };
    for (const Case& c : {Case{kClear, true, true, 1, {4, 4, 8, 9}}, Case{kShiftDown, true, true, 1, {4, 5, 8, 10}},
                          Case{kShiftLeft, false, true, 1, {}}, Case{kMirror, true, false, 1, {4, 4, 8, 9}},
                          Case{kMirror, false, false, 1, {}}}) {
        document_.CloseDocument();
        ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(16, 4));
        IconImage& image = *document_.GetCurrentImage();
        IconImage twin;
        ASSERT_TRUE(twin.CreateBlank(16, 4));
        Stripes(image);
        Stripes(twin);
        const std::vector<COLORREF> start = Look(image);
        const RECT rect = {4, 4, 8, 9};
        if (c.selected)
            SelectPixels(4, 4, 8, 9);
        else
            document_.ClearSelection();
        TakeNotifications();
        const RECT* area = c.selected ? &rect : nullptr;
        switch (c.op) {
        case kClear:     EXPECT_EQ(EditOutcome::Done, document_.ClearCurrentImage()); ClearImage(twin); break;
        case kShiftDown: EXPECT_EQ(EditOutcome::Done, document_.ShiftImage(0, 1)); Shift(twin, area, 0, 1); break;
        case kShiftLeft: EXPECT_EQ(EditOutcome::Done, document_.ShiftImage(-1, 0)); Shift(twin, area, -1, 0); break;
        case kMirror:    EXPECT_EQ(EditOutcome::Done, document_.MirrorImage(1)); Mirror(twin, area, true); break;
        }
        const std::string what = "op " + std::to_string(c.op) + (c.selected ? " selected" : "");
        EXPECT_NE(start, Look(image)) << what;
        EXPECT_EQ(Look(twin), Look(image)) << what;
        EXPECT_EQ(1, document_.IsModified()) << what;
        EXPECT_EQ(c.posts, TakeNotifications()) << what;
        const RECT selection = document_.GetSelection();
        EXPECT_TRUE(EqualRect(&c.after, &selection)) << what;
        EXPECT_EQ(c.undoStep, document_.CanUndo()) << what;
        if (c.undoStep) {
            EXPECT_EQ(EditOutcome::Done, document_.Undo()) << what;
            EXPECT_FALSE(document_.CanUndo()) << what;
            EXPECT_EQ(start, Look(image)) << what;
        }
    }
    EXPECT_EQ(EditOutcome::NothingToDo, document_.ShiftImage(2, 0));
    EXPECT_EQ(EditOutcome::NothingToDo, document_.ShiftImage(0, -5));
}

// A clear or a cut over pixels that already hold the transparent background
// changes nothing: nothing to do, not a refusal for memory, and no undo step.
TEST_F(DocumentTest, ClearAndCutOfWhatIsAlreadyClearAreNothingToDo)
{
    for (int bits : {8, 32}) {
        document_.CloseDocument();
        ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(16, bits));
        document_.GetCurrentImage()->Colours().SetRightColour(TransparentColour);
        EXPECT_EQ(EditOutcome::Done, document_.ClearCurrentImage()) << bits;
        EXPECT_EQ(EditOutcome::NothingToDo, document_.ClearCurrentImage()) << bits;
        SelectPixels(2, 2, 6, 6);
        EXPECT_EQ(EditOutcome::Done, document_.EraseSelectedPixels()) << bits;
        EXPECT_EQ(EditOutcome::Done, document_.Undo()) << bits;
        EXPECT_FALSE(document_.CanUndo()) << bits;
    }
}

// A mirror has no step of its own: it goes back with the shift before it. A
// transform that changed nothing leaves neither a step nor the modified flag.
TEST_F(DocumentTest, AMirrorGoesBackWithTheStepBeforeItAndNoChangeLeavesNoTrace)
{
    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(16, 4));
    IconImage& image = *document_.GetCurrentImage();
    Stripes(image);
    const std::vector<COLORREF> original = Look(image);
    ASSERT_EQ(EditOutcome::Done, document_.ShiftImage(1, 0));
    ASSERT_EQ(EditOutcome::Done, document_.MirrorImage(1));
    const std::vector<COLORREF> mirrored = Look(image);
    ASSERT_EQ(EditOutcome::Done, document_.ShiftImage(0, 1));
    EXPECT_EQ(EditOutcome::Done, document_.Undo());
    EXPECT_EQ(mirrored, Look(image));
    EXPECT_EQ(EditOutcome::Done, document_.Undo());
    EXPECT_EQ(original, Look(image));
    EXPECT_FALSE(document_.CanUndo());

    image.Colours().SetRightColour(TransparentColour);
    ASSERT_EQ(EditOutcome::Done, document_.ClearCurrentImage());
    SetModifiedForTest(document_, false);
    EXPECT_EQ(EditOutcome::NothingToDo, document_.ClearCurrentImage());
    SelectPixels(20, 20, 30, 30);
    EXPECT_EQ(EditOutcome::NothingToDo, document_.MirrorImage(0));
    EXPECT_EQ(0, document_.IsModified());
    EXPECT_EQ(EditOutcome::Done, document_.Undo());
    EXPECT_FALSE(document_.CanUndo());
}
