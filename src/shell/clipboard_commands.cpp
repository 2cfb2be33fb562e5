#include "shell/clipboard_commands.h"

#include "document/clipboard_offer.h"
#include "win/handle_guards.h"

EditOutcome CopyToClipboard(const IconDocument& document, HWND owner)
{
    if (!owner)
        return EditOutcome::NothingToDo;
    ClipboardOffer offer;
    const EditOutcome built = document.CopySelection(offer);
    if (built != EditOutcome::Done)
        return built;
    const ClipboardLock clipboard(owner);
    if (!clipboard.Ok())
        return EditOutcome::ClipboardBusy;
    EmptyClipboard();
    // Once accepted, the data belongs to the clipboard.
    bool first = false;
    for (size_t i = 0; i < offer.Count(); ++i) {
        if (SetClipboardData(offer.Format(i), offer.Data(i)) != nullptr) {
            offer.HandedOver(i);
            first = first || i == 0;
        }
    }
    return first ? EditOutcome::Done : EditOutcome::ClipboardBusy;
}

EditOutcome CutToClipboard(IconDocument& document, HWND owner)
{
    const EditOutcome copied = CopyToClipboard(document, owner);
    if (copied != EditOutcome::Done)
        return copied;
    return document.EraseSelectedPixels();
}

// Only the most preferred format there is read: one that is there but
// malformed is refused rather than passed over for a conversion of it.
EditOutcome PasteFromClipboard(IconDocument& document, HWND owner)
{
    const IconImage* image = document.GetCurrentImage();
    if (!image || !image->IsValid())
        return EditOutcome::NothingToDo;
    const ClipboardLock clipboard(owner);
    if (!clipboard.Ok())
        return EditOutcome::ClipboardBusy;
    for (size_t i = 0; PasteFormat(i) != 0; ++i) {
        const UINT format = PasteFormat(i);
        if (!IsClipboardFormatAvailable(format))
            continue;
        const EditOutcome outcome = document.PasteClipboardData(format, GetClipboardData(format));
        // The system makes a CF_DIBV5 of every bitmap: one without alpha gives
        // way to the formats after it, read as they always were.
        if (outcome == EditOutcome::NothingToDo && format == CF_DIBV5)
            continue;
        return outcome;
    }
    return EditOutcome::NothingToDo;
}

bool ClipboardHasPicture()
{
    // Other programs often offer only a device-independent bitmap.
    for (size_t i = 0; PasteFormat(i) != 0; ++i) {
        if (IsClipboardFormatAvailable(PasteFormat(i)))
            return true;
    }
    return false;
}
