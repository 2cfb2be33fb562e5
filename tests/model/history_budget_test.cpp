#include "model_support.h"
#include "model/history_budget.h"

namespace {

// The markers pixel (0, 0) shows walking back through the undo side.
std::vector<int> UndoWalk(IconImage& image)
{
    std::vector<int> shown;
    while (image.Undo())
        shown.push_back(image.GetPixelIndex(0, 0));
    return shown;
}

} // namespace

// Edits interleaved on two images under room for three steps: each new step
// beyond it drops the oldest one, whichever image holds it. Steps undone count
// from when they left the screen, so edits made since come first.
TEST(HistoryBudget, DropsTheOldestStepsAcrossItsImages)
{
    BlankImage a(32, 8), b(32, 8), other(32, 8);
    Edit(a, 1);
    const size_t step = a.History().GetHeldBytes();
    HistoryBudget budget(3 * step);
    budget.Attach(&a);
    budget.Attach(&b);
    struct Step { IconImage* image; int marker; };
    for (const Step& s : { Step{&b, 2}, Step{&a, 3}, Step{&b, 4}, Step{&a, 5} })
        Edit(*s.image, s.marker);
    // a: 255 -> 1 -> 3 -> 5, b: 255 -> 2 -> 4; the pre-edit states of a's 1 and b's 2 went.
    EXPECT_EQ(3 * step, budget.GetHeldBytes());
    EXPECT_EQ((std::vector<int>{ 3, 1 }), UndoWalk(a));
    EXPECT_EQ((std::vector<int>{ 2 }), UndoWalk(b));

    // a's redo side (3, then 5) left the screen before b's new edits: 5 goes first.
    Edit(b, 6);
    Edit(b, 7);
    EXPECT_EQ(3 * step, budget.GetHeldBytes());
    EXPECT_EQ(1, a.Redo());
    EXPECT_EQ(3, a.GetPixelIndex(0, 0));
    EXPECT_FALSE(a.CanRedo());
    EXPECT_EQ((std::vector<int>{ 6, 2 }), UndoWalk(b));

    // An image outside the budget keeps its steps; moving both images to a budget
    // without room drops every step, never a state on screen.
    for (int i = 0; i < 5; ++i)
        Edit(other, i);
    HistoryBudget none(0);
    none.Attach(&a);
    none.Attach(&b);
    EXPECT_EQ(0u, budget.GetHeldBytes() + none.GetHeldBytes());
    EXPECT_EQ(5u * step, other.History().GetHeldBytes());
    for (const IconImage* image : { &a, &b }) {
        EXPECT_FALSE(image->CanUndo());
        EXPECT_FALSE(image->CanRedo());
    }
    EXPECT_EQ(3, a.GetPixelIndex(0, 0));
    EXPECT_EQ(2, b.GetPixelIndex(0, 0));
}

// The redo side left the screen last: a budget that shrinks drops the oldest
// undo step, and redo and the rest of the undo walk stay whole.
TEST(HistoryBudget, ShrinkingDropsTheOldestUndoStepNeverTheRedoSide)
{
    BlankImage image(32, 8);
    Edit(image, 1);
    const size_t step = image.History().GetHeldBytes();
    for (int marker : { 2, 3, 4 })
        Edit(image, marker);
    ASSERT_EQ(1, image.Undo());
    HistoryBudget smaller(3 * step);
    smaller.Attach(&image);
    EXPECT_EQ(3 * step, smaller.GetHeldBytes());
    ASSERT_EQ(1, image.Redo());
    EXPECT_EQ(4, image.GetPixelIndex(0, 0));
    EXPECT_EQ((std::vector<int>{ 3, 2, 1 }), UndoWalk(image));
}
