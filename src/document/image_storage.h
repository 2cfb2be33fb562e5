#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "model/icon_image.h"

// How an image is stored in its file.
enum class ImageStorage { Bitmap, Png };

// A PNG record as read, with the pixels it gave the image: while the image's
// pixels equal them, the record goes back to disk byte for byte.
struct PngOriginal
{
    std::vector<BYTE> record;
    int size = 0;
    std::vector<BYTE> colour;
    std::vector<BYTE> mask;
};

// The storage of every image read from the file, by the image's identity, so
// that it follows the image through deletion, restoration and undo. An image
// the table does not know is new: stored as PNG at 256 pixels (the convention
// of Windows icons), as a bitmap otherwise.
class ImageStorageTable
{
public:
    // Throws std::bad_alloc when memory runs out.
    void Remember(const IconImage& image, ImageStorage storage, std::shared_ptr<const PngOriginal> original);
    void Clear() { entries_.clear(); }

    ImageStorage StorageOf(const IconImage& image) const;
    // The record read for the image when its pixels are still the ones read
    // from it; null otherwise.
    const std::vector<BYTE>* UnchangedRecord(const IconImage& image) const;
    // Its byte count, or 0; cheap, for estimates.
    size_t OriginalBytes(const IconImage& image) const;

private:
    struct Entry
    {
        ImageStorage storage;
        std::shared_ptr<const PngOriginal> original;
    };
    std::map<unsigned long, Entry> entries_;
};
