#include <cstdlib>
#include <cstring>
#include <thread>

#include "document/document_test_support.h"
#include "shell/clipboard_commands.h"
#include "win/gdi_guards.h"

using namespace doctest;

namespace {

// What the clipboard's CF_BITMAP holds, rows top-down.
std::vector<COLORREF> ClipboardPixels(HWND owner, int width, int height)
{
    std::vector<COLORREF> out;
    if (!OpenClipboard(owner))
        return out;
    HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP description = {};
    MemoryDC dc(nullptr);
    if (bitmap && GetObjectA(bitmap, sizeof description, &description) && description.bmWidth == width
        && description.bmHeight == height) {
        SelectGuard keep(dc, bitmap);
        out = Grid(width, height, [&dc](int x, int y) { return GetPixel(dc, x, y); });
    }
    CloseClipboard();
    return out;
}

// Places a packed DIB on the clipboard as another program would; empty: nothing.
bool PlaceDib(HWND owner, const std::vector<BYTE>& dib)
{
    HGLOBAL memory = dib.empty() ? nullptr : GlobalAlloc(GMEM_MOVEABLE, dib.size());
    if (memory) {
        std::memcpy(GlobalLock(memory), dib.data(), dib.size());
        GlobalUnlock(memory);
    }
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = !memory || SetClipboardData(CF_DIB, memory);
    if (!placed)
        GlobalFree(memory);
    CloseClipboard();
    return placed;
}

COLORREF Distinct(int x, int y) { return RGB(x * 15 + 1, y * 13 + 2, (x * 7 + y * 11) & 0xFF); }

// A pixel of the picture below as copied: transparent ones show the button face.
COLORREF Copied(int x, int y) { return (x + y) % 2 ? GetSysColor(COLOR_BTNFACE) : Distinct(x, y); }

class Clipboard : public DocumentTest
{
protected:
    HWND owner_ = nullptr;
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        PlaceDib(owner_, {});
    }
    void TearDown() override
    {
        DocumentTest::TearDown();
        DestroyWindow(owner_);
    }
    EditOutcome Copy(HWND owner) { return CopyToClipboard(document_, owner); }
    EditOutcome Cut(HWND owner) { return CutToClipboard(document_, owner); }
    EditOutcome Paste() { return PasteFromClipboard(document_, owner_); }
    // A 16x16 image of distinct colours with a diagonal lattice of transparent pixels.
    IconImage* AddColourImage(int bits = 24)
    {
        EXPECT_EQ(EditOutcome::Done, document_.AddNewImage(16, bits));
        IconImage* image = document_.GetCurrentImage();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ((x + y) % 2 ? image->SetTransparent(x, y, true) : image->SetPixelColour(x, y, Distinct(x, y)));
        return image;
    }
    // The current image as it must be: inside the block, the copy of the block
    // at (fromX, fromY); elsewhere as before.
    std::vector<COLORREF> Pasted(const std::vector<COLORREF>& before, RECT block, int fromX, int fromY)
    {
        return Grid(16, 16, [&](int x, int y) {
            const POINT p = {x, y};
            return PtInRect(&block, p) ? Copied(x - block.left + fromX, y - block.top + fromY) : before[y * 16 + x];
        });
    }
};

}  // namespace

TEST_F(Clipboard, CopyComposesTheSelectionOverTheButtonFace)
{
    IconImage* image = AddColourImage();
    const std::vector<COLORREF> before = Look(*image);
    SelectPixels(2, 3, 6, 7);
    TakeNotifications();
    ASSERT_EQ(EditOutcome::Done, Copy(owner_));
    EXPECT_EQ(0, TakeNotifications()) << "the document is as it was";
    EXPECT_EQ(Grid(4, 4, [](int x, int y) { return Copied(x + 2, y + 3); }), ClipboardPixels(owner_, 4, 4));
    EXPECT_EQ(before, Look(*image));
    EXPECT_FALSE(document_.CanUndo());
    EXPECT_EQ(0, document_.IsModified());
}

TEST_F(Clipboard, RefusedCopiesPlaceNothing)
{
    EXPECT_EQ(EditOutcome::NothingToDo, Copy(owner_));   // no document
    EXPECT_EQ(EditOutcome::NothingToDo, Cut(owner_));
    AddColourImage();
    EXPECT_EQ(EditOutcome::NothingToDo, Copy(owner_));         // no selection
    document_.SetSelection(RECT{2, 2, 2, 2});       // a selection of no pixels
    EXPECT_EQ(EditOutcome::NothingToDo, Copy(owner_));
    SelectPixels(0, 0, 4, 4);
    EXPECT_EQ(EditOutcome::NothingToDo, Copy(nullptr));  // nobody to own the clipboard
    EXPECT_EQ(EditOutcome::NothingToDo, Cut(nullptr));
    EXPECT_FALSE(document_.CanUndo());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}

// While another window holds the clipboard nothing reaches it: copy answers 0
// and a cut clears nothing.
TEST_F(Clipboard, CutClearsNothingWhenTheClipboardIsHeld)
{
    IconImage* image = AddColourImage();
    const std::vector<COLORREF> before = Look(*image);
    SelectPixels(0, 0, 4, 4);
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr), release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND window = CreateWindowExA(0, "STATIC", "holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        const bool opened = OpenClipboard(window);
        SetEvent(held);
        WaitForSingleObject(release, 10000);
        if (opened)
            CloseClipboard();
        DestroyWindow(window);
    });
    WaitForSingleObject(held, 10000);
    EXPECT_EQ(EditOutcome::ClipboardBusy, Copy(owner_));
    EXPECT_EQ(EditOutcome::ClipboardBusy, Cut(owner_));
    SetEvent(release);
    holder.join();
    CloseHandle(held);
    CloseHandle(release);
    EXPECT_EQ(before, Look(*image));
    EXPECT_FALSE(document_.CanUndo());
    EXPECT_EQ(EditOutcome::Done, Cut(owner_));
}

TEST_F(Clipboard, CutClearsToTheBackgroundAsOneStep)
{
    IconImage* image = AddColourImage();
    const std::vector<COLORREF> before = Look(*image);
    SelectPixels(2, 2, 6, 6);
    for (COLORREF background : {RGB(255, 255, 255), TransparentColour}) {
        image->Colours().SetRightIndex(background == TransparentColour ? 256 : 255);
        EXPECT_EQ(EditOutcome::Done, Cut(owner_));
        EXPECT_EQ(Grid(16, 16, [&](int x, int y) {
                      return x >= 2 && x < 6 && y >= 2 && y < 6 ? background : before[y * 16 + x];
                  }), Look(*image));
        EXPECT_EQ(Distinct(2, 2), ClipboardPixels(owner_, 4, 4).at(0));
        EXPECT_TRUE(document_.HasSelection());
        EXPECT_EQ(1, document_.IsModified());
        EXPECT_EQ(EditOutcome::Done, document_.Undo());
        EXPECT_FALSE(document_.CanUndo());
        EXPECT_EQ(before, Look(*image));
    }
}

TEST_F(Clipboard, PasteOfAnEditorCopyIntoTheSameImageIsOneUndoStep)
{
    IconImage* image = AddColourImage();
    const std::vector<COLORREF> before = Look(*image);
    SelectPixels(2, 3, 6, 7);
    ASSERT_EQ(EditOutcome::Done, Copy(owner_));
    SelectPixels(9, 8, 10, 9);                       // only its top-left corner counts
    TakeNotifications();
    ASSERT_EQ(EditOutcome::Done, Paste());
    EXPECT_EQ(1, document_.IsModified());
    EXPECT_GE(TakeNotifications(), 1);
    EXPECT_EQ(Pasted(before, {9, 8, 13, 12}, 2, 3), Look(*image));
    EXPECT_EQ(EditOutcome::Done, document_.Undo());
    EXPECT_FALSE(document_.CanUndo());
    EXPECT_EQ(before, Look(*image));
}

TEST_F(Clipboard, PasteIntoAnImageOfAnotherDepthTakesTheNearestEntries)
{
    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(16, 24));
    IconImage* source = document_.GetCurrentImage();
    struct Case { COLORREF colour; int index; };
    const Case cases[] = {
        {RGB(250, 5, 5), 9}, {RGB(130, 0, 0), 1}, {RGB(192, 192, 192), 7},
        {RGB(64, 0, 0), 0},            // as near to black (0) as to dark red (1): the lower wins
        {RGB(0, 0, 0), 0}, {RGB(255, 255, 255), 15}, {RGB(10, 120, 140), 6},
    };
    const int count = int(sizeof cases / sizeof cases[0]);
    for (int i = 0; i < count; ++i)
        source->SetPixelColour(i, 0, cases[i].colour);
    SelectPixels(0, 0, count, 1);
    ASSERT_EQ(EditOutcome::Done, Copy(owner_));

    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(16, 4));
    IconImage* target = document_.GetCurrentImage();
    target->SetTransparent(3, 5, true);              // a transparent pixel becomes opaque
    SelectPixels(0, 5, 1, 6);
    ASSERT_EQ(EditOutcome::Done, Paste());
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(cases[i].index, target->GetPixelIndex(i, 5)) << i;
        EXPECT_EQ(0, target->IsTransparent(i, 5)) << i;
    }
    EXPECT_EQ(15, target->GetPixelIndex(0, 4));
    EXPECT_EQ(15, target->GetPixelIndex(count, 5));

    // Into an 8-bit image whose palette repeats a colour: the lowest entry of it.
    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(16, 8));
    IconImage* eight = document_.GetCurrentImage();
    eight->SetPaletteColour(3, RGB(192, 192, 192));
    document_.ClearSelection();
    ASSERT_EQ(EditOutcome::Done, Paste());
    EXPECT_EQ(3, eight->GetPixelIndex(2, 0));
    EXPECT_EQ(0, eight->GetPixelIndex(4, 0));
    EXPECT_EQ(eight->IndexOfColour(RGB(255, 255, 255)), eight->GetPixelIndex(5, 0));
    EXPECT_LT(eight->GetPixelIndex(5, 0), 255);      // the default palette holds white twice
}

TEST_F(Clipboard, PasteIsClippedToTheImage)
{
    AddColourImage(32);
    SelectPixels(0, 0, 4, 4);
    ASSERT_EQ(EditOutcome::Done, Copy(owner_));
    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(16, 32));
    const std::vector<COLORREF> before = Look(*document_.GetCurrentImage());
    SelectPixels(14, 14, 16, 16);
    ASSERT_EQ(EditOutcome::Done, Paste());
    // Copied with its alpha, a transparent pixel stays transparent.
    std::vector<COLORREF> expected = Pasted(before, {14, 14, 16, 16}, 0, 0);
    expected[14 * 16 + 15] = expected[15 * 16 + 14] = TransparentColour;
    EXPECT_EQ(expected, Look(*document_.GetCurrentImage()));
    EXPECT_EQ(EditOutcome::Done, document_.Undo());                  // one step
    EXPECT_FALSE(document_.CanUndo());
}

// Pictures placed by other programs as CF_DIB come in with their exact colours,
// bottom-up or top-down, with a short colour table or none.
TEST_F(Clipboard, PasteOfDibsPlacedByOtherPrograms)
{
    // Layout: width, height, bits, compression, biClrUsed, header size, table entries.
    for (const BmpLayout& s : {BmpLayout{5, 3, 8, BI_RGB, 4, 40, 4}, BmpLayout{2, -2, 24}, BmpLayout{7, 2, 1}}) {
        ASSERT_TRUE(PlaceDib(owner_, MakeDib(s)));
        document_.CloseDocument();
        ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(16, 24));
        IconImage* deep = document_.GetCurrentImage();
        const std::vector<COLORREF> before = Look(*deep);
        deep->SetTransparent(1, 1, true);
        ASSERT_EQ(EditOutcome::Done, Paste()) << s.width << "x" << s.height << "x" << s.bits;
        EXPECT_EQ(Grid(16, 16, [&](int x, int y) {
                      return x < s.width && y < std::abs(s.height) ? ExpectedColour(s, x, y) : before[y * 16 + x];
                  }), Look(*deep)) << s.width << "x" << s.height << "x" << s.bits;
    }
}

TEST_F(Clipboard, PasteRefusesWhatItCannotRead)
{
    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(16, 24));
    EXPECT_EQ(EditOutcome::NothingToDo, Paste());        // nothing on the clipboard
    // Headers claiming more than their block holds (sizes that wrap around 32
    // bits among them), or formats not read.
    const std::vector<BYTE> dibs[] = {
        MakeDib({128, 128, 24, BI_RGB, 0, 40, -1, 10}),
        MakeDib({2, 2, 8, BI_RLE8}),
        MakeDib({4, 4, 8, BI_RGB, 0, 40, 25, 0}),            // 256 entries implied
        Patched(MakeDib({2, 2, 8}), 0, 0xFFFFFFF0u, 4),     // biSize plus its table: 1008
        Patched(MakeDib({2, 2, 24}), 32, 0x40000000u, 4),   // biClrUsed: a table of 4 GiB
    };
    for (const std::vector<BYTE>& dib : dibs)
        EXPECT_EQ(EditOutcome::NothingToDo, document_.PastePackedDib(Span(dib)));
    // A 1-bit DIB whose biClrUsed makes GDI read 256 entries, from a block that
    // ends long before them.
    ASSERT_TRUE(PlaceDib(owner_, MakeDib({4, 4, 1, BI_RGB, 256, 40, 2})));
    ASSERT_TRUE(OpenClipboard(owner_));
    EXPECT_LT(GlobalSize(GetClipboardData(CF_DIB)), 40u + 4 * 256);
    CloseClipboard();
    EXPECT_EQ(EditOutcome::NothingToDo, Paste());
    EXPECT_FALSE(document_.CanUndo());
    EXPECT_EQ(0, document_.IsModified());
    IconDocument closed;
    EXPECT_EQ(EditOutcome::NothingToDo, PasteFromClipboard(closed, owner_));
}

TEST_F(Clipboard, SelectAllThenShift)
{
    EXPECT_NE(EditOutcome::Done, document_.SelectAll());
    for (int size : {48, 72, 16}) {
        ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(size, 8));
        TakeNotifications();
        EXPECT_EQ(EditOutcome::Done, document_.SelectAll());
        EXPECT_EQ(1, TakeNotifications());
        const RECT whole = {0, 0, size, size}, r = document_.GetSelection();
        EXPECT_TRUE(document_.HasSelection()) << size;
        EXPECT_TRUE(EqualRect(&whole, &r)) << size;
    }
    IconImage* image = document_.GetCurrentImage();
    for (int y = 0; y < 16; ++y)
        image->SetPixelIndex(15, y, 9);
    image->Colours().SetRightIndex(0);
    EXPECT_EQ(EditOutcome::Done, document_.ShiftImage(-1, 0));
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(9, image->GetPixelIndex(14, y));
        EXPECT_EQ(0, image->GetPixelIndex(15, y));
    }
}

// A 32-bit image's copy carries its alpha as CF_DIBV5 beside the bitmap, and a
// paste of it keeps the alpha.
TEST_F(Clipboard, CopyAndPasteOfAThirtyTwoBitImageKeepItsAlpha)
{
    ASSERT_EQ(EditOutcome::Done, document_.AddNewImage(16, 32));
    IconImage* image = document_.GetCurrentImage();
    ASSERT_TRUE(image->SetPixelRgba(2, 3, RGB(10, 20, 30), 128));
    SelectPixels(2, 3, 4, 5);
    ASSERT_EQ(EditOutcome::Done, Copy(owner_));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIBV5));
    SelectPixels(9, 8, 10, 9);
    ASSERT_EQ(EditOutcome::Done, Paste());
    const BYTE* pasted = image->GetColourBits() + (15 - 8) * 64 + 9 * 4;
    EXPECT_EQ((std::vector<BYTE>{30, 20, 10, 128}), std::vector<BYTE>(pasted, pasted + 4));
    EXPECT_EQ(255, pasted[4 + 3]) << "its opaque neighbour stays opaque";
}
