#include <set>
#include <utility>

#include "document/canvas_tool.h"
#include "document_test_support.h"

using namespace doctest;

namespace {

// Counts what a tool asks of the canvas.
class FakeView : public ToolView
{
public:
    void RepaintPixels(POINT, POINT, bool) override {}
    void RepaintAll() override {}
    void RepaintPreview(bool) override {}
    void Refuse() override { ++refused; }
    int refused = 0;
};

// The notifications that told a change of these.
int Told(const std::vector<unsigned>& told, unsigned what)
{
    int n = 0;
    for (unsigned changes : told)
        n += (changes & what) != 0;
    return n;
}

typedef std::set<std::pair<int, int>> Pixels;

const int kLeft = 9, kRight = 12;

// The pixels whose index or transparency differs from the blank image's.
Pixels Changed(const IconImage& image, const IconImage& blank)
{
    Pixels changed;
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x)
            if (image.GetPixelIndex(x, y) != blank.GetPixelIndex(x, y) ||
                image.IsTransparent(x, y) != blank.IsTransparent(x, y))
                changed.insert({x, y});
    return changed;
}

Pixels Row(int y, int x0, int x1)
{
    Pixels row;
    for (int x = x0; x < x1; ++x)
        row.insert({x, y});
    return row;
}

enum End { Released, CutShort, Dropped };

struct ToolCase
{
    const char* name;
    int tool;
    bool left;
    std::vector<POINT> path;
    End end;
    Pixels changed;
    int index;      // of every changed pixel; -1: transparent
    bool step;      // one undo step, and the document modified
    int picked, hotspots;
};

} // namespace

TEST(CanvasTool, EachToolPressDragRelease)
{
    // Row 0 and pixel (3, 3) hold the right colour: a fill from (7, 7) stops there.
    Pixels below;
    for (int y = 1; y < 16; ++y)
        for (const auto& p : Row(y, 0, 16))
            below.insert(p);
    below.erase({3, 3});
    const Pixels frame = {{2, 2}, {3, 2}, {4, 2}, {2, 3}, {4, 3}, {2, 4}, {3, 4}, {4, 4}};
    const ToolCase cases[] = {
        {"pencil", ToolPencil, true, {{1, 1}, {3, 1}}, Released, Row(1, 1, 4), kLeft, true, 0, 0},
        {"pencil right", ToolPencil, false, {{1, 1}}, Released, Row(1, 1, 2), kRight, true, 0, 0},
        {"pencil cut short keeps the stroke", ToolPencil, true, {{1, 1}, {2, 1}}, CutShort, Row(1, 1, 3), kLeft, true, 0, 0},
        {"pencil given up", ToolPencil, true, {{1, 1}, {5, 1}}, Dropped, {}, 0, false, 0, 0},
        // A click on a pixel of its own colour still counts.
        {"pencil own colour", ToolPencil, false, {{0, 0}, {1, 0}}, Released, {}, 0, true, 0, 0},
        {"eraser", ToolEraser, true, {{5, 5}, {6, 5}}, Released, Row(5, 5, 7), -1, true, 0, 0},
        {"eraser right", ToolEraser, false, {{5, 5}}, Released, Row(5, 5, 6), kRight, true, 0, 0},
        {"fill", ToolFill, true, {{7, 7}, {9, 9}}, Released, below, kLeft, true, 0, 0},
        {"fill own colour", ToolFill, false, {{7, 7}}, Released, {}, 0, false, 0, 0},
        {"picker", ToolPicker, true, {{3, 3}}, Released, {}, 0, false, 1, 0},
        {"picker off the image", ToolPicker, true, {{-1, 3}}, Released, {}, 0, false, 0, 0},
        // The end point is left out, as the platform draws lines.
        {"line", ToolLine, true, {{2, 2}, {4, 2}, {5, 2}}, Released, Row(2, 2, 5), kLeft, true, 0, 0},
        {"line cut short", ToolLine, true, {{2, 2}, {5, 2}}, CutShort, {}, 0, false, 0, 0},
        {"rectangle backwards", ToolRectangle, false, {{5, 5}, {3, 3}, {2, 2}}, Released, frame, kRight, true, 0, 0},
        {"hotspot", ToolHotspot, true, {{3, 4}}, Released, {}, 0, true, 0, 1},
        {"hotspot where it is", ToolHotspot, true, {{7, 7}}, Released, {}, 0, false, 0, 0},
        {"hotspot right", ToolHotspot, false, {{3, 4}}, Released, {}, 0, false, 0, 0},
        {"select", ToolSelect, true, {{5, 5}, {2, 2}}, Released, {}, 0, false, 0, 0},
    };
    for (const ToolCase& c : cases) {
        IconDocument document;
        ASSERT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));
        IconImage blank;
        ASSERT_EQ(1, blank.CreateBlank(16, 4));
        IconImage& image = *document.GetCurrentImage();
        image.Colours().SetLeftIndex(kLeft);
        image.Colours().SetRightIndex(kRight);
        blank.Colours().SetRightIndex(kRight);
        for (int x = 0; x < 16; ++x)  // the right colour's own pixels, and the picker's
            image.SetPixelIndex(x, 0, kRight), blank.SetPixelIndex(x, 0, kRight);
        image.SetPixelIndex(3, 3, kRight), blank.SetPixelIndex(3, 3, kRight);
        if (c.tool == ToolFill && !c.left)
            for (int i = 0; i < 256; ++i)
                image.SetPixelIndex(i % 16, i / 16, kRight), blank.SetPixelIndex(i % 16, i / 16, kRight);
        const MouseButtons buttons = {c.left, !c.left};
        FakeView view;
        ChangeLog log;
        document.AddObserver(&log);
        std::unique_ptr<CanvasTool> tool = MakeTool(c.tool, document, view);
        ASSERT_TRUE(tool->Press(buttons, c.path.front())) << c.name;
        for (size_t i = 1; i < c.path.size(); ++i)
            EXPECT_TRUE(tool->Drag(buttons, c.path[i])) << c.name;
        if (c.end != Dropped)
            tool->Release(c.end == Released);
        tool.reset();

        const Pixels changed = Changed(image, blank);
        EXPECT_EQ(c.changed, changed) << c.name;
        for (const auto& p : changed)
            EXPECT_EQ(c.index, image.IsTransparent(p.first, p.second) ? -1 : image.GetPixelIndex(p.first, p.second))
                << c.name;
        EXPECT_EQ(c.step, document.CanUndo()) << c.name;
        EXPECT_EQ(c.step, document.IsModified() != 0) << c.name;
        const std::vector<unsigned> told = log.Take();
        EXPECT_EQ(c.picked, Told(told, ChangeColours)) << c.name;
        EXPECT_EQ(c.hotspots, Told(told, ChangeHotspot)) << c.name;
        EXPECT_EQ(c.step ? 1 : 0, Told(told, ChangePixels | ChangeHotspot)) << c.name;
        EXPECT_EQ(0, view.refused) << c.name;
        EXPECT_EQ(c.picked ? kRight : kLeft, image.Colours().GetLeftIndex()) << c.name;
        EXPECT_EQ(c.hotspots ? 3 : 7, image.GetHotspot().x) << c.name;
        // Dragged up-left from its anchor: the anchor pixel is left out.
        const RECT selection = document.GetSelection();
        EXPECT_EQ(c.tool == ToolSelect ? "2,2-5,5" : "0,0-0,0",
                  std::to_string(selection.left) + "," + std::to_string(selection.top) + "-" +
                      std::to_string(selection.right) + "," + std::to_string(selection.bottom)) << c.name;
        if (c.step) {
            ASSERT_EQ(EditOutcome::Done, document.Undo()) << c.name;
            EXPECT_FALSE(document.CanUndo()) << c.name << ": more than one step";
            EXPECT_EQ(Pixels(), Changed(image, blank)) << c.name;
        }
    }
}

// A drag follows only the image it began on; a command that switched images
// meanwhile leaves both as they were.
TEST(CanvasTool, ADragNeverReachesAnotherImage)
{
    IconDocument document;
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));
    SetModifiedForTest(document, false);
    FakeView view;
    std::unique_ptr<CanvasTool> tool = MakeTool(ToolPencil, document, view);
    ASSERT_TRUE(tool->Press(MouseButtons{true, false}, POINT{1, 1}));
    document.SelectImage(0);
    EXPECT_FALSE(tool->OnItsImage());
    EXPECT_TRUE(tool->Drag(MouseButtons{true, false}, POINT{5, 1}));
    tool->Release(true);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(document.GetImage(i)->CanUndo());
        EXPECT_EQ(15, document.GetImage(i)->GetPixelIndex(1, 1));  // white, as made
    }
    EXPECT_FALSE(document.IsModified());
}
