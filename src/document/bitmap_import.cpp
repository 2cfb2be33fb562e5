#include "document/icon_document.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "document/icon_file_layout.h"
#include "document/whole_file.h"
#include "model/image_format.h"
#include "model/image_pixels.h"

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

// Whether the block holds its whole header and the colour table the header
// implies. Anything shorter is refused like a short file, never read past.
bool InfoBlockIsWhole(const BYTE* infoBlock, DWORD infoSize)
{
    if (!infoBlock || infoSize < kInfoHeaderSize)
        return false;
    const BITMAPINFOHEADER header = HeaderOf(infoBlock);
    if (header.biSize > infoSize)
        return false;
    if (header.biSize < kInfoHeaderSize)
        return true;   // not a header this reader understands: refused by its type
    return (infoSize - header.biSize) / 4 >= TableEntriesOf(header);
}

bool HasAcceptedSize(const BITMAPINFOHEADER& header)
{
    return header.biWidth == header.biHeight && IsAcceptedSize(header.biWidth);
}

// Only uncompressed pixels of a depth the image can hold; an older, shorter
// header (biSize below 40) does not have the fields where they are read here.
bool HasAcceptedType(const BITMAPINFOHEADER& header)
{
    return header.biSize >= kInfoHeaderSize && header.biCompression == BI_RGB
        && IsAcceptedBitCount(header.biBitCount);
}

// The pixels of a bitmap whose info block is whole, from the bytes at
// bfOffBits on; the image changes only when every row is there.
bool LoadBitmapPixels(ByteSpan rows, const BYTE* infoBlock, DWORD infoSize, IconImage& image)
{
    if (!InfoBlockIsWhole(infoBlock, infoSize))
        return false;
    const BITMAPINFOHEADER header = HeaderOf(infoBlock);
    ImagePixels pixels;
    if (!HasAcceptedSize(header) || !HasAcceptedType(header) || !pixels.Resize(header.biWidth, header.biBitCount))
        return false;
    // Entries the file leaves out stay black, as the system shows them.
    if (header.biBitCount <= 8)
        std::memcpy(pixels.palette.data(), infoBlock + header.biSize, 4 * TableEntriesOf(header));
    // Exactly the rows the image holds, whatever bfSize claims: more would run
    // past the colour bits, fewer is a short file. A bitmap has no mask.
    return rows.CopyTo(0, pixels.colour.data(), pixels.colour.size()) && image.LoadPixels(pixels);
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
         : !HasAcceptedType(header) ? ImportFailureType : ImportFailureNone;
}

ImportFailure ImportFailureOf(WholeFileRead read)
{
    switch (read) {
    case WholeFileRead::Read: return ImportFailureNone;
    case WholeFileRead::NoMemory: return ImportFailureOutOfMemory;
    // Far more than a bitmap of any of the six sizes takes.
    case WholeFileRead::TooLarge: return ImportFailureSize;
    default: return ImportFailureUnreadable;
    }
}

}  // namespace

ImportFailure IconDocument::ImportBitmap(const wchar_t* path, bool replace)
{
    std::vector<BYTE> bytes;
    const ImportFailure failure = ImportFailureOf(ReadBoundedFile(path, kMostFileBytes, bytes));
    if (failure != ImportFailureNone)
        return failure;
    return ImportBitmapBytes(ByteSpan(bytes.data(), bytes.size()), replace);
}

ImportFailure IconDocument::ImportBitmapBytes(ByteSpan file, bool replace)
{
    ByteSpan info;
    ImportFailure failure = CheckBitmapFile(file, info);
    if (failure != ImportFailureNone)
        return failure;

    // The document is emptied only once the new image is whole: a bitmap that
    // fails to load leaves the open document as it was.
    failure = ImportFailureOutOfMemory;
    std::unique_ptr<IconImage> image(new (std::nothrow) IconImage);
    if (!image)
        return failure;
    failure = ImportFailureDamaged;
    const DWORD offBits = DWORD(sizeof(BITMAPFILEHEADER) + info.Size());
    if (!LoadBitmapPixels(file.Part(offBits, file.Size()), info.At(0, info.Size()), DWORD(info.Size()), *image))
        return failure;
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
