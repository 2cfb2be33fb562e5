#include "document/icon_document.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "document/icon_file_layout.h"
#include "document/png_import.h"
#include "document/whole_file.h"
#include "model/image_format.h"
#include "model/image_pixels.h"
#include "win/png_chunks.h"

namespace {

const DWORD kInfoHeaderSize = sizeof(BITMAPINFOHEADER);

BITMAPINFOHEADER HeaderOf(const BYTE* infoBlock)
{
    BITMAPINFOHEADER header;
    std::memcpy(&header, infoBlock, sizeof header);
    return header;
}

// The colour table follows the header, whatever its version; a file may hold
// fewer entries than the bit count allows (biClrUsed).
DWORD TableEntriesOf(const BITMAPINFOHEADER& header)
{
    // A depth the image cannot hold (0 for PNG or JPEG data) is refused by its
    // type, not as a short table.
    if (header.biBitCount > 8 || !IsAcceptedBitCount(header.biBitCount))
        return 0;
    const DWORD full = DWORD(1) << header.biBitCount;
    return header.biClrUsed != 0 && header.biClrUsed < full ? header.biClrUsed : full;
}

// The bit-field masks of a header: after a plain header, inside the later ones
// (red, green, blue, then alpha from the 56-byte header on).
DWORD FieldBytesAfter(const BITMAPINFOHEADER& header)
{
    return header.biCompression == BI_BITFIELDS && header.biSize == kInfoHeaderSize ? 12 : 0;
}

// Whether the block holds its whole header and the colour table (or masks) the
// header implies. Anything shorter is refused like a short file, never read past.
bool InfoBlockIsWhole(const BYTE* infoBlock, DWORD infoSize)
{
    if (!infoBlock || infoSize < kInfoHeaderSize)
        return false;
    const BITMAPINFOHEADER header = HeaderOf(infoBlock);
    if (header.biSize > infoSize)
        return false;
    if (header.biSize < kInfoHeaderSize)
        return true;   // not a header this reader understands: refused by its type
    const DWORD after = infoSize - header.biSize;
    return after >= FieldBytesAfter(header) && after / 4 >= TableEntriesOf(header);
}

// Masks of a whole info block; alpha 0 when the header has no field for it.
struct FieldMasks
{
    DWORD red, green, blue, alpha;
};
FieldMasks MasksOf(const BYTE* infoBlock)
{
    const BITMAPINFOHEADER header = HeaderOf(infoBlock);
    FieldMasks masks = {};
    std::memcpy(&masks, infoBlock + kInfoHeaderSize, header.biSize >= kInfoHeaderSize + 16 ? 16 : 12);
    return masks;
}

bool HasAcceptedSize(const BITMAPINFOHEADER& header)
{
    return header.biWidth == header.biHeight && IsAcceptedSize(header.biWidth);
}

// Only uncompressed pixels of a depth the image can hold, 32-bit ones also as
// bit fields in the order of plain pixels; an older, shorter header (biSize
// below 40) does not have the fields where they are read here.
bool HasAcceptedType(const BYTE* infoBlock)
{
    const BITMAPINFOHEADER header = HeaderOf(infoBlock);
    if (header.biSize < kInfoHeaderSize || !IsAcceptedBitCount(header.biBitCount))
        return false;
    if (header.biCompression == BI_RGB)
        return true;
    // The masks follow a plain header or lie inside one of 52 bytes or more.
    if (header.biCompression != BI_BITFIELDS || header.biBitCount != 32
        || (header.biSize != kInfoHeaderSize && header.biSize < kInfoHeaderSize + 12))
        return false;
    const FieldMasks masks = MasksOf(infoBlock);
    return masks.red == 0x00FF0000 && masks.green == 0x0000FF00 && masks.blue == 0x000000FF
        && (masks.alpha == 0 || masks.alpha == 0xFF000000);
}

// The fourth byte of 32-bit pixels is alpha, but for bit fields whose header
// has an alpha mask of 0: those pixels are opaque.
bool FourthByteIsAlpha(const BYTE* infoBlock)
{
    const BITMAPINFOHEADER header = HeaderOf(infoBlock);
    return header.biCompression != BI_BITFIELDS || header.biSize < kInfoHeaderSize + 16
        || MasksOf(infoBlock).alpha != 0;
}

// The pixels of a bitmap whose info block is whole, from the bytes at
// bfOffBits on; the image changes only when every row is there.
bool LoadBitmapPixels(ByteSpan rows, const BYTE* infoBlock, DWORD infoSize, IconImage& image)
{
    if (!InfoBlockIsWhole(infoBlock, infoSize))
        return false;
    const BITMAPINFOHEADER header = HeaderOf(infoBlock);
    ImagePixels pixels;
    if (!HasAcceptedSize(header) || !HasAcceptedType(infoBlock) || !pixels.Resize(header.biWidth, header.biBitCount))
        return false;
    // Entries the file leaves out stay black, as the system shows them.
    if (header.biBitCount <= 8)
        std::memcpy(pixels.palette.data(), infoBlock + header.biSize, 4 * TableEntriesOf(header));
    // Exactly the rows the image holds, whatever bfSize claims: more would run
    // past the colour bits, fewer is a short file. A bitmap has no mask: alpha
    // 0 makes one.
    if (!rows.CopyTo(0, pixels.colour.data(), pixels.colour.size()))
        return false;
    if (header.biBitCount == 32 && !FourthByteIsAlpha(infoBlock))
        for (size_t at = 3; at < pixels.colour.size(); at += 4)
            pixels.colour[at] = 0;
    pixels.SettleAlpha();
    return image.LoadPixels(pixels) != 0;
}

// Checks the file header and the info block that follows it, which info then spans.
ImportFailure CheckBitmapFile(ByteSpan file, ByteSpan& info)
{
    BITMAPFILEHEADER fileHeader;
    if (!file.CopyTo(0, &fileHeader, sizeof fileHeader) || fileHeader.bfType != 0x4D42)
        return ImportFailureNotBitmap;
    if (fileHeader.bfOffBits < sizeof fileHeader || fileHeader.bfOffBits > file.Size())
        return ImportFailureDamaged;
    info = file.Part(sizeof fileHeader, fileHeader.bfOffBits - sizeof fileHeader);
    const BYTE* block = info.At(0, info.Size());
    if (!InfoBlockIsWhole(block, DWORD(info.Size())))
        return ImportFailureDamaged;
    const BITMAPINFOHEADER header = HeaderOf(block);
    // A header older than the one read here has no size fields to judge: its type goes first.
    return header.biSize < kInfoHeaderSize ? ImportFailureType
         : !HasAcceptedSize(header) ? ImportFailureSize
         : !HasAcceptedType(block) ? ImportFailureType : ImportFailureNone;
}

ImportFailure ImportFailureOf(WholeFileRead read)
{
    switch (read) {
    case WholeFileRead::Read: return ImportFailureNone;
    case WholeFileRead::NoMemory: return ImportFailureOutOfMemory;
    // Far more than a bitmap of any size an image can have takes.
    case WholeFileRead::TooLarge: return ImportFailureSize;
    default: return ImportFailureUnreadable;
    }
}

}  // namespace

ImportFailure IconDocument::ImportBitmap(const wchar_t* path, bool replace, PictureFit* fit)
{
    std::vector<BYTE> bytes;
    const ImportFailure failure = ImportFailureOf(ReadBoundedFile(path, kMostFileBytes, bytes));
    if (failure != ImportFailureNone)
        return failure;
    return ImportBitmapBytes(ByteSpan(bytes.data(), bytes.size()), replace, fit);
}

ImportFailure IconDocument::ImportBitmapBytes(ByteSpan file, bool replace, PictureFit* fit)
{
    const bool png = file.Size() >= 8 && StartsWithPngSignature(file.At(0, 8));
    ByteSpan info;
    ImportFailure failure = png ? ImportFailureNone : CheckBitmapFile(file, info);
    if (failure != ImportFailureNone)
        return failure;

    // The document is emptied only once the new image is whole: a picture that
    // fails to load leaves the open document as it was.
    failure = ImportFailureOutOfMemory;
    std::unique_ptr<IconImage> image(new (std::nothrow) IconImage);
    if (!image)
        return failure;
    if (png) {
        failure = LoadPngPicture(file, fit, *image);
        if (failure != ImportFailureNone)
            return failure;
    } else {
        failure = ImportFailureDamaged;
        const DWORD offBits = DWORD(sizeof(BITMAPFILEHEADER) + info.Size());
        if (!LoadBitmapPixels(file.Part(offBits, file.Size()), info.At(0, info.Size()), DWORD(info.Size()), *image))
            return failure;
    }
    failure = ImportFailureTooManyImages;
    if (!replace && !CanAdd(*image))
        return failure;
    Batch batch(*this);
    if (replace)
        CloseDocument();
    failure = ImportFailureOutOfMemory;
    try {
        AppendImage(std::move(image));
    } catch (const std::bad_alloc&) {
        return failure;
    }
    MarkModified(replace ? ChangeWholeDocument : ChangeImageList);
    return ImportFailureNone;
}
