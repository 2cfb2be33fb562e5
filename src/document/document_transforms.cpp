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

EditOutcome IconDocument::ClearCurrentImage()
{
    IconImage* image = GetCurrentImage();
    if (!image || !image->IsValid())
        return EditOutcome::NothingToDo;
    // The whole image, whatever is selected.
    const EditOutcome outcome = OutcomeOf(ClearImage(*image));
    if (outcome == EditOutcome::Done)
        SetModified(1);
    return outcome;
}

EditOutcome IconDocument::ShiftImage(int dx, int dy)
{
    IconImage* image = GetCurrentImage();
    if (!image || !image->IsValid() || dx < -1 || dx > 1 || dy < -1 || dy > 1)
        return EditOutcome::NothingToDo;
    const EditOutcome outcome = OutcomeOf(Shift(*image, hasSelection_ ? &selection_ : nullptr, dx, dy));
    if (outcome != EditOutcome::Done)
        return outcome;
    if (hasSelection_)
        MoveSelection(image->GetSize(), dx, dy);
    SetModified(1);
    return EditOutcome::Done;
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
    IconImage* image = GetCurrentImage();
    if (!image || !image->IsValid())
        return EditOutcome::NothingToDo;
    const EditOutcome outcome = OutcomeOf(Mirror(*image, hasSelection_ ? &selection_ : nullptr, vertical != 0));
    if (outcome == EditOutcome::Done)
        SetModified(1);
    return outcome;
}
