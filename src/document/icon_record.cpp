#include "document/icon_record.h"

#include <string.h>

#include "document/file_io.h"

namespace {

enum MaskLayout { MaskPadded, MaskUnpadded, MaskAbsent };

struct RecordLayout
{
    DWORD fieldBytes;          // bit-field masks after the header
    int tableEntries;          // colour table entries stored
    MaskLayout mask;
};

// Anything else where a header belongs is damage rather than an image the
// editor does not edit.
bool IsKnownHeaderSize(DWORD size)
{
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Where the colour table and the mask end is judged by the entry's byte count:
// a count that fits none of the other writers' layouts reads the full table and
// the padded mask.
RecordLayout LayoutOf(const BITMAPINFOHEADER& header, DWORD fieldBytes, DWORD recordBytes)
{
    const int size = header.biWidth;
    const int bitCount = header.biBitCount;
    const LONGLONG colourBytes = LONGLONG(IconImage::RowStride(size, bitCount)) * size;
    const LONGLONG padded = LONGLONG(IconImage::RowStride(size, 1)) * size;
    const LONGLONG unpadded = LONGLONG((size + 7) / 8) * size;
    const int full = bitCount <= 8 ? 1 << bitCount : 0;
    auto maskRoom = [&](LONGLONG entries) {
        return LONGLONG(recordBytes) - (LONGLONG(sizeof(BITMAPINFOHEADER)) + fieldBytes + 4 * entries + colourBytes);
    };
    RecordLayout layout = { fieldBytes, full, MaskPadded };
    // A short table is taken when the count fits it and a mask exactly, or when
    // it has no room for the full table (Pillow gives every record of a file
    // the mask bytes of its largest image).
    if (bitCount <= 8 && header.biClrUsed > 0 && header.biClrUsed < DWORD(full)) {
        const LONGLONG room = maskRoom(header.biClrUsed);
        if (room == 0 || room == unpadded || room == padded || (room > 0 && maskRoom(full) < 0))
            layout.tableEntries = int(header.biClrUsed);
    }
    const LONGLONG room = maskRoom(layout.tableEntries);
    if (room >= 0 && room < unpadded)
        layout.mask = MaskAbsent;
    else if (room == unpadded && unpadded != padded)
        layout.mask = MaskUnpadded;
    return layout;
}

bool ReadMask(HANDLE file, MaskLayout layout, int size, BYTE* maskBits)
{
    const int stride = IconImage::RowStride(size, 1);
    if (layout == MaskPadded)
        return ReadExactly(file, maskBits, DWORD(stride * size));
    memset(maskBits, 0, size_t(stride) * size);
    if (layout == MaskAbsent)
        return true;
    const int rowBytes = (size + 7) / 8;
    BYTE rows[16 * 128];
    if (!ReadExactly(file, rows, DWORD(rowBytes * size)))
        return false;
    for (int y = 0; y < size; ++y)
        memcpy(maskBits + y * stride, rows + y * rowBytes, rowBytes);
    return true;
}

// Many writers leave the mask of a 32-bit image clear and keep transparency in
// the fourth byte alone. Only a mix of zero and other values is taken for that:
// all zero is a writer that left the byte unused. Transparent pixels turn black,
// as the model keeps them.
void MaskFromFourthByte(int size, BYTE* colourBits, BYTE* maskBits)
{
    const int stride = IconImage::RowStride(size, 1);
    for (int i = 0; i < stride * size; ++i)
        if (maskBits[i])
            return;
    int clear = 0;
    for (int p = 0; p < size * size; ++p)
        clear += colourBits[4 * p + 3] == 0;
    if (clear == 0 || clear == size * size)
        return;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            BYTE* pixel = colourBits + 4 * (y * size + x);
            if (pixel[3] == 0) {
                memset(pixel, 0, 4);
                maskBits[y * stride + x / 8] |= BYTE(0x80 >> (x % 8));
            }
        }
}

} // namespace

OpenFailure ReadIconRecord(HANDLE file, DWORD offset, DWORD recordBytes, IconImage& image)
{
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(file, &fileSize) || static_cast<LONGLONG>(offset) >= fileSize.QuadPart)
        return OpenFailureDamaged;
    LONG high = 0;
    if (SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER
        && GetLastError() != NO_ERROR)
        return OpenFailureDamaged;

    BITMAPINFOHEADER header;
    if (!ReadExactly(file, &header, sizeof(header)))
        return OpenFailureDamaged;
    static const BYTE kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (memcmp(&header, kPngSignature, sizeof(kPngSignature)) == 0)
        return OpenFailurePngImage;
    const int size = header.biWidth;
    const int bitCount = header.biBitCount;
    const bool sizeAccepted = IconImage::IsAcceptedSize(size);
    if (!sizeAccepted || !IconImage::IsAcceptedBitCount(bitCount))
        return !IsKnownHeaderSize(header.biSize) ? OpenFailureDamaged
             : !sizeAccepted ? OpenFailureUnsupportedSize : OpenFailureUnsupportedDepth;

    // Bit fields are read only in the arrangement of plain 32-bit pixels; any
    // other would need its channels moved, which the editor does not do.
    DWORD fieldBytes = 0;
    if (bitCount == 32 && header.biCompression == BI_BITFIELDS) {
        DWORD masks[3];
        if (!ReadExactly(file, masks, sizeof(masks)))
            return OpenFailureDamaged;
        if (masks[0] != 0x00FF0000 || masks[1] != 0x0000FF00 || masks[2] != 0x000000FF)
            return OpenFailureUnsupportedDepth;
        fieldBytes = sizeof(masks);
    }
    const RecordLayout layout = LayoutOf(header, fieldBytes, recordBytes);

    // Everything is read into a new state first: a short record leaves the image
    // as it was. Entries a short table leaves out are black.
    RGBQUAD palette[256] = {};
    const int paletteCount = bitCount <= 8 ? (1 << bitCount) : 256;
    if (bitCount <= 8) {
        if (!ReadExactly(file, palette, DWORD(sizeof(RGBQUAD) * layout.tableEntries)))
            return OpenFailureDamaged;
        // The model keeps the fourth byte of every entry at 0.
        for (int i = 0; i < paletteCount; ++i)
            palette[i].rgbReserved = 0;
    } else {
        IconImage::DefaultPalette(bitCount, palette);
    }

    ImageState* state = IconImage::NewState(size, bitCount, palette);
    if (!state)
        return OpenFailureOutOfMemory;
    const int colourBytes = IconImage::RowStride(size, bitCount) * size;
    if (!ReadExactly(file, state->colourBits, DWORD(colourBytes))
        || !ReadMask(file, layout.mask, size, state->maskBits)) {
        IconImage::FreeState(state);
        return OpenFailureDamaged;
    }
    if (bitCount == 32)
        MaskFromFourthByte(size, state->colourBits, state->maskBits);
    image.Reset();
    if (!image.AdoptFirstState(state, colourBytes, 0, paletteCount - 1)) {
        IconImage::FreeState(state);
        return OpenFailureOutOfMemory;
    }
    return OpenFailureNone;
}

// Without its directory entry the byte count is unknown: the record is read
// with a full colour table and a padded mask.
int IconImage::LoadFromIconData(HANDLE file, DWORD offset)
{
    return ReadIconRecord(file, offset, 0, *this) == OpenFailureNone ? 1 : 0;
}
