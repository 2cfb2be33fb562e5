#include "model/image_history.h"

#include <new>
#include <utility>

#include "model/history_budget.h"

ImageHistory::~ImageHistory()
{
    if (budget_)
        budget_->Unlink(this);
}

bool ImageHistory::Start(std::unique_ptr<ImageState> state)
{
    if (!state || !state->HasSections())
        return false;
    try {
        std::list<std::unique_ptr<ImageState>> only;
        only.push_back(std::move(state));
        states_.swap(only);
    } catch (const std::bad_alloc&) {
        return false;
    }
    current_ = states_.begin();
    shown_ = current_->get();
    heldBytes_ = 0;
    return true;
}

void ImageHistory::Clear()
{
    states_.clear();
    current_ = states_.end();
    shown_ = nullptr;
    heldBytes_ = 0;
}

std::unique_ptr<ImageState> ImageHistory::CopyCurrent() const
{
    if (!shown_ || !shown_->HasSections())
        return nullptr;
    // Drawing through GDI may still be queued on the source bitmaps.
    GdiFlush();
    return shown_->PlainCopy();
}

bool ImageHistory::Commit(std::unique_ptr<ImageState> state)
{
    // Only the state on screen may hold GDI objects: a state made with sections
    // gives them up before it joins the history.
    if (!state || !shown_ || !state->SameFormat(*shown_) || !state->MoveToPlainMemory())
        return 0;
    state->SetStep(budget_ ? budget_->NextStep() : 0);
    const size_t held = state->HeldBytes();
    try {
        states_.insert(current_, std::move(state));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    for (Position redo = std::next(current_); redo != states_.end(); ++redo)
        heldBytes_ -= (*redo)->HeldBytes();
    states_.erase(std::next(current_), states_.end());
    heldBytes_ += held;
    if (budget_)
        budget_->Enforce();
    return 1;
}

bool ImageHistory::Undo()
{
    return CanUndo() && MakeCurrent(std::prev(current_));
}

bool ImageHistory::Redo()
{
    return CanRedo() && MakeCurrent(std::next(current_));
}

// The states of one history share their format, so the sections on screen pass
// from state to state: moving through the history never makes a GDI object.
bool ImageHistory::MakeCurrent(Position target)
{
    if (!shown_->HandOverSections(**target))
        return false;
    // Both states hold the same bytes: what the history holds stays the same.
    shown_->SetStep(budget_ ? budget_->NextStep() : 0);
    current_ = target;
    shown_ = target->get();
    return true;
}

// A state's step is when it was recorded or last left the screen, so the steps
// fall away from the current state on both sides: the state least recently used
// is the undo end (the oldest edit) or, after many undos, the far redo end.
const ImageState* ImageHistory::OldestStep() const
{
    const ImageState* undoEnd = CanUndo() ? states_.front().get() : nullptr;
    const ImageState* redoEnd = CanRedo() ? states_.back().get() : nullptr;
    return !undoEnd || (redoEnd && redoEnd->GetStep() < undoEnd->GetStep()) ? redoEnd : undoEnd;
}

size_t ImageHistory::DropOldestStep()
{
    const ImageState* oldest = OldestStep();
    if (!oldest)
        return 0;
    const size_t bytes = oldest->HeldBytes();
    if (oldest == states_.front().get())
        states_.pop_front();
    else
        states_.pop_back();
    heldBytes_ -= bytes;
    return bytes;
}
