#include <algorithm>

#include "document_test_support.h"

using namespace doctest;

namespace {

std::string WriteBmp(const std::string& name, const std::vector<BYTE>& bytes)
{
    const std::string path = OutputFolder("import") + "\\" + name + ".bmp";
    EXPECT_TRUE(WriteWholeFile(path, bytes)) << path;
    return path;
}

typedef DocumentTest BitmapImport;

// The file's pixels, opaque; its table (entries it leaves out black) or the
// default palette; colour bytes exactly the rows of the format; a fresh history.
void ExpectImported(const IconImage& image, const BmpLayout& s, const std::string& what)
{
    ASSERT_EQ(s.width, image.GetSize()) << what;
    ASSERT_EQ(s.bits, image.GetBitCount()) << what;
    EXPECT_EQ((s.width * s.bits + 31) / 32 * 4 * s.width, RecordBytesOf(image).colour) << what;
    for (int i = 0; s.bits <= 8 && i < image.GetPaletteCount(); ++i)
        EXPECT_EQ(i < s.Entries() ? FileEntry(i) : RGB(0, 0, 0), image.GetPaletteColour(i)) << what << " entry " << i;
    if (s.bits > 8) {
        EXPECT_EQ(COLORREF(0x000F1F), image.GetPaletteColour(32)) << what;
    }
    // The file's entries are all distinct colours: the right colour is the right index.
    EXPECT_EQ(Grid(s.width, s.width, [&s](int x, int y) { return ExpectedColour(s, x, y); }), Look(image)) << what;
    EXPECT_EQ(0, image.Colours().GetLeftIndex()) << what;
    EXPECT_EQ(s.bits <= 4 ? (1 << s.bits) - 1 : 255, image.Colours().GetRightIndex()) << what;
    EXPECT_FALSE(image.CanUndo()) << what;
}

}  // namespace

// Each imported picture that replaces the document is also saved as an icon
// that other programs must read (tests/host/import_readers.py compares their
// pixels with the dump beside it).
TEST_F(BitmapImport, AcceptedBitmapsAndTheIconsTheyMake)
{
    const std::string folder = OutputFolder("import-readers");
    // Layout: width, height, bits, compression, biClrUsed, header size, table entries, pixel bytes.
    struct Case { const char* name; BmpLayout layout; int replace; };
    const Case cases[] = {
        {"import_16x1", {16, 16, 1}, 1}, {"import_32x4", {32, 32, 4}, 1}, {"import_48x8", {48, 48, 8}, 1},
        {"import_72x24", {72, 72, 24}, 1}, {"import_20x24", {20, 20, 24}, 1}, {"import_128x32", {128, 128, 32}, 1}, {"import_16x32", {16, 16, 32}, 1},
        {"add_48x4", {48, 48, 4}, 0},
        {"header_v5", {16, 16, 8, BI_RGB, 0, 124}, 1},               // the table follows the longer header
        {"table_of_16", {16, 16, 8, BI_RGB, 16, 40, 16}, 1},         // the other entries are black
        {"trailing_bytes", {16, 16, 1, BI_RGB, 0, 40, -1, 64 + 300}, 1},
    };
    for (const Case& c : cases) {
        const int before = document_.GetImageCount();
        ASSERT_EQ(ImportFailureNone, document_.ImportBitmap(W(WriteBmp(c.name, MakeBmp(c.layout))).c_str(), c.replace)) << c.name;
        EXPECT_EQ(c.replace ? 1 : before + 1, document_.GetImageCount()) << c.name;
        EXPECT_EQ(document_.GetImageCount() - 1, document_.GetCurrentIndex()) << c.name;
        EXPECT_EQ(1, document_.IsModified()) << c.name;
        EXPECT_STREQ(L"", document_.GetFilePath()) << c.name;
        ExpectImported(*document_.GetCurrentImage(), c.layout, c.name);
        if (!c.replace)
            continue;
        const std::string ico = folder + "\\" + c.name + ".ico";
        ASSERT_EQ(SaveFailure::None, document_.WriteIconFile(W(ico).c_str())) << c.name;
        std::vector<BYTE> rgba;
        AppendRgba(*document_.GetCurrentImage(), rgba);
        ASSERT_TRUE(WriteWholeFile(ico + ".rgba", rgba));
    }
}

// The reserved byte of each palette entry is the model's 0, not the file's.
TEST_F(BitmapImport, PaletteEntriesTakeNoReservedByteFromTheFile)
{
    std::vector<BYTE> file = MakeBmp({16, 16, 4});
    for (int i = 0; i < 16; ++i)
        file[14 + 40 + 4 * i + 3] = 0x55;
    ASSERT_EQ(ImportFailureNone, document_.ImportBitmap(W(WriteBmp("reserved", file)).c_str(), 1));
    const std::vector<BYTE> palette = Bytes(document_.GetCurrentImage()->GetPalette(), 64);
    EXPECT_EQ(0, std::count(palette.begin(), palette.end(), 0x55));
}

// A wrong bfSize (common in real files) must neither overflow the colour bits
// nor become the record size of a saved icon.
TEST_F(BitmapImport, PixelCountComesFromTheFormatNotFromBfSize)
{
    for (long delta : {-1000L, 5000L}) {
        const BmpLayout s{32, 32, 24, BI_RGB, 0, 40, -1, -1, delta};
        ASSERT_EQ(ImportFailureNone, document_.ImportBitmap(W(WriteBmp("bfsize", MakeBmp(s))).c_str(), 1)) << delta;
        ExpectImported(*document_.GetCurrentImage(), s, "bfSize " + std::to_string(delta));
        EXPECT_EQ(40 + 96 * 32 + 128, RecordBytesOf(*document_.GetCurrentImage()).total) << delta;
    }
}

// Each refusal says why and leaves the document as it was, whether the bitmap
// was to replace it or to join it. Short files, and info blocks shorter than
// their header or than the colour table it implies (bfOffBits too small), are
// refused without being read past.
TEST_F(DocumentTest, BitmapImportRefusalsSayWhyAndChangeNothing)
{
    const std::vector<BYTE> good = MakeBmp(BmpLayout{32, 32, 8});
    const ImportFailure size = ImportFailureSize, type = ImportFailureType, damaged = ImportFailureDamaged;
    struct Case { const char* name; std::vector<BYTE> bytes; ImportFailure why; };
    const Case cases[] = {
        {"topdown", MakeBmp({32, -32, 8}), size}, {"wide", MakeBmp({32, 16, 8}), size},
        {"odd", MakeBmp({300, 300, 24}), size}, {"huge", MakeBmp({512, 512, 1}), size},
        {"huge", MakeBmp({257, 257, 24}), size},
        {"rle", MakeBmp({32, 32, 8, BI_RLE8}), type}, {"bitfields", MakeBmp({32, 32, 32, BI_BITFIELDS, 0, 40, 3}), type},
        {"sixteen", MakeBmp({32, 32, 16}), type}, {"two", MakeBmp({16, 16, 2}), type},
        {"core", MakeBmp({16, 16, 8, BI_RGB, 0, 12}), type},
        // PNG or JPEG data (bit count 0) is a type the editor does not read either.
        {"png", Patched(MakeBmp({32, 32, 8, 5, 0, 40, 0}), 28, 0, 2), type},
        {"notbm", Patched(good, 0, 'X', 1), ImportFailureNotBitmap},
        {"shortheader", Cut(good, 10), ImportFailureNotBitmap},
        {"empty", {}, ImportFailureNotBitmap},
        {"shortpixels", MakeBmp({32, 32, 8, BI_RGB, 0, 40, -1, 32 * 32 - 1}), damaged},
        {"shortdeep", MakeBmp({128, 128, 32, BI_RGB, 0, 40, -1, 128 * 128 * 4 - 4}), damaged},
        {"cutheader", Patched(good, 10, 14 + 20, 4), damaged},
        {"cuttable", MakeBmp({32, 32, 8, BI_RGB, 0, 40, 16}), damaged},
        {"cutv5", MakeBmp({16, 16, 4, BI_RGB, 0, 124, -1, -1, 0, -100}), damaged},
        {"pastend", Patched(good, 10, DWORD(good.size() + 10), 4), damaged},
        {"hugeoffset", Patched(good, 10, 0xFFFFFFF0u, 4), damaged},
        {"belowheader", Patched(good, 10, 6, 4), damaged},
    };
    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(32, 4));
    SetModifiedForTest(document_, false);
    const DocumentSnapshot before(document_);
    for (const Case& c : cases)
        for (int replace : {1, 0}) {
            ImportFailure why = ImportFailureNone;
            EXPECT_NE(ImportFailureNone, why = document_.ImportBitmapBytes(Span(c.bytes), replace)) << c.name;
            EXPECT_EQ(c.why, why) << c.name;
            EXPECT_TRUE(before == DocumentSnapshot(document_)) << c.name << " replace " << replace;
        }
    for (const wchar_t* path : {L"Z:\\no\\such\\file.bmp", L"", static_cast<const wchar_t*>(nullptr)}) {
        ImportFailure why = ImportFailureNone;
        EXPECT_NE(ImportFailureNone, why = document_.ImportBitmap(path, 1));
        EXPECT_EQ(ImportFailureUnreadable, why);
    }
    EXPECT_TRUE(before == DocumentSnapshot(document_));
}
