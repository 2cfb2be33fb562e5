#include "document/icon_record.h"

#include <string.h>


namespace {

enum MaskLayout { MaskPadded, MaskUnpadded, MaskAbsent };

struct RecordLayout
{
    DWORD fieldBytes;          // bit-field masks after the header
    int tableEntries;          // colour table entries stored
    MaskLayout mask;
};

// Where the colour table and the mask end is judged by the entry's byte count:
// a count that fits none of the other writers' layouts reads the full table and
// the padded mask.
RecordLayout LayoutOf(const BITMAPINFOHEADER& header, DWORD fieldBytes, DWORD recordBytes)
{
    const int size = header.biWidth;
    const int bitCount = header.biBitCount;
    const LONGLONG colourBytes = LONGLONG(RowStride(size, bitCount)) * size;
    const LONGLONG padded = LONGLONG(RowStride(size, 1)) * size;
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

bool ReadMask(ByteReader& file, MaskLayout layout, int size, BYTE* maskBits)
{
    const int stride = RowStride(size, 1);
    if (layout == MaskPadded)
        return file.Read(maskBits, size_t(stride) * size);
    memset(maskBits, 0, size_t(stride) * size);
    if (layout == MaskAbsent)
        return true;
    const int rowBytes = (size + 7) / 8;
    const BYTE* rows = file.Take(size_t(rowBytes) * size);
    if (!rows)
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
    const int stride = RowStride(size, 1);
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

bool IsKnownHeaderSize(DWORD size)
{
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

OpenFailure ReadIconRecord(ByteSpan file, DWORD offset, DWORD recordBytes, IconImage& image)
{
    ByteReader record(file, offset);
    BITMAPINFOHEADER header;
    if (!record.Read(&header, sizeof(header)))
        return OpenFailureDamaged;
    if (StartsWithPngSignature(&header))
        return OpenFailurePngImage;
    const int size = header.biWidth;
    const int bitCount = header.biBitCount;
    const bool sizeAccepted = IsAcceptedSize(size);
    if (!sizeAccepted || !IsAcceptedBitCount(bitCount))
        return !IsKnownHeaderSize(header.biSize) ? OpenFailureDamaged
             : !sizeAccepted ? OpenFailureUnsupportedSize : OpenFailureUnsupportedDepth;

    // Bit fields are read only in the arrangement of plain 32-bit pixels; any
    // other would need its channels moved, which the editor does not do.
    DWORD fieldBytes = 0;
    if (bitCount == 32 && header.biCompression == BI_BITFIELDS) {
        DWORD masks[3];
        if (!record.Read(masks, sizeof(masks)))
            return OpenFailureDamaged;
        if (masks[0] != 0x00FF0000 || masks[1] != 0x0000FF00 || masks[2] != 0x000000FF)
            return OpenFailureUnsupportedDepth;
        fieldBytes = sizeof(masks);
    }
    const RecordLayout layout = LayoutOf(header, fieldBytes, recordBytes);

    // Everything is read apart first: a short record leaves the image as it was.
    // Entries a short table leaves out are black.
    ImagePixels pixels;
    if (!pixels.Resize(size, bitCount))
        return OpenFailureOutOfMemory;
    if (bitCount <= 8 && !record.Read(pixels.palette.data(), sizeof(RGBQUAD) * layout.tableEntries))
        return OpenFailureDamaged;
    if (!record.Read(pixels.colour.data(), pixels.colour.size())
        || !ReadMask(record, layout.mask, size, pixels.mask.data()))
        return OpenFailureDamaged;
    if (bitCount == 32)
        MaskFromFourthByte(size, pixels.colour.data(), pixels.mask.data());
    return image.LoadPixels(pixels) ? OpenFailureNone : OpenFailureOutOfMemory;
}

RecordBytes RecordBytesOf(const IconImage& image)
{
    RecordBytes bytes = { 0, 0, 0, 0 };
    if (!image.IsValid())
        return bytes;
    const int size = image.GetSize(), bitCount = image.GetBitCount();
    bytes.palette = bitCount <= 8 ? int(sizeof(RGBQUAD)) * PaletteCountOf(bitCount) : 0;
    bytes.colour = RowStride(size, bitCount) * size;
    bytes.mask = RowStride(size, 1) * size;
    bytes.total = int(sizeof(BITMAPINFOHEADER)) + bytes.palette + bytes.colour + bytes.mask;
    return bytes;
}
