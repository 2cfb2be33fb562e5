#pragma once
// The states of one image, oldest first, and the one on screen among them: the
// states before it are the undo side, the ones after it the redo side.
#include <cstddef>
#include <iterator>
#include <list>
#include <memory>

#include "model/image_state.h"

class HistoryBudget;

class ImageHistory
{
public:
    ImageHistory() = default;
    // Leaves the budget it counts against, if any.
    ~ImageHistory();
    ImageHistory(const ImageHistory&) = delete;
    ImageHistory& operator=(const ImageHistory&) = delete;

    ImageState* Current() const { return shown_; }
    // Makes state, which holds its sections, the only one; false, with the
    // history as it was, when memory runs out.
    bool Start(std::unique_ptr<ImageState> state);
    void Clear();

    // The copy holds no GDI object; null when memory runs out.
    std::unique_ptr<ImageState> CopyCurrent() const;
    // Records state, of the current one's format, as the step before it and
    // drops the redo side; false (state released) when refused.
    bool Commit(std::unique_ptr<ImageState> state);
    bool CanUndo() const { return shown_ && current_ != states_.begin(); }
    bool CanRedo() const { return shown_ && std::next(current_) != states_.end(); }
    // False, and nothing moves, when the target state cannot be put on screen.
    bool Undo();
    bool Redo();

    // The document's budget this history counts against, if any.
    HistoryBudget* GetBudget() const { return budget_; }
    // What the states not on screen hold.
    size_t GetHeldBytes() const { return heldBytes_; }

private:
    friend class HistoryBudget;
    using Position = std::list<std::unique_ptr<ImageState>>::iterator;
    bool MakeCurrent(Position target);
    const ImageState* OldestStep() const;
    size_t DropOldestStep();

    // One node per state: an empty list, unlike a deque, allocates nothing, and
    // opening a file builds many histories of one state.
    std::list<std::unique_ptr<ImageState>> states_;
    Position current_ = states_.end();
    // The state at current_, kept at hand: every pixel operation asks for it.
    ImageState* shown_ = nullptr;
    size_t heldBytes_ = 0;
    HistoryBudget* budget_ = nullptr;
    ImageHistory* nextInBudget_ = nullptr;
};
