#pragma once
#include <windows.h>

#include <vector>

#include "document/byte_span.h"
#include "document/icon_file_layout.h"
#include "document/open_failure.h"

// An entry of an opened file that the editor does not edit (a PNG image, a
// size or a depth it does not hold) but keeps whole, to write it back unchanged.
struct KeptEntry
{
    OpenFailure why;            // PNG, size or depth
    int width;                  // of the image itself, from its record
    int height;
    int bitCount;               // for a PNG, bits per pixel of its own pixels
    bool fromCursor;            // the entry's planes and bit count hold a hotspot
    IconDirectoryEntry entry;   // as read; the offset changes with the file written
    std::vector<BYTE> record;   // every byte of the record, untouched
};

// Reads the record of an entry that the image reader refused for reason why
// (a PNG, an unsupported size or depth) into kept. The record is kept only when
// the entry bounds it inside the file's bytes and it is what it claims to be;
// anything else is damage.
OpenFailure ReadKeptEntry(ByteSpan file, const IconDirectoryEntry& entry, bool fromCursor, OpenFailure why,
                          KeptEntry& kept);

// The directory entry of a kept record in a file of that kind: as read when the
// kind is the one it came from; otherwise planes 1 and the record's depth for an
// icon, the centre of the image as the hotspot of a cursor.
IconDirectoryEntry KeptDirectoryEntry(const KeptEntry& kept, bool toCursor, DWORD offset);
