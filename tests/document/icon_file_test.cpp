#include <algorithm>
#include <cstring>
#include <stdio.h>

#include "document_test_support.h"

using namespace doctest;

namespace {

// The file as it must be on disk, built field by field from the document.
std::vector<BYTE> ExpectedFile(IconDocument& document, WORD type)
{
    const std::vector<IconImage*> images = DocumentSnapshot(document).images;
    std::vector<BYTE> file(6 + 16 * images.size(), 0);
    Put(file, 2, type, 2);
    Put(file, 4, DWORD(images.size()), 2);
    for (size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = *images[i];
        const int size = image.GetSize(), bits = image.GetBitCount();
        const Hotspot hotspot = image.GetHotspot();
        const RecordBytes bytes = RecordBytesOf(image);
        const size_t entry = 6 + 16 * i, record = file.size();
        file[entry] = file[entry + 1] = BYTE(size);
        file[entry + 2] = BYTE(bits == 1 ? 2 : bits == 4 ? 16 : 0);
        Put(file, entry + 4, type == 1 ? 1 : hotspot.x, 2);
        Put(file, entry + 6, type == 1 ? bits : hotspot.y, 2);
        Put(file, entry + 8, DWORD(bytes.total), 4);
        Put(file, entry + 12, DWORD(record), 4);
        // biSize, biWidth, biHeight doubled, planes and bit count, BI_RGB, biSizeImage.
        const DWORD header[] = {40, DWORD(size), DWORD(2 * size), 1 | DWORD(bits) << 16, 0, DWORD(bytes.colour)};
        file.resize(record + 40, 0);
        for (int f = 0; f < 6; ++f)
            Put(file, record + 4 * f, header[f], 4);
        for (const std::vector<BYTE>& part : {Bytes(image.GetPalette(), bytes.palette), ColourBytesOnDisk(image),
                                              MaskBytes(image)})
            file.insert(file.end(), part.begin(), part.end());
    }
    return file;
}

// Where two byte strings first differ, or -1.
long FirstDifference(const std::vector<BYTE>& a, const std::vector<BYTE>& b)
{
    const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return at.first == a.end() && at.second == b.end() ? -1 : long(at.first - a.begin());
}

// Compares a read-back image with the one written; the hotspot is read back
// from cursor files only.
void ExpectSameImage(const IconImage& written, const IconImage& read, const std::string& at, bool cursor = false)
{
    ASSERT_TRUE(read.IsValid()) << at;
    EXPECT_EQ(written.GetFormatText(), read.GetFormatText()) << at;
    EXPECT_EQ(ColourBytesOnDisk(written), ColourBytes(read)) << at;
    EXPECT_EQ(MaskBytes(written), MaskBytes(read)) << at;
    const int entries = read.GetBitCount() <= 8 ? read.GetPaletteCount() : 256;
    EXPECT_EQ(Bytes(written.GetPalette(), 4 * entries), Bytes(read.GetPalette(), 4 * entries)) << at;
    const WORD centre = WORD((read.GetSize() - 1) / 2);
    EXPECT_EQ(cursor ? written.GetHotspot().x : centre, read.GetHotspot().x) << at;
    EXPECT_EQ(cursor ? written.GetHotspot().y : centre, read.GetHotspot().y) << at;
    EXPECT_FALSE(read.CanUndo()) << at;
    EXPECT_EQ(0, read.Colours().GetLeftIndex()) << at;
    EXPECT_EQ(read.GetBitCount() <= 8 ? read.GetPaletteCount() - 1 : 255, read.Colours().GetRightIndex()) << at;
}

void BuildPatterned(IconDocument& document, const std::vector<std::pair<int, int>>& formats)
{
    document.CloseDocument();
    int seed = 0;
    for (const auto& format : formats) {
        ASSERT_EQ(EditOutcome::Done, document.AddNewImage(format.first, format.second));
        IconImage& image = *document.GetCurrentImage();
        PaintPattern(image, ++seed);
        image.SetHotspot(WORD(format.first / 4 + seed % 3), WORD(format.first / 3));
    }
    document.SelectImage(0);
}

// Writes, checks every byte, reads back, compares, and records the file for the
// independent readers run by the host check.
void RoundTrip(IconDocument& document, const std::string& folder, const std::string& name, FILE* manifest)
{
    const std::string path = folder + "\\" + name;
    const WORD type = name.substr(name.size() - 4) == ".cur" ? 2 : 1;
    const std::vector<IconImage*> images = DocumentSnapshot(document).images;
    std::vector<std::vector<BYTE>> memory;
    for (IconImage* image : images)
        memory.push_back(ColourBytes(*image));
    SetModifiedForTest(document, true);
    ASSERT_EQ(SaveFailure::None, document.WriteIconFile(W(path).c_str())) << name;
    EXPECT_EQ(0, document.IsModified()) << name;
    EXPECT_EQ(-1, FirstDifference(ExpectedFile(document, type), ReadWholeFile(path))) << name;

    IconDocument read;
    ASSERT_EQ(OpenFailureNone, read.OpenFile(W(path).c_str())) << name;
    const std::vector<IconImage*> back = DocumentSnapshot(read).images;
    ASSERT_EQ(images.size(), back.size()) << name;
    EXPECT_EQ(0, read.GetCurrentIndex());
    EXPECT_STREQ(W(path).c_str(), read.GetFilePath());
    EXPECT_EQ(0, read.IsModified());

    std::vector<BYTE> rgba;
    fprintf(manifest, "%s %d %d\n", name.c_str(), type, int(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        // Writing leaves the fourth byte of 32-bit pixels in memory alone.
        EXPECT_EQ(memory[i], ColourBytes(*images[i])) << name;
        ExpectSameImage(*images[i], *back[i], name + " #" + std::to_string(i), type == 2);
        AppendRgba(*images[i], rgba);
        const Hotspot hotspot = images[i]->GetHotspot();
        fprintf(manifest, "  %d %d %d %d\n", images[i]->GetSize(), images[i]->GetBitCount(), hotspot.x, hotspot.y);
    }
    ASSERT_TRUE(WriteWholeFile(path + ".rgba", rgba));
    // Saved again as read, the file stays the same to the byte, hotspots included.
    const std::string again = path + ".again" + name.substr(name.size() - 4);
    ASSERT_EQ(SaveFailure::None, read.WriteIconFile(W(again).c_str())) << name;
    EXPECT_EQ(ReadWholeFile(path), ReadWholeFile(again)) << name;
    DeleteFileA(again.c_str());
}

} // namespace

// Also the setup of the host check: it leaves the files and the expected pixels
// in the "written" output folder.
// A record's byte counts come from the image's size and bit count alone.
TEST(IconFile, RecordBytesOfEveryFormat)
{
    struct Case { int size, bits, colour, mask, palette, total; };
    for (const Case& c : { Case{72, 1, 864, 864, 8, 1776}, Case{16, 4, 128, 64, 64, 296},
                           Case{128, 32, 65536, 2048, 0, 67624}, Case{48, 8, 2304, 384, 1024, 3752},
                           Case{72, 24, 15552, 864, 0, 16456}, Case{72, 4, 2592, 864, 64, 3560} }) {
        IconImage image;
        ASSERT_EQ(1, image.CreateBlank(c.size, c.bits));
        const RecordBytes bytes = RecordBytesOf(image);
        EXPECT_EQ(c.colour, bytes.colour) << c.size << "x" << c.bits;
        EXPECT_EQ(c.mask, bytes.mask) << c.size << "x" << c.bits;
        EXPECT_EQ(c.palette, bytes.palette) << c.size << "x" << c.bits;
        EXPECT_EQ(c.total, bytes.total) << c.size << "x" << c.bits;
    }
    EXPECT_EQ(0, RecordBytesOf(IconImage()).total);
}

TEST(IconFile, EveryFormatRoundTripsAsIconAndCursor)
{
    const std::string folder = OutputFolder("written");
    FILE* manifest = fopen((folder + "\\manifest.txt").c_str(), "w");
    ASSERT_NE(nullptr, manifest);
    std::vector<std::pair<int, int>> all;
    IconDocument document;
    for (int side : {16, 32, 48, 64, 72, 128})
        for (int bits : {1, 4, 8, 24, 32}) {
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

// Alpha and mask go to disk as the model holds them, and come back so, in a
// BMP record and in the PNG record a new 256-pixel image gets; the directory
// names a 256-pixel image by 0.
TEST(IconFile, ThirtyTwoBitAlphaAndMaskWrittenAsHeld)
{
    for (const int size : {128, 256}) {
        const std::string path = OutputFolder("layout") + "\\alpha" + std::to_string(size) + ".ico";
        IconDocument document;
        ASSERT_EQ(EditOutcome::Done, document.AddNewImage(size, 32));
        IconImage& image = *document.GetCurrentImage();
        image.SetPixelRgba(1, 0, RGB(1, 2, 3), 128);
        image.SetTransparent(2, 0, true);
        ASSERT_EQ(SaveFailure::None, document.WriteIconFile(W(path).c_str()));
        const std::vector<BYTE> file = ReadWholeFile(path);
        ASSERT_GT(file.size(), 22u);
        EXPECT_EQ(BYTE(size), file[6]);
        EXPECT_EQ(BYTE(size), file[7]);
        if (size == 128) {
            const size_t topRow = 22 + 40 + 127 * 512, topMask = 22 + 40 + 128 * 512 + 127 * 16;
            ASSERT_EQ(topMask + 16, file.size());
            EXPECT_EQ((std::vector<BYTE>{0xFF, 0xFF, 0xFF, 0xFF, 3, 2, 1, 128, 0, 0, 0, 0}),
                      std::vector<BYTE>(file.begin() + topRow, file.begin() + topRow + 12));
            EXPECT_EQ(0x20, file[topMask]);
        }
        IconDocument read;
        ASSERT_EQ(OpenFailureNone, read.OpenFile(W(path).c_str()));
        ASSERT_EQ(size, read.GetCurrentImage()->GetSize());
        EXPECT_EQ(0, std::memcmp(image.GetColourBits(), read.GetCurrentImage()->GetColourBits(), size * size * 4));
        EXPECT_EQ(0, std::memcmp(image.GetMaskBits(), read.GetCurrentImage()->GetMaskBits(), size * size / 8));
    }
}

TEST(IconFile, TypeComesFromTheExtension)
{
    const std::string folder = OutputFolder("extension");
    struct Case { const char* name; WORD type; };
    const Case cases[] = {
        {"upper.ICO", 1}, {"mixed.Cur", 2}, {"dots.cur.ico", 1}, {"plain.cur", 2}, {"picture.png", 0},
        {"picture.bmp", 0}, {"noextension", 0}, {"dir.ico\\file", 0}, {"trailing.ico.", 0},
    };
    for (const Case& c : cases) {
        const std::string path = folder + "\\" + c.name;
        DeleteFileA(path.c_str());
        IconDocument document;
        ASSERT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));
        SetModifiedForTest(document, true);
        EXPECT_EQ(c.type != 0, document.WriteIconFile(W(path).c_str()) == SaveFailure::None) << c.name;
        EXPECT_EQ(c.type ? 0 : 1, document.IsModified()) << c.name;
        EXPECT_EQ(c.type != 0, FileExists(path)) << c.name;
        if (c.type) {
            EXPECT_EQ(c.type, Word(ReadWholeFile(path), 2)) << c.name;
        }
    }
    EXPECT_EQ(0, CountFiles(folder, "*.tmp"));
}

// Fields the reader does not take: the header's type (but for the hotspots in
// a cursor's entries), biClrUsed when the table is whole and the reserved byte
// of a palette entry (the model keeps it 0).
TEST(IconFile, FieldsThatAreNotReadBack)
{
    const std::string folder = OutputFolder("cursor"), path = folder + "\\patched.cur", icon = folder + "\\out.ico";
    IconDocument document;
    BuildPatterned(document, {{16, 8}, {32, 4}});
    ASSERT_EQ(SaveFailure::None, document.WriteIconFile(W(path).c_str()));
    const std::vector<BYTE> original = ReadWholeFile(path);
    ASSERT_NE(7, Word(original, 6 + 4));              // the pattern moved the hotspot
    const std::vector<IconImage*> written = DocumentSnapshot(document).images;
    struct Case { size_t at; DWORD value; int bytes; };
    for (const Case& c : {Case{2, 2, 2}, Case{2, 0, 2}, Case{2, 1, 2}, Case{2, 3, 2}, Case{2, 0xFFFF, 2},
                          Case{38 + 32, 16, 4}, Case{38 + 40 + 4 * 7 + 3, 0x55, 1}}) {
        const std::string what = std::to_string(c.at) + ": " + std::to_string(c.value);
        ASSERT_TRUE(WriteWholeFile(path, Patched(original, c.at, c.value, c.bytes)));
        IconDocument read;
        ASSERT_EQ(OpenFailureNone, read.OpenFile(W(path).c_str())) << what;
        const std::vector<IconImage*> back = DocumentSnapshot(read).images;
        ASSERT_EQ(2u, back.size()) << what;
        for (int i = 0; i < 2; ++i)
            ExpectSameImage(*written[i], *back[i], what, c.at != 2 || c.value == 2);
        // Written again as an icon: planes and bit counts in the entries, no hotspot.
        ASSERT_EQ(SaveFailure::None, read.WriteIconFile(W(icon).c_str()));
        EXPECT_EQ(-1, FirstDifference(ExpectedFile(read, 1), ReadWholeFile(icon))) << what;
    }
    // A hotspot outside its image is not taken: the centre, as for an icon.
    ASSERT_TRUE(WriteWholeFile(path, Patched(original, 6 + 4, 16, 2)));
    IconDocument read;
    ASSERT_EQ(OpenFailureNone, read.OpenFile(W(path).c_str()));
    EXPECT_EQ(7, read.GetCurrentImage()->GetHotspot().x);
    EXPECT_EQ(7, read.GetCurrentImage()->GetHotspot().y);
}

// Files written by other programs (see tests/fixtures/README.md), with the pixels
// their makers were given, then saved again for the independent readers of the
// host check (test-output/reopened).
TEST(IconFile, OpensFilesOfOtherPrograms)
{
    struct Case { const char* name; std::vector<std::pair<int, int>> formats; };
    const Case cases[] = {
        {"icotool_depths.ico", {{16, 1}, {32, 4}, {48, 8}, {64, 24}, {128, 32}}},
        {"icotool_cursor.cur", {{72, 8}, {16, 4}}},
        {"magick_rgba.ico", {{48, 32}}},
        {"magick_palette.ico", {{32, 4}}},
        {"pillow_rgba.ico", {{16, 32}, {32, 32}, {48, 32}}},
        {"pillow_rgb.ico", {{16, 24}, {32, 24}, {48, 24}}},
        {"pillow_palette.ico", {{16, 8}, {32, 8}, {48, 8}}},
        {"built_alpha_clear_mask.ico", {{32, 32}}},
        {"built_bitfields.ico", {{32, 32}}},
        {"built_short_table.ico", {{16, 8}}},
        {"built_v5_alpha.ico", {{32, 32}}},
    };
    const std::string folder = OutputFolder("reopened");
    FILE* manifest = fopen((folder + "\\manifest.txt").c_str(), "w");
    ASSERT_NE(nullptr, manifest);
    for (const Case& c : cases) {
        const std::string path = FixturePath(c.name);
        const std::vector<BYTE> expected = ReadWholeFile(path + ".rgba");
        ASSERT_FALSE(expected.empty()) << c.name;
        IconDocument document;
        ASSERT_EQ(OpenFailureNone, document.OpenFile(W(path).c_str())) << c.name;
        const std::vector<IconImage*> images = DocumentSnapshot(document).images;
        ASSERT_EQ(c.formats.size(), images.size()) << c.name;
        std::vector<BYTE> rgba;
        for (size_t i = 0; i < images.size(); ++i) {
            EXPECT_EQ(c.formats[i], std::make_pair(images[i]->GetSize(), images[i]->GetBitCount())) << c.name;
            AppendRgba(*images[i], rgba);
        }
        EXPECT_EQ(-1, FirstDifference(expected, rgba)) << c.name << " (byte of the first difference)";
        RoundTrip(document, folder, c.name, manifest);
    }
    fclose(manifest);
    // The cursor's hotspots come from its entries.
    IconDocument cursor;
    ASSERT_EQ(OpenFailureNone, cursor.OpenFile(W(FixturePath("icotool_cursor.cur")).c_str()));
    for (int i = 0; cursor.SelectImage(i) == EditOutcome::Done; ++i) {
        EXPECT_EQ(3, cursor.GetCurrentImage()->GetHotspot().x) << i;
        EXPECT_EQ(4, cursor.GetCurrentImage()->GetHotspot().y) << i;
    }
}
