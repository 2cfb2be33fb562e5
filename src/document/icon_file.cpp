#include "document/icon_document.h"
#include "document/file_io.h"
#include "document/icon_record.h"

#include <memory>
#include <new>
#include <utility>
#include <vector>
#include <shlwapi.h>
#include <string.h>

namespace {

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

} // namespace

// ---- Reading -----------------------------------------------------------------

namespace {

// Each image holds two DIB sections (its undo steps hold none). A Windows
// process gets 10,000 GDI objects by default and the editor's windows take a few
// hundred: 1,000 images take a fifth of that and leave room for everything
// else. Files in use list a few dozen at most.
const int kMostImages = 1000;

// The images of a file, kept apart from the document until every one has loaded.
typedef std::vector<std::unique_ptr<IconImage>> Images;

OpenFailure ReadImages(HANDLE file, const IconFileHeader& header, Images& images)
{
    if (header.count == 0)
        return OpenFailureDamaged;
    // Refused before anything is built: each entry would cost GDI objects.
    if (header.count > kMostImages)
        return OpenFailureTooManyImages;
    const DWORD directoryBytes = sizeof(IconDirectoryEntry) * header.count;
    HeapBlock directory(directoryBytes);
    if (!directory.Ok())
        return OpenFailureOutOfMemory;
    if (!ReadExactly(file, directory.Get(), directoryBytes))
        return OpenFailureDamaged;
    const IconDirectoryEntry* entries = reinterpret_cast<const IconDirectoryEntry*>(directory.Get());
    try {
        images.reserve(header.count);
    } catch (const std::bad_alloc&) {
        return OpenFailureOutOfMemory;
    }
    for (int i = 0; i < header.count; ++i) {
        images.emplace_back(new (std::nothrow) IconImage);   // reserved: cannot throw
        IconImage* image = images.back().get();
        if (!image)
            return OpenFailureOutOfMemory;
        const IconDirectoryEntry& entry = entries[i];
        const OpenFailure failure = ReadIconRecord(file, entry.recordOffset, entry.bytesInRecord, *image);
        if (failure != OpenFailureNone)
            return failure;
        // A cursor's entry holds its hotspot; one outside the image is not
        // taken, and the image keeps the centre.
        const int size = image->GetSize();
        if (header.type == kTypeCursor && entry.planesOrHotspotX < size && entry.bitCountOrHotspotY < size)
            image->SetHotspot(entry.planesOrHotspotX, entry.bitCountOrHotspotY);
    }
    return OpenFailureNone;
}

OpenFailure ReadIconFile(const char* path, Images& images)
{
    if (!path || !path[0])
        return OpenFailureUnreadable;
    FileHandle file(OpenForReading(path));
    if (!file.Ok())
        return OpenFailureUnreadable;
    IconFileHeader header;
    if (!ReadExactly(file, &header, sizeof(header)) || header.reserved != 0)
        return OpenFailureNotIconFile;
    const OpenFailure failure = ReadImages(file, header, images);
    // Reading ignores the type, but it is the one mark of an icon file: a file
    // without it that also fails to read was most likely never one.
    const bool marked = header.type == kTypeIcon || header.type == kTypeCursor;
    return marked || failure == OpenFailureNone || failure == OpenFailureOutOfMemory ? failure
                                                                                      : OpenFailureNotIconFile;
}

} // namespace

int IconDocument::OpenFile(const char* path, OpenFailure* why)
{
    // A bad file leaves the open document as it was.
    Images images;
    const OpenFailure failure = ReadIconFile(path, images);
    if (why)
        *why = failure;
    if (failure != OpenFailureNone)
        return 0;
    TakeImages(std::move(images));
    SetFilePath(path);
    return 1;
}

// ---- Writing -----------------------------------------------------------------

namespace {

// The record of one image as it goes to disk: header, colour table, colour bits, mask.
bool FillRecord(const IconImage& image, BYTE* record)
{
    const int size = image.GetSize();
    const int bitCount = image.GetBitCount();
    const BYTE* colour = image.GetColourBits();
    const BYTE* mask = image.GetMaskBits();
    const RGBQUAD* palette = image.GetPalette();
    const RecordBytes bytes = RecordBytesOf(image);
    const int paletteBytes = bytes.palette;
    const int colourBytes = bytes.colour;
    const int maskBytes = bytes.mask;
    if (!colour || !mask || (paletteBytes && !palette))
        return false;

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = size;
    header.biHeight = 2 * size;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(colourBytes);
    BYTE* at = record;
    memcpy(at, &header, sizeof(header));
    at += sizeof(header);
    if (paletteBytes) {
        memcpy(at, palette, paletteBytes);
        at += paletteBytes;
    }
    memcpy(at, colour, colourBytes);
    if (bitCount == 32) {
        // In memory the fourth byte means nothing; on disk Windows and the other
        // readers take it as alpha, so it follows the mask.
        const int colourStride = RowStride(size, 32);
        const int maskStride = RowStride(size, 1);
        for (int row = 0; row < size; ++row) {
            BYTE* pixels = at + row * colourStride;
            const BYTE* bits = mask + row * maskStride;
            for (int x = 0; x < size; ++x) {
                bool transparent = (bits[x / 8] >> (7 - x % 8)) & 1;
                pixels[4 * x + 3] = transparent ? 0 : 0xFF;
            }
        }
    }
    at += colourBytes;
    memcpy(at, mask, maskBytes);
    return true;
}

} // namespace

IconFileKind FileKindOfPath(const char* path)
{
    const char* extension = path ? PathFindExtensionA(path) : "";
    if (lstrcmpiA(extension, ".ico") == 0)
        return IconFileKind::Icon;
    if (lstrcmpiA(extension, ".cur") == 0)
        return IconFileKind::Cursor;
    return IconFileKind::None;
}

bool IconDocument::BuildFileBytes(IconFileKind kind, std::vector<BYTE>& bytes) const
{
    const size_t count = images_.size();
    if (kind == IconFileKind::None || count == 0 || count > 0xFFFF)
        return false;
    const WORD type = kind == IconFileKind::Icon ? kTypeIcon : kTypeCursor;
    const DWORD directoryBytes = DWORD(sizeof(IconFileHeader) + sizeof(IconDirectoryEntry) * count);
    DWORD total = directoryBytes;
    for (const std::unique_ptr<IconImage>& image : images_)
        total += DWORD(RecordBytesOf(*image).total);
    try {
        bytes.assign(total, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    IconFileHeader* header = reinterpret_cast<IconFileHeader*>(bytes.data());
    header->reserved = 0;
    header->type = type;
    header->count = static_cast<WORD>(count);
    IconDirectoryEntry* entry = reinterpret_cast<IconDirectoryEntry*>(bytes.data() + sizeof(IconFileHeader));
    DWORD offset = directoryBytes;
    for (const std::unique_ptr<IconImage>& each : images_) {
        const IconImage& image = *each;
        const int size = image.GetSize();
        const int bitCount = image.GetBitCount();
        entry->width = static_cast<BYTE>(size);
        entry->height = static_cast<BYTE>(size);
        entry->colourCount = static_cast<BYTE>(bitCount == 1 ? 2 : bitCount == 4 ? 16 : 0);
        entry->reserved = 0;
        // Readers that choose an entry by depth take it from an icon's entry.
        if (type == kTypeIcon) {
            entry->planesOrHotspotX = 1;
            entry->bitCountOrHotspotY = static_cast<WORD>(bitCount);
        } else {
            const Hotspot hotspot = image.GetHotspot();
            entry->planesOrHotspotX = hotspot.x;
            entry->bitCountOrHotspotY = hotspot.y;
        }
        entry->bytesInRecord = static_cast<DWORD>(RecordBytesOf(image).total);
        entry->recordOffset = offset;
        if (!FillRecord(image, bytes.data() + offset))
            return false;
        offset += entry->bytesInRecord;
        ++entry;
    }
    return true;
}

int IconDocument::WriteIconFile(const char* path)
{
    std::vector<BYTE> bytes;
    if (!path || !path[0] || !BuildFileBytes(FileKindOfPath(path), bytes) || !ReplaceFileWith(path, bytes))
        return 0;
    modified_ = 0;
    return 1;
}
