#include "document/icon_document.h"

#include "model/transforms.h"

// The model refuses a clear or a shift whose undo copy cannot be made: on a
// valid image that is the only way either of them does nothing.
EditOutcome IconDocument::ClearCurrentImage()
{
    IconImage* image = GetCurrentImage();
    if (!image || !image->IsValid())
        return EditOutcome::NothingToDo;
    // The whole image, whatever is selected.
    if (!ClearImage(*image))
        return EditOutcome::NoMemory;
    SetModified(1);
    return EditOutcome::Done;
}

EditOutcome IconDocument::ShiftImage(int dx, int dy)
{
    IconImage* image = GetCurrentImage();
    if (!image || !image->IsValid() || dx < -1 || dx > 1 || dy < -1 || dy > 1)
        return EditOutcome::NothingToDo;
    if (!Shift(*image, hasSelection_ ? &selection_ : nullptr, dx, dy))
        return EditOutcome::NoMemory;
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
    if (!Mirror(*image, hasSelection_ ? &selection_ : nullptr, vertical != 0))
        return EditOutcome::NothingToDo;
    SetModified(1);
    return EditOutcome::Done;
}
