#include "document/png_record.h"

#include <new>
#include <string.h>

#include "win/png_chunks.h"
#include "win/png_codec.h"

namespace {

const int kLargestSide = 256;

bool IsMasked(const BYTE* maskRow, int x)
{
    return (maskRow[x / 8] >> (7 - x % 8)) & 1;
}

// PNG rows run top first, DIB rows bottom first. A pixel of alpha 0 is
// transparent, and black as the model keeps transparent pixels.
void PixelsOfPicture(const BgraPicture& picture, ImagePixels& pixels)
{
    const int size = picture.width;
    const int maskStride = RowStride(size, 1);
    for (int y = 0; y < size; ++y) {
        const BYTE* from = picture.pixels.data() + size_t(size - 1 - y) * size * 4;
        BYTE* to = pixels.colour.data() + size_t(y) * size * 4;
        BYTE* mask = pixels.mask.data() + y * maskStride;
        for (int x = 0; x < size; ++x, from += 4, to += 4) {
            if (from[3] == 0)
                mask[x / 8] |= BYTE(0x80 >> (x % 8));
            else
                memcpy(to, from, 4);
        }
    }
}

// A visible pixel of fourth byte 0 was painted where that byte meant nothing:
// it is opaque.
void PictureOfImage(const IconImage& image, BgraPicture& picture)
{
    const int size = image.GetSize();
    const int maskStride = RowStride(size, 1);
    picture.width = picture.height = size;
    for (int y = 0; y < size; ++y) {
        const int row = size - 1 - y;
        const BYTE* mask = image.GetMaskBits() + row * maskStride;
        BYTE* to = picture.pixels.data() + size_t(y) * size * 4;
        for (int x = 0; x < size; ++x, to += 4) {
            const COLORREF colour = image.GetPixelColour(x, y);
            const BYTE* stored = image.GetColourBits() + (size_t(row) * size + x) * 4;
            const bool masked = IsMasked(mask, x);
            to[0] = GetBValue(colour);
            to[1] = GetGValue(colour);
            to[2] = GetRValue(colour);
            to[3] = masked ? 0 : image.GetBitCount() == 32 && stored[3] ? stored[3] : 0xFF;
        }
    }
}

} // namespace

OpenFailure ReadPngRecord(ByteSpan file, const IconDirectoryEntry& entry, IconImage& image,
                          std::shared_ptr<const PngOriginal>& original)
{
    const BYTE* record = file.At(entry.recordOffset, entry.bytesInRecord);
    PngSize size;
    if (!record || !IsWholePng(record, entry.bytesInRecord, size))
        return OpenFailureDamaged;
    const DWORD listedWidth = entry.width ? entry.width : kLargestSide;
    const DWORD listedHeight = entry.height ? entry.height : kLargestSide;
    if (size.width != listedWidth || size.height != listedHeight)
        return OpenFailureDamaged;
    if (size.width != size.height || !IsAcceptedSize(int(size.width)))
        return OpenFailurePngImage;
    BgraPicture picture;
    const PngOutcome decoded = DecodePng(record, entry.bytesInRecord, kLargestSide, picture);
    if (decoded == PngOutcome::NoMemory)
        return OpenFailureOutOfMemory;
    if (decoded != PngOutcome::Done || DWORD(picture.width) != size.width || DWORD(picture.height) != size.height)
        return OpenFailurePngImage;
    std::shared_ptr<PngOriginal> read;
    ImagePixels pixels;
    try {
        read = std::make_shared<PngOriginal>();
        read->record.assign(record, record + entry.bytesInRecord);
    } catch (const std::bad_alloc&) {
        return OpenFailureOutOfMemory;
    }
    if (!pixels.Resize(picture.width, 32))
        return OpenFailureOutOfMemory;
    PixelsOfPicture(picture, pixels);
    if (!image.LoadPixels(pixels))
        return OpenFailureOutOfMemory;
    read->size = pixels.size;
    read->colour = std::move(pixels.colour);
    read->mask = std::move(pixels.mask);
    original = std::move(read);
    return OpenFailureNone;
}

PngRecordOutcome EncodePngRecord(const IconImage& image, std::vector<BYTE>& record)
{
    if (!image.IsValid())
        return PngRecordOutcome::NoCodec;
    BgraPicture picture;
    try {
        picture.pixels.resize(size_t(image.GetSize()) * image.GetSize() * 4);
    } catch (const std::bad_alloc&) {
        return PngRecordOutcome::NoMemory;
    }
    PictureOfImage(image, picture);
    const PngOutcome outcome = EncodePng(picture, record);
    return outcome == PngOutcome::Done       ? PngRecordOutcome::Done
         : outcome == PngOutcome::NoMemory ? PngRecordOutcome::NoMemory
                                           : PngRecordOutcome::NoCodec;
}
