#include "document/icon_document.h"
#include "document/file_io.h"
#include "document/icon_file_layout.h"
#include "document/icon_record.h"
#include "document/kept_entry.h"
#include "document/whole_file.h"

#include <memory>
#include <new>
#include <utility>
#include <vector>
#include <shlwapi.h>
#include <string.h>

// ---- Reading -----------------------------------------------------------------

namespace {

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

// Kept records are copied whole: entries that share bytes would each take a
// copy (hundreds of entries over one large PNG exhaust the memory), and no
// writer makes them.
bool OverlapsKept(const std::vector<KeptEntry>& kept, const IconDirectoryEntry& entry)
{
    const ULONGLONG start = entry.recordOffset, end = start + entry.bytesInRecord;
    for (const KeptEntry& other : kept) {
        const ULONGLONG otherStart = other.entry.recordOffset, otherEnd = otherStart + other.entry.bytesInRecord;
        if (start < otherEnd && otherStart < end)
            return true;
    }
    return false;
}

OpenFailure ReadEntries(ByteSpan file, const IconFileHeader& header, FileContent& content)
{
    if (header.count == 0)
        return OpenFailureDamaged;
    // Refused before anything is built: each entry would cost GDI objects.
    if (header.count > kMostImagesInFile)
        return OpenFailureTooManyImages;
    const BYTE* directory = file.At(sizeof(IconFileHeader), sizeof(IconDirectoryEntry) * header.count);
    if (!directory)
        return OpenFailureDamaged;
    try {
        content.images.reserve(header.count);
        content.kept.reserve(header.count);
    } catch (const std::bad_alloc&) {
        return OpenFailureOutOfMemory;
    }
    for (int i = 0; i < header.count; ++i) {
        IconDirectoryEntry entry;
        memcpy(&entry, directory + sizeof(IconDirectoryEntry) * i, sizeof entry);
        std::unique_ptr<IconImage> image(new (std::nothrow) IconImage);
        if (!image)
            return OpenFailureOutOfMemory;
        OpenFailure failure = ReadIconRecord(file, entry.recordOffset, entry.bytesInRecord, *image);
        // What the editor cannot edit is kept whole (reserved: cannot throw).
        if (IsKeptReason(failure)) {
            if (OverlapsKept(content.kept, entry))
                return OpenFailureDamaged;
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

OpenFailure ReadIconFile(ByteSpan file, FileContent& content)
{
    IconFileHeader header;
    if (!file.CopyTo(0, &header, sizeof(header)) || header.reserved != 0)
        return OpenFailureNotIconFile;
    const OpenFailure failure = ReadEntries(file, header, content);
    // Reading ignores the type, but it is the one mark of an icon file: a file
    // without it that also fails to read was most likely never one.
    const bool marked = header.type == kTypeIcon || header.type == kTypeCursor;
    return marked || failure == OpenFailureNone || failure == OpenFailureOutOfMemory ? failure
                                                                                      : OpenFailureNotIconFile;
}

OpenFailure OpenFailureOf(WholeFileRead read)
{
    switch (read) {
    case WholeFileRead::Read: return OpenFailureNone;
    case WholeFileRead::TooLarge: return OpenFailureTooLarge;
    case WholeFileRead::NoMemory: return OpenFailureOutOfMemory;
    default: return OpenFailureUnreadable;
    }
}

} // namespace

OpenFailure IconDocument::OpenFile(const wchar_t* path)
{
    Batch batch(*this);
    std::vector<BYTE> bytes;
    const OpenFailure read = OpenFailureOf(ReadBoundedFile(path, kMostFileBytes, bytes));
    if (read != OpenFailureNone)
        return read;
    const OpenFailure failure = OpenBytes(ByteSpan(bytes.data(), bytes.size()));
    if (failure != OpenFailureNone)
        return failure;
    SetFilePath(path);
    return OpenFailureNone;
}

OpenFailure IconDocument::OpenBytes(ByteSpan file)
{
    // A bad file leaves the open document as it was.
    FileContent content;
    const OpenFailure failure = ReadIconFile(file, content);
    if (failure != OpenFailureNone)
        return failure;
    TakeImages(std::move(content.images), std::move(content.kept));
    return OpenFailureNone;
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

ULONGLONG IconDocument::FileByteCount(const IconImage* added) const
{
    const size_t count = images_.size() + kept_.size() + (added ? 1 : 0);
    ULONGLONG total = sizeof(IconFileHeader) + sizeof(IconDirectoryEntry) * ULONGLONG(count);
    for (const std::unique_ptr<IconImage>& image : images_)
        total += DWORD(RecordBytesOf(*image).total);
    for (const KeptEntry& kept : kept_)
        total += kept.record.size();
    return added ? total + DWORD(RecordBytesOf(*added).total) : total;
}

bool IconDocument::CanAdd(const IconImage& image) const
{
    return CanAddImage() && FileByteCount(&image) <= kMostFileBytes;
}

// The editable images first, then the kept entries, their records as read.
SaveFailure IconDocument::BuildFileBytes(IconFileKind kind, std::vector<BYTE>& bytes) const
{
    SaveFailure failure = SaveFailure::NothingToSave;
    const size_t count = images_.size() + kept_.size();
    if (kind == IconFileKind::None || images_.empty())
        return failure;
    const WORD type = kind == IconFileKind::Icon ? kTypeIcon : kTypeCursor;
    const DWORD directoryBytes = DWORD(sizeof(IconFileHeader) + sizeof(IconDirectoryEntry) * count);
    const ULONGLONG total = FileByteCount(nullptr);
    // Past what the reader takes, the file could not be opened again.
    failure = SaveFailure::TooLarge;
    if (count > size_t(kMostImagesInFile) || total > kMostFileBytes)
        return failure;
    failure = SaveFailure::NoMemory;
    try {
        bytes.assign(size_t(total), 0);
    } catch (const std::bad_alloc&) {
        return failure;
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
        if (!FillRecord(image, bytes.data() + offset)) {
            failure = SaveFailure::NothingToSave;
            return failure;
        }
        offset += entry->bytesInRecord;
        ++entry;
    }
    for (const KeptEntry& kept : kept_) {
        *entry++ = KeptDirectoryEntry(kept, type == kTypeCursor, offset);
        memcpy(bytes.data() + offset, kept.record.data(), kept.record.size());
        offset += DWORD(kept.record.size());
    }
    failure = SaveFailure::None;
    return failure;
}

SaveFailure IconDocument::WriteIconFile(const wchar_t* path)
{
    std::vector<BYTE> bytes;
    if (!path || !path[0])
        return SaveFailure::NothingToSave;
    const SaveFailure built = BuildFileBytes(FileKindOfPath(path), bytes);
    if (built != SaveFailure::None)
        return built;
    if (!ReplaceFileWith(path, bytes))
        return SaveFailure::NotWritten;
    modified_ = 0;
    Notify(ChangeFileState);
    return SaveFailure::None;
}
