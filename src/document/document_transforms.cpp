#include "document/icon_document.h"

int IconDocument::ClearCurrentImage()
{
    IconImage* image = GetCurrentImage();
    if (!image)
        return 0;
    // The whole image, whatever is selected.
    const int result = image->ClearImage();
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
    // A shift is an undo step but leaves the modified flag alone.
    return image->Shift(hasSelection_ ? &selection_ : nullptr, dx, dy);
}

int IconDocument::MirrorImage(int vertical)
{
    IconImage* image = IsOpen() ? GetCurrentImage() : nullptr;
    if (!image || !image->IsValid())
        return 0;
    const int result = image->Mirror(hasSelection_ ? &selection_ : nullptr, vertical != 0);
    // A mirror records no undo step, so the flag is the only trace of the change
    // (setting it twice, here and in the command, does no harm).
    if (result)
        SetModified(1);
    return result;
}
