#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "document/document_test_support.h"
#include "document/icon_document.h"
#include "win/identifiers.h"

namespace {

// A bitmap file built byte by byte, so every field can be made wrong on purpose.
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
};

COLORREF FileEntry(int i) { return RGB((i * 7 + 3) & 0xFF, 255 - i, (i * 13) & 0xFF); }
int FileIndex(int x, int y, int count) { return (x * 5 + y * 3 + x / 7) % count; }
COLORREF FileColour(int x, int y) { return RGB((x * 9 + 1) & 0xFF, (y * 17 + 2) & 0xFF, (x * y) & 0xFF); }

void Put(std::vector<BYTE>& b, size_t at, DWORD v, int bytes)
{
    for (int i = 0; i < bytes && at + i < b.size(); ++i)
        b[at + i] = BYTE(v >> (8 * i));
}

std::vector<BYTE> MakeBmp(const BmpLayout& s)
{
    const int count = s.bits <= 8 ? 1 << s.bits : 0;
    const int entries = s.tableEntries >= 0 ? s.tableEntries : count;
    const int rows = s.height < 0 ? -s.height : s.height;
    const int stride = ((s.width * s.bits + 31) / 32) * 4;
    const int pixels = s.pixelBytes >= 0 ? s.pixelBytes : stride * rows;
    const size_t offBits = 14 + s.headerSize + 4 * entries;
    std::vector<BYTE> b(offBits + pixels, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 2, DWORD(long(b.size()) + s.bfSizeDelta), 4);
    Put(b, 10, DWORD(long(offBits) + s.offBitsDelta), 4);
    Put(b, 14, s.headerSize, 4);
    if (s.headerSize >= 40) {
        Put(b, 18, DWORD(s.width), 4);
        Put(b, 22, DWORD(s.height), 4);
        Put(b, 26, 1, 2);
        Put(b, 28, DWORD(s.bits), 2);
        Put(b, 30, s.compression, 4);
        Put(b, 46, s.clrUsed, 4);
    } else {                                          // the old 12-byte header
        Put(b, 18, DWORD(s.width), 2);
        Put(b, 20, DWORD(s.height), 2);
        Put(b, 22, 1, 2);
        Put(b, 24, DWORD(s.bits), 2);
    }
    for (int i = 0; i < entries; ++i) {
        const COLORREF c = FileEntry(i);
        const size_t at = 14 + s.headerSize + 4 * i;
        b[at] = GetBValue(c);
        b[at + 1] = GetGValue(c);
        b[at + 2] = GetRValue(c);
    }
    // Rows bottom-up; what lies beyond the given pixel bytes is simply absent.
    std::vector<BYTE> all(size_t(stride) * rows, 0);
    for (int y = 0; y < rows; ++y) {
        BYTE* row = all.data() + size_t(stride) * (rows - 1 - y);
        for (int x = 0; x < s.width; ++x) {
            if (s.bits <= 8) {
                const int v = FileIndex(x, y, count);
                const int bit = x * s.bits;
                row[bit / 8] |= BYTE(v << (8 - s.bits - bit % 8));
            } else {
                const COLORREF c = FileColour(x, y);
                BYTE* p = row + x * (s.bits / 8);
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        }
    }
    for (int i = 0; i < pixels && i < int(all.size()); ++i)
        b[offBits + i] = all[i];
    return b;
}

std::string WriteBmp(const char* name, const std::vector<BYTE>& bytes)
{
    const std::string path = doctest::OutputFolder("import") + "\\" + name + ".bmp";
    EXPECT_TRUE(doctest::WriteWholeFile(path, bytes)) << path;
    return path;
}

// Answers every message box of this thread and remembers what it said.
struct BoxSeen
{
    std::string text;
    std::string caption;
    HWND owner;
    bool information;
};
std::vector<BoxSeen> g_boxes;

BOOL CALLBACK CollectText(HWND child, LPARAM param)
{
    char cls[32] = {}, text[256] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0)
        reinterpret_cast<BoxSeen*>(param)->text += text;
    if (lstrcmpiA(cls, "Static") == 0) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        if (icon && icon == LoadIconA(nullptr, IDI_INFORMATION))
            reinterpret_cast<BoxSeen*>(param)->information = true;
    }
    return TRUE;
}

LRESULT CALLBACK AnswerBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char cls[32] = {};
        GetClassNameA(box, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0) {
            BoxSeen seen = { "", "", GetWindow(box, GW_OWNER), false };
            char caption[256] = {};
            GetWindowTextA(box, caption, sizeof caption);
            seen.caption = caption;
            EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&seen));
            g_boxes.push_back(seen);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class BitmapImport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_boxes.clear();
        hook_ = SetWindowsHookExA(WH_CBT, AnswerBoxes, nullptr, GetCurrentThreadId());
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override
    {
        document_.CloseDocument();
        DestroyWindow(owner_);
        UnhookWindowsHookEx(hook_);
    }
    HHOOK hook_ = nullptr;
    HWND owner_ = nullptr;
    IconDocument document_;
};

// The expected look of an imported pixel, as the file gives it.
COLORREF ExpectedColour(const BmpLayout& s, int x, int y)
{
    return s.bits <= 8 ? FileEntry(FileIndex(x, y, 1 << s.bits)) : FileColour(x, y);
}

void ExpectPixelsOfFile(const IconImage& image, const BmpLayout& s)
{
    for (int y = 0; y < s.width; ++y)
        for (int x = 0; x < s.width; ++x) {
            ASSERT_EQ(0, image.IsTransparent(x, y)) << x << "," << y;
            ASSERT_EQ(ExpectedColour(s, x, y), image.GetPixelColour(x, y)) << s.bits << ": " << x << "," << y;
            if (s.bits <= 8) {
                ASSERT_EQ(FileIndex(x, y, 1 << s.bits), image.GetPixelIndex(x, y)) << x << "," << y;
            }
        }
}

}  // namespace

TEST_F(BitmapImport, EightBitPictureWithFullTable)
{
    BmpLayout s{ 32, 32, 8 };
    ASSERT_EQ(1, document_.ImportBitmap(WriteBmp("full8", MakeBmp(s)).c_str(), 1));
    IconImage* image = document_.GetCurrentImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(1, document_.GetImageCount());
    EXPECT_STREQ("32x32x8-bits", image->GetFormatText());
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(FileEntry(i), image->GetPaletteColour(i)) << i;
    ExpectPixelsOfFile(*image, s);
    WORD hx = 0, hy = 0;
    image->GetHotspot(&hx, &hy);
    EXPECT_EQ(15, hx);
    EXPECT_EQ(15, hy);
    EXPECT_EQ(0, image->GetLeftIndex());
    EXPECT_EQ(FileEntry(0), image->GetLeftColour());
    EXPECT_EQ(255, image->GetRightIndex());
    EXPECT_EQ(FileEntry(255), image->GetRightColour());
    EXPECT_EQ(2216, image->GetResourceSize());
    EXPECT_EQ(1024, image->GetColourBytes());
    EXPECT_EQ(1, document_.IsModified());
    EXPECT_STREQ("", document_.GetFilePath());
    EXPECT_FALSE(image->CanUndo());
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(BitmapImport, DeepPicturesTakeTheDefaultPalette)
{
    for (int bits : { 24, 32 }) {
        BmpLayout s{ 16, 16, bits };
        ASSERT_EQ(1, document_.ImportBitmap(WriteBmp("deep", MakeBmp(s)).c_str(), 1)) << bits;
        IconImage* image = document_.GetCurrentImage();
        EXPECT_EQ(256, image->GetPaletteCount());
        EXPECT_EQ(0, image->GetLeftIndex());
        EXPECT_EQ(RGB(0, 0, 0), image->GetLeftColour());
        EXPECT_EQ(255, image->GetRightIndex());
        EXPECT_EQ(RGB(255, 255, 255), image->GetRightColour());
        EXPECT_EQ(COLORREF(0x000F1F), image->GetPaletteColour(32));
        EXPECT_EQ(0, image->GetPaletteBytes());
        ExpectPixelsOfFile(*image, s);
    }
}

TEST_F(BitmapImport, AddedAfterTheOpenImages)
{
    ASSERT_EQ(1, document_.AddNewImage(16, 4));
    ASSERT_EQ(1, document_.AddNewImage(16, 4));
    IconImage* first = document_.GetCurrentImage();
    BmpLayout s{ 48, 48, 4 };
    ASSERT_EQ(1, document_.ImportBitmap(WriteBmp("add4", MakeBmp(s)).c_str(), 0));
    EXPECT_EQ(3, document_.GetImageCount());
    EXPECT_EQ(2, document_.GetCurrentIndex());
    EXPECT_NE(first, document_.GetCurrentImage());
    EXPECT_EQ(15, document_.GetCurrentImage()->GetRightIndex());
    EXPECT_EQ(1, document_.IsModified());
    ExpectPixelsOfFile(*document_.GetCurrentImage(), s);
}

TEST_F(BitmapImport, RefusalsWithAMessage)
{
    document_.SetOwnerWindow(owner_);
    const char* size = "La taille de l'image n'est pas valide.";
    const char* type = "Le type de l'image n'est pas valide.";
    struct Case { const char* name; BmpLayout layout; const char* message; };
    BmpLayout topDown{ 32, -32, 8 };
    BmpLayout wide{ 32, 16, 8 };
    BmpLayout odd{ 20, 20, 24 };
    BmpLayout huge{ 256, 256, 1 };
    BmpLayout rle{ 32, 32, 8 };
    rle.compression = BI_RLE8;
    BmpLayout fields{ 32, 32, 32 };
    fields.compression = BI_BITFIELDS;
    fields.tableEntries = 3;
    BmpLayout sixteen{ 32, 32, 16 };
    BmpLayout two{ 16, 16, 2 };
    BmpLayout core{ 16, 16, 8 };
    core.headerSize = 12;
    const Case cases[] = {
        { "topdown", topDown, size }, { "wide", wide, size }, { "odd", odd, size },
        { "huge", huge, size }, { "rle", rle, type }, { "bitfields", fields, type },
        { "sixteen", sixteen, type }, { "two", two, type }, { "core", core, type },
    };
    for (const Case& c : cases) {
        ASSERT_EQ(1, document_.AddNewImage(16, 8));
        const doctest::DocumentSnapshot before(document_);
        g_boxes.clear();
        for (int replace : { 1, 0 })
            EXPECT_EQ(0, document_.ImportBitmap(WriteBmp(c.name, MakeBmp(c.layout)).c_str(), replace)) << c.name;
        ASSERT_EQ(2u, g_boxes.size()) << c.name;
        for (const BoxSeen& box : g_boxes) {
            EXPECT_EQ(c.message, box.text) << c.name;
            EXPECT_EQ("Vemiro Editor 1.4", box.caption) << c.name;
            EXPECT_EQ(owner_, box.owner) << c.name;
            EXPECT_TRUE(box.information) << c.name;
        }
        EXPECT_TRUE(before == doctest::DocumentSnapshot(document_)) << c.name;
    }
    // Without an owner window the same refusals are silent.
    document_.SetOwnerWindow(nullptr);
    g_boxes.clear();
    EXPECT_EQ(0, document_.ImportBitmap(WriteBmp("rle", MakeBmp(rle)).c_str(), 0));
    EXPECT_EQ(0, document_.ImportBitmap(WriteBmp("wide", MakeBmp(wide)).c_str(), 0));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(BitmapImport, SilentRefusalsLeaveTheDocumentAsItWas)
{
    document_.SetOwnerWindow(owner_);
    std::vector<BYTE> good = MakeBmp(BmpLayout{ 32, 32, 8 });
    std::vector<BYTE> notBm = good;
    notBm[0] = 'X';
    std::vector<BYTE> shortHeader(good.begin(), good.begin() + 10);
    BmpLayout shortPixels{ 32, 32, 8 };
    shortPixels.pixelBytes = 32 * 32 - 1;
    BmpLayout shortDeep{ 128, 128, 32 };
    shortDeep.pixelBytes = 128 * 128 * 4 - 4;
    // An info block cut short: bfOffBits inside the header, or before the end
    // of the colour table the header implies.
    std::vector<BYTE> cutHeader = good;
    Put(cutHeader, 10, 14 + 20, 4);
    BmpLayout cutTable{ 32, 32, 8 };
    cutTable.tableEntries = 16;
    BmpLayout cutV5{ 16, 16, 4 };
    cutV5.headerSize = 124;
    cutV5.offBitsDelta = -100;
    std::vector<BYTE> pastEnd = good;
    Put(pastEnd, 10, DWORD(good.size() + 10), 4);
    std::vector<BYTE> hugeOffset = good;
    Put(hugeOffset, 10, 0xFFFFFFF0u, 4);
    std::vector<BYTE> belowHeader = good;
    Put(belowHeader, 10, 6, 4);
    struct Case { const char* name; std::vector<BYTE> bytes; };
    const Case cases[] = {
        { "notbm", notBm }, { "shortheader", shortHeader }, { "shortpixels", MakeBmp(shortPixels) },
        { "shortdeep", MakeBmp(shortDeep) }, { "cutheader", cutHeader }, { "cuttable", MakeBmp(cutTable) },
        { "cutv5", MakeBmp(cutV5) }, { "pastend", pastEnd }, { "hugeoffset", hugeOffset },
        { "belowheader", belowHeader }, { "empty", {} },
    };
    ASSERT_EQ(1, document_.AddNewImage(32, 4));
    document_.SetModified(0);
    for (const Case& c : cases)
        for (int replace : { 1, 0 }) {
            const doctest::DocumentSnapshot before(document_);
            EXPECT_EQ(0, document_.ImportBitmap(WriteBmp(c.name, c.bytes).c_str(), replace)) << c.name;
            EXPECT_TRUE(before == doctest::DocumentSnapshot(document_)) << c.name << " replace " << replace;
            EXPECT_EQ(1, document_.GetImageCount()) << c.name;
        }
    EXPECT_EQ(0, document_.ImportBitmap("Z:\\no\\such\\file.bmp", 1));
    EXPECT_EQ(0, document_.ImportBitmap("", 1));
    EXPECT_EQ(0, document_.ImportBitmap(nullptr, 1));
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ(1, document_.GetImageCount());
}

TEST_F(BitmapImport, PixelCountComesFromTheFormatNotFromBfSize)
{
    for (long delta : { -1000L, 0L, 5000L }) {
        BmpLayout s{ 32, 32, 24 };
        s.bfSizeDelta = delta;
        ASSERT_EQ(1, document_.ImportBitmap(WriteBmp("bfsize", MakeBmp(s)).c_str(), 1)) << delta;
        IconImage* image = document_.GetCurrentImage();
        EXPECT_EQ(96 * 32, image->GetColourBytes()) << delta;
        EXPECT_EQ(40 + 96 * 32 + 128, image->GetResourceSize()) << delta;
        ExpectPixelsOfFile(*image, s);
    }
    // Trailing bytes after the rows are ignored.
    BmpLayout padded{ 16, 16, 1 };
    padded.pixelBytes = 64 + 300;
    ASSERT_EQ(1, document_.ImportBitmap(WriteBmp("padded", MakeBmp(padded)).c_str(), 1));
    EXPECT_EQ(64, document_.GetCurrentImage()->GetColourBytes());
    ExpectPixelsOfFile(*document_.GetCurrentImage(), padded);
}

TEST_F(BitmapImport, ColourTableAfterLongerHeadersAndShortTables)
{
    // A version 5 header: the table follows its 124 bytes.
    BmpLayout v5{ 16, 16, 8 };
    v5.headerSize = 124;
    ASSERT_EQ(1, document_.ImportBitmap(WriteBmp("v5", MakeBmp(v5)).c_str(), 1));
    IconImage* image = document_.GetCurrentImage();
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(FileEntry(i), image->GetPaletteColour(i)) << i;
    ExpectPixelsOfFile(*image, v5);

    // Sixteen entries declared and present: the others are black.
    BmpLayout few{ 16, 16, 8 };
    few.clrUsed = 16;
    few.tableEntries = 16;
    ASSERT_EQ(1, document_.ImportBitmap(WriteBmp("few", MakeBmp(few)).c_str(), 1));
    image = document_.GetCurrentImage();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(FileEntry(i), image->GetPaletteColour(i)) << i;
    for (int i = 16; i < 256; ++i)
        EXPECT_EQ(RGB(0, 0, 0), image->GetPaletteColour(i)) << i;
    EXPECT_EQ(FileIndex(3, 4, 256), image->GetPixelIndex(3, 4));
}

TEST_F(BitmapImport, LoadFromBitmapRefusesWhatItCannotHold)
{
    IconImage image;
    ASSERT_TRUE(image.CreateBlank(16, 4));
    BITMAPFILEHEADER header = {};
    std::vector<BYTE> info(40 + 64, 0);
    EXPECT_EQ(0, image.LoadFromBitmap(nullptr, &header, info.data(), DWORD(info.size())));
    EXPECT_EQ(0, image.LoadFromBitmap(INVALID_HANDLE_VALUE, &header, info.data(), DWORD(info.size())));
    EXPECT_STREQ("16x16x4-bits", image.GetFormatText());
}

// Each accepted depth, imported then saved as an icon file that other programs
// must read (tests/host/import_readers.py compares their pixels with the dump).
TEST_F(BitmapImport, EveryDepthSavesAsAnIconOthersRead)
{
    struct Case { int size; int bits; };
    const std::string folder = doctest::OutputFolder("import-readers");
    for (const Case& c : { Case{ 16, 1 }, Case{ 32, 4 }, Case{ 48, 8 }, Case{ 72, 24 }, Case{ 128, 32 },
                           Case{ 64, 8 } }) {
        BmpLayout s{ c.size, c.size, c.bits };
        char name[64];
        std::snprintf(name, sizeof name, "import_%dx%d", c.size, c.bits);
        ASSERT_EQ(1, document_.ImportBitmap(WriteBmp(name, MakeBmp(s)).c_str(), 1)) << name;
        const std::string ico = folder + "\\" + name + ".ico";
        ASSERT_EQ(1, document_.WriteIconFile(ico.c_str())) << name;

        // The pixels a reader must find: rows top-down, RGBA, all opaque.
        std::vector<BYTE> rgba;
        for (int y = 0; y < c.size; ++y)
            for (int x = 0; x < c.size; ++x) {
                const COLORREF colour = ExpectedColour(s, x, y);
                rgba.insert(rgba.end(), { GetRValue(colour), GetGValue(colour), GetBValue(colour), 255 });
            }
        ASSERT_TRUE(doctest::WriteWholeFile(ico + ".rgba", rgba));

        // And the editor reads its own file back the same.
        IconDocument reread;
        ASSERT_EQ(1, reread.OpenFile(nullptr, ico.c_str())) << name;
        ExpectPixelsOfFile(*reread.GetCurrentImage(), s);
    }
}
