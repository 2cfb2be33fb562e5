#include "document/image_storage.h"

#include <string.h>

void ImageStorageTable::Remember(const IconImage& image, ImageStorage storage,
                                 std::shared_ptr<const PngOriginal> original)
{
    entries_[image.GetIdentity()] = Entry{storage, std::move(original)};
}

ImageStorage ImageStorageTable::StorageOf(const IconImage& image) const
{
    const auto found = entries_.find(image.GetIdentity());
    if (found != entries_.end())
        return found->second.storage;
    return image.GetSize() == 256 ? ImageStorage::Png : ImageStorage::Bitmap;
}

const std::vector<BYTE>* ImageStorageTable::UnchangedRecord(const IconImage& image) const
{
    const auto found = entries_.find(image.GetIdentity());
    if (found == entries_.end() || !found->second.original || !image.IsValid())
        return nullptr;
    const PngOriginal& original = *found->second.original;
    const BYTE* colour = image.GetColourBits();
    const BYTE* mask = image.GetMaskBits();
    // Compared by content: an edit undone, or one that changed nothing, still
    // writes the record as read.
    const bool same = image.GetSize() == original.size && image.GetBitCount() == 32 && colour && mask
                   && memcmp(colour, original.colour.data(), original.colour.size()) == 0
                   && memcmp(mask, original.mask.data(), original.mask.size()) == 0;
    return same ? &original.record : nullptr;
}

size_t ImageStorageTable::OriginalBytes(const IconImage& image) const
{
    const auto found = entries_.find(image.GetIdentity());
    return found != entries_.end() && found->second.original ? found->second.original->record.size() : 0;
}
