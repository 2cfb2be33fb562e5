#include "model/history_budget.h"

#include "model/icon_image.h"

HistoryBudget::HistoryBudget(size_t limit) : limit_(limit) {}

HistoryBudget::~HistoryBudget()
{
    while (first_)
        Detach(first_);
}

// The images are linked through themselves, so attaching one cannot fail.
void HistoryBudget::Attach(IconImage* image)
{
    if (!image || image->budget_ == this)
        return;
    if (image->budget_)
        image->budget_->Detach(image);
    image->budget_ = this;
    image->nextInBudget_ = first_;
    first_ = image;
    Enforce();
}

void HistoryBudget::Detach(IconImage* image)
{
    if (!image || image->budget_ != this)
        return;
    IconImage** link = &first_;
    while (*link && *link != image)
        link = &(*link)->nextInBudget_;
    if (*link)
        *link = image->nextInBudget_;
    image->budget_ = nullptr;
    image->nextInBudget_ = nullptr;
}

size_t HistoryBudget::GetHeldBytes() const
{
    size_t held = 0;
    for (const IconImage* image = first_; image; image = image->nextInBudget_)
        held += image->historyBytes_;
    return held;
}

// Each pass drops the oldest among the images' oldest steps; a
// document holds few images, so a walk over them per dropped step is cheap.
void HistoryBudget::Enforce()
{
    size_t held = GetHeldBytes();
    while (held > limit_) {
        IconImage* holder = nullptr;
        ULONGLONG oldest = 0;
        for (IconImage* image = first_; image; image = image->nextInBudget_) {
            const HistoryNode* node = image->OldestStep();
            if (node && (!holder || node->step < oldest)) {
                holder = image;
                oldest = node->step;
            }
        }
        if (!holder)
            break;
        held -= holder->DropOldestStep();
    }
}
