#include "document/icon_document.h"
#include "document/file_io.h"
#include "document/icon_file_layout.h"
#include "document/icon_record.h"
#include "document/kept_entry.h"

#include <memory>
#include <new>
#include <utility>
#include <vector>
#include <shlwapi.h>
#include <string.h>

// ---- Reading -----------------------------------------------------------------

namespace {

// Each image holds two DIB sections (its undo steps hold none). A Windows
// process gets 10,000 GDI objects by default and the editor's windows take a few
// hundred: 1,000 images take a fifth of that and leave room for everything
// else. Files in use list a few dozen at most.
const int kMostImages = 1000;

// The images of a file and the entries kept beside them, apart from the
// document until every one has loaded.
typedef std::vector<std::unique_ptr<IconImage>> Images;
struct FileContent
{
    Images images;
    std::vector<KeptEntry> kept;
};

bool IsKeptReason(OpenFailure failure)
{
    return failure == OpenFailurePngImage || failure == OpenFailureUnsupportedSize
        || failure == OpenFailureUnsupportedDepth;
}

OpenFailure ReadEntries(HANDLE file, const IconFileHeader& header, FileContent& content)
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
        content.images.reserve(header.count);
        content.kept.reserve(header.count);
    } catch (const std::bad_alloc&) {
        return OpenFailureOutOfMemory;
    }
    for (int i = 0; i < header.count; ++i) {
        const IconDirectoryEntry& entry = entries[i];
        std::unique_ptr<IconImage> image(new (std::nothrow) IconImage);
        if (!image)
            return OpenFailureOutOfMemory;
        OpenFailure failure = ReadIconRecord(file, entry.recordOffset, entry.bytesInRecord, *image);
        // What the editor cannot edit is kept whole (reserved: cannot throw).
        if (IsKeptReason(failure)) {
            content.kept.emplace_back();
            failure = ReadKeptEntry(file, entry, header.type == kTypeCursor, failure, content.kept.back());
            if (failure != OpenFailureNone)
                return failure;
            continue;
        }
        if (failure != OpenFailureNone)
            return failure;
        // A cursor's entry holds its hotspot; one outside the image is not
        // taken, and the image keeps the centre.
        const int size = image->GetSize();
        if (header.type == kTypeCursor && entry.planesOrHotspotX < size && entry.bitCountOrHotspotY < size)
            image->SetHotspot(entry.planesOrHotspotX, entry.bitCountOrHotspotY);
        content.images.push_back(std::move(image));
    }
    // Nothing to edit: refused for the reason of its first entry.
    return content.images.empty() ? content.kept.front().why : OpenFailureNone;
}

OpenFailure ReadIconFile(const wchar_t* path, FileContent& content)
{
    if (!path || !path[0])
        return OpenFailureUnreadable;
    FileHandle file(OpenForReading(path));
    if (!file.Ok())
        return OpenFailureUnreadable;
    IconFileHeader header;
    if (!ReadExactly(file, &header, sizeof(header)) || header.reserved != 0)
        return OpenFailureNotIconFile;
    const OpenFailure failure = ReadEntries(file, header, content);
    // Reading ignores the type, but it is the one mark of an icon file: a file
    // without it that also fails to read was most likely never one.
    const bool marked = header.type == kTypeIcon || header.type == kTypeCursor;
    return marked || failure == OpenFailureNone || failure == OpenFailureOutOfMemory ? failure
                                                                                      : OpenFailureNotIconFile;
}

} // namespace

int IconDocument::OpenFile(const wchar_t* path, OpenFailure* why)
{
    // A bad file leaves the open document as it was.
    FileContent content;
    const OpenFailure failure = ReadIconFile(path, content);
    if (why)
        *why = failure;
    if (failure != OpenFailureNone)
        return 0;
    TakeImages(std::move(content.images), std::move(content.kept));
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

IconFileKind FileKindOfPath(const wchar_t* path)
{
    const wchar_t* extension = path ? PathFindExtensionW(path) : L"";
    if (lstrcmpiW(extension, L".ico") == 0)
        return IconFileKind::Icon;
    if (lstrcmpiW(extension, L".cur") == 0)
        return IconFileKind::Cursor;
    return IconFileKind::None;
}

// The editable images first, then the kept entries, their records as read.
bool IconDocument::BuildFileBytes(IconFileKind kind, std::vector<BYTE>& bytes) const
{
    const size_t count = images_.size() + kept_.size();
    if (kind == IconFileKind::None || images_.empty() || count > 0xFFFF)
        return false;
    const WORD type = kind == IconFileKind::Icon ? kTypeIcon : kTypeCursor;
    const DWORD directoryBytes = DWORD(sizeof(IconFileHeader) + sizeof(IconDirectoryEntry) * count);
    ULONGLONG total = directoryBytes;
    for (const std::unique_ptr<IconImage>& image : images_)
        total += DWORD(RecordBytesOf(*image).total);
    for (const KeptEntry& kept : kept_)
        total += kept.record.size();
    if (total > MAXDWORD)
        return false;
    try {
        bytes.assign(size_t(total), 0);
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
    for (const KeptEntry& kept : kept_) {
        *entry++ = KeptDirectoryEntry(kept, type == kTypeCursor, offset);
        memcpy(bytes.data() + offset, kept.record.data(), kept.record.size());
        offset += DWORD(kept.record.size());
    }
    return true;
}

int IconDocument::WriteIconFile(const wchar_t* path)
{
    std::vector<BYTE> bytes;
    if (!path || !path[0] || !BuildFileBytes(FileKindOfPath(path), bytes) || !ReplaceFileWith(path, bytes))
        return 0;
    modified_ = 0;
    return 1;
}
