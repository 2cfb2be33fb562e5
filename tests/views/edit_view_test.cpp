#include <cstring>

#include "view_test_support.h"

using namespace viewtest;

TEST(EditViewDisplay, SixteenPixelImageShowsBlocksOverTheButtonFace)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 24));
    IconImage& image = c.Image();
    image.SetPixelColour(3, 5, RGB(200, 10, 30));
    image.SetTransparent(10, 2, true);  // colour part black: background only
    image.SetTransparent(12, 12, true);
    // Blue kept under the mask, as a file may hold it, shows ORed over the face.
    ImagePixels pixels;
    ASSERT_TRUE(pixels.Resize(16, 24));
    std::memcpy(pixels.colour.data(), image.GetColourBits(), pixels.colour.size());
    std::memcpy(pixels.mask.data(), image.GetMaskBits(), pixels.mask.size());
    pixels.colour[RowStride(16, 24) * (15 - 12) + 3 * 12] = 0x80;
    ASSERT_EQ(1, image.LoadPixels(pixels));
    GdiFlush();

    Picture shown = c.Show();
    for (int py = 0; py < 16; ++py)
        for (int px = 0; px < 16; ++px) {
            COLORREF expected = px == 3 && py == 5     ? RGB(200, 10, 30)
                                : px == 10 && py == 2  ? Face()
                                : px == 12 && py == 12 ? Face() | RGB(0, 0, 0x80)
                                                       : kWhite;
            EXPECT_EQ(256, shown.Count(expected, px * 16, py * 16, px * 16 + 16, py * 16 + 16)) << px << "," << py;
        }
}

TEST(EditViewDisplay, NonIntegerZoomFillsTheSquareAndKeepsEveryColumn)
{
    for (int s : { 48, 72 }) {
        Views c;
        ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(s, 24));
        for (int y = 0; y < s; ++y)
            for (int x = 0; x < s; ++x)
                c.Image().SetPixelColour(x, y, RGB(x * 3, y * 3, 7));
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

TEST(EditViewDisplay, WithoutADocumentNothingIsDrawnAndTheMouseIsIgnored)
{
    Views c;
    EXPECT_EQ(256 * 256, c.Show().Count(kSentinel));
    RECT untouched = { 1, 2, 3, 4 };
    c.view.PixelToCanvasRect(5, 5, &untouched);
    EXPECT_EQ("1,2-3,4", Text(untouched));
    c.view.SelectWholeImage();
    EXPECT_FALSE(c.document.HasSelection());
    for (int tool = ToolPencil; tool <= ToolSelect; ++tool) {
        c.view.SetTool(tool);
        SendMessageA(c.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(c.window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), GetCursor()) << "tool " << tool;
        Press(c.window, 10, 10);
        EXPECT_EQ(nullptr, GetCapture()) << "tool " << tool;
        Release(c.window, 10, 10);
    }
    EXPECT_EQ(0u, LastCommand());
    EXPECT_EQ(EditView::ModeIdle, c.view.GetMode());
    // The status bar is told to show no position.
    Received().clear();
    Move(c.window, 30, 30, 0);
    ASSERT_EQ(1, Count(VM_CURSOR_POSITION));
    EXPECT_EQ(0u, Last(VM_CURSOR_POSITION)->wParam);
    EXPECT_EQ(0, Last(VM_CURSOR_POSITION)->lParam);
}

TEST(EditViewDisplay, CoordinateMapping)
{
    struct Case { int size, pixel, left, right; };
    for (const Case& k : { Case{ 48, 10, 53, 59 }, Case{ 72, 1, 3, 8 }, Case{ 16, 0, 0, 17 },
                           Case{ 16, 15, 240, 257 }, Case{ 128, 127, 254, 257 }, Case{ 32, 3, 24, 33 } }) {
        Views c;
        ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(k.size, 8));
        RECT r = {};
        c.view.PixelToCanvasRect(k.pixel, k.pixel, &r);
        EXPECT_EQ(Text({ k.left, k.left, k.right, k.right }), Text(r)) << k.size << ":" << k.pixel;
    }
    struct Point { int size, canvas, pixel; };
    for (const Point& k : { Point{ 48, 255, 47 }, Point{ 48, 0, 0 }, Point{ 72, 4, 1 }, Point{ 16, 15, 0 },
                            Point{ 16, 16, 1 }, Point{ 48, -5, 0 }, Point{ 16, -16, -1 } }) {
        Views c;
        ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(k.size, 8));
        POINT p = c.view.CanvasToPixel(k.canvas, k.canvas);
        EXPECT_EQ(k.pixel, p.x) << k.size << ":" << k.canvas;
        EXPECT_EQ(k.pixel, p.y) << k.size << ":" << k.canvas;
    }
}

// Up to 256 px every size fills the square; the cell a click hits, the cell
// shown there and the frame's edges are the same.
TEST(EditViewDisplay, EverySizeMapsClicksCellsAndFramesAlike)
{
    for (int s : { 20, 24, 40, 96, 256 }) {
        Views c;
        ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(s, 24));
        for (int x = 0; x < s; ++x)
            for (int y = 0; y < s; ++y)
                c.Image().SetPixelColour(x, y, RGB(x, 0, 7));
        const Picture shown = c.Show();
        for (int x = 0; x < 256; ++x) {
            const int hit = c.view.CanvasToPixel(x, 0).x;
            ASSERT_EQ(x * s / 256, hit) << s << " at " << x;
            ASSERT_EQ(RGB(hit, 0, 7), shown.At(x, 128)) << s << " at " << x;
        }
        for (int p = 1; p < s; ++p) {
            RECT repainted;
            c.view.PixelToCanvasRect(p, p, &repainted);
            ASSERT_EQ(p - 1, c.view.CanvasToPixel(CellStart(p, s) - 1, 0).x) << s << ":" << p;
            ASSERT_EQ(p, c.view.CanvasToPixel(CellStart(p, s), 0).x) << s << ":" << p;
            ASSERT_LE(repainted.left, CellStart(p, s)) << s << ":" << p;
            ASSERT_GE(repainted.right, CellStart(p + 1, s)) << s << ":" << p;
        }
        c.view.SetTool(ToolSelect);
        c.Drag(true, { { 3, 3 }, { 5, 5 } });
        EXPECT_EQ("3,3-6,6", Text(c.document.GetSelection())) << s;
        const Picture framed = c.Show();
        const int left = CellStart(3, s), right = CellStart(6, s);
        EXPECT_GT(framed.Count(kFrameGreen, left, left, left + 1, right), 0) << s;
        EXPECT_GT(framed.Count(kFrameGreen, right - 1, left, right, right), 0) << s;
        EXPECT_EQ(framed.Count(kFrameGreen), framed.Count(kFrameGreen, left, left, right, right)) << s;
    }
}

// The fourth byte of a 32-bit pixel is its alpha, blended over the face.
TEST(EditViewDisplay, HalfTransparentPixelShowsBetweenItsColourAndTheFace)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 32));
    ImagePixels pixels;
    ASSERT_TRUE(pixels.Resize(16, 32));
    const int row = RowStride(16, 32) * (15 - 2);  // pixel row 2
    const BYTE soft[4] = { 0x10, 0xF0, 0x40, 128 }, solid[4] = { 0x10, 0xF0, 0x40, 255 };
    std::memcpy(&pixels.colour[row + 4 * 1], soft, 4);
    std::memcpy(&pixels.colour[row + 4 * 2], solid, 4);
    ASSERT_EQ(1, c.document.GetCurrentImage()->LoadPixels(pixels));
    const COLORREF colour = RGB(0x40, 0xF0, 0x10), face = Face();
    // Where pixel x shows: the centre of its 16 x 16 cell, or 1:1 at 56.
    struct View { const char* name; Picture shown; int at, zoom; };
    for (const View& v : { View{ "canvas", c.Show(), 8, 16 }, View{ "preview", c.ShowPreview(), 56, 1 } }) {
        const int y = v.at + 2 * v.zoom;
        EXPECT_EQ(colour, v.shown.At(v.at + 2 * v.zoom, y)) << v.name;
        EXPECT_EQ(face, v.shown.At(v.at, y)) << v.name << ": alpha 0";
        const COLORREF blended = v.shown.At(v.at + v.zoom, y);
        const int channels[3][3] = { { GetRValue(blended), GetRValue(colour), GetRValue(face) },
                                     { GetGValue(blended), GetGValue(colour), GetGValue(face) },
                                     { GetBValue(blended), GetBValue(colour), GetBValue(face) } };
        for (const auto& k : channels)
            EXPECT_NEAR((k[1] * 128 + k[2] * 127) / 255.0, k[0], 1.0) << v.name;
    }
    // Fourth bytes all 0, as older writers leave them: no alpha, the mask rules.
    for (int x : { 1, 2 })
        pixels.colour[row + 4 * x + 3] = 0;
    ASSERT_EQ(1, c.document.GetCurrentImage()->LoadPixels(pixels));
    c.view.RepaintImage(false);   // loaded past the document, which would have said so
    EXPECT_EQ(colour, c.Cell(c.Show(), 1, 2));
    EXPECT_EQ(RGB(0, 0, 0), c.Cell(c.Show(), 0, 2));
}

// A shift moves the document's selection one pixel; the frame is drawn from it.
TEST(EditViewDisplay, ShiftedSelectionClampsCollapsesAndTheFrameFollows)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 4));
    c.view.SetTool(ToolSelect);
    c.Drag(true, { { 1, 0 }, { 2, 1 } });
    EXPECT_EQ("1,0-3,2", Text(c.document.GetSelection()));

    struct Step { int dx, dy; const char* selection; };
    for (const Step& k : { Step{ 1, 0, "2,0-4,2" }, Step{ 0, -1, "2,0-4,1" }, Step{ 0, 1, "2,1-4,2" },
                           Step{ -1, 0, "1,1-3,2" }, Step{ -1, 0, "0,1-2,2" }, Step{ -1, 0, "0,1-1,2" } }) {
        EXPECT_EQ(EditOutcome::Done, c.document.ShiftImage(k.dx, k.dy));
        EXPECT_TRUE(c.document.HasSelection());
        EXPECT_EQ(k.selection, Text(c.document.GetSelection())) << k.dx << "," << k.dy;
    }
    const Picture framed = c.Show();
    EXPECT_GT(framed.Count(kFrameGreen), 10);
    EXPECT_EQ(framed.Count(kFrameGreen), framed.Count(kFrameGreen, 0, 16, 16, 32)) << "frame around pixel 0, 1";
    // Clamped at the left edge the selection loses its last column and disappears.
    EXPECT_EQ(EditOutcome::Done, c.document.ShiftImage(-1, 0));
    EXPECT_FALSE(c.document.HasSelection());
    EXPECT_EQ(EditView::ModeIdle, c.view.GetMode());
    EXPECT_EQ(0, c.Show().Count(kFrameGreen)) << "frame left on screen";
}

TEST(EditViewDisplay, SelectionFrameIsADottedGreenRectangleOnTheGrid)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 4));
    c.view.SetTool(ToolSelect);
    c.Drag(true, { { 2, 3 }, { 5, 6 } });
    Picture shown = c.Show();
    const int top = shown.Count(kFrameGreen, 32, 48, 96, 49), right = shown.Count(kFrameGreen, 95, 48, 96, 112);
    EXPECT_GT(top, 10);
    EXPECT_LT(top, 64);  // dotted, not solid
    EXPECT_GT(right, 10);
    const int ring = shown.Count(kFrameGreen, 32, 48, 96, 112) - shown.Count(kFrameGreen, 33, 49, 95, 111);
    EXPECT_EQ(ring, shown.Count(kFrameGreen)) << "green off the frame";
    EXPECT_EQ(kWhite, shown.At(60, 80));
}

// Select all frames exactly the whole image, also where the drag grid stops short of the edge.
TEST(EditViewDisplay, SelectWholeImageFramesEverything)
{
    for (int s : { 48, 72 }) {
        Views c;
        ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(s, 8));
        c.view.SelectWholeImage();
        EXPECT_EQ(EditView::ModeSelection, c.view.GetMode());
        EXPECT_TRUE(c.document.HasSelection());
        EXPECT_EQ(Text({ 0, 0, s, s }), Text(c.document.GetSelection()));
        Picture shown = c.Show();
        EXPECT_GT(shown.Count(kFrameGreen, 0, 0, 256, 1), 10) << s;
        EXPECT_GT(shown.Count(kFrameGreen, 255, 0, 256, 256), 10) << s << ": the right edge";
        // The next press removes it, whatever it does.
        Click(c.window, 100, 100, false);
        EXPECT_FALSE(c.document.HasSelection()) << s;
    }
}

TEST(EditViewDisplay, CursorFollowsTheTool)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(32, 8));
    for (int tool = ToolPencil; tool <= ToolSelect; ++tool) {
        c.view.SetTool(tool);
        SetCursor(nullptr);
        SendMessageA(c.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(c.window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        HCURSOR expected = tool <= ToolEraser
                               ? LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_PENCIL_CURSOR + tool))
                               : LoadCursorA(nullptr, IDC_CROSS);
        ASSERT_NE(nullptr, expected) << "cursor of tool " << tool;
        EXPECT_EQ(expected, GetCursor()) << "tool " << tool;
    }
}

TEST(PreviewView, ShowsTheImageAtActualSizeCentred)
{
    struct Case { int size, at; };
    for (const Case& k : { Case{ 16, 56 }, Case{ 48, 40 }, Case{ 72, 28 }, Case{ 128, 0 } }) {
        Views c;
        ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(k.size, 4));
        IconImage& image = c.Image();
        const int last = k.size - 1;
        image.SetPixelIndex(0, 0, kRedIndex);
        image.SetPixelIndex(last, last, kBlueIndex);
        image.SetPixelIndex(1, 0, image.GetPaletteCount());  // transparent
        Picture shown = c.ShowPreview();
        EXPECT_EQ(kRed, shown.At(k.at, k.at)) << k.size;
        EXPECT_EQ(RGB(0, 0, 255), shown.At(k.at + last, k.at + last)) << k.size;
        EXPECT_EQ(Face(), shown.At(k.at + 1, k.at)) << k.size;
        EXPECT_EQ(kWhite, shown.At(k.at + 1, k.at + 1)) << k.size;
        if (k.at > 0) {
            EXPECT_EQ(Face(), shown.At(k.at - 1, k.at - 1)) << k.size;
            EXPECT_EQ(Face(), shown.At(k.at + k.size, k.at + k.size)) << k.size;
        }
    }
}

TEST(PreviewView, CatchesUpWithAStrokeOnlyAtTheRelease)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 4));
    c.Image().Colours().SetLeftIndex(kGreenIndex);
    // The preview is refreshed by whoever the document tells of the change.
    Press(c.window, c.Centre(0), c.Centre(0));
    Move(c.window, c.Centre(3), c.Centre(0));
    EXPECT_EQ(0, c.Told(ChangePixels));
    Release(c.window, c.Centre(3), c.Centre(0));
    EXPECT_EQ(1, c.Told(ChangePixels));
    EXPECT_EQ(RGB(0, 255, 0), c.ShowPreview().At(56 + 2, 56));
}

// Too big for its box the image is shrunk by a whole factor, each pixel of the
// preview the mean of the block it stands for.
TEST(PreviewView, ShrinksWhatDoesNotFitByTheSmallestWholeFactor)
{
    struct Case { int size, side; };
    for (const Case& k : { Case{ 96, 96 }, Case{ 129, 65 }, Case{ 200, 100 }, Case{ 256, 128 } }) {
        Views c;
        ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(k.size, 24));
        for (int y = 0; y < k.size; ++y)
            for (int x = 0; x < k.size; ++x)
                c.Image().SetPixelColour(x, y, x % 2 ? RGB(200, 0, 0) : RGB(0, 0, 100));
        const Picture shown = c.ShowPreview();
        const int at = (128 - k.side) / 2;
        const COLORREF inside = k.side == k.size ? RGB(0, 0, 100) : RGB(100, 0, 50);
        EXPECT_EQ(inside, shown.At(at, at)) << k.size;
        EXPECT_EQ(inside, shown.At(at + k.side - 2, at + k.side - 1)) << k.size;
        EXPECT_EQ(k.side * k.side, 128 * 128 - shown.Count(Face())) << k.size;
    }
}

// The canvas keeps its last picture for repaints that follow no change; a
// change the document tells shows even when only the system repaints.
TEST(EditViewDisplay, AChangeShowsWhoeverAsksForTheRepaint)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 32));
    const Picture before = c.Show();
    RedrawWindow(c.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(c.Show() == before);
    ImageEdit edit = c.document.BeginEdit(EditWhat::Pixels);
    ASSERT_TRUE(edit.IsOpen());
    ASSERT_TRUE(edit.Image()->SetPixelColour(3, 4, RGB(200, 10, 20)));
    edit.MarkChanged();
    ASSERT_TRUE(edit.Commit());
    RedrawWindow(c.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(RGB(200, 10, 20), c.Cell(c.Show(), 3, 4));
}
