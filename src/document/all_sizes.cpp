#include "document/icon_document.h"

#include <new>
#include <utility>

#include "document/icon_file_layout.h"
#include "document/icon_record.h"
#include "model/bgra_pixels.h"
#include "model/resample.h"

namespace {

bool HoldsSize(const std::vector<std::unique_ptr<IconImage>>& images, const std::vector<KeptEntry>& kept, int size)
{
    for (const std::unique_ptr<IconImage>& image : images)
        if (image->GetSize() == size)
            return true;
    for (const KeptEntry& entry : kept)
        if (entry.width == size && entry.height == size)
            return true;
    return false;
}

// The hotspot lands on the same spot of the picture, for a cursor.
WORD ScaledHotspot(WORD at, int from, int to)
{
    const int scaled = int((2 * at + 1) * to / (2 * from));
    return WORD(scaled < to ? scaled : to - 1);
}

std::unique_ptr<IconImage> BuiltImage(const std::vector<BYTE>& source, const IconImage& from, int size)
{
    std::vector<BYTE> scaled;
    ImagePixels pixels;
    if (!ResampleSquare(source, from.GetSize(), size, scaled) || !PixelsFromBgra(scaled, size, pixels))
        return nullptr;
    const Hotspot hotspot = from.GetHotspot();
    pixels.hotspot.x = ScaledHotspot(hotspot.x, from.GetSize(), size);
    pixels.hotspot.y = ScaledHotspot(hotspot.y, from.GetSize(), size);
    std::unique_ptr<IconImage> image(new (std::nothrow) IconImage);
    if (!image || !image->LoadPixels(pixels))
        return nullptr;
    return image;
}

}  // namespace

// Every image is made before the first is added, so that the document takes
// all of them or, when memory or the file's bounds say no, none.
SizesOutcome IconDocument::AddMissingSizes(std::vector<int>& added)
{
    added.clear();
    const IconImage* current = GetCurrentImage();
    if (!current || !current->IsValid())
        return SizesOutcome::NoImage;
    ImageList built;
    std::vector<int> sizes;
    try {
        std::vector<BYTE> source;
        for (int size : kWindowsIconSizes)
            if (!HoldsSize(images_, kept_, size))
                sizes.push_back(size);
        if (sizes.empty())
            return SizesOutcome::NoneMissing;
        if (images_.size() + kept_.size() + sizes.size() > size_t(kMostImagesInFile))
            return SizesOutcome::TooManyImages;
        if (!ImageToBgra(*current, source))
            return SizesOutcome::NoMemory;
        for (int size : sizes) {
            built.push_back(BuiltImage(source, *current, size));
            if (!built.back())
                return SizesOutcome::NoMemory;
        }
        images_.reserve(images_.size() + built.size());
        added.reserve(sizes.size());
    } catch (const std::bad_alloc&) {
        return SizesOutcome::NoMemory;
    }
    ULONGLONG bytes = FileByteCount(nullptr);
    for (const std::unique_ptr<IconImage>& image : built)
        bytes += sizeof(IconDirectoryEntry) + RecordBytesOf(*image).total;
    if (bytes > kMostFileBytes)
        return SizesOutcome::TooManyImages;
    // Room was reserved: from here on nothing throws.
    for (std::unique_ptr<IconImage>& image : built) {
        budget_.Attach(image.get());
        images_.push_back(std::move(image));
    }
    added.swap(sizes);
    MarkModified(ChangeImageList);
    return SizesOutcome::Added;
}
