#pragma once
// Helpers shared by the document tests: files and their bytes, painted images,
// bitmaps built field by field, and a fixture that records what the document
// tells its observers.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "document/icon_document.h"
#include "document/icon_record.h"
#include "model/drawing.h"
#include "model/transforms.h"
#include "support/change_log.h"
#include "support/seen_pixel.h"
#include "support/test_files.h"
#include "win/identifiers.h"

namespace doctest {

// The bytes of a vector as the readers take them.
inline ByteSpan Span(const std::vector<BYTE>& bytes) { return ByteSpan(bytes.data(), bytes.size()); }

// Files of a folder whose name matches a pattern such as "*.tmp".
inline int CountFiles(const std::string& folder, const char* pattern)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    int count = 0;
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        ++count;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return count;
}

// Little-endian fields; bytes past the end read as 0, writes there are dropped.
inline DWORD Get(const std::vector<BYTE>& b, size_t at, int bytes)
{
    DWORD v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | (at + i < b.size() ? b[at + i] : 0);
    return v;
}
inline void Put(std::vector<BYTE>& b, size_t at, DWORD v, int bytes)
{
    for (int i = 0; i < bytes && at + i < b.size(); ++i)
        b[at + i] = BYTE(v >> (8 * i));
}
inline WORD Word(const std::vector<BYTE>& b, size_t at) { return WORD(Get(b, at, 2)); }
inline std::vector<BYTE> Patched(std::vector<BYTE> b, size_t at, DWORD v, int bytes)
{
    Put(b, at, v, bytes);
    return b;
}
inline std::vector<BYTE> Cut(std::vector<BYTE> b, size_t length)
{
    b.resize(length);
    return b;
}

// A file of records, each with its entry's width and planes and bit count (or
// hotspot) fields; height byte = width byte, colour count 0.
struct RecordEntry
{
    std::vector<BYTE> record;
    BYTE width;
    WORD planesOrX, bitsOrY;
};
inline std::vector<BYTE> IconFileOf(WORD type, const std::vector<RecordEntry>& entries)
{
    std::vector<BYTE> file(6 + 16 * entries.size(), 0);
    Put(file, 2, type, 2);
    Put(file, 4, DWORD(entries.size()), 2);
    for (size_t i = 0; i < entries.size(); ++i) {
        size_t at = 6 + 16 * i;
        file[at] = file[at + 1] = entries[i].width;
        for (DWORD field : {DWORD(entries[i].planesOrX) | DWORD(entries[i].bitsOrY) << 16,
                            DWORD(entries[i].record.size()), DWORD(file.size())})
            Put(file, at += 4, field, 4);
        file.insert(file.end(), entries[i].record.begin(), entries[i].record.end());
    }
    return file;
}

// A chunk of a PNG stream: length, type, data and CRC.
inline void AppendChunk(std::vector<BYTE>& png, const char* type, const std::vector<BYTE>& data)
{
    auto bigEndian = [&png](DWORD v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            png.push_back(BYTE(v >> shift));
    };
    bigEndian(DWORD(data.size()));
    const size_t body = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    DWORD crc = 0xFFFFFFFF;
    for (size_t i = body; i < png.size(); ++i) {
        crc ^= png[i];
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
    }
    bigEndian(crc ^ 0xFFFFFFFF);
}

// A PNG's signature, header chunk, filler in a chunk of its own and the end:
// whole to a reader of chunks, no image to a decoder.
inline std::vector<BYTE> PngRecord(DWORD width, DWORD height, BYTE depth, BYTE colourType)
{
    std::vector<BYTE> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header;
    for (DWORD v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.push_back(BYTE(v >> shift));
    header.insert(header.end(), {depth, colourType, 0, 0, 0});
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "zfIL", std::vector<BYTE>(20, 0x5A));
    AppendChunk(png, "IEND", {});
    return png;
}

// A record without colour table (more than 8 bits): header, colour rows, mask.
inline std::vector<BYTE> BmpRecord(int size, int bits)
{
    const DWORD colour = ((size * bits + 31) / 32) * 4 * size;
    std::vector<BYTE> b(40 + colour + ((size + 31) / 32) * 4 * size);
    for (size_t i = 40; i < b.size(); ++i)
        b[i] = BYTE(i * 7);
    const DWORD header[] = {40, DWORD(size), DWORD(2 * size), 1 | DWORD(bits) << 16, BI_RGB, colour};
    for (int f = 0; f < 6; ++f)
        Put(b, 4 * f, header[f], 4);
    return b;
}

// Paints a picture that uses many indices or colours, transparent pixels, and
// for palette images an edited palette entry, so that every part of a record counts.
inline void PaintPattern(IconImage& image, int seed)
{
    const int size = image.GetSize(), bits = image.GetBitCount(), n = image.GetPaletteCount();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if ((x + 2 * y + seed) % 9 == 0)
                image.SetTransparent(x, y, true);
            else if ((x * y + seed) % 13 == 5)
                continue;                      // left as the blank image made it
            else if (bits <= 8)
                image.SetPixelIndex(x, y, (x * 7 + y * 3 + seed) % n);
            else
                image.SetPixelColour(x, y, RGB((x * 37 + seed) & 0xFF, (y * 59 + seed * 3) & 0xFF,
                                               (x * y + seed * 7) & 0xFF));
        }
    if (bits <= 8)
        image.SetPaletteColour(n - 1, RGB(12 + seed, 34, 56));
}

inline std::vector<BYTE> Bytes(const void* at, int count)
{
    const BYTE* bytes = static_cast<const BYTE*>(at);
    return bytes ? std::vector<BYTE>(bytes, bytes + count) : std::vector<BYTE>();
}

inline std::vector<BYTE> ColourBytes(const IconImage& image)
{
    return Bytes(image.GetColourBits(), RecordBytesOf(image).colour);
}

inline std::vector<BYTE> MaskBytes(const IconImage& image)
{
    return Bytes(image.GetMaskBits(), RecordBytesOf(image).mask);
}

// The colour part as it must be on disk: for 32 bits the fourth byte follows the mask.
inline std::vector<BYTE> ColourBytesOnDisk(const IconImage& image)
{
    std::vector<BYTE> bytes = ColourBytes(image);
    const int size = image.GetSize();
    for (int y = 0; image.GetBitCount() == 32 && y < size; ++y)
        for (int x = 0; x < size; ++x)
            bytes[(size - 1 - y) * size * 4 + 4 * x + 3] = image.IsTransparent(x, y) ? 0 : 0xFF;
    return bytes;
}

// A picture of width x height pixels, rows top-down, from a function of (x, y).
template <typename Pixel>
std::vector<COLORREF> Grid(int width, int height, Pixel pixel)
{
    std::vector<COLORREF> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.push_back(pixel(x, y));
    return out;
}

// What every view shows of an image, rows top-down.
inline std::vector<COLORREF> Look(const IconImage& image)
{
    return Grid(image.GetSize(), image.GetSize(), [&image](int x, int y) { return Seen(image, x, y); });
}

// The pixels as any reader must see them: RGBA, rows top-down, transparent 0,0,0,0.
inline void AppendRgba(const IconImage& image, std::vector<BYTE>& out)
{
    for (COLORREF c : Look(image))
        if (c == TransparentColour)
            out.insert(out.end(), 4, 0);
        else
            out.insert(out.end(), {GetRValue(c), GetGValue(c), GetBValue(c), 0xFF});
}

// What a document looks like from outside, to tell that a refusal changed nothing.
struct DocumentSnapshot
{
    std::vector<IconImage*> images;
    IconImage* current;
    std::wstring path;
    int flags;                                  // modified, and 2 for a deleted image

    explicit DocumentSnapshot(IconDocument& document)
        : current(document.GetCurrentImage()), path(document.GetFilePath()),
          flags(document.IsModified() + 2 * document.HasDeletedImage())
    {
        for (int i = 0; document.GetImage(i); ++i)
            images.push_back(document.GetImage(i));
    }
    bool operator==(const DocumentSnapshot& o) const
    {
        return images == o.images && current == o.current && path == o.path && flags == o.flags;
    }
};

// A bitmap file built byte by byte, so that every field can be made wrong on
// purpose. A negative height stores the rows top-down.
struct BmpLayout
{
    int width;
    int height;
    int bits;
    DWORD compression = BI_RGB;
    DWORD clrUsed = 0;
    DWORD headerSize = 40;
    int tableEntries = -1;      // -1: 2^bits up to 8 bits, none above
    int pixelBytes = -1;        // -1: every row of the picture
    long bfSizeDelta = 0;       // added to the true file size in bfSize
    long offBitsDelta = 0;      // added to the true pixel offset in bfOffBits

    int Entries() const { return tableEntries >= 0 ? tableEntries : bits <= 8 ? 1 << bits : 0; }
};

inline COLORREF FileEntry(int i) { return RGB((i * 7 + 3) & 0xFF, 255 - i, (i * 13) & 0xFF); }
inline int FileIndex(int x, int y, int bits) { return (x * 5 + y * 3 + x / 7) % (1 << bits); }
inline COLORREF FileColour(int x, int y) { return RGB((x * 9 + 1) & 0xFF, (y * 17 + 2) & 0xFF, (x * y) & 0xFF); }
// A colour as the three bytes blue, green, red of a file.
inline DWORD Bgr(COLORREF c) { return DWORD(GetRValue(c)) << 16 | DWORD(GetGValue(c)) << 8 | GetBValue(c); }

// The colour a reader must find at a pixel: entries the table leaves out are black.
inline COLORREF ExpectedColour(const BmpLayout& s, int x, int y)
{
    if (s.bits > 8)
        return FileColour(x, y);
    const int index = FileIndex(x, y, s.bits);
    return index < s.Entries() ? FileEntry(index) : RGB(0, 0, 0);
}

inline std::vector<BYTE> MakeBmp(const BmpLayout& s)
{
    const int entries = s.Entries();
    const int rows = s.height < 0 ? -s.height : s.height;
    const int stride = ((s.width * s.bits + 31) / 32) * 4;
    const int pixels = s.pixelBytes >= 0 ? s.pixelBytes : stride * rows;
    const size_t offBits = 14 + s.headerSize + 4 * entries;
    std::vector<BYTE> b(offBits + stride * rows, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 10, DWORD(long(offBits) + s.offBitsDelta), 4);
    Put(b, 14, s.headerSize, 4);
    if (s.headerSize >= 40) {
        const DWORD fields[] = {DWORD(s.width), DWORD(s.height), 1 | DWORD(s.bits) << 16, s.compression};
        for (int i = 0; i < 4; ++i)
            Put(b, 18 + 4 * i, fields[i], 4);
        Put(b, 46, s.clrUsed, 4);
    } else {                                          // the old 12-byte header
        const WORD fields[] = {WORD(s.width), WORD(s.height), 1, WORD(s.bits)};
        for (int i = 0; i < 4; ++i)
            Put(b, 18 + 2 * i, fields[i], 2);
    }
    for (int i = 0; i < entries; ++i)
        Put(b, 14 + s.headerSize + 4 * i, Bgr(FileEntry(i)), 3);
    for (int y = 0; y < rows; ++y) {
        const size_t row = offBits + size_t(stride) * (s.height < 0 ? y : rows - 1 - y);
        for (int x = 0; x < s.width; ++x) {
            if (s.bits <= 8)
                b[row + x * s.bits / 8] |= BYTE(FileIndex(x, y, s.bits) << (8 - s.bits - x * s.bits % 8));
            else
                Put(b, row + x * (s.bits / 8), Bgr(FileColour(x, y)), 3);
        }
    }
    b.resize(offBits + pixels, 0);                    // rows cut short or followed by padding
    Put(b, 2, DWORD(long(b.size()) + s.bfSizeDelta), 4);
    return b;
}

// The same picture as a packed DIB, as another program places it on the clipboard.
inline std::vector<BYTE> MakeDib(const BmpLayout& s)
{
    const std::vector<BYTE> file = MakeBmp(s);
    return std::vector<BYTE>(file.begin() + 14, file.end());
}

// A document whose notifications are recorded.
class DocumentTest : public ::testing::Test
{
protected:
    void SetUp() override { document_.AddObserver(&changes_); }
    void TearDown() override { document_.CloseDocument(); }
    // The notifications since the last call.
    int TakeNotifications() { return int(changes_.Take().size()); }
    void SelectPixels(int left, int top, int right, int bottom)
    {
        document_.SetSelection(RECT{left, top, right, bottom});
    }
    IconDocument document_;
    ChangeLog changes_;
};

} // namespace doctest
