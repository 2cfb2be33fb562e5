#pragma once
#include <windows.h>

// The header and directory entries of an icon or cursor file, as on disk.

#pragma pack(push, 1)
struct IconFileHeader
{
    WORD reserved;
    WORD type;
    WORD count;
};

struct IconDirectoryEntry
{
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planesOrHotspotX;
    WORD bitCountOrHotspotY;
    DWORD bytesInRecord;
    DWORD recordOffset;
};
#pragma pack(pop)

static_assert(sizeof(IconFileHeader) == 6, "icon file header is 6 bytes");
static_assert(sizeof(IconDirectoryEntry) == 16, "directory entry is 16 bytes");

const WORD kTypeIcon = 1;
const WORD kTypeCursor = 2;

// Each image holds two DIB sections (its undo steps hold none). A Windows
// process gets 10,000 GDI objects by default and the editor's windows take a few
// hundred: 1,000 images take a fifth of that and leave room for everything
// else. Files in use list a few dozen at most. What the editor builds keeps
// the same bound, so that it never writes a file it would refuse.
const int kMostImagesInFile = 1000;

// A file is read whole before it is parsed, and kept records are copied from
// it: the bound keeps both in a 32-bit process. Icon files in use hold a few
// megabytes at most.
const DWORD kMostFileBytes = 256u * 1024 * 1024;
