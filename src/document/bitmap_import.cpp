#include "document/icon_document.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "document/file_io.h"
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

// The pixels of a bitmap whose info block was read whole, the file positioned
// at bfOffBits; the image changes only when every row was read.
bool LoadBitmapPixels(HANDLE file, const BYTE* infoBlock, DWORD infoSize, IconImage& image)
{
    if (!file || file == INVALID_HANDLE_VALUE || !InfoBlockIsWhole(infoBlock, infoSize))
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
    return ReadExactly(file, pixels.colour.data(), DWORD(pixels.colour.size())) && image.LoadPixels(pixels);
}

// Reads and checks the file header and the info block that follows it.
ImportFailure CheckBitmapFile(HANDLE file, BITMAPFILEHEADER& fileHeader, std::vector<BYTE>& info)
{
    if (!ReadExactly(file, &fileHeader, sizeof fileHeader) || fileHeader.bfType != 0x4D42)
        return ImportFailureNotBitmap;
    const DWORD fileSize = GetFileSize(file, nullptr);
    if (fileSize == INVALID_FILE_SIZE || fileHeader.bfOffBits < sizeof fileHeader
        || fileHeader.bfOffBits > fileSize)
        return ImportFailureDamaged;
    const DWORD infoSize = fileHeader.bfOffBits - sizeof fileHeader;
    try {
        info.resize(infoSize);
    } catch (const std::bad_alloc&) {
        return ImportFailureOutOfMemory;
    }
    if (!ReadExactly(file, info.data(), infoSize) || !InfoBlockIsWhole(info.data(), infoSize))
        return ImportFailureDamaged;
    const BITMAPINFOHEADER header = HeaderOf(info.data());
    // A header older than the one read here has no size fields to judge: its type goes first.
    return header.biSize < kInfoHeaderSize ? ImportFailureType
         : !HasAcceptedSize(header) ? ImportFailureSize
         : !HasAcceptedType(header) ? ImportFailureType : ImportFailureNone;
}

}  // namespace

int IconDocument::ImportBitmap(const wchar_t* path, int replace, ImportFailure* why)
{
    ImportFailure ignored;
    ImportFailure& failure = why ? *why : ignored;
    failure = ImportFailureUnreadable;
    FileHandle file(path && *path ? OpenForReading(path) : INVALID_HANDLE_VALUE);
    if (!file.Ok())
        return 0;
    BITMAPFILEHEADER fileHeader;
    std::vector<BYTE> info;
    failure = CheckBitmapFile(file, fileHeader, info);
    if (failure != ImportFailureNone)
        return 0;

    // The document is emptied only once the new image is whole: a bitmap that
    // fails to load leaves the open document as it was.
    failure = ImportFailureOutOfMemory;
    std::unique_ptr<IconImage> image(new (std::nothrow) IconImage);
    if (!image)
        return 0;
    failure = ImportFailureDamaged;
    if (!LoadBitmapPixels(file, info.data(), DWORD(info.size()), *image))
        return 0;
    if (replace)
        CloseDocument();
    failure = ImportFailureOutOfMemory;
    try {
        AppendImage(std::move(image));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    failure = ImportFailureNone;
    modified_ = 1;
    ++changes_;
    return 1;
}
