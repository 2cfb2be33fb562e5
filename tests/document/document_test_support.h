#pragma once
// Helpers shared by the document and file tests.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "document/icon_document.h"

namespace doctest {

// The build hands folders with forward slashes; the file dialogs want backslashes.
inline std::string WindowsPath(std::string path)
{
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

inline std::string FixturePath(const char* name)
{
    return WindowsPath(std::string(VEMIRO_FIXTURES) + "\\" + name);
}

inline std::string OutputFolder(const char* name)
{
    std::string folder = WindowsPath(std::string(VEMIRO_TEST_OUTPUT) + "\\" + name);
    CreateDirectoryA(VEMIRO_TEST_OUTPUT, nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

inline std::vector<BYTE> ReadWholeFile(const std::string& path)
{
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    DWORD size = GetFileSize(file, nullptr);
    bytes.resize(size);
    DWORD got = 0;
    if (size && (!ReadFile(file, bytes.data(), size, &got, nullptr) || got != size))
        bytes.clear();
    CloseHandle(file);
    return bytes;
}

inline bool WriteWholeFile(const std::string& path, const std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr)
                                && put == bytes.size());
    CloseHandle(file);
    return ok;
}

inline bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Files of a folder whose name matches a pattern such as "*.tmp".
inline int CountFiles(const std::string& folder, const char* pattern)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

inline WORD Word(const std::vector<BYTE>& b, size_t at) { return static_cast<WORD>(b[at] | b[at + 1] << 8); }
inline DWORD Dword(const std::vector<BYTE>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<DWORD>(b[at + 3]) << 24;
}
inline void PutWord(std::vector<BYTE>& b, size_t at, WORD v) { b[at] = LOBYTE(v); b[at + 1] = HIBYTE(v); }
inline void PutDword(std::vector<BYTE>& b, size_t at, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<BYTE>(v >> (8 * i));
}

// Paints a picture that uses many indices or colours, transparent pixels, and
// for palette images an edited palette entry, so that every part of a record counts.
inline void PaintPattern(IconImage& image, int seed)
{
    const int size = image.GetSize();
    const int bits = image.GetBitCount();
    const int n = image.GetPaletteCount();
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

// The colour part as it must be on disk: for 32 bits the fourth byte follows the mask.
inline std::vector<BYTE> ColourBytesOnDisk(const IconImage& image)
{
    const BYTE* colour = static_cast<const BYTE*>(image.GetBits(0));
    std::vector<BYTE> bytes(colour, colour + image.GetColourBytes());
    if (image.GetBitCount() == 32) {
        const int size = image.GetSize();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                bytes[(size - 1 - y) * size * 4 + 4 * x + 3] = image.IsTransparent(x, y) ? 0 : 0xFF;
    }
    return bytes;
}

inline std::vector<BYTE> Bytes(const IconImage& image, int kind, int count)
{
    const BYTE* at = static_cast<const BYTE*>(image.GetBits(kind));
    return at ? std::vector<BYTE>(at, at + count) : std::vector<BYTE>();
}

// What a document looks like from outside, to tell that a refused open changed nothing.
struct DocumentSnapshot
{
    std::vector<IconImage*> images;
    IconImage* current;
    std::string path;
    int modified;
    bool hasDeleted;

    explicit DocumentSnapshot(IconDocument& document)
        : current(document.GetCurrentImage()), path(document.GetFilePath()),
          modified(document.IsModified()), hasDeleted(document.HasDeletedImage())
    {
        int position = document.GetCurrentIndex();
        for (int i = 0; i < document.GetImageCount(); ++i) {
            document.SelectImage(i);
            images.push_back(document.GetCurrentImage());
        }
        document.SelectImage(position);
    }
    bool operator==(const DocumentSnapshot& o) const
    {
        return images == o.images && current == o.current && path == o.path && modified == o.modified
               && hasDeleted == o.hasDeleted;
    }
};

} // namespace doctest
