#include "document/icon_document.h"
#include "document/file_io.h"
#include "document/icon_file_layout.h"
#include "document/icon_record.h"
#include "document/image_storage.h"
#include "document/kept_entry.h"
#include "document/png_record.h"
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
    ImageStorageTable storage;
    // The records copied whole, kept or PNG, as [start, end) in the file.
    std::vector<std::pair<ULONGLONG, ULONGLONG>> copied;
};

bool IsKeptReason(OpenFailure failure)
{
    return failure == OpenFailurePngImage || failure == OpenFailureUnsupportedSize
        || failure == OpenFailureUnsupportedDepth;
}

// Kept and PNG records are copied whole: entries that share bytes would each
// take a copy (hundreds of entries over one large PNG exhaust the memory), and
// no writer makes them. Noted as copied (reserved: cannot throw) otherwise.
bool OverlapsCopied(FileContent& content, const IconDirectoryEntry& entry)
{
    const ULONGLONG start = entry.recordOffset, end = start + entry.bytesInRecord;
    for (const auto& other : content.copied)
        if (start < other.second && other.first < end)
            return true;
    content.copied.emplace_back(start, end);
    return false;
}

bool Remember(FileContent& content, const IconImage& image, ImageStorage storage,
              std::shared_ptr<const PngOriginal> original)
{
    try {
        content.storage.Remember(image, storage, std::move(original));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// A PNG record that reads is an image stored as PNG; a sound one the editor
// cannot decode is kept whole.
OpenFailure ReadPngEntry(ByteSpan file, const IconDirectoryEntry& entry, FileContent& content, IconImage& image)
{
    if (OverlapsCopied(content, entry))
        return OpenFailureDamaged;
    std::shared_ptr<const PngOriginal> original;
    const OpenFailure failure = ReadPngRecord(file, entry, image, original);
    if (failure == OpenFailureNone && !Remember(content, image, ImageStorage::Png, std::move(original)))
        return OpenFailureOutOfMemory;
    return failure;
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
        content.copied.reserve(header.count);
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
        if (failure == OpenFailurePngImage)
            failure = ReadPngEntry(file, entry, content, *image);
        else if (failure == OpenFailureNone && !Remember(content, *image, ImageStorage::Bitmap, nullptr))
            return OpenFailureOutOfMemory;
        // What the editor cannot edit is kept whole (reserved: cannot throw).
        if (IsKeptReason(failure)) {
            if (failure != OpenFailurePngImage && OverlapsCopied(content, entry))
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
    storage_ = std::move(content.storage);
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
    // Alpha and mask go as the model holds them.
    memcpy(at, colour, colourBytes);
    at += colourBytes;
    memcpy(at, mask, maskBytes);
    return true;
}

// The PNG record of each image stored as PNG, null for a bitmap record: the
// record as read while the image is unchanged, encoded again otherwise. Where
// the imaging component cannot be had, a bitmap record keeps the pixels.
// encoded holds one slot per image, so that the addresses stay.
bool CollectPngRecords(const std::vector<std::unique_ptr<IconImage>>& images, const ImageStorageTable& storage,
                       std::vector<std::vector<BYTE>>& encoded, std::vector<const std::vector<BYTE>*>& records)
{
    try {
        encoded.resize(images.size());
        records.assign(images.size(), nullptr);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = *images[i];
        if (storage.StorageOf(image) != ImageStorage::Png)
            continue;
        records[i] = storage.UnchangedRecord(image);
        if (records[i])
            continue;
        const PngRecordOutcome outcome = EncodePngRecord(image, encoded[i]);
        if (outcome == PngRecordOutcome::NoMemory)
            return false;
        if (outcome == PngRecordOutcome::Done)
            records[i] = &encoded[i];
    }
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

// An estimate for images stored as PNG: the larger of the record read and the
// bitmap record, which bounds a PNG record of the same pixels at any size
// worth counting.
ULONGLONG IconDocument::FileByteCount(const IconImage* added) const
{
    const size_t count = images_.size() + kept_.size() + (added ? 1 : 0);
    ULONGLONG total = sizeof(IconFileHeader) + sizeof(IconDirectoryEntry) * ULONGLONG(count);
    for (const std::unique_ptr<IconImage>& image : images_) {
        const size_t bitmap = size_t(RecordBytesOf(*image).total), original = storage_.OriginalBytes(*image);
        total += bitmap > original ? bitmap : original;
    }
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
    failure = SaveFailure::NoMemory;
    std::vector<std::vector<BYTE>> encoded;
    std::vector<const std::vector<BYTE>*> png;
    if (!CollectPngRecords(images_, storage_, encoded, png))
        return failure;
    ULONGLONG total = directoryBytes;
    for (size_t i = 0; i < images_.size(); ++i)
        total += png[i] ? png[i]->size() : size_t(RecordBytesOf(*images_[i]).total);
    for (const KeptEntry& kept : kept_)
        total += kept.record.size();
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
    for (size_t i = 0; i < images_.size(); ++i) {
        const IconImage& image = *images_[i];
        const int size = image.GetSize();
        const int bitCount = png[i] ? 32 : image.GetBitCount();
        // A byte holds up to 255: 0 stands for 256.
        entry->width = static_cast<BYTE>(size < 256 ? size : 0);
        entry->height = entry->width;
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
        entry->recordOffset = offset;
        entry->bytesInRecord = DWORD(png[i] ? png[i]->size() : size_t(RecordBytesOf(image).total));
        if (png[i]) {
            memcpy(bytes.data() + offset, png[i]->data(), png[i]->size());
        } else if (!FillRecord(image, bytes.data() + offset)) {
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
