#pragma once
#include <windows.h>

#include <cstddef>

// The formats a copy puts on the clipboard, most preferred first, each with
// its data: a GDI bitmap for CF_BITMAP, global memory for any other. The
// shell hands them over; whatever it did not is freed with the offer.
class ClipboardOffer
{
public:
    static const size_t Capacity = 4;

    ClipboardOffer() = default;
    ~ClipboardOffer();
    ClipboardOffer(const ClipboardOffer&) = delete;
    ClipboardOffer& operator=(const ClipboardOffer&) = delete;

    // Takes the data in; false (the data freed) when the offer is full.
    bool Add(UINT format, HANDLE data);
    size_t Count() const { return count_; }
    UINT Format(size_t i) const { return items_[i].format; }
    HANDLE Data(size_t i) const { return items_[i].data; }
    // The clipboard accepted item i: it owns the data now.
    void HandedOver(size_t i) { items_[i].data = nullptr; }

private:
    struct Item
    {
        UINT format;
        HANDLE data;
    };
    Item items_[Capacity] = {};
    size_t count_ = 0;
};

// The formats Paste reads, most preferred first: the first the clipboard
// holds is taken. 0 past the last.
UINT PasteFormat(size_t i);
