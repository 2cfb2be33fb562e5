#include "document/icon_document.h"

#include <cstring>
#include <new>

#include "document/file_io.h"
#include "win/identifiers.h"

namespace {

const char* const kSizeRefused = "La taille de l'image n'est pas valide.";
const char* const kTypeRefused = "Le type de l'image n'est pas valide.";

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
    if (header.biBitCount > 8 || !IconImage::IsAcceptedBitCount(header.biBitCount))
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
    return header.biWidth == header.biHeight && IconImage::IsAcceptedSize(header.biWidth);
}

// Only uncompressed pixels of a depth the image can hold; an older, shorter
// header (biSize below 40) does not have the fields where they are read here.
bool HasAcceptedType(const BITMAPINFOHEADER& header)
{
    return header.biSize >= kInfoHeaderSize && header.biCompression == BI_RGB
        && IconImage::IsAcceptedBitCount(header.biBitCount);
}

}  // namespace

int IconImage::LoadFromBitmap(HANDLE file, const BITMAPFILEHEADER* fileHeader,
                              const BYTE* infoBlock, DWORD infoSize)
{
    if (!file || file == INVALID_HANDLE_VALUE || !fileHeader || !InfoBlockIsWhole(infoBlock, infoSize))
        return 0;
    const BITMAPINFOHEADER header = HeaderOf(infoBlock);
    if (!HasAcceptedSize(header) || !HasAcceptedType(header))
        return 0;
    const int size = header.biWidth;
    const int bitCount = header.biBitCount;

    // Entries the file leaves out stay black, as the system shows them.
    RGBQUAD palette[256] = {};
    if (bitCount <= 8) {
        std::memcpy(palette, infoBlock + header.biSize, 4 * TableEntriesOf(header));
        // The model keeps the fourth byte of every entry at 0; files hold anything there.
        for (RGBQUAD& entry : palette)
            entry.rgbReserved = 0;
    } else
        DefaultPalette(bitCount, palette);

    ImageState* state = NewState(size, bitCount, palette);
    if (!state)
        return 0;
    // Exactly the rows the image holds, whatever bfSize claims: more would run
    // past the colour bits, fewer is a short file.
    const int colourBytes = RowStride(size, bitCount) * size;
    if (!ReadExactly(file, state->colourBits, DWORD(colourBytes))) {
        FreeState(state);
        return 0;
    }
    std::memset(state->maskBits, 0, size_t(RowStride(size, 1)) * size);
    GdiFlush();

    Reset();
    const int rightIndex = bitCount <= 7 ? (1 << bitCount) - 1 : 255;
    if (!AdoptFirstState(state, colourBytes, 0, rightIndex)) {
        FreeState(state);
        return 0;
    }
    return 1;
}

int IconDocument::ImportBitmap(const char* path, int replace)
{
    if (!path || !*path)
        return 0;
    FileHandle file(OpenForReading(path));
    if (!file.Ok())
        return 0;

    BITMAPFILEHEADER fileHeader;
    if (!ReadExactly(file, &fileHeader, sizeof fileHeader) || fileHeader.bfType != 0x4D42)
        return 0;
    const DWORD fileSize = GetFileSize(file, nullptr);
    if (fileSize == INVALID_FILE_SIZE || fileHeader.bfOffBits < sizeof fileHeader
        || fileHeader.bfOffBits > fileSize)
        return 0;
    const DWORD infoSize = fileHeader.bfOffBits - sizeof fileHeader;
    HeapBlock infoBlock(infoSize);
    if (!infoBlock.Ok() || !ReadExactly(file, infoBlock.Get(), infoSize)
        || !InfoBlockIsWhole(infoBlock.Get(), infoSize))
        return 0;

    const BITMAPINFOHEADER header = HeaderOf(infoBlock.Get());
    // A header older than the one read here has no size fields to judge: its type goes first.
    const char* refusal = header.biSize < kInfoHeaderSize ? kTypeRefused
                        : !HasAcceptedSize(header) ? kSizeRefused
                        : !HasAcceptedType(header) ? kTypeRefused : nullptr;
    if (refusal) {
        if (owner_)
            MessageBoxA(owner_, refusal, AppTitle, MB_ICONINFORMATION);
        return 0;
    }

    IconImage* image = new (std::nothrow) IconImage;
    if (!image)
        return 0;
    // The document is emptied only once the new image is whole: a bitmap that
    // fails to load leaves the open document as it was.
    if (!image->LoadFromBitmap(file, &fileHeader, infoBlock.Get(), infoSize)) {
        delete image;
        return 0;
    }
    if (replace)
        CloseDocument();
    if (!AppendImage(image)) {
        delete image;
        return 0;
    }
    modified_ = 1;
    return 1;
}
