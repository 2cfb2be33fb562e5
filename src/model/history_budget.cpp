#include "model/history_budget.h"

#include "model/icon_image.h"

HistoryBudget::HistoryBudget(size_t limit) : limit_(limit) {}

HistoryBudget::~HistoryBudget()
{
    while (first_)
        Unlink(first_);
}

void HistoryBudget::Attach(IconImage* image)
{
    if (image)
        Link(&image->history_);
}

void HistoryBudget::Detach(IconImage* image)
{
    if (image)
        Unlink(&image->history_);
}

// The histories are linked through themselves, so attaching one cannot fail.
void HistoryBudget::Link(ImageHistory* history)
{
    if (history->budget_ == this)
        return;
    if (history->budget_)
        history->budget_->Unlink(history);
    history->budget_ = this;
    history->nextInBudget_ = first_;
    first_ = history;
    Enforce();
}

void HistoryBudget::Unlink(ImageHistory* history)
{
    if (history->budget_ != this)
        return;
    ImageHistory** link = &first_;
    while (*link && *link != history)
        link = &(*link)->nextInBudget_;
    if (*link)
        *link = history->nextInBudget_;
    history->budget_ = nullptr;
    history->nextInBudget_ = nullptr;
}

size_t HistoryBudget::GetHeldBytes() const
{
    size_t held = 0;
    for (const ImageHistory* history = first_; history; history = history->nextInBudget_)
        held += history->heldBytes_;
    return held;
}

// Each pass drops the oldest among the histories' oldest steps; a document
// holds few images, so a walk over them per dropped step is cheap.
void HistoryBudget::Enforce()
{
    size_t held = GetHeldBytes();
    while (held > limit_) {
        ImageHistory* holder = nullptr;
        ULONGLONG oldest = 0;
        for (ImageHistory* history = first_; history; history = history->nextInBudget_) {
            const ImageState* state = history->OldestStep();
            if (state && (!holder || state->GetStep() < oldest)) {
                holder = history;
                oldest = state->GetStep();
            }
        }
        if (!holder)
            break;
        held -= holder->DropOldestStep();
    }
}
