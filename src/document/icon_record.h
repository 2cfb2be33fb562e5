#pragma once
#include <windows.h>

#include "document/byte_span.h"
#include "document/open_failure.h"
#include "model/icon_image.h"
#include "win/png_chunks.h"

// The byte counts of an image's record in a file, from its size and bit count:
// header, colour table (none above 8 bits), colour rows and mask rows. All 0
// for an empty image.
struct RecordBytes
{
    int palette;
    int colour;
    int mask;
    int total;
};
RecordBytes RecordBytesOf(const IconImage& image);

// Reads the image record at offset of the file's bytes into image, which changes only when the
// whole record was read. recordBytes is the byte count of the record's directory
// entry, 0 when unknown: other writers leave out part of the colour table or the
// padding of the mask, or the mask itself, and only that count tells.
OpenFailure ReadIconRecord(ByteSpan file, DWORD offset, DWORD recordBytes, IconImage& image);

// Anything else where a record's header belongs is damage rather than an image
// the editor does not edit.
bool IsKnownHeaderSize(DWORD size);
