#include "view_test_support.h"

using namespace viewtest;

namespace {

// 4-bit default palette entries used below.
const int kRed = 9, kGreen = 10, kBlue = 12;

void WriteRgb(IconImage& image, int x, int y, COLORREF colour)
{
    BYTE* at = image.PixelAddress(x, y);
    at[0] = GetBValue(colour);
    at[1] = GetGValue(colour);
    at[2] = GetRValue(colour);
}

} // namespace

TEST(EditViewDisplay, SixteenPixelImageShowsBlocksOverTheButtonFace)
{
    Canvas c;
    ASSERT_TRUE(c.document.AddNewImage(16, 24));
    IconImage& image = c.Image();
    image.SetPixelColour(3, 5, RGB(200, 10, 30));
    image.SetTransparent(10, 2, true);                  // colour part black: background only
    image.SetTransparent(12, 12, true);
    WriteRgb(image, 12, 12, RGB(0, 0, 0x80));           // colour part kept under the mask
    GdiFlush();

    Picture shown = c.Show();
    for (int py = 0; py < 16; ++py)
        for (int px = 0; px < 16; ++px) {
            COLORREF expected = RGB(255, 255, 255);
            if (px == 3 && py == 5)
                expected = RGB(200, 10, 30);
            else if (px == 10 && py == 2)
                expected = Face();
            else if (px == 12 && py == 12)
                expected = Face() | RGB(0, 0, 0x80);
            for (int y = py * 16; y < py * 16 + 16; ++y)
                for (int x = px * 16; x < px * 16 + 16; ++x)
                    ASSERT_EQ(expected, shown.At(x, y)) << "pixel " << px << "," << py
                                                        << " at canvas " << x << "," << y;
        }
}

TEST(EditViewDisplay, NonIntegerZoomFillsTheSquareAndKeepsEveryColumn)
{
    for (int s : { 48, 72 }) {
        Canvas c;
        ASSERT_TRUE(c.document.AddNewImage(s, 24));
        IconImage& image = c.Image();
        for (int y = 0; y < s; ++y)
            for (int x = 0; x < s; ++x)
                image.SetPixelColour(x, y, RGB(x * 3, y * 3, 7));
        Picture shown = c.Show();
        EXPECT_EQ(RGB(0, 0, 7), shown.At(0, 0)) << s;
        EXPECT_EQ(RGB((s - 1) * 3, (s - 1) * 3, 7), shown.At(255, 255)) << s;
        // Left to right every image column shows, in order, as a band of the
        // zoom's floor or ceiling width.
        std::vector<int> width(s, 0);
        int previous = 0;
        for (int x = 0; x < 256; ++x) {
            int column = GetRValue(shown.At(x, 100)) / 3;
            ASSERT_GE(column, previous) << s << " at x " << x;
            ASSERT_LT(column, s);
            previous = column;
            ++width[column];
        }
        for (int column = 0; column < s; ++column) {
            EXPECT_GE(width[column], 256 / s) << s << " column " << column;
            EXPECT_LE(width[column], 256 / s + 1) << s << " column " << column;
        }
    }
}

TEST(EditViewDisplay, NothingIsDrawnWithoutADocument)
{
    Canvas c;
    Picture shown = c.Show();
    EXPECT_EQ(RGB(255, 0, 255), shown.At(0, 0));
    EXPECT_EQ(RGB(255, 0, 255), shown.At(255, 255));
}

TEST(EditViewDisplay, CoordinateMapping)
{
    struct Case { int size, pixel, left, right; };
    for (const Case& k : { Case{ 48, 10, 53, 59 }, Case{ 72, 1, 3, 8 }, Case{ 16, 0, 0, 17 },
                           Case{ 16, 15, 240, 257 }, Case{ 128, 127, 254, 257 }, Case{ 32, 3, 24, 33 } }) {
        Canvas c;
        ASSERT_TRUE(c.document.AddNewImage(k.size, 8));
        RECT r = {};
        c.view.PixelToCanvasRect(k.pixel, k.pixel, &r);
        EXPECT_EQ(k.left, r.left) << k.size << ":" << k.pixel;
        EXPECT_EQ(k.left, r.top) << k.size << ":" << k.pixel;
        EXPECT_EQ(k.right, r.right) << k.size << ":" << k.pixel;
        EXPECT_EQ(k.right, r.bottom) << k.size << ":" << k.pixel;
    }
    struct Point { int size, canvas, pixel; };
    for (const Point& k : { Point{ 48, 255, 47 }, Point{ 48, 0, 0 }, Point{ 72, 4, 1 }, Point{ 16, 15, 0 },
                            Point{ 16, 16, 1 }, Point{ 48, -5, 0 }, Point{ 16, -16, -1 } }) {
        Canvas c;
        ASSERT_TRUE(c.document.AddNewImage(k.size, 8));
        POINT p = c.view.CanvasToPixel(k.canvas, k.canvas);
        EXPECT_EQ(k.pixel, p.x) << k.size << ":" << k.canvas;
        EXPECT_EQ(k.pixel, p.y) << k.size << ":" << k.canvas;
    }
    Canvas empty;
    RECT untouched = { 1, 2, 3, 4 };
    empty.view.PixelToCanvasRect(5, 5, &untouched);
    EXPECT_EQ(1, untouched.left);
    EXPECT_EQ(4, untouched.bottom);
}

TEST(EditViewDisplay, PickerHandsBackToTheToolBeforeTheFirstPickerChoice)
{
    Canvas c;
    ASSERT_TRUE(c.document.AddNewImage(16, 4));
    EXPECT_EQ(ToolPencil, c.view.GetTool());
    c.view.SetTool(ToolEllipse);
    c.view.SetTool(ToolPicker);
    c.view.SetTool(ToolPicker);
    c.view.SetTool(9);
    c.view.SetTool(-1);
    EXPECT_EQ(ToolPicker, c.view.GetTool());
    Press(c.window, 10, 10);
    Release(c.window, 10, 10);
    Pump();
    const Message* command = Last(WM_COMMAND);
    ASSERT_NE(nullptr, command);
    EXPECT_EQ(static_cast<WPARAM>(CmdToolFirst + ToolEllipse), command->wParam);
    EXPECT_EQ(0, command->lParam);

    // Any other tool after the picker: the picker itself is never remembered.
    c.view.SetTool(ToolFill);
    c.view.SetTool(ToolPicker);
    Received().clear();
    Press(c.window, 10, 10, false);
    Release(c.window, 10, 10, false);
    Pump();
    ASSERT_NE(nullptr, Last(WM_COMMAND));
    EXPECT_EQ(static_cast<WPARAM>(CmdToolFirst + ToolFill), Last(WM_COMMAND)->wParam);
}

TEST(EditViewDisplay, MovingTheSelectionFrameClampsAndCollapses)
{
    Canvas c;
    ASSERT_TRUE(c.document.AddNewImage(16, 4));
    EXPECT_EQ(0, c.view.MoveSelectionFrame(1, 0));  // no frame shown
    c.view.SetTool(ToolSelect);
    // Frame over pixels 1..2 x 0..1: canvas (16, 0)-(48, 32).
    Press(c.window, 20, 5);
    Move(c.window, 40, 20);
    Release(c.window, 40, 20);
    RECT r = c.document.GetSelection();
    EXPECT_EQ(1, r.left);
    EXPECT_EQ(3, r.right);

    struct Step { int dx, dy, left, top, right, bottom; };
    for (const Step& k : { Step{ 1, 0, 2, 0, 4, 2 }, Step{ 0, -1, 2, 0, 4, 1 }, Step{ 0, 1, 2, 1, 4, 2 },
                           Step{ -1, 0, 1, 1, 3, 2 }, Step{ -1, 0, 0, 1, 2, 2 }, Step{ -1, 0, 0, 1, 1, 2 } }) {
        EXPECT_EQ(1, c.view.MoveSelectionFrame(k.dx, k.dy));
        r = c.document.GetSelection();
        EXPECT_TRUE(c.document.HasSelection());
        EXPECT_EQ(k.left, r.left) << k.dx << "," << k.dy;
        EXPECT_EQ(k.top, r.top) << k.dx << "," << k.dy;
        EXPECT_EQ(k.right, r.right) << k.dx << "," << k.dy;
        EXPECT_EQ(k.bottom, r.bottom) << k.dx << "," << k.dy;
    }
    // Clamped at the left edge the frame loses its last column and disappears.
    EXPECT_EQ(1, c.view.MoveSelectionFrame(-1, 0));
    EXPECT_FALSE(c.document.HasSelection());
    EXPECT_EQ(EditView::ModeIdle, c.view.GetMode());
    EXPECT_EQ(0, c.view.MoveSelectionFrame(1, 0));
    Picture shown = c.Show();
    for (int x = 0; x < 256; ++x)
        ASSERT_EQ(RGB(255, 255, 255), shown.At(x, 16)) << "frame left on screen at " << x;
}

TEST(EditViewDisplay, SelectionFrameIsADottedGreenRectangleOnTheGrid)
{
    Canvas c;
    ASSERT_TRUE(c.document.AddNewImage(16, 4));
    c.view.SetTool(ToolSelect);
    Press(c.window, c.Centre(2), c.Centre(3));
    Move(c.window, c.Centre(5), c.Centre(6));
    Release(c.window, c.Centre(5), c.Centre(6));
    Picture shown = c.Show();
    const COLORREF green = RGB(0, 100, 0);
    int onTop = 0, onRight = 0, elsewhere = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            if (shown.At(x, y) != green)
                continue;
            if (y == 48 && x >= 32 && x < 96)
                ++onTop;
            else if (x == 95 && y >= 48 && y < 112)
                ++onRight;
            else if (!(y == 111 || x == 32))
                ++elsewhere;
        }
    EXPECT_GT(onTop, 10);
    EXPECT_LT(onTop, 64);  // dotted, not solid
    EXPECT_GT(onRight, 10);
    EXPECT_EQ(0, elsewhere);
    EXPECT_EQ(RGB(255, 255, 255), shown.At(60, 80));
}

TEST(EditViewDisplay, SelectWholeImageFramesEverything)
{
    Canvas c;
    c.view.SelectWholeImage();  // no image: nothing happens
    EXPECT_FALSE(c.document.HasSelection());
    ASSERT_TRUE(c.document.AddNewImage(48, 8));
    c.view.SelectWholeImage();
    EXPECT_EQ(EditView::ModeSelection, c.view.GetMode());
    EXPECT_TRUE(c.document.HasSelection());
    RECT r = c.document.GetSelection();
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(48, r.right);
    EXPECT_EQ(48, r.bottom);
    // The frame runs along the canvas edges; the next press removes it.
    Picture shown = c.Show();
    int green = 0;
    for (int x = 0; x < 256; ++x)
        green += shown.At(x, 0) == RGB(0, 100, 0) ? 1 : 0;
    EXPECT_GT(green, 10);
    Press(c.window, 100, 100, false);
    Release(c.window, 100, 100, false);
    EXPECT_FALSE(c.document.HasSelection());
}

TEST(EditViewDisplay, CursorFollowsTheTool)
{
    Canvas c;
    HINSTANCE module = GetModuleHandleA(nullptr);
    const LPARAM client = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    for (int tool = ToolPencil; tool <= ToolSelect; ++tool) {
        c.view.SetTool(tool);
        SendMessageA(c.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(c.window), client);
        EXPECT_EQ(arrow, GetCursor()) << "no document, tool " << tool;
    }
    ASSERT_TRUE(c.document.AddNewImage(32, 8));
    for (int tool = ToolPencil; tool <= ToolSelect; ++tool) {
        c.view.SetTool(tool);
        SetCursor(nullptr);
        SendMessageA(c.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(c.window), client);
        HCURSOR expected = tool <= ToolEraser ? LoadCursorA(module, MAKEINTRESOURCEA(IdcToolCursorFirst + tool))
                                              : cross;
        ASSERT_NE(nullptr, expected) << "cursor resource " << IdcToolCursorFirst + tool;
        EXPECT_EQ(expected, GetCursor()) << "tool " << tool;
    }
}

TEST(PreviewView, ShowsTheImageAtActualSizeCentred)
{
    struct Case { int size, at; };
    for (const Case& k : { Case{ 16, 56 }, Case{ 48, 40 }, Case{ 72, 28 }, Case{ 128, 0 } }) {
        Canvas c;
        ASSERT_TRUE(c.document.AddNewImage(k.size, 4));
        IconImage& image = c.Image();
        const int last = k.size - 1;
        image.SetPixelIndex(0, 0, kRed);
        image.SetPixelIndex(last, last, kBlue);
        image.SetPixelIndex(1, 0, image.GetPaletteCount());  // transparent
        Picture shown(c.previewWindow, 128, 128, RGB(255, 0, 255), PRF_CLIENT | PRF_ERASEBKGND);
        EXPECT_EQ(RGB(255, 0, 0), shown.At(k.at, k.at)) << k.size;
        EXPECT_EQ(RGB(0, 0, 255), shown.At(k.at + last, k.at + last)) << k.size;
        EXPECT_EQ(Face(), shown.At(k.at + 1, k.at)) << k.size;
        EXPECT_EQ(RGB(255, 255, 255), shown.At(k.at + 1, k.at + 1)) << k.size;
        if (k.at > 0) {
            EXPECT_EQ(Face(), shown.At(k.at - 1, k.at - 1)) << k.size;
            EXPECT_EQ(Face(), shown.At(k.at + k.size, k.at + k.size)) << k.size;
        }
    }
}

TEST(PreviewView, CatchesUpWithAStrokeOnlyAtTheRelease)
{
    Canvas c;
    ASSERT_TRUE(c.document.AddNewImage(16, 4));
    c.Image().SetLeftIndex(kGreen);
    ValidateRect(c.previewWindow, nullptr);
    Press(c.window, c.Centre(0), c.Centre(0));
    Move(c.window, c.Centre(3), c.Centre(0));
    EXPECT_FALSE(GetUpdateRect(c.previewWindow, nullptr, FALSE));
    Release(c.window, c.Centre(3), c.Centre(0));
    EXPECT_TRUE(GetUpdateRect(c.previewWindow, nullptr, FALSE));
    Picture shown(c.previewWindow, 128, 128);
    EXPECT_EQ(RGB(0, 255, 0), shown.At(56 + 2, 56));
}
