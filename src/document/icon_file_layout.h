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
