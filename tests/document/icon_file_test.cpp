#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <string>
#include <vector>

#include "document/icon_document.h"
#include "document_test_support.h"

using namespace doctest;

namespace {

const int kSides[] = {16, 32, 48, 64, 72, 128};
const int kBitCounts[] = {1, 4, 8, 24, 32};

// Checks every byte of a written file against the document it came from.
void ExpectLayout(const std::vector<BYTE>& file, IconDocument& document, WORD type, const std::string& what)
{
    const int count = document.GetImageCount();
    ASSERT_GE(file.size(), 6u + 16u * count) << what;
    EXPECT_EQ(0, Word(file, 0)) << what;
    EXPECT_EQ(type, Word(file, 2)) << what;
    EXPECT_EQ(count, Word(file, 4)) << what;
    DWORD offset = 6 + 16 * count;
    for (int i = 0; i < count; ++i) {
        document.SelectImage(i);
        const IconImage& image = *document.GetCurrentImage();
        const int size = image.GetSize();
        const int bits = image.GetBitCount();
        const size_t entry = 6 + 16 * i;
        const std::string at = what + " image " + std::to_string(i);
        EXPECT_EQ(size, file[entry]) << at;
        EXPECT_EQ(size, file[entry + 1]) << at;
        EXPECT_EQ(bits == 1 ? 2 : bits == 4 ? 16 : 0, file[entry + 2]) << at;
        EXPECT_EQ(0, file[entry + 3]) << at;
        if (type == 1) {
            EXPECT_EQ(1, Word(file, entry + 4)) << at;
            EXPECT_EQ(bits <= 8 ? bits : 0, Word(file, entry + 6)) << at;
        } else {
            WORD hx = 0, hy = 0;
            image.GetHotspot(&hx, &hy);
            EXPECT_EQ(hx, Word(file, entry + 4)) << at;
            EXPECT_EQ(hy, Word(file, entry + 6)) << at;
        }
        EXPECT_EQ(static_cast<DWORD>(image.GetResourceSize()), Dword(file, entry + 8)) << at;
        EXPECT_EQ(offset, Dword(file, entry + 12)) << at;
        ASSERT_LE(offset + image.GetResourceSize(), file.size()) << at;

        const size_t h = offset;
        EXPECT_EQ(40u, Dword(file, h)) << at;
        EXPECT_EQ(static_cast<DWORD>(size), Dword(file, h + 4)) << at;
        EXPECT_EQ(static_cast<DWORD>(2 * size), Dword(file, h + 8)) << at;
        EXPECT_EQ(1, Word(file, h + 12)) << at;
        EXPECT_EQ(bits, Word(file, h + 14)) << at;
        EXPECT_EQ(0u, Dword(file, h + 16)) << at;
        EXPECT_EQ(static_cast<DWORD>(image.GetColourBytes()), Dword(file, h + 20)) << at;
        for (size_t f = h + 24; f < h + 40; f += 4)
            EXPECT_EQ(0u, Dword(file, f)) << at << " header byte " << f - h;

        size_t data = h + 40;
        std::vector<BYTE> palette(file.begin() + data, file.begin() + data + image.GetPaletteBytes());
        EXPECT_EQ(Bytes(image, 2, image.GetPaletteBytes()), palette) << at;
        data += image.GetPaletteBytes();
        std::vector<BYTE> colour(file.begin() + data, file.begin() + data + image.GetColourBytes());
        EXPECT_EQ(ColourBytesOnDisk(image), colour) << at;
        data += image.GetColourBytes();
        std::vector<BYTE> mask(file.begin() + data, file.begin() + data + image.GetMaskBytes());
        EXPECT_EQ(Bytes(image, 1, image.GetMaskBytes()), mask) << at;
        offset += image.GetResourceSize();
    }
    EXPECT_EQ(offset, file.size()) << what;
}

// Compares a read-back image with the one written.
void ExpectSameImage(const IconImage& written, const IconImage& read, const std::string& at)
{
    ASSERT_TRUE(read.IsValid()) << at;
    EXPECT_EQ(written.GetSize(), read.GetSize()) << at;
    EXPECT_EQ(written.GetBitCount(), read.GetBitCount()) << at;
    EXPECT_EQ(written.GetResourceSize(), read.GetResourceSize()) << at;
    EXPECT_EQ(ColourBytesOnDisk(written), Bytes(read, 0, read.GetColourBytes())) << at;
    EXPECT_EQ(Bytes(written, 1, written.GetMaskBytes()), Bytes(read, 1, read.GetMaskBytes())) << at;
    const int entries = read.GetBitCount() <= 8 ? read.GetPaletteCount() : 256;
    EXPECT_EQ(Bytes(written, 2, 4 * entries), Bytes(read, 2, 4 * entries)) << at;
    WORD hx = 0, hy = 0;
    read.GetHotspot(&hx, &hy);
    EXPECT_EQ((read.GetSize() - 1) / 2, hx) << at;
    EXPECT_EQ((read.GetSize() - 1) / 2, hy) << at;
    EXPECT_FALSE(read.CanUndo()) << at;
    EXPECT_EQ(0, read.GetLeftIndex()) << at;
    EXPECT_EQ(read.GetBitCount() <= 8 ? read.GetPaletteCount() - 1 : 255, read.GetRightIndex()) << at;
}

// The pixels as any reader must see them: RGBA, rows top-down, transparent 0,0,0,0.
void AppendRgba(const IconImage& image, std::string& out)
{
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x) {
            if (image.IsTransparent(x, y)) {
                out.append(4, '\0');
                continue;
            }
            COLORREF c = image.GetPixelColour(x, y);
            out += static_cast<char>(GetRValue(c));
            out += static_cast<char>(GetGValue(c));
            out += static_cast<char>(GetBValue(c));
            out += static_cast<char>(0xFF);
        }
}

void BuildPatterned(IconDocument& document, const std::vector<std::pair<int, int>>& formats)
{
    document.CloseDocument();
    int seed = 0;
    for (const auto& format : formats) {
        ASSERT_EQ(1, document.AddNewImage(format.first, format.second));
        IconImage& image = *document.GetCurrentImage();
        PaintPattern(image, ++seed);
        image.SetHotspot(static_cast<WORD>(format.first / 4 + seed % 3), static_cast<WORD>(format.first / 3));
    }
    document.SelectImage(0);
}

// Writes, checks the layout, reads back, compares, and records the file for the
// independent readers run by the host check.
void RoundTrip(IconDocument& document, const std::string& folder, const std::string& name, FILE* manifest)
{
    const std::string path = folder + "\\" + name;
    const WORD type = name.substr(name.size() - 4) == ".cur" ? 2 : 1;
    document.SetModified(1);
    ASSERT_EQ(1, document.WriteIconFile(path.c_str())) << name;
    EXPECT_EQ(0, document.IsModified()) << name;
    ExpectLayout(ReadWholeFile(path), document, type, name);

    IconDocument read;
    ASSERT_EQ(1, read.OpenFile(nullptr, path.c_str())) << name;
    ASSERT_EQ(document.GetImageCount(), read.GetImageCount()) << name;
    EXPECT_EQ(0, read.GetCurrentIndex());
    EXPECT_STREQ(path.c_str(), read.GetFilePath());
    EXPECT_EQ(0, read.IsModified());

    std::string rgba;
    fprintf(manifest, "%s %d %d\n", name.c_str(), type, document.GetImageCount());
    for (int i = 0; i < document.GetImageCount(); ++i) {
        document.SelectImage(i);
        read.SelectImage(i);
        ExpectSameImage(*document.GetCurrentImage(), *read.GetCurrentImage(), name + " #" + std::to_string(i));
        AppendRgba(*document.GetCurrentImage(), rgba);
        WORD hx = 0, hy = 0;
        document.GetCurrentImage()->GetHotspot(&hx, &hy);
        fprintf(manifest, "  %d %d %d %d\n", document.GetCurrentImage()->GetSize(),
                document.GetCurrentImage()->GetBitCount(), hx, hy);
    }
    ASSERT_TRUE(WriteWholeFile(path + ".rgba", std::vector<BYTE>(rgba.begin(), rgba.end())));
}

} // namespace

// Also the setup of the host check: it leaves the files and the expected pixels
// in the "written" output folder.
TEST(IconFile, EveryFormatRoundTripsAsIconAndCursor)
{
    const std::string folder = OutputFolder("written");
    const std::string manifestPath = folder + "\\manifest.txt";
    FILE* manifest = fopen(manifestPath.c_str(), "w");
    ASSERT_NE(nullptr, manifest);
    std::vector<std::pair<int, int>> all;
    IconDocument document;
    for (int side : kSides)
        for (int bits : kBitCounts) {
            all.emplace_back(side, bits);
            BuildPatterned(document, {{side, bits}});
            const std::string stem = "f" + std::to_string(side) + "x" + std::to_string(bits);
            RoundTrip(document, folder, stem + ".ico", manifest);
            RoundTrip(document, folder, stem + ".cur", manifest);
        }
    BuildPatterned(document, all);
    RoundTrip(document, folder, "all30.ico", manifest);
    RoundTrip(document, folder, "all30.cur", manifest);
    fclose(manifest);
}

TEST(IconFile, ExampleDocumentLayout)
{
    const std::string folder = OutputFolder("layout");
    IconDocument document;
    ASSERT_EQ(1, document.AddNewImage(32, 4));
    ASSERT_EQ(1, document.AddNewImage(16, 1));
    const std::string path = folder + "\\example.ico";
    ASSERT_EQ(1, document.WriteIconFile(path.c_str()));
    std::vector<BYTE> file = ReadWholeFile(path);
    ASSERT_EQ(958u, file.size());
    EXPECT_EQ(38u, Dword(file, 6 + 12));
    EXPECT_EQ(744u, Dword(file, 6 + 8));
    EXPECT_EQ(782u, Dword(file, 22 + 12));
    EXPECT_EQ(176u, Dword(file, 22 + 8));

    // A 48x48 8-bit record is 40 + 1024 + 2304 + 384 bytes.
    document.CloseDocument();
    ASSERT_EQ(1, document.AddNewImage(48, 8));
    ASSERT_EQ(1, document.WriteIconFile(path.c_str()));
    file = ReadWholeFile(path);
    EXPECT_EQ(3752u, Dword(file, 6 + 8));
    EXPECT_EQ(22u + 3752u, file.size());
}

TEST(IconFile, ThirtyTwoBitFourthByteFollowsTheMaskOnDiskOnly)
{
    const std::string path = OutputFolder("layout") + "\\alpha.ico";
    IconDocument document;
    ASSERT_EQ(1, document.AddNewImage(16, 32));
    IconImage& image = *document.GetCurrentImage();
    image.SetPixelColour(1, 0, RGB(1, 2, 3));        // painted: fourth byte 0 in memory
    image.SetTransparent(2, 0, true);
    ASSERT_EQ(0, image.PixelAddress(1, 0)[3]);
    ASSERT_EQ(0xFF, image.PixelAddress(0, 0)[3]);
    ASSERT_EQ(1, document.WriteIconFile(path.c_str()));
    EXPECT_EQ(0, image.PixelAddress(1, 0)[3]);       // writing leaves memory alone

    std::vector<BYTE> file = ReadWholeFile(path);
    const size_t topRow = 22 + 40 + 15 * 64;
    EXPECT_EQ(0xFF, file[topRow + 3]);
    EXPECT_EQ(0xFF, file[topRow + 4 + 3]);
    EXPECT_EQ(0, file[topRow + 8 + 3]);
    EXPECT_EQ(3, file[topRow + 4]);                   // blue, green, red as painted
    EXPECT_EQ(1, file[topRow + 6]);
}

TEST(IconFile, TypeComesFromTheExtension)
{
    const std::string folder = OutputFolder("extension");
    struct Case { const char* name; int result; WORD type; };
    const Case cases[] = {
        {"upper.ICO", 1, 1}, {"mixed.Cur", 1, 2}, {"dots.cur.ico", 1, 1}, {"plain.cur", 1, 2},
        {"picture.png", 0, 0}, {"picture.bmp", 0, 0}, {"noextension", 0, 0}, {"dir.ico\\file", 0, 0},
        {"trailing.ico.", 0, 0},
    };
    for (const Case& c : cases) {
        const std::string path = folder + "\\" + c.name;
        DeleteFileA(path.c_str());
        IconDocument document;
        ASSERT_EQ(1, document.AddNewImage(16, 4));
        document.SetModified(1);
        EXPECT_EQ(c.result, document.WriteIconFile(path.c_str())) << c.name;
        EXPECT_EQ(c.result ? 0 : 1, document.IsModified()) << c.name;
        std::vector<BYTE> file = ReadWholeFile(path);
        if (c.result) {
            ASSERT_GE(file.size(), 6u) << c.name;
            EXPECT_EQ(c.type, Word(file, 2)) << c.name;
        } else {
            EXPECT_FALSE(FileExists(path)) << c.name;
        }
    }
    EXPECT_EQ(0, CountFiles(folder, "*.tmp"));
}

TEST(IconFile, HeaderTypeIsIgnoredAndCursorHotspotsAreNotReadBack)
{
    const std::string folder = OutputFolder("cursor");
    IconDocument document;
    BuildPatterned(document, {{32, 8}, {16, 4}});
    const std::string cursor = folder + "\\in.cur";
    ASSERT_EQ(1, document.WriteIconFile(cursor.c_str()));
    std::vector<BYTE> original = ReadWholeFile(cursor);
    ASSERT_NE(15, Word(original, 6 + 4));             // the pattern moved the hotspot
    for (WORD type : {0, 1, 2, 3, 0xFFFF}) {
        std::vector<BYTE> file = original;
        PutWord(file, 2, type);
        const std::string path = folder + "\\typed.cur";
        ASSERT_TRUE(WriteWholeFile(path, file));
        IconDocument read;
        ASSERT_EQ(1, read.OpenFile(nullptr, path.c_str())) << type;
        ASSERT_EQ(2, read.GetImageCount());
        for (int i = 0; i < 2; ++i) {
            document.SelectImage(i);
            read.SelectImage(i);
            ExpectSameImage(*document.GetCurrentImage(), *read.GetCurrentImage(), "type " + std::to_string(type));
        }
        // Written again as an icon: planes and bit counts in the entries, no hotspot.
        const std::string icon = folder + "\\out.ico";
        ASSERT_EQ(1, read.WriteIconFile(icon.c_str()));
        std::vector<BYTE> written = ReadWholeFile(icon);
        EXPECT_EQ(1, Word(written, 2));
        EXPECT_EQ(1, Word(written, 6 + 4));
        EXPECT_EQ(8, Word(written, 6 + 6));
        EXPECT_EQ(1, Word(written, 22 + 4));
        EXPECT_EQ(4, Word(written, 22 + 6));
    }
}

TEST(IconFile, PaletteSizeFollowsTheBitCountNotClrUsed)
{
    const std::string folder = OutputFolder("palette");
    IconDocument document;
    BuildPatterned(document, {{16, 8}});
    IconImage& image = *document.GetCurrentImage();
    image.SetPaletteColour(200, RGB(1, 2, 3));
    const std::string path = folder + "\\clrused.ico";
    ASSERT_EQ(1, document.WriteIconFile(path.c_str()));
    std::vector<BYTE> file = ReadWholeFile(path);
    PutDword(file, 22 + 32, 16);                      // biClrUsed
    file[22 + 40 + 4 * 7 + 3] = 0x55;                 // a reserved byte the model does not keep
    ASSERT_TRUE(WriteWholeFile(path, file));
    IconDocument read;
    ASSERT_EQ(1, read.OpenFile(nullptr, path.c_str()));
    EXPECT_EQ(RGB(1, 2, 3), read.GetCurrentImage()->GetPaletteColour(200));
    EXPECT_EQ(0, static_cast<RGBQUAD*>(read.GetCurrentImage()->GetBits(2))[7].rgbReserved);
    ExpectSameImage(image, *read.GetCurrentImage(), "clrused");
}

// Files written by other programs (see tests/fixtures/README.md), with the pixels
// their makers were given.
TEST(IconFile, OpensFilesOfOtherPrograms)
{
    struct Case { const char* name; std::vector<std::pair<int, int>> formats; };
    const Case cases[] = {
        {"icotool_depths.ico", {{16, 1}, {32, 4}, {48, 8}, {64, 24}, {128, 32}}},
        {"icotool_cursor.cur", {{72, 8}, {16, 4}}},
        {"magick_rgba.ico", {{48, 32}}},
        {"magick_palette.ico", {{32, 4}}},
    };
    for (const Case& c : cases) {
        const std::string path = FixturePath(c.name);
        const std::vector<BYTE> expected = ReadWholeFile(path + ".rgba");
        ASSERT_FALSE(expected.empty()) << c.name;
        IconDocument document;
        ASSERT_EQ(1, document.OpenFile(nullptr, path.c_str())) << c.name;
        ASSERT_EQ(static_cast<int>(c.formats.size()), document.GetImageCount()) << c.name;
        std::string rgba;
        for (size_t i = 0; i < c.formats.size(); ++i) {
            document.SelectImage(static_cast<int>(i));
            const IconImage& image = *document.GetCurrentImage();
            EXPECT_EQ(c.formats[i].first, image.GetSize()) << c.name << " #" << i;
            EXPECT_EQ(c.formats[i].second, image.GetBitCount()) << c.name << " #" << i;
            WORD hx = 0, hy = 0;
            image.GetHotspot(&hx, &hy);
            EXPECT_EQ((image.GetSize() - 1) / 2, hx);
            AppendRgba(image, rgba);
        }
        ASSERT_EQ(expected.size(), rgba.size()) << c.name;
        size_t wrong = 0, first = 0;
        for (size_t b = 0; b < rgba.size(); ++b)
            if (static_cast<BYTE>(rgba[b]) != expected[b] && wrong++ == 0)
                first = b;
        EXPECT_EQ(0u, wrong) << c.name << ": first difference at pixel " << first / 4;
    }
}
