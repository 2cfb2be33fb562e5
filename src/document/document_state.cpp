#include "document/icon_document.h"

#include <algorithm>
#include <new>

// ---- Observers -----------------------------------------------------------------

IconDocument::Batch::~Batch()
{
    if (--document_.batches_ == 0 && document_.pending_)
        document_.Notify(0);
}

void IconDocument::AddObserver(DocumentObserver* observer)
{
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void IconDocument::RemoveObserver(DocumentObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

// An observer may remove itself or run a command while it is told: it is told
// from a copy of the list, and what that command changes comes in a notification
// of its own.
void IconDocument::Notify(unsigned changes)
{
    pending_ |= changes;
    if (batches_ > 0 || pending_ == 0)
        return;
    const unsigned told = pending_;
    pending_ = 0;
    std::vector<DocumentObserver*> observers;
    try {
        observers = observers_;
    } catch (const std::bad_alloc&) {
        return;
    }
    for (DocumentObserver* observer : observers) {
        if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end())
            observer->DocumentChanged(told);
    }
}

// ---- Modified flag and path -------------------------------------------------------

void IconDocument::MarkModified(unsigned changes)
{
    SetModified(true);
    Notify(changes);
}

void IconDocument::SetModified(bool value)
{
    modified_ = value ? 1 : 0;
    if (modified_)
        ++changes_;
}

// Out of memory for a path, the document keeps none rather than a wrong one:
// Save then asks for a name.
void IconDocument::SetFilePath(const wchar_t* path)
{
    try {
        path_ = path ? path : L"";
    } catch (const std::bad_alloc&) {
        path_.clear();
    }
    Notify(ChangeFileState);
}

// ---- Selection and painting colours ------------------------------------------------

void IconDocument::SetSelection(const RECT& pixels)
{
    if (!IsOpen()) {
        ClearSelection();
        return;
    }
    RECT ordered;
    ordered.left = pixels.left < pixels.right ? pixels.left : pixels.right;
    ordered.right = pixels.left < pixels.right ? pixels.right : pixels.left;
    ordered.top = pixels.top < pixels.bottom ? pixels.top : pixels.bottom;
    ordered.bottom = pixels.top < pixels.bottom ? pixels.bottom : pixels.top;
    if (hasSelection_ && EqualRect(&ordered, &selection_))
        return;
    selection_ = ordered;
    hasSelection_ = true;
    Notify(ChangeSelection);
}

void IconDocument::ClearSelection()
{
    if (!hasSelection_)
        return;
    SetRectEmpty(&selection_);
    hasSelection_ = false;
    Notify(ChangeSelection);
}

EditOutcome IconDocument::SelectAll()
{
    IconImage* image = GetCurrentImage();
    if (!image || !image->IsValid())
        return EditOutcome::NothingToDo;
    SetSelection(RECT{0, 0, image->GetSize(), image->GetSize()});
    return EditOutcome::Done;
}

void IconDocument::SetPaintingIndex(bool left, int index)
{
    IconImage* image = GetCurrentImage();
    if (!image)
        return;
    if (left)
        image->Colours().SetLeftIndex(index);
    else
        image->Colours().SetRightIndex(index);
    Notify(ChangeColours);
}

void IconDocument::SetPaintingColour(bool left, COLORREF colour)
{
    IconImage* image = GetCurrentImage();
    if (!image)
        return;
    if (left)
        image->Colours().SetLeftColour(colour);
    else
        image->Colours().SetRightColour(colour);
    Notify(ChangeColours);
}
