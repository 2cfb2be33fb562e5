#include "model/icon_image.h"

#include "model/history_budget.h"
#include "model/image_state.h"

// The list runs from the newest content (first node, the redo side) to the
// oldest (last node, the undo side); the current node is somewhere between.

namespace {

HistoryNode* NewNode(ImageState* state)
{
    HistoryNode* node = static_cast<HistoryNode*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(HistoryNode)));
    if (node)
        node->state = state;
    return node;
}

void ReleaseNode(HistoryNode* node)
{
    IconImage::FreeState(node->state);
    HeapFree(GetProcessHeap(), 0, node);
}

bool SameFormat(const ImageState* a, const ImageState* b)
{
    return a->colourHeader.biWidth == b->colourHeader.biWidth &&
           a->colourHeader.biHeight == b->colourHeader.biHeight &&
           a->colourHeader.biBitCount == b->colourHeader.biBitCount;
}

} // namespace

bool IconImage::AppendState(ImageState* state)
{
    HistoryNode* node = NewNode(state);
    if (!node)
        return false;
    node->previous = last_;
    if (last_)
        last_->next = node;
    else
        first_ = node;
    last_ = node;
    if (!current_)
        current_ = node;
    return true;
}

bool IconImage::InsertStateAfter(HistoryNode* after, ImageState* state)
{
    HistoryNode* node = NewNode(state);
    if (!node)
        return false;
    node->previous = after;
    node->next = after ? after->next : first_;
    if (node->next)
        node->next->previous = node;
    else
        last_ = node;
    if (after)
        after->next = node;
    else
        first_ = node;
    return true;
}

void IconImage::RemoveNode(HistoryNode* node)
{
    if (!node)
        return;
    if (node->previous)
        node->previous->next = node->next;
    else
        first_ = node->next;
    if (node->next)
        node->next->previous = node->previous;
    else
        last_ = node->previous;
    if (current_ == node)
        current_ = nullptr;
    else
        historyBytes_ -= HeldBytesOf(node->state);
    ReleaseNode(node);
}

void IconImage::ReleaseHistory()
{
    HistoryNode* node = first_;
    while (node) {
        HistoryNode* next = node->next;
        ReleaseNode(node);
        node = next;
    }
    first_ = last_ = current_ = nullptr;
    historyBytes_ = 0;
}

ImageState* IconImage::CopyCurrentState() const
{
    if (!IsValid())
        return nullptr;
    // Drawing through GDI may still be queued on the source bitmaps.
    GdiFlush();
    return PlainCopyOf(CurrentState());
}

// A state handed over is always owned from then on: when it cannot be recorded
// it is released here, so callers never free it after this call.
int IconImage::CommitState(ImageState* state)
{
    if (!state)
        return 0;
    // Only the state on screen may hold GDI objects: a state made with sections
    // gives them up before it joins the history.
    if (!IsValid() || !SameFormat(state, CurrentState()) || !MoveToPlainMemory(state)) {
        FreeState(state);
        return 0;
    }
    HistoryNode* node = first_;
    while (node && node != current_) {
        HistoryNode* next = node->next;
        RemoveNode(node);
        node = next;
    }
    if (!InsertStateAfter(current_, state)) {
        FreeState(state);
        return 0;
    }
    current_->next->step = budget_ ? budget_->NextStep() : 0;
    historyBytes_ += HeldBytesOf(state);
    if (budget_)
        budget_->Enforce();
    return 1;
}

bool IconImage::CanUndo() const
{
    return current_ && current_->next;
}

bool IconImage::CanRedo() const
{
    return current_ && current_->previous;
}

int IconImage::Undo()
{
    return CanUndo() && MakeCurrent(current_->next) ? 1 : 0;
}

int IconImage::Redo()
{
    return CanRedo() && MakeCurrent(current_->previous) ? 1 : 0;
}

// The states of one history share their format, so the sections on screen pass
// from state to state: moving through the history never makes a GDI object.
bool IconImage::MakeCurrent(HistoryNode* node)
{
    if (!HandOverSections(current_->state, node->state))
        return false;
    current_->step = budget_ ? budget_->NextStep() : 0;
    current_ = node;
    ForgetTransparentIndex();
    return true;
}

// A node's step is when it was recorded or last left the screen, so the steps
// fall away from the current node on both sides: the state least recently used
// is the undo end (the oldest edit) or, after many undos, the far redo end.
const HistoryNode* IconImage::OldestStep() const
{
    const HistoryNode* undoEnd = last_ != current_ ? last_ : nullptr;
    const HistoryNode* redoEnd = first_ != current_ ? first_ : nullptr;
    return !undoEnd || (redoEnd && redoEnd->step < undoEnd->step) ? redoEnd : undoEnd;
}

size_t IconImage::DropOldestStep()
{
    const HistoryNode* oldest = OldestStep();
    if (!oldest)
        return 0;
    const size_t bytes = HeldBytesOf(oldest->state);
    RemoveNode(oldest == last_ ? last_ : first_);
    return bytes;
}

// Each state has its own palette: the index found for another state may hold a
// colour here, and transparent pixels painted with it would show that colour.
void IconImage::ForgetTransparentIndex()
{
    transparentIndex_ = -1;
}
