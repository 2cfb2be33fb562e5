#include "view_test_support.h"

using namespace viewtest;

namespace {

Pixels operator+(Pixels a, const Pixels& b)
{
    a.insert(b.begin(), b.end());
    return a;
}

// The outline of the pixels [x0, x1) x [y0, y1).
Pixels Outline(int x0, int y0, int x1, int y1)
{
    Pixels p;
    for (int x = x0; x < x1; ++x)
        p.insert({ { x, y0 }, { x, y1 - 1 } });
    for (int y = y0; y < y1; ++y)
        p.insert({ { x0, y }, { x1 - 1, y } });
    return p;
}

} // namespace

// One undo step per drag, with either button; what shows before the release stays after it,
// so a rubber band previews exactly the pixels its shape commits.
TEST(EditViewMouse, EachToolPaintsOneUndoStepWithEitherButton)
{
    struct Case {
        const char* name;
        int tool;
        bool left;
        std::vector<POINT> path;
        COLORREF shown;   // colour of the changed cells
        Pixels changed;   // empty for a slanted line or an ellipse: the platform's own pixels
        bool transparent; // drawn with the transparent colour
    };
    Pixels fast = Outline(0, 0, 16, 1), all;
    for (int y = 0; y < 16; ++y) {
        fast.insert({ { 15, y }, { y, y } });
        const Pixels row = Outline(0, y, 16, y + 1);
        all.insert(row.begin(), row.end());
    }
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    const std::vector<Case> cases = {
        { "pencil left", ToolPencil, true, { { 1, 1 }, { 2, 1 }, { 3, 1 } }, red, Outline(1, 1, 4, 2), false },
        { "pencil right", ToolPencil, false, { { 1, 1 }, { 1, 2 } }, blue, Outline(1, 1, 2, 3), false },
        // Across the top row, down the right column, then diagonally back in single jumps: no gaps.
        { "pencil fast", ToolPencil, true, { { 0, 0 }, { 15, 0 }, { 15, 15 }, { 0, 0 } }, red, fast, false },
        { "pencil skips two", ToolPencil, true, { { 1, 1 }, { 3, 1 }, { 3, 3 } }, red, Outline(1, 1, 4, 2) + Outline(3, 1, 4, 4), false },
        { "eraser left", ToolEraser, true, { { 5, 5 }, { 6, 5 } }, Face(), Outline(5, 5, 7, 6), false },
        { "eraser right", ToolEraser, false, { { 5, 5 }, { 6, 5 } }, blue, Outline(5, 5, 7, 6), false },
        { "fill left", ToolFill, true, { { 7, 7 } }, red, all, false },
        { "fill right", ToolFill, false, { { 7, 7 } }, blue, all, false },
        { "line left", ToolLine, true, { { 2, 2 }, { 4, 2 }, { 5, 2 } }, red, Outline(2, 2, 5, 3), false },
        { "line right", ToolLine, false, { { 2, 2 }, { 5, 2 } }, blue, Outline(2, 2, 5, 3), false },
        { "line slanted", ToolLine, true, { { 14, 1 }, { 1, 9 } }, red, {}, false },
        { "rectangle left", ToolRectangle, true, { { 2, 2 }, { 3, 3 }, { 5, 5 } }, red, Outline(2, 2, 5, 5), false },
        { "rectangle backwards", ToolRectangle, false, { { 5, 5 }, { 2, 2 } }, blue, Outline(2, 2, 5, 5), false },
        { "rectangle transparent", ToolRectangle, true, { { 1, 1 }, { 12, 6 } }, Face(), Outline(1, 1, 12, 6), true },
        { "ellipse", ToolEllipse, true, { { 9, 9 }, { 2, 3 } }, red, {}, false },
        { "ellipse transparent", ToolEllipse, true, { { 0, 0 }, { 15, 15 } }, Face(), {}, true },
    };
    for (const Case& k : cases) {
        Views c;
        ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 4));
        c.Image().Colours().SetLeftIndex(k.transparent ? c.Image().GetPaletteCount() : kRedIndex);
        c.Image().Colours().SetRightIndex(kBlueIndex);
        c.view.SetTool(k.tool);
        Picture during = c.Drag(k.left, k.path);
        EXPECT_EQ(nullptr, GetCapture()) << k.name;
        Picture after = c.Show();
        EXPECT_TRUE(during == after) << k.name;
        const Pixels changed = c.Marked();
        if (k.changed.empty())
            EXPECT_GT(changed.size(), 2u) << k.name;
        else
            EXPECT_EQ(k.changed, changed) << k.name;
        for (const auto& p : changed)
            EXPECT_EQ(k.shown, c.Cell(after, p.first, p.second)) << k.name << " at " << p.first << "," << p.second;
        EXPECT_TRUE(c.document.IsModified()) << k.name;
        PumpMessages();
        EXPECT_GE(c.Told(ChangePixels), 1) << k.name;

        ASSERT_EQ(EditOutcome::Done, c.document.Undo()) << k.name;
        EXPECT_TRUE(c.Marked().empty()) << k.name;
        EXPECT_NE(EditOutcome::Done, c.document.Undo()) << k.name << ": more than one step";
        ASSERT_EQ(EditOutcome::Done, c.document.Redo()) << k.name;
        EXPECT_TRUE(c.Show() == after) << k.name;
    }
}

TEST(EditViewMouse, ADoubleClickIsOneUndoStep)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 4));
    Click(c.window, c.Centre(4), c.Centre(4));
    SendMessageA(c.window, WM_LBUTTONDBLCLK, MK_LBUTTON, At(c.Centre(4), c.Centre(4)));
    Release(c.window, c.Centre(4), c.Centre(4));
    EXPECT_EQ(Pixels({ { 4, 4 } }), c.Marked());
    EXPECT_EQ(EditOutcome::Done, c.document.Undo());
    EXPECT_FALSE(c.document.CanUndo());
}

TEST(EditViewMouse, UndoStepsFollowWhatChanged)
{
    // A pencil click on a pixel of its own colour still counts; a fill of a
    // region with its own colour and a click on the current hotspot do not.
    struct Case { int tool; int left; bool step; };
    for (const Case& k : { Case{ ToolPencil, 15, true }, Case{ ToolFill, 15, false }, Case{ ToolHotspot, 0, false },
                           Case{ ToolPicker, 0, false }, Case{ ToolSelect, 0, false } }) {
        Views c;
        ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 4));
        c.Image().Colours().SetLeftIndex(k.left);
        c.view.SetTool(k.tool);
        c.Drag(true, { { 7, 7 } });  // 7, 7 is also the hotspot of a new 16 x 16 image
        EXPECT_EQ(k.step, c.document.CanUndo()) << "tool " << k.tool;
        EXPECT_EQ(k.step, c.document.IsModified() != 0) << "tool " << k.tool;
    }
}

TEST(EditViewMouse, HotspotPickWithTheLeftButtonOnly)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(32, 8));
    c.view.SetTool(ToolHotspot);
    auto hotspot = [&c] {
        const Hotspot spot = c.Image().GetHotspot();
        return std::to_string(spot.x) + "," + std::to_string(spot.y);
    };
    Click(c.window, 100, 40, false);
    EXPECT_EQ("15,15", hotspot());
    EXPECT_EQ(0, c.Told(ChangeHotspot));
    Press(c.window, 100, 40);
    EXPECT_EQ(1, c.Told(ChangeHotspot));  // a click is the whole change
    Release(c.window, 100, 40);
    EXPECT_EQ("12,5", hotspot());
    EXPECT_EQ(EditOutcome::Done, c.document.Undo());
    EXPECT_EQ("15,15", hotspot());
}

TEST(EditViewMouse, PickerTakesTheColourAndHandsBackToThePreviousTool)
{
    // The picker is never remembered as the previous tool, and invalid tools are ignored.
    struct Case { int bits; bool left; COLORREF colour; int index; std::vector<int> tools; int back; };
    for (const Case& k : { Case{ 4, true, RGB(0, 255, 0), kGreenIndex, { ToolEllipse, ToolPicker, ToolPicker, 9, -1 }, ToolEllipse },
                           Case{ 4, false, RGB(0, 255, 0), kGreenIndex, { ToolEllipse, ToolPicker, ToolFill, ToolPicker }, ToolFill },
                           Case{ 8, true, TransparentColour, 256, { ToolRectangle, ToolPicker }, ToolRectangle },
                           Case{ 24, true, RGB(1, 2, 3), -1, { ToolPicker }, ToolPencil },  // in no palette
                           Case{ 32, false, RGB(1, 2, 3), -1, { ToolLine, ToolPicker }, ToolLine },
                           Case{ 24, false, TransparentColour, 256, { ToolSelect, ToolPicker }, ToolSelect } }) {
        Views c;
        ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, k.bits));
        IconImage& image = c.Image();
        if (k.colour == TransparentColour)
            image.SetTransparent(3, 3, true);
        else if (!image.SetPixelColour(3, 3, k.colour))
            image.SetPixelIndex(3, 3, k.index);  // a palette image takes the entry
        for (int tool : k.tools)
            c.view.SetTool(tool);
        EXPECT_EQ(ToolPicker, c.view.GetTool());
        Press(c.window, c.Centre(3), c.Centre(3), k.left);
        EXPECT_EQ(1, c.Told(ChangeColours));
        EXPECT_EQ(0, Count(WM_COMMAND));
        Release(c.window, c.Centre(3), c.Centre(3), k.left);
        EXPECT_EQ(static_cast<WPARAM>(IDM_PENCIL + k.back), LastCommand()) << k.bits;
        ASSERT_EQ(1, Count(WM_COMMAND));
        EXPECT_EQ(0, Last(WM_COMMAND)->lParam);
        EXPECT_EQ(k.colour, k.left ? image.Colours().GetLeftColour() : image.Colours().GetRightColour()) << k.bits;
        EXPECT_EQ(k.index, k.left ? image.Colours().GetLeftIndex() : image.Colours().GetRightIndex()) << k.bits;
        EXPECT_FALSE(c.document.CanUndo());
    }
}

TEST(EditViewMouse, SelectionFrameSnapsToTheGrid)
{
    struct Case { int size; POINT from, to; const char* selection; };
    for (const Case& k : {
             Case{ 16, { 20, 40 }, { 20, 40 }, "1,2-2,3" },       // one click, one cell
             Case{ 16, { 85, 85 }, { 40, 40 }, "2,2-5,5" },       // dragged up-left: anchor cell left out
             Case{ 48, { 0, 0 }, { 255, 255 }, "0,0-48,48" },     // up to the last pixels
             Case{ 48, { 0, 0 }, { 600, -90 }, "0,0-48,1" },      // captured beyond the canvas: clamped
             Case{ 48, { 253, 253 }, { 253, 253 }, "47,47-48,48" },
             Case{ 72, { 10, 10 }, { 10, 10 }, "2,2-3,3" } }) {   // the pixel under the pointer
        Views c;
        ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(k.size, 8));
        c.view.SetTool(ToolSelect);
        Press(c.window, k.from.x, k.from.y);
        EXPECT_EQ(c.window, GetCapture());
        Move(c.window, k.to.x, k.to.y);
        Release(c.window, k.to.x, k.to.y);
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_TRUE(c.document.HasSelection());
        EXPECT_EQ(k.selection, Text(c.document.GetSelection())) << k.size;
        EXPECT_EQ(EditView::ModeSelection, c.view.GetMode());
    }

    // The frame around pixels 40 to 47 of a 48 x 48 image lies on their edges,
    // the last canvas column included.
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(48, 8));
    c.view.SetTool(ToolSelect);
    c.Drag(true, { { 40, 40 }, { 47, 47 } });
    EXPECT_EQ("40,40-48,48", Text(c.document.GetSelection()));
    Picture shown = c.Show();
    EXPECT_GT(shown.Count(kFrameGreen, 255, 214, 256, 256), 10);
    EXPECT_EQ(shown.Count(kFrameGreen), shown.Count(kFrameGreen, 214, 214, 256, 256));
    // The right button leaves no frame, yet its press removes the shown one.
    Press(c.window, 50, 50, false);
    EXPECT_FALSE(c.document.HasSelection());
    Move(c.window, 150, 150, MK_RBUTTON);
    Release(c.window, 150, 150, false);
    EXPECT_FALSE(c.document.HasSelection());
    EXPECT_EQ(EditView::ModeIdle, c.view.GetMode());
}

TEST(EditViewMouse, CursorPositionIsSentOnlyInsideTheCanvas)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(32, 8));
    Press(c.window, 8, 8);
    Move(c.window, 200, 100);
    ASSERT_EQ(1, Count(VM_CURSOR_POSITION));
    EXPECT_EQ(25u, Last(VM_CURSOR_POSITION)->wParam);
    EXPECT_EQ(12, Last(VM_CURSOR_POSITION)->lParam);
    // Captured and dragged off the canvas: the stroke goes on, no coordinates.
    Move(c.window, 300, -40);
    Move(c.window, 256, 10);
    EXPECT_EQ(1, Count(VM_CURSOR_POSITION));
    EXPECT_EQ(c.window, GetCapture());
    Release(c.window, 256, 10);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(EditOutcome::Done, c.document.Undo());
    EXPECT_FALSE(c.document.CanUndo());
}

// Sound behaviour: a press of the other button in the middle of a stroke ends
// that stroke as its own undo step instead of dropping it from the history.
TEST(EditViewMouse, SecondButtonDuringAStrokeKeepsTheFirstStrokeUndoable)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 4));
    c.Image().Colours().SetLeftIndex(kRedIndex);
    Press(c.window, c.Centre(1), c.Centre(1));
    Move(c.window, c.Centre(2), c.Centre(1));
    // The right button goes down while the left is held: a new (left) press.
    Press(c.window, c.Centre(9), c.Centre(9), false, MK_LBUTTON);
    Release(c.window, c.Centre(9), c.Centre(9), false, MK_LBUTTON);
    EXPECT_EQ(Pixels({ { 1, 1 }, { 2, 1 }, { 9, 9 } }), c.Marked());
    ASSERT_EQ(EditOutcome::Done, c.document.Undo());
    EXPECT_EQ(Pixels({ { 1, 1 }, { 2, 1 } }), c.Marked());
    ASSERT_EQ(EditOutcome::Done, c.document.Undo());
    EXPECT_TRUE(c.Marked().empty());
    EXPECT_FALSE(c.document.CanUndo());
}

// Sound behaviour: a drag whose capture is taken away (Alt+Tab, a menu, a dialog,
// another program) ends as its release would, instead of never ending.
TEST(EditViewMouse, ADragWhoseCaptureIsLostEndsAsItsReleaseWould)
{
    struct Case { const char* name; int tool; bool cancelMode; };
    for (const Case& k : { Case{ "stroke taken", ToolPencil, false }, Case{ "stroke cancelled", ToolPencil, true },
                           Case{ "shape taken", ToolRectangle, false }, Case{ "shape cancelled", ToolRectangle, true },
                           Case{ "frame taken", ToolSelect, false }, Case{ "frame cancelled", ToolSelect, true } }) {
        Views c;
        ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 4));
        c.Image().Colours().SetLeftIndex(kRedIndex);
        c.view.SetTool(k.tool);
        Press(c.window, c.Centre(2), c.Centre(2));
        Move(c.window, c.Centre(5), c.Centre(5));
        const Picture during = c.Show();
        if (k.cancelMode) {
            SendMessageA(c.window, WM_CANCELMODE, 0, 0);
        } else {
            HWND other = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, c.parent, nullptr, nullptr, nullptr);
            SetCapture(other);
            ReleaseCapture();
            DestroyWindow(other);
        }
        EXPECT_NE(c.window, GetCapture()) << k.name;
        // Further moves with the button held draw nothing: the drag is over.
        Move(c.window, c.Centre(9), c.Centre(12));
        Release(c.window, c.Centre(9), c.Centre(12));
        const Picture after = c.Show();
        EXPECT_TRUE(during == after) << k.name << ": what showed is what stays, no band left";
        if (k.tool == ToolSelect) {
            EXPECT_EQ("2,2-6,6", Text(c.document.GetSelection())) << k.name;
            continue;
        }
        EXPECT_TRUE(c.document.IsModified()) << k.name;
        EXPECT_EQ(1, c.Told(ChangePixels)) << k.name << ": told once, as a release";
        EXPECT_EQ(kRed, c.Cell(after, 2, 2)) << k.name;
        ASSERT_EQ(EditOutcome::Done, c.document.Undo()) << k.name;
        EXPECT_TRUE(c.Marked().empty()) << k.name;
        EXPECT_FALSE(c.document.CanUndo()) << k.name;
    }
}

// The pending copy goes back only to the image it was taken from, even when a
// new image takes the place (and perhaps the address) of the old one.
TEST(EditViewMouse, AStrokeNeverReachesAnImageThatReplacedItsOwn)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 4));
    c.Image().Colours().SetLeftIndex(kRedIndex);
    Press(c.window, c.Centre(1), c.Centre(1));
    Move(c.window, c.Centre(3), c.Centre(1));
    c.document.CloseDocument();
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 4));
    Move(c.window, c.Centre(6), c.Centre(1));
    Release(c.window, c.Centre(6), c.Centre(1));
    EXPECT_TRUE(c.Marked().empty());
    EXPECT_FALSE(c.document.CanUndo());
    EXPECT_FALSE(c.document.IsModified());
    EXPECT_EQ(nullptr, GetCapture());
}

// Run in a process of its own (tests/CMakeLists.txt): once every GDI object was
// taken, the display of that process may not be itself again.
// A step the system cannot draw is refused whole and told, never drawn halfway.
TEST(EditViewMouse, DISABLED_WithNoGdiObjectLeftDrawingIsRefusedAndTold)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 4));
    c.Image().Colours().SetLeftIndex(kRedIndex);
    Press(c.window, c.Centre(1), c.Centre(1));            // one pixel: needs no GDI object
    {
        std::vector<HPEN> pens;
        for (HPEN pen; pens.size() < 200000 && (pen = CreatePen(PS_SOLID, 1, 0)) != nullptr;)
            pens.push_back(pen);
        Move(c.window, c.Centre(9), c.Centre(1));         // a line: refused, the stroke ends
        c.view.SetTool(ToolRectangle);
        Press(c.window, c.Centre(2), c.Centre(5));
        Release(c.window, c.Centre(12), c.Centre(12));    // the shape cannot be drawn
        for (HPEN pen : pens)
            DeleteObject(pen);
    }
    EXPECT_EQ(nullptr, GetCapture());
    PumpMessages();
    EXPECT_EQ(2, Count(VM_EDIT_REFUSED));
    EXPECT_EQ(Pixels({ { 1, 1 } }), c.Marked());
    ASSERT_EQ(EditOutcome::Done, c.document.Undo());
    EXPECT_FALSE(c.document.CanUndo()) << "the refused shape left a step";
}
