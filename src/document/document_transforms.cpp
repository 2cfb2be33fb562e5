#include "document/icon_document.h"

#include "model/transforms.h"

int IconDocument::ClearCurrentImage()
{
    IconImage* image = GetCurrentImage();
    if (!image)
        return 0;
    // The whole image, whatever is selected.
    const int result = ClearImage(*image);
    if (result)
        SetModified(1);
    return result;
}

int IconDocument::ShiftImage(int dx, int dy)
{
    IconImage* image = IsOpen() ? GetCurrentImage() : nullptr;
    if (!image || !image->IsValid())
        return 0;
    if (dx < -1 || dx > 1 || dy < -1 || dy > 1)
        return 0;
    if (!Shift(*image, hasSelection_ ? &selection_ : nullptr, dx, dy))
        return 0;
    if (hasSelection_)
        MoveSelection(image->GetSize(), dx, dy);
    SetModified(1);
    return 1;
}

// The selection follows what it framed, pixel for pixel. Cut off at the image's
// edges it shrinks, and it is gone once nothing of it is left.
void IconDocument::MoveSelection(int size, int dx, int dy)
{
    auto clamp = [size](LONG v) { return v < 0 ? 0 : v > size ? LONG(size) : v; };
    RECT moved = { clamp(selection_.left + dx), clamp(selection_.top + dy), clamp(selection_.right + dx),
                   clamp(selection_.bottom + dy) };
    if (moved.left >= moved.right || moved.top >= moved.bottom) {
        SetSelection(nullptr, nullptr, 0);
        return;
    }
    selection_ = moved;
    PostDocumentState();
}

int IconDocument::MirrorImage(int vertical)
{
    IconImage* image = IsOpen() ? GetCurrentImage() : nullptr;
    if (!image || !image->IsValid())
        return 0;
    const int result = Mirror(*image, hasSelection_ ? &selection_ : nullptr, vertical != 0);
    // A mirror records no undo step, so the flag is the only trace of the change
    // (setting it twice, here and in the command, does no harm).
    if (result)
        SetModified(1);
    return result;
}
