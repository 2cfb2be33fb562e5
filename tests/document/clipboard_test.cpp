#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "document/icon_document.h"
#include "win/identifiers.h"

namespace {

struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;     // top-down rows
    COLORREF At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// What the clipboard's CF_BITMAP holds, read through GetDIBits.
Picture ClipboardBitmap(HWND owner)
{
    Picture out;
    if (!OpenClipboard(owner))
        return out;
    HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP description = {};
    if (bitmap && GetObjectA(bitmap, sizeof description, &description)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = description.bmWidth;
        info.bmiHeader.biHeight = -description.bmHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        std::vector<DWORD> raw(size_t(description.bmWidth) * description.bmHeight);
        HDC screen = GetDC(nullptr);
        if (GetDIBits(screen, bitmap, 0, description.bmHeight, raw.data(), &info, DIB_RGB_COLORS)) {
            out.width = description.bmWidth;
            out.height = description.bmHeight;
            for (DWORD p : raw)
                out.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
        ReleaseDC(nullptr, screen);
    }
    CloseClipboard();
    return out;
}

// Places a packed DIB on the clipboard as another program would.
bool PlaceDib(HWND owner, const std::vector<BYTE>& dib)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, dib.size());
    if (!memory)
        return false;
    std::memcpy(GlobalLock(memory), dib.data(), dib.size());
    GlobalUnlock(memory);
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_DIB, memory) != nullptr;
    if (!placed)
        GlobalFree(memory);
    CloseClipboard();
    return placed;
}

void EmptyTheClipboard(HWND owner)
{
    if (OpenClipboard(owner)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

int PendingDocumentStates(HWND window)
{
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, window, WM_DOCUMENT_STATE, WM_DOCUMENT_STATE, PM_REMOVE))
        ++count;
    return count;
}

std::vector<COLORREF> Look(const IconImage& image)
{
    std::vector<COLORREF> out;
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x)
            out.push_back(image.IsTransparent(x, y) ? TransparentColour : image.GetPixelColour(x, y));
    return out;
}

COLORREF Distinct(int x, int y) { return RGB(x * 15 + 1, y * 13 + 2, (x * 7 + y * 11) & 0xFF); }

class Clipboard : public ::testing::Test
{
protected:
    void SetUp() override
    {
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        document_.SetOwnerWindow(owner_);
        EmptyTheClipboard(owner_);
    }
    void TearDown() override
    {
        document_.CloseDocument();
        DestroyWindow(owner_);
    }
    // A 16x16 24-bit image of distinct colours with a diagonal lattice of transparent pixels.
    IconImage* AddColourImage(int bits = 24)
    {
        EXPECT_EQ(1, document_.AddNewImage(16, bits));
        IconImage* image = document_.GetCurrentImage();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                if ((x + y) % 2)
                    image->SetPixelIndex(x, y, image->GetPaletteCount());
                else
                    image->SetPixelColour(x, y, Distinct(x, y));
            }
        return image;
    }
    void SelectPixels(int left, int top, int right, int bottom)
    {
        const int unit = 256 / document_.GetCurrentImage()->GetSize();
        POINT p0 = { left * unit, top * unit }, p1 = { right * unit, bottom * unit };
        document_.SetSelection(&p0, &p1, 256);
    }
    HWND owner_ = nullptr;
    IconDocument document_;
};

}  // namespace

TEST_F(Clipboard, CopyComposesTheSelectionOverTheButtonFace)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    IconImage* image = AddColourImage();
    const std::vector<COLORREF> before = Look(*image);
    SelectPixels(2, 3, 6, 7);
    PendingDocumentStates(owner_);
    ASSERT_EQ(1, document_.CopySelection());
    EXPECT_EQ(1, PendingDocumentStates(owner_));
    const Picture picture = ClipboardBitmap(owner_);
    ASSERT_EQ(4, picture.width);
    ASSERT_EQ(4, picture.height);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const int ix = x + 2, iy = y + 3;
            EXPECT_EQ((ix + iy) % 2 ? face : Distinct(ix, iy), picture.At(x, y)) << x << "," << y;
        }
    // Nothing of the document changes, and the bitmap now lives on the clipboard.
    EXPECT_EQ(before, Look(*image));
    EXPECT_FALSE(document_.CanUndo());
    EXPECT_EQ(0, document_.IsModified());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
}

TEST_F(Clipboard, CopyReachingPastTheImageKeepsTheFace)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ASSERT_EQ(1, document_.AddNewImage(32, 8));
    SelectPixels(28, 0, 32, 4);
    ASSERT_EQ(1, document_.AddNewImage(16, 1));      // the selection stays, larger than the image
    ASSERT_EQ(1, document_.CopySelection());
    // The selection is not cut to the image: the picture is its full size, all face.
    const Picture picture = ClipboardBitmap(owner_);
    ASSERT_EQ(4, picture.width);
    ASSERT_EQ(4, picture.height);
    EXPECT_EQ(std::vector<COLORREF>(16, face), picture.pixels);
}

TEST_F(Clipboard, RefusedCopiesPlaceNothing)
{
    EXPECT_EQ(0, document_.CopySelection());         // no document
    EXPECT_EQ(0, document_.CutSelection());
    AddColourImage();
    EXPECT_EQ(0, document_.CopySelection());         // no selection
    POINT same = { 32, 32 };
    document_.SetSelection(&same, &same, 256);       // a selection of no pixels
    EXPECT_EQ(0, document_.CopySelection());
    SelectPixels(0, 0, 4, 4);
    document_.SetOwnerWindow(nullptr);
    EXPECT_EQ(0, document_.CopySelection());         // nobody to own the clipboard
    EXPECT_EQ(0, document_.CutSelection());
    EXPECT_FALSE(document_.CanUndo());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}

TEST_F(Clipboard, CutClearsToTheBackgroundAsOneStep)
{
    IconImage* image = AddColourImage();
    const std::vector<COLORREF> before = Look(*image);
    SelectPixels(2, 2, 6, 6);
    image->SetRightIndex(255);
    EXPECT_EQ(1, document_.CutSelection());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
            EXPECT_EQ(inside ? RGB(255, 255, 255) : before[y * 16 + x], Look(*image)[y * 16 + x]);
        }
    EXPECT_EQ(0, document_.IsModified());
    EXPECT_TRUE(document_.HasSelection());
    EXPECT_EQ(Distinct(2, 2), ClipboardBitmap(owner_).At(0, 0));
    EXPECT_EQ(1, document_.Undo());
    EXPECT_EQ(before, Look(*image));
    EXPECT_EQ(Distinct(2, 2), ClipboardBitmap(owner_).At(0, 0));

    image->SetRightIndex(256);
    EXPECT_EQ(1, document_.CutSelection());
    EXPECT_EQ(TransparentColour, Look(*image)[3 * 16 + 4]);
    EXPECT_EQ(1, image->IsTransparent(2, 2));
}

TEST_F(Clipboard, PasteOfAnEditorCopyIntoTheSameImage)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    IconImage* image = AddColourImage();
    const std::vector<COLORREF> before = Look(*image);
    SelectPixels(2, 3, 6, 7);
    ASSERT_EQ(1, document_.CopySelection());
    SelectPixels(9, 8, 10, 9);                       // only its top-left corner counts
    PendingDocumentStates(owner_);
    ASSERT_EQ(1, document_.PasteClipboard());
    EXPECT_EQ(1, document_.IsModified());
    EXPECT_GE(PendingDocumentStates(owner_), 1);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool pasted = x >= 9 && x < 13 && y >= 8 && y < 12;
            const int sx = x - 9 + 2, sy = y - 8 + 3;
            COLORREF expected = before[y * 16 + x];
            if (pasted)
                expected = (sx + sy) % 2 ? face : Distinct(sx, sy);
            EXPECT_EQ(expected, Look(*image)[y * 16 + x]) << x << "," << y;
        }
    EXPECT_EQ(1, document_.Undo());
    EXPECT_EQ(before, Look(*image));
    EXPECT_FALSE(document_.CanUndo());
}

TEST_F(Clipboard, PasteIntoAnImageOfAnotherDepthTakesTheNearestEntries)
{
    ASSERT_EQ(1, document_.AddNewImage(16, 24));
    IconImage* source = document_.GetCurrentImage();
    struct Case { COLORREF colour; int index; };
    const Case cases[] = {
        { RGB(250, 5, 5), 9 }, { RGB(130, 0, 0), 1 }, { RGB(192, 192, 192), 7 },
        { RGB(64, 0, 0), 0 },          // as near to black (0) as to dark red (1): the lower wins
        { RGB(0, 0, 0), 0 }, { RGB(255, 255, 255), 15 }, { RGB(10, 120, 140), 6 },
    };
    const int count = int(sizeof cases / sizeof cases[0]);
    for (int i = 0; i < count; ++i)
        source->SetPixelColour(i, 0, cases[i].colour);
    SelectPixels(0, 0, count, 1);
    ASSERT_EQ(1, document_.CopySelection());

    ASSERT_EQ(1, document_.AddNewImage(16, 4));
    IconImage* target = document_.GetCurrentImage();
    target->SetPixelIndex(3, 5, 16);                  // a transparent pixel becomes opaque
    SelectPixels(0, 5, 1, 6);
    ASSERT_EQ(1, document_.PasteClipboard());
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(cases[i].index, target->GetPixelIndex(i, 5)) << i;
        EXPECT_EQ(0, target->IsTransparent(i, 5)) << i;
    }
    EXPECT_EQ(15, target->GetPixelIndex(0, 4));
    EXPECT_EQ(15, target->GetPixelIndex(count, 5));

    // Into an 8-bit image whose palette repeats a colour: the lowest entry of it.
    ASSERT_EQ(1, document_.AddNewImage(16, 8));
    IconImage* eight = document_.GetCurrentImage();
    eight->SetPaletteColour(3, RGB(192, 192, 192));
    document_.SetSelection(nullptr, nullptr, 0);
    ASSERT_EQ(1, document_.PasteClipboard());
    EXPECT_EQ(3, eight->GetPixelIndex(2, 0));
    EXPECT_EQ(0, eight->GetPixelIndex(4, 0));
    EXPECT_EQ(eight->IndexOfColour(RGB(255, 255, 255)), eight->GetPixelIndex(5, 0));
    EXPECT_LT(eight->GetPixelIndex(5, 0), 255);      // the default palette holds white twice
}

TEST_F(Clipboard, PasteIsClippedToTheImage)
{
    AddColourImage(32);
    SelectPixels(0, 0, 4, 4);
    ASSERT_EQ(1, document_.CopySelection());
    ASSERT_EQ(1, document_.AddNewImage(16, 32));
    IconImage* image = document_.GetCurrentImage();
    const std::vector<COLORREF> before = Look(*image);
    SelectPixels(14, 14, 16, 16);
    ASSERT_EQ(1, document_.PasteClipboard());
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const std::vector<COLORREF> after = Look(*image);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int sx = x - 14, sy = y - 14;
            const COLORREF expected = x < 14 || y < 14 ? before[y * 16 + x]
                                    : (sx + sy) % 2 ? face : Distinct(sx, sy);
            EXPECT_EQ(expected, after[y * 16 + x]) << x << "," << y;
        }

    // A corner left over from a larger image lies wholly outside: nothing happens.
    ASSERT_EQ(1, document_.AddNewImage(32, 32));
    SelectPixels(20, 20, 24, 24);
    ASSERT_EQ(1, document_.SelectImage(1));
    document_.SetModified(0);
    EXPECT_EQ(0, document_.PasteClipboard());
    EXPECT_EQ(1, document_.CanUndo());               // only the earlier paste
    EXPECT_EQ(1, document_.Undo());
    EXPECT_FALSE(document_.CanUndo());
    EXPECT_EQ(0, document_.IsModified());
}

TEST_F(Clipboard, PasteOfDibsPlacedByOtherPrograms)
{
    // An 8-bit picture 5 x 3, bottom-up, with a small colour table.
    std::vector<BYTE> dib(40 + 4 * 4 + 8 * 3, 0);
    BITMAPINFOHEADER header = {};
    header.biSize = 40;
    header.biWidth = 5;
    header.biHeight = 3;
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biClrUsed = 4;
    std::memcpy(dib.data(), &header, 40);
    const COLORREF table[4] = { RGB(255, 0, 0), RGB(0, 128, 0), RGB(17, 34, 51), RGB(255, 255, 255) };
    for (int i = 0; i < 4; ++i) {
        dib[40 + 4 * i] = GetBValue(table[i]);
        dib[41 + 4 * i] = GetGValue(table[i]);
        dib[42 + 4 * i] = GetRValue(table[i]);
    }
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            dib[56 + 8 * (2 - y) + x] = BYTE((x + y) % 4);
    ASSERT_TRUE(PlaceDib(owner_, dib));

    ASSERT_EQ(1, document_.AddNewImage(16, 24));
    IconImage* deep = document_.GetCurrentImage();
    deep->SetPixelIndex(4, 2, 256);
    ASSERT_EQ(1, document_.PasteClipboard());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(table[(x + y) % 4], deep->GetPixelColour(x, y)) << x << "," << y;
            EXPECT_EQ(0, deep->IsTransparent(x, y));
        }
    EXPECT_EQ(RGB(255, 255, 255), deep->GetPixelColour(5, 0));

    // A 24-bit top-down picture into a 1-bit image: black or white, whichever is nearer.
    std::vector<BYTE> top(40 + 8 * 2, 0);           // rows of 6 bytes padded to 8
    header.biWidth = 2;
    header.biHeight = -2;
    header.biBitCount = 24;
    header.biClrUsed = 0;
    std::memcpy(top.data(), &header, 40);
    const BYTE rows[2][6] = { { 10, 10, 10, 250, 200, 240 }, { 200, 200, 200, 0, 0, 120 } };
    std::memcpy(top.data() + 40, rows[0], 6);
    std::memcpy(top.data() + 48, rows[1], 6);
    ASSERT_TRUE(PlaceDib(owner_, top));
    ASSERT_EQ(1, document_.AddNewImage(16, 1));
    IconImage* mono = document_.GetCurrentImage();
    document_.SetSelection(nullptr, nullptr, 0);
    ASSERT_EQ(1, document_.PasteClipboard());
    EXPECT_EQ(0, mono->GetPixelIndex(0, 0));
    EXPECT_EQ(1, mono->GetPixelIndex(1, 0));
    EXPECT_EQ(1, mono->GetPixelIndex(0, 1));
    EXPECT_EQ(0, mono->GetPixelIndex(1, 1));
}

TEST_F(Clipboard, PasteRefusesWhatItCannotRead)
{
    ASSERT_EQ(1, document_.AddNewImage(16, 24));
    EXPECT_EQ(0, document_.PasteClipboard());        // nothing on the clipboard

    // Headers claiming more than their block holds, or formats not read.
    BITMAPINFOHEADER header = {};
    header.biSize = 40;
    header.biWidth = 128;
    header.biHeight = 128;
    header.biPlanes = 1;
    header.biBitCount = 24;
    std::vector<BYTE> cut(40 + 10, 0);
    std::memcpy(cut.data(), &header, 40);
    BITMAPINFOHEADER rle = header;
    rle.biBitCount = 8;
    rle.biCompression = BI_RLE8;
    rle.biWidth = 2;
    rle.biHeight = 2;
    std::vector<BYTE> rleDib(40 + 1024 + 16, 0);
    std::memcpy(rleDib.data(), &rle, 40);
    BITMAPINFOHEADER table = header;
    table.biBitCount = 8;
    table.biWidth = 4;
    table.biHeight = 4;
    std::vector<BYTE> shortTable(40 + 100, 0);        // 256 entries implied
    std::memcpy(shortTable.data(), &table, 40);
    BITMAPINFOHEADER wrapping = header;               // sizes that wrap around 32 bits
    wrapping.biSize = 0xFFFFFFF0u;                    // plus its table: 1008
    wrapping.biWidth = 2;
    wrapping.biHeight = 2;
    wrapping.biBitCount = 8;
    std::vector<BYTE> wrapSize(1100, 0);
    std::memcpy(wrapSize.data(), &wrapping, 40);
    wrapping.biSize = 40;
    wrapping.biBitCount = 24;
    wrapping.biClrUsed = 0x40000000u;
    std::vector<BYTE> wrapTable(40 + 64, 0);
    std::memcpy(wrapTable.data(), &wrapping, 40);
    for (const std::vector<BYTE>* dib : { &cut, &rleDib, &shortTable, &wrapSize, &wrapTable }) {
        ASSERT_TRUE(PlaceDib(owner_, *dib));
        EXPECT_EQ(0, document_.PasteClipboard());
    }
    EXPECT_FALSE(document_.CanUndo());
    EXPECT_EQ(0, document_.IsModified());

    IconDocument closed;
    EXPECT_EQ(0, closed.PasteClipboard());
}

TEST_F(Clipboard, SelectAllThenShift)
{
    EXPECT_EQ(0, document_.SelectAll());
    for (int size : { 48, 72, 16 }) {
        ASSERT_EQ(1, document_.AddNewImage(size, 8));
        PendingDocumentStates(owner_);
        EXPECT_EQ(1, document_.SelectAll());
        EXPECT_EQ(1, PendingDocumentStates(owner_));
        EXPECT_EQ(1, document_.HasSelection());
        const RECT r = document_.GetSelection();
        EXPECT_EQ(0, r.left);
        EXPECT_EQ(0, r.top);
        EXPECT_EQ(size, r.right);
        EXPECT_EQ(size, r.bottom);
    }
    IconImage* image = document_.GetCurrentImage();
    for (int y = 0; y < 16; ++y)
        image->SetPixelIndex(15, y, 9);
    image->SetRightIndex(0);
    EXPECT_EQ(1, document_.ShiftImage(-1, 0));
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(9, image->GetPixelIndex(14, y));
        EXPECT_EQ(0, image->GetPixelIndex(15, y));
    }
}
