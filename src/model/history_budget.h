#pragma once
#include <windows.h>

#include <cstddef>

class IconImage;
class ImageHistory;

// One memory limit for the undo history of all the images of a document, the
// deleted ones it can put back included. Past the limit the oldest steps,
// whatever their image, are dropped (a redo step counts from when it left the
// screen); the states on screen never are, and they do not count against it.
// An image outside any budget keeps all its steps.
class HistoryBudget
{
public:
    // 64 MB: about a thousand steps of the largest image (128x128x32, some 67 KB
    // a step) and tens of thousands of the usual 32x32 ones, far more undo than a
    // session uses, while a 32-bit process has 2 GB of address space to share
    // with the program, its DIB sections and the system's own allocations.
    static constexpr size_t kDefaultLimit = size_t(64) * 1024 * 1024;

    explicit HistoryBudget(size_t limit = kDefaultLimit);
    ~HistoryBudget();
    HistoryBudget(const HistoryBudget&) = delete;
    HistoryBudget& operator=(const HistoryBudget&) = delete;

    // An image counts against one budget at a time; attaching it moves it here,
    // and its destruction detaches it.
    void Attach(IconImage* image);
    void Detach(IconImage* image);
    size_t GetLimit() const { return limit_; }
    size_t GetHeldBytes() const;

    // For the histories: the number of a step being recorded, in the document's
    // order, and the check that follows it.
    ULONGLONG NextStep() { return ++lastStep_; }
    void Enforce();

private:
    friend class ImageHistory;
    void Link(ImageHistory* history);
    void Unlink(ImageHistory* history);

    ImageHistory* first_ = nullptr;
    size_t limit_;
    ULONGLONG lastStep_ = 0;
};
