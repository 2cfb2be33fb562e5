#include <cstring>

#include "model_support.h"
#include "model/history_budget.h"

// Under a document's budget with room for every step the walk is the same.
TEST(ImageHistory, WorkedSequence)
{
    for (bool budgeted : { false, true }) {
        SCOPED_TRACE(budgeted ? "under a budget" : "free-standing");
        HistoryBudget budget;
        BlankImage image(32, 8);
        if (budgeted)
            budget.Attach(&image);
        EXPECT_FALSE(image.CanUndo());
        EXPECT_FALSE(image.CanRedo());
        Edit(image, 2);
        Edit(image, 3);
        // Pixel (0, 0) shows which content is current: 255 (blank white) or an edit's marker.
        // The edit to 4 drops the redo side (3) and keeps the pre-edit copy of 2.
        struct Step { int marker; bool (IconImage::*move)(); int result, shows; bool canUndo, canRedo; };
        for (const Step& s : { Step{0, &IconImage::Undo, 1, 2, true, true},
                               Step{0, &IconImage::Undo, 1, 255, false, true},
                               Step{0, &IconImage::Undo, 0, 255, false, true},
                               Step{0, &IconImage::Redo, 1, 2, true, true},
                               Step{4, &IconImage::Redo, 0, 4, true, false},
                               Step{0, &IconImage::Undo, 1, 2, true, true},
                               Step{0, &IconImage::Undo, 1, 255, false, true},
                               Step{0, &IconImage::Redo, 1, 2, true, true},
                               Step{0, &IconImage::Redo, 1, 4, true, false} }) {
            if (s.marker)
                Edit(image, s.marker);
            EXPECT_EQ(s.result, (image.*s.move)()) << "towards " << s.shows;
            EXPECT_EQ(s.shows, image.GetPixelIndex(0, 0));
            EXPECT_EQ(s.canUndo, image.CanUndo()) << "at " << s.shows;
            EXPECT_EQ(s.canRedo, image.CanRedo()) << "at " << s.shows;
        }
    }
}

TEST(ImageHistory, EachStateKeepsItsOwnPixelsMaskHotspotAndPalette)
{
    for (int bits : kBitCounts) {
        SCOPED_TRACE(bits);
        BlankImage image(48, bits);
        image.SetPixelIndex(47, 0, 1);
        image.SetTransparent(5, 6, true);
        image.SetHotspot(3, 4);
        image.SetPaletteColour(1, 0x445566);
        const std::vector<long long> before = Snapshot(image);
        // Edits after the copy, palette included, change only the current state;
        // a palette edit is no step of its own.
        std::unique_ptr<ImageState> copy = image.CopyCurrentState();
        image.SetPixelIndex(47, 0, 0);
        image.SetTransparent(5, 6, false);
        image.SetHotspot(9, 9);
        ASSERT_EQ(1, image.CommitState(std::move(copy)));
        ASSERT_EQ(1, image.SetPaletteColour(1, 0x010203));
        ASSERT_EQ(1, image.Undo());
        EXPECT_FALSE(image.CanUndo());
        EXPECT_EQ(before, Snapshot(image));
        EXPECT_EQ(0, image.SetHotspot(3, 4));
        EXPECT_EQ(0x445566u, image.GetPaletteColour(1));
        if (bits <= 8) {
            EXPECT_EQ(0x445566u, TableColour(image.GetColourBitmap(), 1));
        }
        ASSERT_EQ(1, image.Redo());
        EXPECT_EQ(0x010203u, image.GetPaletteColour(1));
    }
}

// Copies and recorded steps keep their bytes in plain memory: the image's two
// sections stay on screen through undo and redo, holding the current state.
TEST(ImageHistory, OnlyTheStateOnScreenHoldsBitmaps)
{
    auto released = [](HBITMAP bitmap) { return GetObjectType(bitmap) == 0; };
    BlankImage image(16, 8);
    const HBITMAP colour = image.GetColourBitmap(), mask = image.GetMaskBitmap();
    const std::unique_ptr<ImageState> copy = image.CopyCurrentState();
    ASSERT_TRUE(copy);
    EXPECT_FALSE(copy->HasSections());
    EXPECT_EQ(nullptr, copy->MaskBitmap());

    Edit(image, 1);
    Edit(image, 2);
    struct Move { bool (IconImage::*move)(); int shows; };
    for (const Move& m : { Move{&IconImage::Undo, 1}, Move{&IconImage::Undo, 255},
                           Move{&IconImage::Redo, 1} }) {
        ASSERT_EQ(1, (image.*m.move)());
        BITMAP shown = {};
        ASSERT_TRUE(GetObjectA(colour, sizeof shown, &shown));
        EXPECT_EQ(colour, image.GetColourBitmap());
        EXPECT_EQ(mask, image.GetMaskBitmap());
        EXPECT_EQ(m.shows, static_cast<const BYTE*>(shown.bmBits)[15 * 16]) << "pixel (0, 0)";
    }

    // A state made with sections gives them up as it joins the history; a refused
    // one (another format) is released whole; Reset releases the image's own.
    std::unique_ptr<ImageState> made = ImageState::WithSections(16, 8, nullptr);
    std::unique_ptr<ImageState> other = ImageState::WithSections(32, 8, nullptr);
    ASSERT_TRUE(made);
    ASSERT_TRUE(other);
    const HBITMAP madeColour = made->ColourBitmap(), otherColour = other->ColourBitmap();
    EXPECT_EQ(1, image.CommitState(std::move(made)));
    EXPECT_EQ(0, image.CommitState(std::move(other)));
    EXPECT_TRUE(released(madeColour));
    EXPECT_TRUE(released(otherColour));
    ASSERT_EQ(1, image.Undo());
    EXPECT_EQ(0, image.GetPixelIndex(0, 0));
    image.Reset();
    EXPECT_TRUE(released(colour));
    EXPECT_TRUE(released(mask));
}

// Takes every GDI object the process may still make, and gives them back.
struct NoGdiObjectLeft
{
    std::vector<HPEN> pens;
    NoGdiObjectLeft()
    {
        for (HPEN pen; pens.size() < 200000 && (pen = CreatePen(PS_SOLID, 1, kRed)) != nullptr;)
            pens.push_back(pen);
    }
    ~NoGdiObjectLeft()
    {
        for (HPEN pen : pens)
            DeleteObject(pen);
    }
};

// A copy needs no GDI object; drawing, a palette edit, undo and redo do, and
// without one they are refused whole and leave the image and its history as they were.
TEST(ImageHistory, WithNoGdiObjectLeftEditsAreRefusedWholeAndNothingMoves)
{
    BlankImage image(32, 8);
    Edit(image, 1);
    Edit(image, 2);
    ASSERT_EQ(1, image.Undo());
    const std::vector<long long> before = Snapshot(image);
    {
        NoGdiObjectLeft full;
        ASSERT_FALSE(MemoryDC(nullptr).Ok()) << full.pens.size() << " pens made";
        EXPECT_TRUE(image.CopyCurrentState());
        EXPECT_EQ(0, DrawStrokeSegment(image, Pt(0, 5), Pt(20, 5), 3, image.GetPaletteColour(3)));
        EXPECT_EQ(0, DrawShape(image, ShapeRectangle, Pt(2, 2), Pt(9, 9), image.GetPaletteColour(3)));
        EXPECT_EQ(0, image.SetPaletteColour(255, kRed));
        EXPECT_EQ(0, image.Undo());
        EXPECT_EQ(0, image.Redo());
        EXPECT_EQ(before, Snapshot(image));
        EXPECT_TRUE(image.CanUndo());
        EXPECT_TRUE(image.CanRedo());
    }
    EXPECT_EQ(kWhite, image.GetPaletteColour(255));
    EXPECT_EQ(kWhite, TableColour(image.GetColourBitmap(), 255));
    ASSERT_EQ(1, image.Redo());
    EXPECT_EQ(2, image.GetPixelIndex(0, 0));
}

// GDI will not load a colour table into a section another context holds:
// undo, redo and a palette edit are then refused whole, as without GDI objects.
TEST(ImageHistory, ASectionHeldElsewhereRefusesItsColourTableAndNothingMoves)
{
    BlankImage image(32, 8);
    Edit(image, 1);
    Edit(image, 2);
    ASSERT_EQ(1, image.Undo());
    const std::vector<long long> before = Snapshot(image);
    {
        MemoryDC elsewhere(nullptr);
        SelectGuard held(elsewhere, image.GetColourBitmap());
        ASSERT_TRUE(held.Ok());
        EXPECT_EQ(0, image.SetPaletteColour(255, kRed));
        EXPECT_EQ(0, image.Undo());
        EXPECT_EQ(0, image.Redo());
        EXPECT_EQ(before, Snapshot(image));
    }
    EXPECT_EQ(kWhite, image.GetPaletteColour(255));
    ASSERT_EQ(1, image.Redo());
    EXPECT_EQ(2, image.GetPixelIndex(0, 0));
}

TEST(ImageHistory, TransparentPixelsStayBlackAfterUndoOfThePaletteFallback)
{
    // No black entry: the first transparent pixel turns the lowest unused entry
    // black in the edited state only. After an undo that entry has its old colour
    // again, so the next transparent pixel must not reuse it blindly.
    BlankImage image(16, 4);
    ASSERT_EQ(1, image.SetPaletteColour(0, 0x0000FF));
    std::unique_ptr<ImageState> before = image.CopyCurrentState();
    ASSERT_EQ(1, image.SetTransparent(0, 0, true));
    EXPECT_EQ(kBlack, image.GetPixelColour(0, 0));
    ASSERT_EQ(1, image.CommitState(std::move(before)));

    ASSERT_EQ(1, image.Undo());
    EXPECT_EQ(0x0000FFu, image.GetPaletteColour(0));
    ASSERT_EQ(1, image.SetTransparent(3, 3, true));
    EXPECT_EQ(kBlack, image.GetPixelColour(3, 3));

    ASSERT_EQ(1, image.Redo());
    EXPECT_EQ(kBlack, image.GetPixelColour(0, 0));
    ASSERT_EQ(1, image.SetTransparent(5, 5, true));
    EXPECT_EQ(kBlack, image.GetPixelColour(5, 5));
}
