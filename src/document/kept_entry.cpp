#include "document/kept_entry.h"

#include <new>
#include <string.h>

#include "document/icon_record.h"
#include "model/image_format.h"

namespace {

DWORD BigEndian(const BYTE* at)
{
    return DWORD(at[0]) << 24 | DWORD(at[1]) << 16 | DWORD(at[2]) << 8 | at[3];
}

// A PNG names its size and depth in its first chunk, which must be its header.
bool ReadPngHeader(const std::vector<BYTE>& record, KeptEntry& kept)
{
    const size_t kHeaderChunkEnd = 8 + 8 + 13 + 4;
    if (record.size() < kHeaderChunkEnd || !StartsWithPngSignature(record.data()) || BigEndian(&record[8]) != 13
        || memcmp(&record[12], "IHDR", 4) != 0)
        return false;
    const DWORD width = BigEndian(&record[16]), height = BigEndian(&record[20]);
    const int depth = record[24], colourType = record[25];
    // Samples per pixel of each colour type; 0 for the numbers PNG does not use.
    static const int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    const int channels = colourType < 7 ? kChannels[colourType] : 0;
    const bool grey = colourType == 0, indexed = colourType == 3;
    const bool depthValid = (depth == 8 || depth == 16 || ((depth == 1 || depth == 2 || depth == 4) && (grey || indexed)))
                         && !(indexed && depth == 16);
    if (width == 0 || height == 0 || width > 0xFFFF || height > 0xFFFF || channels == 0 || !depthValid)
        return false;
    kept.width = int(width);
    kept.height = int(height);
    kept.bitCount = depth * channels;
    return true;
}

// An icon record holds the mask rows under the colour rows, hence its height
// of twice the image's; entries name no image wider or higher than 256 pixels.
bool ReadBitmapHeader(const std::vector<BYTE>& record, KeptEntry& kept)
{
    BITMAPINFOHEADER header;
    if (record.size() < sizeof header)
        return false;
    memcpy(&header, record.data(), sizeof header);
    const int bits = header.biBitCount;
    const bool depthKnown = bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const LONG height = header.biHeight / 2;
    if (!IsKnownHeaderSize(header.biSize) || header.biWidth < 1 || header.biWidth > 256 || header.biHeight % 2 != 0
        || height < 1 || height > 256 || !depthKnown)
        return false;
    // At least the colour rows must be there: a record is more than its header.
    const LONGLONG colourBytes = LONGLONG(RowStride(header.biWidth, bits)) * height;
    if (LONGLONG(header.biSize) + colourBytes > LONGLONG(record.size()))
        return false;
    kept.width = header.biWidth;
    kept.height = height;
    kept.bitCount = bits;
    return true;
}

} // namespace

OpenFailure ReadKeptEntry(ByteSpan file, const IconDirectoryEntry& entry, bool fromCursor, OpenFailure why,
                          KeptEntry& kept)
{
    const BYTE* record = file.At(entry.recordOffset, entry.bytesInRecord);
    if (!record || entry.bytesInRecord == 0)
        return OpenFailureDamaged;
    try {
        kept.record.assign(record, record + entry.bytesInRecord);
    } catch (const std::bad_alloc&) {
        return OpenFailureOutOfMemory;
    }
    const bool read = why == OpenFailurePngImage ? ReadPngHeader(kept.record, kept) : ReadBitmapHeader(kept.record, kept);
    if (!read)
        return OpenFailureDamaged;
    kept.why = why;
    kept.fromCursor = fromCursor;
    kept.entry = entry;
    return OpenFailureNone;
}

IconDirectoryEntry KeptDirectoryEntry(const KeptEntry& kept, bool toCursor, DWORD offset)
{
    IconDirectoryEntry entry = kept.entry;
    entry.recordOffset = offset;
    if (toCursor == kept.fromCursor)
        return entry;
    entry.planesOrHotspotX = toCursor ? WORD((kept.width - 1) / 2) : WORD(1);
    entry.bitCountOrHotspotY = toCursor ? WORD((kept.height - 1) / 2) : WORD(kept.bitCount);
    return entry;
}
