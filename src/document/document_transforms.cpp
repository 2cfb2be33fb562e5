#include "document/icon_document.h"

#include "model/transforms.h"

EditOutcome OutcomeOf(TransformOutcome outcome)
{
    switch (outcome) {
    case TransformOutcome::Done: return EditOutcome::Done;
    case TransformOutcome::NothingChanged: return EditOutcome::NothingToDo;
    case TransformOutcome::NoMemory: break;
    }
    return EditOutcome::NoMemory;
}

namespace {

// A document without an image has nothing to transform; one whose undo copy
// cannot be made refuses the change rather than make it without a way back.
EditOutcome RefusalOf(const IconDocument& document)
{
    return document.IsOpen() && document.GetCurrentImage()->IsValid() ? EditOutcome::NoMemory
                                                                      : EditOutcome::NothingToDo;
}

// Only a change makes a step and marks the document.
EditOutcome Finish(ImageEdit& edit, TransformOutcome outcome)
{
    if (outcome == TransformOutcome::Done)
        edit.MarkChanged();
    const EditOutcome result = OutcomeOf(outcome);
    if (result == EditOutcome::Done)
        edit.Commit();
    return result;
}

}  // namespace

EditOutcome IconDocument::ClearCurrentImage()
{
    ImageEdit edit = BeginEdit(EditWhat::Pixels);
    if (!edit.IsOpen())
        return RefusalOf(*this);
    // The whole image, whatever is selected.
    return Finish(edit, ClearImage(*edit.Image()));
}

EditOutcome IconDocument::ShiftImage(int dx, int dy)
{
    if (dx < -1 || dx > 1 || dy < -1 || dy > 1)
        return EditOutcome::NothingToDo;
    // The pixels and the selection that follows them are told as one change.
    Batch batch(*this);
    ImageEdit edit = BeginEdit(EditWhat::Pixels);
    if (!edit.IsOpen())
        return RefusalOf(*this);
    IconImage& image = *edit.Image();
    const TransformOutcome outcome = Shift(image, hasSelection_ ? &selection_ : nullptr, dx, dy);
    if (outcome == TransformOutcome::Done && hasSelection_)
        MoveSelection(image.GetSize(), dx, dy);
    return Finish(edit, outcome);
}

// The selection follows what it framed, pixel for pixel. Cut off at the image's
// edges it shrinks, and it is gone once nothing of it is left.
void IconDocument::MoveSelection(int size, int dx, int dy)
{
    auto clamp = [size](LONG v) { return v < 0 ? 0 : v > size ? LONG(size) : v; };
    RECT moved = { clamp(selection_.left + dx), clamp(selection_.top + dy), clamp(selection_.right + dx),
                   clamp(selection_.bottom + dy) };
    if (moved.left >= moved.right || moved.top >= moved.bottom)
        ClearSelection();
    else
        SetSelection(moved);
}

// A mirror records no undo step, so the flag is the only trace of the change.
EditOutcome IconDocument::MirrorImage(int vertical)
{
    ImageEdit edit = BeginEdit(EditWhat::PixelsWithoutStep);
    if (!edit.IsOpen())
        return EditOutcome::NothingToDo;
    return Finish(edit, Mirror(*edit.Image(), hasSelection_ ? &selection_ : nullptr, vertical != 0));
}
