#include "model/icon_image.h"

#include <cstring>

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
}

ImageState* IconImage::CopyCurrentState() const
{
    if (!IsValid())
        return nullptr;
    const ImageState* source = CurrentState();
    int size = source->colourHeader.biWidth;
    int bitCount = source->colourHeader.biBitCount;
    ImageState* copy = NewState(size, bitCount, source->palette);
    if (!copy)
        return nullptr;
    copy->colourHeader = source->colourHeader;
    copy->maskHeader = source->maskHeader;
    // Drawing through GDI may still be queued on the source bitmaps.
    GdiFlush();
    // The pixel memory is what the sections hold, not the kept colour byte count:
    // an imported bitmap may declare more bytes than its section has.
    std::memcpy(copy->colourBits, source->colourBits, RowStride(size, bitCount) * size);
    std::memcpy(copy->maskBits, source->maskBits, RowStride(size, 1) * size);
    copy->hotspotX = source->hotspotX;
    copy->hotspotY = source->hotspotY;
    return copy;
}

// A state handed over is always owned from then on: when it cannot be recorded
// it is released here, so callers never free it after this call.
int IconImage::CommitState(ImageState* state)
{
    if (!state)
        return 0;
    if (!IsValid() || !SameFormat(state, CurrentState())) {
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
    if (!CanUndo())
        return 0;
    current_ = current_->next;
    ForgetTransparentIndex();
    return 1;
}

int IconImage::Redo()
{
    if (!CanRedo())
        return 0;
    current_ = current_->previous;
    ForgetTransparentIndex();
    return 1;
}

// Each state has its own palette: the index found for another state may hold a
// colour here, and transparent pixels painted with it would show that colour.
void IconImage::ForgetTransparentIndex()
{
    transparentIndex_ = -1;
}
