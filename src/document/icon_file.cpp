#include "document/icon_document.h"
#include "document/file_io.h"

#include <new>
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

// 1 icon, 2 cursor by the extension of the last path component; 0 for any other.
WORD FileTypeOfPath(const char* path)
{
    char extension[MAX_PATH];
    lstrcpynA(extension, PathFindExtensionA(path), MAX_PATH);
    CharLowerA(extension);
    if (strcmp(extension, ".ico") == 0)
        return kTypeIcon;
    if (strcmp(extension, ".cur") == 0)
        return kTypeCursor;
    return 0;
}

// Where the editor writes a document before it replaces the file the user chose.
bool MakeTemporaryBeside(const char* path, char* temporary)
{
    char folder[MAX_PATH];
    lstrcpynA(folder, path, MAX_PATH);
    if (PathFindFileNameA(folder) == folder)
        lstrcpyA(folder, ".");
    else
        PathRemoveFileSpecA(folder);
    if (!folder[0])
        lstrcpyA(folder, ".");
    return GetTempFileNameA(folder, "vem", 0, temporary) != 0;
}

} // namespace

// ---- Reading -----------------------------------------------------------------

int IconImage::LoadFromIconData(HANDLE file, DWORD offset)
{
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(file, &fileSize) || static_cast<LONGLONG>(offset) >= fileSize.QuadPart)
        return 0;
    LONG high = 0;
    if (SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER
        && GetLastError() != NO_ERROR)
        return 0;

    BITMAPINFOHEADER header;
    if (!ReadExactly(file, &header, sizeof(header)))
        return 0;
    // A record stored as PNG data begins with the PNG signature instead of a header.
    static const BYTE kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (memcmp(&header, kPngSignature, sizeof(kPngSignature)) == 0)
        return 0;
    const int size = header.biWidth;
    const int bitCount = header.biBitCount;
    if (!IsAcceptedSize(size) || !IsAcceptedBitCount(bitCount))
        return 0;

    // Everything is read into a new state first: a short record leaves the image as it was.
    RGBQUAD palette[256];
    const int paletteCount = bitCount <= 8 ? (1 << bitCount) : 256;
    if (bitCount <= 8) {
        if (!ReadExactly(file, palette, static_cast<DWORD>(sizeof(RGBQUAD) * paletteCount)))
            return 0;
        // The model keeps the fourth byte of every entry at 0.
        for (int i = 0; i < paletteCount; ++i)
            palette[i].rgbReserved = 0;
    } else {
        DefaultPalette(bitCount, palette);
    }

    ImageState* state = NewState(size, bitCount, palette);
    if (!state)
        return 0;
    const int colourBytes = RowStride(size, bitCount) * size;
    const int maskBytes = RowStride(size, 1) * size;
    if (!ReadExactly(file, state->colourBits, static_cast<DWORD>(colourBytes))
        || !ReadExactly(file, state->maskBits, static_cast<DWORD>(maskBytes))) {
        FreeState(state);
        return 0;
    }
    // The hotspot of a cursor's directory entry is not read back: AdoptFirstState
    // puts it at the centre.
    Reset();
    if (!AdoptFirstState(state, colourBytes, 0, paletteCount - 1)) {
        FreeState(state);
        return 0;
    }
    return 1;
}

int IconDocument::OpenFile(HWND /*owner*/, const char* path)
{
    if (!path || !path[0])
        return 0;
    FileHandle file(OpenForReading(path));
    if (!file.Ok())
        return 0;

    IconFileHeader header;
    if (!ReadExactly(file, &header, sizeof(header)) || header.reserved != 0 || header.count == 0)
        return 0;
    const int count = header.count;
    HeapBlock directory(sizeof(IconDirectoryEntry) * count);
    if (!directory.Ok() || !ReadExactly(file, directory.Get(), sizeof(IconDirectoryEntry) * count))
        return 0;
    const IconDirectoryEntry* entries = reinterpret_cast<const IconDirectoryEntry*>(directory.Get());

    // The images are built into nodes of their own and replace the document only
    // when every one of them loaded: a bad file leaves the open document as it was.
    ImageNode* first = nullptr;
    ImageNode* last = nullptr;
    bool loaded = true;
    for (int i = 0; i < count && loaded; ++i) {
        IconImage* image = new (std::nothrow) IconImage;
        ImageNode* node = image ? new (std::nothrow) ImageNode{image, last, nullptr} : nullptr;
        if (!node) {
            delete image;
            loaded = false;
            break;
        }
        if (last)
            last->next = node;
        else
            first = node;
        last = node;
        loaded = image->LoadFromIconData(file, entries[i].recordOffset) != 0;
    }
    if (!loaded) {
        while (first) {
            ImageNode* next = first->next;
            delete first->image;
            delete first;
            first = next;
        }
        return 0;
    }

    CloseDocument();
    first_ = first;
    last_ = last;
    current_ = first;
    for (ImageNode* node = first_; node; node = node->next)
        budget_.Attach(node->image);
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
    const BYTE* colour = static_cast<const BYTE*>(image.GetBits(0));
    const BYTE* mask = static_cast<const BYTE*>(image.GetBits(1));
    const BYTE* palette = static_cast<const BYTE*>(image.GetBits(2));
    const int paletteBytes = image.GetPaletteBytes();
    const int colourBytes = image.GetColourBytes();
    const int maskBytes = image.GetMaskBytes();
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
        const int colourStride = IconImage::RowStride(size, 32);
        const int maskStride = IconImage::RowStride(size, 1);
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

int IconDocument::WriteIconFile(const char* path)
{
    if (!path || !path[0] || !first_)
        return 0;
    const WORD type = FileTypeOfPath(path);
    if (!type)
        return 0;

    const int count = GetImageCount();
    if (count > 0xFFFF)
        return 0;
    const DWORD directoryBytes = sizeof(IconFileHeader) + sizeof(IconDirectoryEntry) * count;
    HeapBlock directory(directoryBytes);
    if (!directory.Ok())
        return 0;
    IconFileHeader* header = reinterpret_cast<IconFileHeader*>(directory.Get());
    header->reserved = 0;
    header->type = type;
    header->count = static_cast<WORD>(count);
    IconDirectoryEntry* entry = reinterpret_cast<IconDirectoryEntry*>(directory.Get() + sizeof(IconFileHeader));
    DWORD offset = directoryBytes;
    for (ImageNode* node = first_; node; node = node->next, ++entry) {
        const IconImage& image = *node->image;
        const int size = image.GetSize();
        const int bitCount = image.GetBitCount();
        entry->width = static_cast<BYTE>(size);
        entry->height = static_cast<BYTE>(size);
        entry->colourCount = static_cast<BYTE>(bitCount == 1 ? 2 : bitCount == 4 ? 16 : 0);
        entry->reserved = 0;
        if (type == kTypeIcon) {
            entry->planesOrHotspotX = 1;
            entry->bitCountOrHotspotY = static_cast<WORD>(bitCount <= 8 ? bitCount : 0);
        } else {
            image.GetHotspot(&entry->planesOrHotspotX, &entry->bitCountOrHotspotY);
        }
        entry->bytesInRecord = static_cast<DWORD>(image.GetResourceSize());
        entry->recordOffset = offset;
        offset += entry->bytesInRecord;
    }

    // The document goes to a file of its own beside the target, which it replaces
    // only once every byte is on disk: a failed write never costs the user the
    // file they had.
    // A read-only file is not replaced, as opening it for writing would be refused
    // (Wine's rename would replace it anyway).
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return 0;
    char temporary[MAX_PATH];
    if (!MakeTemporaryBeside(path, temporary))
        return 0;
    FileHandle file(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    bool written = file.Ok() && WriteExactly(file, directory.Get(), directoryBytes);
    for (ImageNode* node = first_; node && written; node = node->next) {
        const IconImage& image = *node->image;
        HeapBlock record(image.GetResourceSize());
        written = record.Ok() && FillRecord(image, record.Get())
                  && WriteExactly(file, record.Get(), static_cast<DWORD>(image.GetResourceSize()));
    }
    written = written && FlushFileBuffers(file);
    written = file.Close() && written;
    if (!written || !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary);
        return 0;
    }
    modified_ = 0;
    return 1;
}
